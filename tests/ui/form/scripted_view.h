#pragma once

#include "tests/support/memory_settings.h"
#include "tests/support/temp_tree.h"
#include "ui/form/frmMain.h"
#include "ui/form/frmMain_view.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace velnor::test {

// A box as one line to compare: "text [title] buttons icon default".
inline std::string Describe(const MessageBoxRequest& box) {
    static const char* const buttons[] = {"Ok", "OkCancel", "YesNo"};
    static const char* const icons[] = {"None", "Critical", "Exclamation"};
    static const char* const answers[] = {"Ok", "Cancel", "Yes", "No"};
    return box.text + " [" + box.title + "] " + buttons[static_cast<int>(box.buttons)] + " " +
           icons[static_cast<int>(box.icon)] + " " + answers[static_cast<int>(box.defaultButton)];
}

// A toolkit for frmMain: fields for what its controls hold (changed at any
// time, also from OnYield), a record of what it was told, scripted answers.
class ScriptedView : public form::frmMainView {
public:
    bool Backup = false;
    std::string Extensions = "htm|html|asp";
    bool RemoveSpaces = true;
    bool RemoveBreaks = true;
    std::filesystem::path DriveShown;

    std::map<frmMain_design::Control, std::vector<std::string>> Captions; // every one set
    std::vector<form::FolderListing> Listings;                            // every one shown
    std::vector<MessageBoxRequest> Messages;
    std::deque<MessageAnswer> Answers; // then each box's default button
    std::size_t AboutShown = 0;
    std::vector<int> ExitStatuses;
    std::size_t Yields = 0;
    std::function<void(std::size_t yield)> OnYield;

    bool BackupTicked() const override { return Backup; }
    std::string ExtensionText() const override { return Extensions; }
    bool RemoveSpacesTicked() const override { return RemoveSpaces; }
    bool RemoveBreaksTicked() const override { return RemoveBreaks; }
    std::filesystem::path Drive() const override { return DriveShown; }
    void SetCaption(frmMain_design::Control label, const std::string& caption) override {
        Captions[label].push_back(caption);
    }
    void ShowFolders(const form::FolderListing& listing) override { Listings.push_back(listing); }
    MessageAnswer ShowMessage(const MessageBoxRequest& request) override {
        Messages.push_back(request);
        if (Answers.empty())
            return request.defaultButton;
        const MessageAnswer answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    void ShowAbout() override { ++AboutShown; }
    void Yield() override {
        ++Yields;
        if (OnYield)
            OnYield(Yields);
    }
    void EndProgram(int exitStatus) override { ExitStatuses.push_back(exitStatus); }

    std::vector<std::string> Boxes() const {
        std::vector<std::string> boxes;
        for (const MessageBoxRequest& box : Messages)
            boxes.push_back(Describe(box));
        return boxes;
    }
};

// The form over a scripted view and a store in memory, in a temporary tree.
class FormFixture : public ::testing::Test {
protected:
    form::frmMain& Load() {
        form = std::make_unique<form::frmMain>(view, settings);
        form->Form_Load();
        return *form;
    }
    // Where Dir1 is, as the form says and as the view shows it.
    std::filesystem::path Dir1() const {
        EXPECT_EQ(view.Listings.back().path, form->Dir1().path);
        return form->Dir1().path;
    }
    // The line of Dir1 that shows name.
    std::size_t LineOf(const std::string& name) const {
        for (std::size_t line = 0; line < form->Dir1().lines.size(); ++line)
            if (form->Dir1().lines[line].name == name)
                return line;
        ADD_FAILURE() << name << " is not listed";
        return 0;
    }
    std::string& Remembered() { return settings->Remembered(); }

    TempTree tree;
    std::shared_ptr<MemorySettings> settings = std::make_shared<MemorySettings>();
    ScriptedView view;
    std::unique_ptr<form::frmMain> form;
};

} // namespace velnor::test
