#pragma once

#include "core/filter/compact_text.h"
#include "core/run/run_driver.h"
#include "core/text/ansi_codec.h"
#include "core/text/display_path.h"
#include "tests/support/failing_file_system.h"
#include "tests/support/scripted_window.h"
#include "tests/support/temp_tree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace velnor::test {

using Entries = std::vector<std::string>;

inline const std::string Finished = "已经完成任务.";
inline const std::string Working = "正在工作: ";

// What a page holds after one run with these options, worked out with the filter itself.
inline std::string Compacted(std::string_view bytes, RemovalOptions options = {true, true}) {
    RunCounters counters;
    return EncodeAnsi(CompactText(
        DecodeAnsi(bytes), [options] { return options; }, counters, [](const StepReport&) {}));
}

// Every field of a message box, to compare boxes whole.
inline auto Fields(const MessageBoxRequest& box) {
    return std::tie(box.text, box.title, box.buttons, box.icon, box.defaultButton);
}

// A page folder "site" in a temporary tree, the window pointing at it, and a
// run over file calls that a test can make fail.
class RunFixture : public ::testing::Test {
protected:
    RunFixture() {
        tree.MakeFolder("site");
        window.Folder = tree.Path("site");
    }

    RunOutcome Start(RunSettings settings = {}) {
        driver = std::make_unique<RunDriver>(window, failures->Factory(), settings);
        return driver->Start().outcome;
    }
    RunOutcome Restore() { return RunDriver(window, failures->Factory()).Restore().outcome; }
    void WritePage(std::string_view page, std::string_view bytes) const {
        tree.WriteFile("site/" + std::string(page), bytes);
    }
    std::string ReadPage(std::string_view page) const {
        return tree.ReadFile("site/" + std::string(page));
    }
    std::filesystem::path PagePath(std::string_view page) const {
        return tree.Path("site/" + std::string(page));
    }
    // The pages the status label announced work on, in order.
    Entries Worked() const {
        Entries worked;
        for (const std::string& status : window.Statuses)
            if (status.starts_with(Working))
                worked.push_back(status.substr(Working.size()));
        return worked;
    }
    void ExpectOneCriticalBox(const ::testing::Matcher<const std::string&>& text) const {
        ASSERT_EQ(window.Messages.size(), 1u);
        const MessageBoxRequest& box = window.Messages[0];
        EXPECT_THAT(box.text, text);
        EXPECT_EQ(Fields(box), Fields({box.text, "Velnor", MessageButtons::Ok,
                                       MessageIcon::Critical, MessageAnswer::Ok}));
    }
    // What the system says of a path, in its own words, whatever they are.
    ::testing::Matcher<const std::string&> SystemError(const std::filesystem::path& path) const {
        return ::testing::AllOf(::testing::StartsWith(DisplayPath(path) + ": "),
                                ::testing::Not(::testing::EndsWith(": ")));
    }

    TempTree tree;
    ScriptedWindow window;
    std::shared_ptr<FileSystemFailures> failures = std::make_shared<FileSystemFailures>();
    std::unique_ptr<RunDriver> driver;
};

} // namespace velnor::test
