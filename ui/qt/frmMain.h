#pragma once

#include "core/files/file_system.h"
#include "core/settings/settings_store.h"
#include "ui/design/frmMain_design.h"
#include "ui/form/frmMain.h"
#include "ui/form/frmMain_view.h"
#include "ui/qt/drive_list.h"
#include "ui/qt/yield_gate.h"

#include <QWidget>

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

class QCloseEvent;

namespace velnor {

// What the main window uses of the world; an empty member takes the real one.
struct frmMainServices {
    std::shared_ptr<SettingsStore> settings{}; // the per-user QSettings store
    FileSystemFactory makeFileSystem{};        // MakeFileSystem
    DriveSource drives{};                      // MountedDrives
    std::function<void(int)> endProgram{};     // QCoreApplication::exit with that code
};

// The main window in Qt Widgets: the controls of frmMain_design, each named as
// designed, and what form::frmMain asks of them; their events go to the form.
class frmMain : public QWidget, public form::frmMainView {
    Q_OBJECT
public:
    explicit frmMain(frmMainServices services = {}, QWidget* parent = nullptr);
    ~frmMain() override;

    form::frmMain& Form() { return form_; }
    // Dir1 shows folder, or a box says why it cannot.
    void OpenFolder(const std::filesystem::path& folder) { form_.OpenFolder(folder); }

    bool BackupTicked() const override;
    std::string ExtensionText() const override;
    bool RemoveSpacesTicked() const override;
    bool RemoveBreaksTicked() const override;
    std::filesystem::path Drive() const override;
    void SetCaption(frmMain_design::Control label, const std::string& caption) override;
    void ShowFolders(const form::FolderListing& listing) override;
    MessageAnswer ShowMessage(const MessageBoxRequest& request) override;
    void ShowAbout() override;
    void Yield() override;
    void EndProgram(int exitStatus) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    template <typename Widget> Widget* Control(frmMain_design::Control control) const {
        return static_cast<Widget*>(controls_[control]);
    }

    DriveSource drives_;
    std::function<void(int)> endProgram_;
    YieldGate yieldGate_; // which yields give the event loop a pass
    std::array<QWidget*, frmMain_design::ControlCount> controls_{};
    form::frmMain form_;
};

} // namespace velnor
