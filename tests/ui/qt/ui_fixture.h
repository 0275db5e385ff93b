#pragma once

#include "tests/support/memory_settings.h"
#include "tests/support/probed_window.h"
#include "tests/support/temp_tree.h"
#include "ui/qt/design_font.h"
#include "ui/qt/frmMain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velnor::test {

// The one application, on Qt's test locations (never the real settings store),
// drawn the same on every machine: the design font from the tests' own font
// set-up, Qt's Fusion style with its own colours, no desktop theme.
class AppEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        QStandardPaths::setTestModeEnabled(true);
        qputenv("FONTCONFIG_FILE", VELNOR_TEST_FONTS);
        qunsetenv("QT_QPA_PLATFORMTHEME");
        static int argc = 1;
        static char name[] = "velnor_ui_tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
        QApplication::setStyle(QStyleFactory::create("Fusion"));
        QApplication::setPalette(QApplication::style()->standardPalette());
        UseDesignFont();
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};

inline ::testing::Environment* const TheAppEnvironment =
    ::testing::AddGlobalTestEnvironment(new AppEnvironment);

using ProbedWindow = ProbedWindowOf<frmMain>;

template <typename Control> Control* Find(const QWidget& parent, const char* name) {
    auto* control = parent.findChild<Control*>(name);
    EXPECT_NE(control, nullptr) << name;
    return control;
}

struct BoxSeen {
    QString text;
    QString title;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButton defaultButton = QMessageBox::Ok;
    bool operator==(const BoxSeen&) const = default;
};

// Records and closes every modal widget that opens, once whileOpen has seen
// it: a message box with the answer (or closed if it has none).
class BoxAnswerer {
public:
    explicit BoxAnswerer(
        QMessageBox::StandardButton answer = QMessageBox::Ok,
        std::function<void(QWidget*)> whileOpen = [](QWidget*) {}) {
        QObject::connect(&timer_, &QTimer::timeout, [this, answer, whileOpen] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal == handled_)
                return;
            handled_ = modal;
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (!box) {
                boxes.push_back({{}, modal->windowTitle(), {}, {}, QMessageBox::NoButton});
                whileOpen(modal);
                modal->close();
                return;
            }
            QAbstractButton* byDefault = box->defaultButton();
            boxes.push_back({box->text(), box->windowTitle(), box->standardButtons(), box->icon(),
                             byDefault ? box->standardButton(byDefault) : QMessageBox::NoButton});
            whileOpen(box);
            if (QAbstractButton* button = box->button(answer))
                button->click();
            else
                box->close();
        });
        timer_.start(0);
    }

    std::vector<BoxSeen> boxes;

private:
    QTimer timer_;
    QPointer<QWidget> handled_;
};

// A window on a store in memory, with "/" as the only drive unless given others.
class WindowFixture : public ::testing::Test {
protected:
    ProbedWindow& MakeWindow(frmMainServices services = {}) {
        services.settings = settings;
        if (!services.drives)
            services.drives = [] {
                return std::vector<DriveEntry>{DriveEntry{"/", {}, false}};
            };
        services.endProgram = [this](int code) {
            exitCodes.push_back(code);
        };
        window = std::make_unique<ProbedWindow>(std::move(services));
        return *window;
    }

    template <typename Control> Control* Find(const char* name) const {
        return test::Find<Control>(*window, name);
    }

    std::string& Remembered() { return settings->Remembered(); }

    TempTree tree;
    std::shared_ptr<MemorySettings> settings = std::make_shared<MemorySettings>();
    std::vector<int> exitCodes;
    std::unique_ptr<ProbedWindow> window;
};

} // namespace velnor::test
