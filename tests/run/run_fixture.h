#pragma once

#include "engine/compact_text.h"
#include "platform/ansi_codec.h"
#include "run/file_system.h"
#include "run/run_driver.h"
#include "tests/support/scripted_window.h"
#include "tests/support/temp_tree.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace velnor::test {

inline FileSystemFactory RealFileSystem() {
    return [] {
        return MakeFileSystem();
    };
}

// What a page holds after one run with these options, worked out with the
// filter itself.
inline std::string Compacted(std::string_view bytes, RemovalOptions options) {
    RunCounters counters;
    return EncodeAnsi(CompactText(DecodeAnsi(bytes), options, counters));
}

// A page folder "site" in a temporary tree, and the window pointing at it.
class RunFixture : public ::testing::Test {
protected:
    RunFixture() {
        tree.MakeFolder("site");
        window.Folder = tree.Path("site");
    }

    void WritePage(std::string_view relative, std::string_view bytes) const {
        tree.WriteFile("site/" + std::string(relative), bytes);
    }
    std::string ReadPage(std::string_view relative) const {
        return tree.ReadFile("site/" + std::string(relative));
    }
    std::filesystem::path PagePath(std::string_view relative) const {
        return tree.Path("site/" + std::string(relative));
    }
    RemovalOptions WindowOptions() const {
        return RemovalOptions{window.RemoveSpaces, window.RemoveBreaks};
    }

    TempTree tree;
    ScriptedWindow window;
};

} // namespace velnor::test
