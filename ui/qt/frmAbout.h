#pragma once

#include "core/about/sys_info_launcher.h"
#include "ui/form/frmAbout.h"
#include "ui/form/frmAbout_view.h"

#include <QDialog>

#include <array>
#include <string>

namespace velnor {

// The About box in Qt Widgets: the controls of frmAbout_design, each named as
// designed, and what form::frmAbout asks of them. Created anew for every
// showing; the load runs in the constructor.
class frmAbout : public QDialog, public form::frmAboutView {
    Q_OBJECT

public:
    // An empty member of services takes the real one.
    explicit frmAbout(SysInfoServices services = {}, QWidget* parent = nullptr);

    void SetFormCaption(const std::string& caption) override;
    void SetCaption(frmAbout_design::Control label, const std::string& caption) override;
    void ShowMessage(const MessageBoxRequest& request) override;
    void Unload() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void CreateControls();

    std::array<QWidget*, frmAbout_design::ControlCount> controls_{};
    form::frmAbout form_;
};

} // namespace velnor
