#include "ui/form/frmAbout.h"

#include "tests/core/about/sys_info_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velnor::test {
namespace {

// A toolkit for frmAbout that notes what it is told, in order.
class ScriptedAboutView : public form::frmAboutView {
public:
    std::vector<std::string> calls;

    void SetFormCaption(const std::string& caption) override { calls.push_back(caption); }
    void SetCaption(frmAbout_design::Control label, const std::string& caption) override {
        calls.push_back(frmAbout_design::Controls()[label].name + (" " + caption));
    }
    void ShowMessage(const MessageBoxRequest& box) override {
        calls.push_back(box.text + " [" + box.title + "]");
    }
    void Unload() override { calls.push_back("unload"); }
};

// The load sets the caption, then lblVersion, then lblTitle; the System
// Information button's failure shows over the box, which only OK closes.
TEST(frmAboutForm, LoadsItsTextsInOrderAndOnlyOKUnloadsIt) {
    ScriptedSysInfo sysInfo("");
    SysInfoServices services = sysInfo.Services();
    services.showMessage = nullptr;
    ScriptedAboutView view;
    form::frmAbout about(view, services);
    about.Form_Load();
    about.cmdSysInfo_Click();
    about.cmdOK_Click();
    EXPECT_EQ(view.calls,
              (std::vector<std::string>{"关于 Velnor", "lblVersion 版本 1.0.0", "lblTitle Velnor",
                                        Unavailable + " [Velnor]", "unload"}));
}

} // namespace
} // namespace velnor::test
