#pragma once

#include "core/about/registry.h"
#include "core/about/sys_info_launcher.h"

#include <QColor>
#include <QDialog>
#include <QPoint>

#include <array>

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
    // A horizontal line drawn on the dialog itself, like a label it takes no focus.
    struct LineShape {
        QPoint from; // twips
        int toX;     // twips
        QColor colour;
        int widthPixels;
    };

    void CreateControls();
    void Form_Load();
    QRect TwipsRect(int left, int top, int width, int height) const;
    QLabel* AddLabel(const char* name, const QString& text, const QRect& twips);

    SysInfoServices services_;

    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    std::array<LineShape, 2> Line1{};
};

} // namespace velnor
