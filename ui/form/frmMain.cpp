#include "ui/form/frmMain.h"

#include "core/identity.h"
#include "core/text/path_text.h"

#include <algorithm>
#include <exception>
#include <string_view>
#include <system_error>
#include <utility>

namespace velnor::form {
namespace {

using namespace frmMain_design;

// The remembered folder's entry, under the application's internal name.
const char* const SettingsSection = "Root";
const char* const SettingsKey = "Path";

// A gauge's designed caption: the full gauge.
std::int16_t DesignedCells(Control gauge) {
    return static_cast<std::int16_t>(std::string_view(Controls()[gauge].caption).size());
}

} // namespace

frmMain::frmMain(frmMainView& view, std::shared_ptr<SettingsStore> settings,
                 FileSystemFactory makeFileSystem)
    : view_(view), settings_(std::move(settings)),
      makeFileSystem_(makeFileSystem ? std::move(makeFileSystem)
                                     : FileSystemFactory([] { return MakeFileSystem(); })),
      status_(Controls()[lbstate].caption), gaugeCells_{DesignedCells(sp1), DesignedCells(sp2)},
      run_(*this, makeFileSystem_) {}

void frmMain::Form_Load() {
    // Dir1 starts on the process's current folder, as a directory list does.
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    try {
        SetDir1(error ? std::filesystem::path("/") : current);
    } catch (const std::exception&) {
        SetDir1("/");
    }
    // A remembered folder that is gone or cannot be opened is silently ignored.
    try {
        SetDir1(PathFromUtf8(settings_->Read(identity::InternalName, SettingsSection, SettingsKey,
                                             PathToUtf8(Dir1_.path))));
    } catch (const std::exception&) {
    }
    run_.Gauges().UpdateFileBar(0);
    run_.Gauges().UpdatePackBar(0);
    SetRatio(0);
}

void frmMain::Command1_Click() {
    // A run abandoned at a yield ends here; the close has stored the folder already.
    run_.Start();
}

void frmMain::Command2_Click() {
    run_.Restore();
}

void frmMain::Command3_Click() {
    view_.ShowAbout();
}

void frmMain::Drive1_Change() {
    OpenFolder(view_.Drive());
}

void frmMain::Dir1_Open(std::size_t line) {
    if (line < Dir1_.lines.size())
        OpenFolder(std::filesystem::path(Dir1_.lines[line].folder));
}

void frmMain::OpenFolder(const std::filesystem::path& folder) {
    try {
        SetDir1(folder);
    } catch (const std::exception& error) {
        ShowFailure(error.what());
    }
}

void frmMain::SetDir1(const std::filesystem::path& folder) {
    Dir1_ = ListFolder(*makeFileSystem_(), folder);
    view_.ShowFolders(Dir1_);
}

void frmMain::ShowFailure(const std::string& description) {
    ShowMessage({.text = description, .title = identity::ApplicationTitle});
}

void frmMain::Form_Unload() {
    if (closed_)
        return;
    closed_ = true;
    int exitStatus = 0;
    try {
        settings_->Write(identity::InternalName, SettingsSection, SettingsKey,
                         PathToUtf8(Dir1_.path));
    } catch (const std::exception& error) {
        // The program still ends, but not silently: the folder is not remembered.
        ShowMessage({.text = error.what(),
                     .title = identity::ApplicationTitle,
                     .icon = MessageIcon::Critical});
        exitStatus = 1;
    }
    view_.EndProgram(exitStatus);
}

std::filesystem::path frmMain::FolderPath() const {
    return Dir1_.path;
}

bool frmMain::BackupTicked() const {
    return view_.BackupTicked();
}

std::string frmMain::ExtensionText() const {
    return view_.ExtensionText();
}

bool frmMain::RemoveSpacesTicked() const {
    return view_.RemoveSpacesTicked();
}

bool frmMain::RemoveBreaksTicked() const {
    return view_.RemoveBreaksTicked();
}

void frmMain::SetStatus(const std::string& caption) {
    if (caption == status_)
        return;
    status_ = caption;
    view_.SetCaption(lbstate, caption);
}

void frmMain::SetRatio(std::int16_t percent) {
    if (percent == ratio_)
        return;
    ratio_ = percent;
    view_.SetCaption(yasuoLv, std::to_string(percent) + "%");
}

void frmMain::SetGaugeCells(Gauge gauge, std::int16_t cells) {
    std::int16_t& shown = gaugeCells_[gauge == Gauge::FileBar ? 0 : 1];
    // An empty gauge is emptied again at every character while its percentage rounds to 0.
    if (cells == shown)
        return;
    shown = cells;
    view_.SetCaption(gauge == Gauge::FileBar ? sp1 : sp2,
                     std::string(static_cast<std::size_t>(std::max<int>(cells, 0)), '|'));
}

void frmMain::Yield() {
    if (!closed_)
        view_.Yield();
    if (closed_)
        throw RunAbandoned{};
}

MessageAnswer frmMain::ShowMessage(const MessageBoxRequest& request) {
    return view_.ShowMessage(request);
}

} // namespace velnor::form
