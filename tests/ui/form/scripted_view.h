#pragma once

#include "core/text/path_text.h"
#include "tests/support/memory_settings.h"
#include "tests/support/scripted_window.h"
#include "tests/support/temp_tree.h"
#include "ui/form/frmMain.h"
#include "ui/form/frmMain_view.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace velnor::test {

// A toolkit for frmMain: the controls, boxes and yields of a scripted window,
// and a record of the captions, listings, About boxes and ends it was told of.
class ScriptedView : public form::frmMainView, public ScriptedWindow {
public:
    std::filesystem::path DriveShown;
    std::map<frmMain_design::Control, std::vector<std::string>> Captions; // every one set
    std::vector<form::FolderListing> Listings;                            // every one shown
    std::size_t AboutShown = 0;
    std::vector<int> ExitStatuses;

    bool BackupTicked() const override { return ScriptedWindow::BackupTicked(); }
    std::string ExtensionText() const override { return ScriptedWindow::ExtensionText(); }
    bool RemoveSpacesTicked() const override { return ScriptedWindow::RemoveSpacesTicked(); }
    bool RemoveBreaksTicked() const override { return ScriptedWindow::RemoveBreaksTicked(); }
    std::filesystem::path Drive() const override { return DriveShown; }
    void SetCaption(frmMain_design::Control label, const std::string& caption) override {
        Captions[label].push_back(caption);
    }
    void ShowFolders(const form::FolderListing& listing) override { Listings.push_back(listing); }
    MessageAnswer ShowMessage(const MessageBoxRequest& box) override {
        return ScriptedWindow::ShowMessage(box);
    }
    void ShowAbout() override { ++AboutShown; }
    void Yield() override { ScriptedWindow::Yield(); }
    void EndProgram(int exitStatus) override { ExitStatuses.push_back(exitStatus); }

    // Each box as "text [title] buttons icon default", the enumerations' numbers.
    std::vector<std::string> Boxes() const {
        std::vector<std::string> boxes;
        for (const MessageBoxRequest& box : Messages)
            boxes.push_back(box.text + " [" + box.title + "] " +
                            std::to_string(static_cast<int>(box.buttons)) +
                            std::to_string(static_cast<int>(box.icon)) +
                            std::to_string(static_cast<int>(box.defaultButton)));
        return boxes;
    }
};

// The form over a scripted view and a store in memory, in a temporary tree.
class FormFixture : public ::testing::Test {
protected:
    void Load() {
        form = std::make_unique<form::frmMain>(view, settings);
        form->Form_Load();
    }
    // Where Dir1 is, as the form has it and as the view shows it.
    std::filesystem::path Dir1() const {
        EXPECT_EQ(view.Listings.back().path, form->Dir1().path);
        return form->Dir1().path;
    }
    std::string& Remembered() { return settings->Remembered(); }

    TempTree tree;
    std::shared_ptr<MemorySettings> settings = std::make_shared<MemorySettings>();
    ScriptedView view;
    std::unique_ptr<form::frmMain> form;
};

} // namespace velnor::test
