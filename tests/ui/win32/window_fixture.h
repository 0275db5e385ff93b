#pragma once

#include "tests/support/memory_settings.h"
#include "tests/support/probed_window.h"
#include "tests/support/temp_tree.h"
#include "ui/win32/designed_control.h"
#include "ui/win32/frmMain.h"
#include "ui/win32/wide_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace velnor::test {

inline std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// Lets the thread's windows paint everything they have to.
inline void Settle() {
    for (int round = 0; round < 20; ++round) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        Sleep(10);
    }
}

// What a message box showed; its icon is MB_ICONHAND, MB_ICONEXCLAMATION or 0.
struct BoxSeen {
    std::string text;
    std::string title;
    std::vector<int> buttons;
    UINT icon = 0;
    int defaultButton = IDOK;
    bool operator==(const BoxSeen&) const = default;
};

inline BoxSeen ReadBox(HWND dialog) {
    BoxSeen box{{}, Utf8(ControlText(dialog)), {}, 0, 0};
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child))
            continue;
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        if (ClassOf(child) == L"Button") {
            box.buttons.push_back(GetDlgCtrlID(child));
            if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
                box.defaultButton = GetDlgCtrlID(child);
        } else if ((style & SS_TYPEMASK) == SS_ICON) {
            const auto icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
            box.icon = icon == LoadIconW(nullptr, IDI_HAND) ? MB_ICONHAND
                       : icon                               ? MB_ICONEXCLAMATION
                                                            : 0;
        } else if (ClassOf(child) == L"Static" && box.text.empty()) {
            box.text = Utf8(ControlText(child));
        }
    }
    std::sort(box.buttons.begin(), box.buttons.end());
    return box;
}

// Records and closes every dialog that opens on this thread: with the answer's
// button where it has one, else after whileOpen has seen it.
class BoxAnswerer {
public:
    explicit BoxAnswerer(
        int answer = IDOK, std::function<void(HWND)> whileOpen = [](HWND) {})
        : answer_(answer), whileOpen_(std::move(whileOpen)) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 5, &Tick);
    }
    ~BoxAnswerer() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    std::vector<BoxSeen> boxes;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (current_)
            current_->Look();
    }

    void Look() {
        std::vector<HWND> open;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM list) -> BOOL {
                if (IsWindowVisible(window) && IsWindowEnabled(window) &&
                    ClassOf(window) == L"#32770")
                    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&open));
        for (HWND dialog : open) {
            if (!handled_.insert(dialog).second)
                continue;
            boxes.push_back(ReadBox(dialog));
            if (HWND button = GetDlgItem(dialog, answer_);
                button && IsWindowVisible(button) && boxes.back().title.find("关于") != 0) {
                SendMessageW(button, BM_CLICK, 0, 0);
                continue;
            }
            whileOpen_(dialog);
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    }

    static inline BoxAnswerer* current_ = nullptr;
    int answer_;
    std::function<void(HWND)> whileOpen_;
    UINT_PTR timer_ = 0;
    std::set<HWND> handled_;
};

using ProbedWindow = ProbedWindowOf<frmMain>;

// A window on a store in memory, with the tree's drive as the only drive unless given others.
class WindowFixture : public ::testing::Test {
protected:
    ProbedWindow& MakeWindow(frmMainServices services = {}) {
        services.settings = settings;
        if (!services.drives)
            services.drives = [this] {
                return std::vector<DriveEntry>{DriveEntry{tree.Root().root_path(), L""}};
            };
        services.endProgram = [this](int code) {
            exitCodes.push_back(code);
        };
        window = std::make_unique<ProbedWindow>(std::move(services));
        window->Show();
        return *window;
    }

    HWND Control(frmMain_design::Control control) const { return window->Control(control); }
    std::filesystem::path Dir1() const { return window->Form().Dir1().path; }
    std::string Caption(frmMain_design::Control control) const {
        return Utf8(ControlText(Control(control)));
    }
    void Press(frmMain_design::Control button) const {
        SendMessageW(Control(button), BM_CLICK, 0, 0);
    }

    TempTree tree;
    std::shared_ptr<MemorySettings> settings = std::make_shared<MemorySettings>();
    std::vector<int> exitCodes;
    std::unique_ptr<ProbedWindow> window;
};

} // namespace velnor::test
