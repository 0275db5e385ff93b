#pragma once

#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace velnor {

// A fresh temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder() { EXPECT_TRUE(dir_.isValid()); }

    std::filesystem::path Path(const std::string& name) const {
        return dir_.filePath(QString::fromStdString(name)).toStdString();
    }
    std::filesystem::path Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(Path(name), std::ios::binary | std::ios::trunc) << bytes;
        return Path(name);
    }

private:
    QTemporaryDir dir_;
};

} // namespace velnor
