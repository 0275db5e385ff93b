#pragma once

#include "tests/support/temp_tree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace velnor {

// A fresh temporary folder, removed with everything in it.
class TempFolder {
public:
    std::filesystem::path Path(const std::string& name) const { return tree_.Path(name); }
    std::filesystem::path Write(const std::string& name, const std::string& bytes) const {
        tree_.WriteFile(name, bytes);
        return Path(name);
    }

private:
    test::TempTree tree_;
};

} // namespace velnor
