#pragma once

#include "core/files/file_system.h"
#include "core/run/run_driver.h"
#include "core/run/window_seam.h"
#include "core/settings/settings_store.h"
#include "ui/qt/drive_list.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <string>

class QCheckBox;
class QCloseEvent;
class QGroupBox;
class QLabel;
class QPushButton;

namespace velnor {

class DirectoryList;
class ExtensionBox;

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

    std::filesystem::path FolderPath() const override;
    bool BackupTicked() const override;
    std::string ExtensionText() const override;
    bool RemoveSpacesTicked() const override;
    bool RemoveBreaksTicked() const override;
    void SetStatus(const std::string& caption) override;
    void SetRatio(const std::string& caption) override;
    std::string GaugeCaption(Gauge gauge) const override;
    void SetGaugeCaption(Gauge gauge, const std::string& caption) override;
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
    QLabel* AddAutoSizeLabel(const char* name, const QString& caption, int left, int top);
    QLabel* AddGauge(const char* name, const QColor& text, int left, int top);

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
    std::string ratioShown_; // yasuoLv's caption as last set, to skip unchanged ones

    QLabel* Label3 = nullptr;
    QGroupBox* DirFrame = nullptr; // "选择文件目录"
    DriveList* Drive1 = nullptr;
    DirectoryList* Dir1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    ExtensionBox* Text1 = nullptr;
    QLabel* Label2 = nullptr;
    QCheckBox* Check1 = nullptr;
    QCheckBox* Check2 = nullptr;
    QCheckBox* Check4 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QLabel* lbstate = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* sp2 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* yasuoLv = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* sp1 = nullptr;

    RunDriver run_;
};

} // namespace velnor
