#pragma once

#include "core/files/file_system.h"
#include "core/run/run_driver.h"
#include "core/run/window_seam.h"
#include "core/settings/settings_store.h"
#include "ui/qt/drive_list.h"
#include "ui/qt/yield_gate.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QCheckBox;
class QCloseEvent;
class QLabel;
class QPushButton;

namespace velnor {

class DirectoryList;
class ExtensionBox;
class GaugeLabel;

// What the main window uses of the world; an empty member takes the real one.
struct frmMainServices {
    std::shared_ptr<SettingsStore> settings{}; // the per-user QSettings store
    FileSystemFactory makeFileSystem{};        // MakeFileSystem
    DriveSource drives{};                      // MountedDrives
    std::function<void(int)> endProgram{};     // QCoreApplication::exit with that code
};

// The main window. Its controls carry their designed names as object names;
// the run, the restore and the gauges reach them through WindowSeam.
class frmMain : public QWidget, public WindowSeam {
    Q_OBJECT
public:
    explicit frmMain(frmMainServices services = {}, QWidget* parent = nullptr);
    ~frmMain() override;

    RunDriver& Run() { return run_; }

    // Shows folder in Dir1 as the system resolves it (links followed, ".." taken
    // physically). A folder that cannot be opened gets the box of a failed drive
    // change, and Dir1 keeps what it showed.
    void OpenFolder(const std::filesystem::path& folder);

    std::filesystem::path FolderPath() const override;
    bool BackupTicked() const override;
    std::string ExtensionText() const override;
    bool RemoveSpacesTicked() const override;
    bool RemoveBreaksTicked() const override;
    void SetStatus(const std::string& caption) override;
    void SetRatio(std::int16_t percent) override;
    void SetGaugeCells(Gauge gauge, std::int16_t cells) override;
    void Yield() override;
    MessageAnswer ShowMessage(const MessageBoxRequest& request) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void SetUpGauge(GaugeLabel* gauge);
    // At once, not at the next pass of the event loop.
    void Repaint(QLabel* label);

    void Form_Load();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Drive1_Change();
    void ShowFailure(const QString& description);

    std::shared_ptr<SettingsStore> settings_;
    DriveSource drives_;
    std::function<void(int)> endProgram_;
    bool closed_ = false;
    std::optional<std::int16_t> ratioShown_; // yasuoLv's percentage as last set
    YieldGate yieldGate_;                    // which yields give the event loop a pass

    // The controls of frmMain_design that the window reads or writes; every
    // control's object name is its designed name.
    DriveList* Drive1 = nullptr;
    DirectoryList* Dir1 = nullptr;
    ExtensionBox* Text1 = nullptr;
    QCheckBox* Check1 = nullptr;
    QCheckBox* Check2 = nullptr;
    QCheckBox* Check4 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QLabel* lbstate = nullptr;
    GaugeLabel* sp2 = nullptr;
    QLabel* yasuoLv = nullptr;
    GaugeLabel* sp1 = nullptr;

    RunDriver run_;
};

} // namespace velnor
