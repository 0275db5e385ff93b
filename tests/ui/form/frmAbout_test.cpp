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

    void SetFormCaption(const std::string& caption) override {
        calls.push_back("caption " + caption);
    }
    void SetCaption(frmAbout_design::Control label, const std::string& caption) override {
        calls.push_back(std::string(frmAbout_design::Controls()[label].name) + " " + caption);
    }
    void ShowMessage(const MessageBoxRequest& box) override {
        calls.push_back("box " + box.text + " [" + box.title + "]");
    }
    void Unload() override { calls.push_back("unload"); }
};

TEST(frmAboutForm, LoadSetsTheCaptionThenTheVersionThenTheTitle) {
    ScriptedSysInfo sysInfo("");
    ScriptedAboutView view;
    form::frmAbout about(view, sysInfo.Services());
    about.Form_Load();
    EXPECT_EQ(view.calls, (std::vector<std::string>{"caption 关于 Velnor", "lblVersion 版本 1.0.0",
                                                    "lblTitle Velnor"}));
}

// The failure of the System Information button shows over the box, which only OK closes.
TEST(frmAboutForm, SysInfoReportsInABoxOverTheBoxAndOnlyOKUnloadsIt) {
    ScriptedSysInfo sysInfo("");
    SysInfoServices services = sysInfo.Services();
    services.showMessage = nullptr;
    ScriptedAboutView view;
    form::frmAbout about(view, services);
    about.cmdSysInfo_Click();
    about.cmdOK_Click();
    EXPECT_EQ(view.calls, (std::vector<std::string>{"box " + Unavailable + " [Velnor]", "unload"}));
}

} // namespace
} // namespace velnor::test
