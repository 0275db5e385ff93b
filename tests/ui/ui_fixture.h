#pragma once

#include "platform/settings_store.h"
#include "run/file_system.h"
#include "ui/design_font.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace velnor::test {

// The one application of the test binary: offscreen (ctest sets the
// platform), the window's font, and Qt's test locations, so no test can reach
// the real settings store. Made by the first test that needs it and deleted
// after the last, while Qt can still clean up after itself.
class AppEnvironment : public ::testing::Environment {
public:
    static QApplication& App() {
        if (!app_) {
            QStandardPaths::setTestModeEnabled(true);
            static int argc = 1;
            static char name[] = "velnor_ui_tests";
            static char* argv[] = {name, nullptr};
            app_ = std::make_unique<QApplication>(argc, argv);
            UseDesignFont();
        }
        return *app_;
    }
    void TearDown() override { app_.reset(); }

private:
    static inline std::unique_ptr<QApplication> app_;
};

inline ::testing::Environment* const TheAppEnvironment =
    ::testing::AddGlobalTestEnvironment(new AppEnvironment);

inline QApplication& App() {
    return AppEnvironment::App();
}

// A test whose members may be widgets: the application comes first.
class AppTest : public ::testing::Test {
protected:
    AppTest() { App(); }
};

// A settings store in memory.
class MemorySettings : public SettingsStore {
public:
    using Entry = std::tuple<std::string, std::string, std::string>;

    std::string Read(const std::string& application, const std::string& section,
                     const std::string& key, const std::string& fallback) const override {
        ++reads;
        const auto found = entries.find({application, section, key});
        return found == entries.end() ? fallback : found->second;
    }
    void Write(const std::string& application, const std::string& section, const std::string& key,
               const std::string& value) override {
        ++writes;
        if (!failWrites.empty())
            throw std::runtime_error(failWrites);
        entries[{application, section, key}] = value;
    }

    std::map<Entry, std::string> entries;
    mutable int reads = 0;
    int writes = 0;
    std::string failWrites; // the description a failing write throws with
};

// The main window, counting its yields and able to act at a chosen one.
class ProbedWindow : public frmMain {
public:
    using frmMain::frmMain;

    void Yield() override {
        ++Yields;
        if (OnYield)
            OnYield(Yields);
        frmMain::Yield();
    }

    std::size_t Yields = 0;
    std::function<void(std::size_t)> OnYield;
};

// What a message box showed.
struct BoxSeen {
    QString text;
    QString title;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

inline BoxSeen Describe(QMessageBox* box) {
    BoxSeen seen;
    seen.text = box->text();
    seen.title = box->windowTitle();
    seen.buttons = box->standardButtons();
    seen.icon = box->icon();
    seen.defaultButton =
        box->defaultButton() ? box->standardButton(box->defaultButton()) : QMessageBox::NoButton;
    return seen;
}

// Hands every modal widget that opens to handle, once each. Its timer runs in
// whatever loop is going: a box's own, or the processEvents of a run's yield.
class ModalWatcher {
public:
    explicit ModalWatcher(std::function<void(QWidget*)> handle) : handle_(std::move(handle)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start(0);
    }

    int Seen() const { return seen_; }

private:
    void Poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (busy_ || !modal || modal == handled_)
            return;
        handled_ = modal;
        ++seen_;
        busy_ = true;
        handle_(modal);
        busy_ = false;
    }

    std::function<void(QWidget*)> handle_;
    QTimer timer_;
    QPointer<QWidget> handled_;
    int seen_ = 0;
    bool busy_ = false;
};

// Answers every message box with answer after recording it; anything else
// modal is closed and counted as a box with no text.
class BoxAnswerer {
public:
    explicit BoxAnswerer(QMessageBox::StandardButton answer = QMessageBox::Ok)
        : watcher_([this](QWidget* modal) { Answer(modal); }) {
        answers.push_back(answer);
    }

    // The answers for the next boxes, in order; the last one repeats.
    std::vector<QMessageBox::StandardButton> answers;
    std::vector<BoxSeen> boxes;

private:
    void Answer(QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box) {
            boxes.push_back(BoxSeen{});
            modal->close();
            return;
        }
        boxes.push_back(Describe(box));
        const QMessageBox::StandardButton answer =
            answers[std::min(boxes.size(), answers.size()) - 1];
        box->button(answer)->click();
    }

    ModalWatcher watcher_;
};

// A window on the given services; what is missing is filled in with a store in
// memory, the real file system, the root as the only drive, and a recorder of
// the program's end.
class WindowFixture : public AppTest {
protected:
    ProbedWindow& MakeWindow(frmMainServices services = {}) {
        if (!services.settings)
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
        auto* control = window->findChild<Control*>(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    void Remember(const std::string& folder) {
        settings->entries[{"Trimora", "Root", "Path"}] = folder;
    }
    std::string Remembered() const {
        const auto found = settings->entries.find({"Trimora", "Root", "Path"});
        return found == settings->entries.end() ? std::string() : found->second;
    }

    std::shared_ptr<MemorySettings> settings = std::make_shared<MemorySettings>();
    std::vector<int> exitCodes;
    std::unique_ptr<ProbedWindow> window;
};

} // namespace velnor::test
