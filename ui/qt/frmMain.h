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
class QGroupBox;
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
    void SetTabOrder();
    QRect Place(int left, int top, int width, int height) const;
    QLabel* AddLabel(QWidget* container, const char* name, const QString& caption, int left,
                     int top, int width, int height);
    QLabel* Arrange(QLabel* label, const char* name, const QString& caption, int left, int top,
                    int width, int height);
    QLabel* AddAutoSizeLabel(const char* name, const QString& caption, int left, int top);
    GaugeLabel* AddGauge(const char* name, const QColor& text, int left, int top);

    void Form_Load();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Drive1_Change();
    void ShowFailure(const QString& description);
    void Repaint(QLabel* label);

    std::shared_ptr<SettingsStore> settings_;
    DriveSource drives_;
    std::function<void(int)> endProgram_;
    bool closed_ = false;
    std::optional<std::int16_t> ratioShown_; // yasuoLv's percentage as last set
    YieldGate yieldGate_;                    // which yields give the event loop a pass

    // The controls, as designed; the object names are these names.
    QLabel* Label3 = nullptr;      // the help text above everything
    QGroupBox* DirFrame = nullptr; // frame "选择文件目录" (its object name): choose the folder
    DriveList* Drive1 = nullptr;   // the drives; picking one opens it in Dir1
    DirectoryList* Dir1 = nullptr;   // the folder to treat, with its parents and subfolders
    QGroupBox* Frame1 = nullptr;     // frame "设置": settings
    QLabel* Label1 = nullptr;        // "应用文件": caption of Text1
    ExtensionBox* Text1 = nullptr;   // the extension list, "htm|html|asp"
    QLabel* Label2 = nullptr;        // "采取措施": caption of the check boxes
    QCheckBox* Check1 = nullptr;     // remove redundant spaces, read at every character
    QCheckBox* Check2 = nullptr;     // remove redundant line breaks, read at every character
    QCheckBox* Check4 = nullptr;     // back up to the .bak folder first
    QPushButton* Command1 = nullptr; // Start
    QPushButton* Command2 = nullptr; // Restore
    QPushButton* Command3 = nullptr; // About
    QLabel* lbstate = nullptr;       // status: the file in hand, or "已经完成任务."
    QLabel* Label12 = nullptr;       // "压缩": caption of sp2
    GaugeLabel* sp2 = nullptr;       // gauge: share of the page kept so far (red)
    QLabel* Label10 = nullptr;       // "压缩成": caption of yasuoLv
    QLabel* yasuoLv = nullptr;       // share of the run's characters kept, "74%"
    QLabel* Label9 = nullptr;        // "文件": caption of sp1
    GaugeLabel* sp1 = nullptr;       // gauge: how far the page has been scanned (blue)

    RunDriver run_;
};

} // namespace velnor
