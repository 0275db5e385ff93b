#pragma once

#include "core/about/registry.h"
#include "core/about/sys_info_launcher.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace velnor {

// The About box: title, version, author, home page, e-mail and date, and a
// button that starts the System Information tool. Created anew for every
// showing; the load steps run in the constructor.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    explicit frmAbout(QWidget* parent = nullptr);
    // An empty member of services takes the real one.
    explicit frmAbout(SysInfoServices services, QWidget* parent = nullptr);

    bool GetKeyValue(const RegistryRoot& KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                     QString& KeyVal);
    void StartSysInfo();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void CreateControls();
    void Form_Load();

    SysInfoServices services_;

    // The controls of frmAbout_design that the box uses after creating them.
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
};

} // namespace velnor
