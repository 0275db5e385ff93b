#include "tests/ui/ui_fixture.h"
#include "ui/extension_box.h"

#include <QClipboard>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace velnor::test {
namespace {

class ExtensionBoxTest : public AppTest {
protected:
    ExtensionBoxTest() { box.moveCursor(QTextCursor::End); }

    ExtensionBox box{"htm|html"};
};

TEST_F(ExtensionBoxTest, EnterTypesNoLineBreak) {
    QTest::keyClick(&box, Qt::Key_Return);
    QTest::keyClick(&box, Qt::Key_Enter);
    QTest::keyClicks(&box, "|asp");
    EXPECT_EQ(box.toPlainText(), "htm|html|asp");
}

TEST_F(ExtensionBoxTest, PastedLineBreaksAreDropped) {
    QApplication::clipboard()->setText("|asp\r\n|php\n|shtml\r");
    box.paste();
    EXPECT_EQ(box.toPlainText(), "htm|html|asp|php|shtml");
}

TEST_F(ExtensionBoxTest, TabMovesTheFocusAndIsNeverTyped) {
    QWidget form;
    auto* first = new ExtensionBox("htm", &form);
    auto* next = new QLineEdit(&form);
    next->move(0, 100);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    first->setFocus();
    QTest::keyClick(first, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), next);
    EXPECT_EQ(first->toPlainText(), "htm");

    QTest::keyClick(&box, Qt::Key_Tab); // alone: nowhere to go
    EXPECT_EQ(box.toPlainText(), "htm|html");
}

} // namespace
} // namespace velnor::test
