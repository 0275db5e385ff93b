#include "ui/qt/frmAbout.h"

#include "tests/core/about/sys_info_fixture.h"
#include "tests/ui/qt/ui_fixture.h"

#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>

namespace velnor::test {
namespace {

const std::string Hardinfo = MsinfoKey + "\"PATH\"=\"/usr/bin/hardinfo\"";

// Runs the box modally, as the main window does, and hands it to act once it is
// up and active; a box still open afterwards is ended with -1.
int RunModally(frmAbout& box, const std::function<void()>& act) {
    QTimer::singleShot(0, &box, [&] {
        EXPECT_EQ(QApplication::activeModalWidget(), &box);
        QApplication::setActiveWindow(&box);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&box));
        act();
        if (box.isVisible())
            box.done(-1);
    });
    return box.exec();
}

// OK has the focus; the tool is started by Enter on System Information and by Alt+S.
TEST(frmAboutTest, KeysAndTheCloseBoxClickTheirButtons) {
    const int ok = QDialog::Accepted;
    const int shut = QDialog::Rejected;
    const int stays = -1;
    const std::pair<const char*, int> cases[] = {
        {"Esc", ok},     {"Return", ok},         {"Enter", ok},
        {"", shut},      {"Tab, Return", stays}, {"Tab, Tab, Return", ok},
        {"Alt+S", stays}};
    for (const auto& [keys, result] : cases) {
        SCOPED_TRACE(keys);
        ScriptedSysInfo sysInfo(Hardinfo);
        frmAbout box(sysInfo.Services());
        const int ended = RunModally(box, [&] {
            const QKeySequence sequence(keys);
            for (int i = 0; i < sequence.count(); ++i)
                QTest::keyClick(QApplication::focusWidget(), sequence[i].key(),
                                sequence[i].keyboardModifiers());
            if (sequence.isEmpty())
                box.close();
            // An access key presses its button and lets it go a moment later.
            EXPECT_TRUE(QTest::qWaitFor([&] { return !box.isVisible() || !sysInfo.log.empty(); }));
        });
        EXPECT_EQ(ended, result);
        EXPECT_EQ(sysInfo.log, result == stays ? std::vector<std::string>{"start /usr/bin/hardinfo"}
                                               : std::vector<std::string>{});
    }
}

TEST(frmAboutTest, WithoutTheToolTheMessageShowsModallyOverTheBoxWhichStaysOpen) {
    ScriptedSysInfo scripted("");
    SysInfoServices services = scripted.Services();
    services.showMessage = nullptr; // the real box
    frmAbout box(services);
    bool seen = false;
    RunModally(box, [&] {
        QTimer::singleShot(0, &box, [&] {
            auto* message = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(message, nullptr);
            seen = true;
            EXPECT_EQ(message->text(), QString::fromStdString(Unavailable));
            EXPECT_EQ(message->windowTitle(), "Velnor");
            EXPECT_EQ(message->parentWidget(), &box);
            message->button(QMessageBox::Ok)->click();
        });
        QMetaObject::invokeMethod(Find<QWidget>(box, "cmdSysInfo"), "click");
        EXPECT_TRUE(box.isVisible());
    });
    EXPECT_TRUE(seen);
}

} // namespace
} // namespace velnor::test
