#include "tests/support/temp_tree.h"
#include "tests/support/windows_process.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <thread>

namespace velnor::test {
namespace {

namespace fs = std::filesystem;

const wchar_t* const UninstallKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velnor";
const wchar_t* const FolderVerb = L"Software\\Classes\\Directory\\shell\\Velnor";
const wchar_t* const BackgroundVerb = L"Software\\Classes\\Directory\\Background\\shell\\Velnor";
const wchar_t* const Remembered = L"Software\\VB and VBA Program Settings\\Trimora\\Root";
const wchar_t* const VerbText = L"用 Velnor 压缩网页(&V)...";

fs::path KnownFolder(REFKNOWNFOLDERID id) {
    wchar_t* path = nullptr;
    if (FAILED(SHGetKnownFolderPath(id, 0, nullptr, &path)))
        throw std::runtime_error("a known folder cannot be found");
    fs::path folder = path;
    CoTaskMemFree(path);
    return folder;
}

bool KeyExists(const wchar_t* key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

std::optional<std::wstring> Text(const wchar_t* key, const wchar_t* value) {
    wchar_t text[1024];
    DWORD size = sizeof text;
    if (RegGetValueW(HKEY_CURRENT_USER, key, value, RRF_RT_REG_SZ, nullptr, text, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(text);
}

std::optional<DWORD> Number(const wchar_t* key, const wchar_t* value) {
    DWORD number = 0;
    DWORD size = sizeof number;
    if (RegGetValueW(HKEY_CURRENT_USER, key, value, RRF_RT_REG_DWORD, nullptr, &number, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return number;
}

std::set<std::wstring> Names(const fs::path& folder) {
    std::set<std::wstring> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().native());
    return names;
}

// Waits for the command and for every process it started: the uninstaller
// goes on from a copy of itself after it has ended.
int RunToTheEnd(std::wstring line) {
    const HANDLE job = CreateJobObjectW(nullptr, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        nullptr, &startup, &process))
        throw std::runtime_error("cannot start " + fs::path(line).string());
    AssignProcessToJobObject(job, process.hProcess);
    ResumeThread(process.hThread);
    const int status = ExitStatusOf(process);
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION usage{};
    for (int i = 0; i < 6000; ++i) {
        QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &usage, sizeof usage,
                                  nullptr);
        if (usage.ActiveProcesses == 0)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    CloseHandle(job);
    return status;
}

// The folder command as Explorer runs it, for folder: the window opens on it
// and is closed as a user closes it. Its exit status.
int OpenFromExplorer(const std::wstring& command, const fs::path& folder) {
    std::wstring line = command;
    line.replace(line.find(L"%V"), 2, folder.native());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        throw std::runtime_error("cannot start the folder command");
    std::pair<DWORD, HWND> window{process.dwProcessId, nullptr};
    for (int i = 0; i < 3000 && !window.second; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EnumWindows(
            [](HWND candidate, LPARAM found) -> BOOL {
                auto* sought = reinterpret_cast<std::pair<DWORD, HWND>*>(found);
                DWORD owner = 0;
                GetWindowThreadProcessId(candidate, &owner);
                wchar_t name[32] = {};
                GetClassNameW(candidate, name, 32);
                if (owner == sought->first && IsWindowVisible(candidate) &&
                    std::wstring(name) == L"Velnor.frmMain")
                    sought->second = candidate;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&window));
    }
    if (window.second)
        PostMessageW(window.second, WM_CLOSE, 0, 0);
    return ExitStatusOf(process);
}

// The prefix's user as it was: a Velnor left installed by a failed run is
// taken away first, and the remembered folder put back at the end.
class SetupFixture : public ::testing::Test {
protected:
    void SetUp() override {
        if (!GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version"))
            GTEST_SKIP() << "installs for the user who runs it: only in Wine's throwaway prefix";
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        UninstallLeftOver();
        rememberedBefore_ = Text(Remembered, L"Path");
        settingsBefore_ = KeyExists(L"Software\\VB and VBA Program Settings");
        setUp_ = true;
    }
    void TearDown() override {
        if (!setUp_)
            return;
        UninstallLeftOver();
        if (rememberedBefore_) {
            RegSetKeyValueW(HKEY_CURRENT_USER, Remembered, L"Path", REG_SZ,
                            rememberedBefore_->c_str(),
                            static_cast<DWORD>((rememberedBefore_->size() + 1) * sizeof(wchar_t)));
        } else {
            RegDeleteTreeW(HKEY_CURRENT_USER,
                           settingsBefore_ ? L"Software\\VB and VBA Program Settings\\Trimora"
                                           : L"Software\\VB and VBA Program Settings");
        }
        CoUninitialize();
    }

    static void UninstallLeftOver() {
        if (const auto uninstall = Text(UninstallKey, L"QuietUninstallString"))
            RunToTheEnd(*uninstall);
    }

    const fs::path installed = KnownFolder(FOLDERID_LocalAppData) / L"Programs" / L"Velnor";
    const fs::path shortcut = KnownFolder(FOLDERID_Programs) / L"Velnor.lnk";

private:
    bool setUp_ = false;
    std::optional<std::wstring> rememberedBefore_;
    bool settingsBefore_ = false;
};

fs::path ShortcutTarget(const fs::path& link) {
    IShellLinkW* shell = nullptr;
    IPersistFile* file = nullptr;
    wchar_t target[MAX_PATH] = {};
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&shell)))) {
        if (SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            if (SUCCEEDED(file->Load(link.c_str(), STGM_READ)))
                shell->GetPath(target, MAX_PATH, nullptr, 0);
            file->Release();
        }
        shell->Release();
    }
    return target;
}

// In order, as an administrator would: install, install again over it, open a
// folder from Explorer's menu, uninstall.
TEST_F(SetupFixture, SilentInstallRegistersVelnorAndUninstallTakesAllOfItBackButTheFolder) {
    const bool classesBefore = KeyExists(L"Software\\Classes\\Directory");
    const bool programsBefore = fs::exists(installed.parent_path());
    const std::wstring setup = L"\"" + fs::path(VELNOR_SETUP).native() + L"\" /S";
    ASSERT_EQ(RunToTheEnd(setup), 0);
    ASSERT_EQ(RunToTheEnd(setup), 0); // an upgrade in place

    const std::set<std::wstring> files{L"LICENSE.txt", L"README-Windows.txt", L"uninstall.exe",
                                       L"velnor-cli.exe", L"velnor.exe"};
    EXPECT_EQ(Names(installed), files);
    EXPECT_EQ(ShortcutTarget(shortcut), installed / L"velnor.exe");
    EXPECT_EQ(Text(UninstallKey, L"DisplayName"), L"Velnor");
    EXPECT_EQ(Text(UninstallKey, L"DisplayVersion"), L"" VELNOR_PROJECT_VERSION);
    EXPECT_EQ(Text(UninstallKey, L"Publisher"), L"The Velnor developers");
    EXPECT_EQ(Text(UninstallKey, L"DisplayIcon"), (installed / L"velnor.exe,0").native());
    EXPECT_GT(Number(UninstallKey, L"EstimatedSize").value_or(0), 1000u);
    const std::wstring command = L"\"" + (installed / L"velnor.exe").native() + L"\" \"%V\"";
    for (const wchar_t* verb : {FolderVerb, BackgroundVerb}) {
        EXPECT_EQ(Text(verb, nullptr), VerbText);
        EXPECT_EQ(Text((std::wstring(verb) + L"\\command").c_str(), nullptr), command);
    }

    TempTree tree;
    tree.MakeFolder("网页 site");
    EXPECT_EQ(OpenFromExplorer(*Text((std::wstring(FolderVerb) + L"\\command").c_str(), nullptr),
                               tree.Path("网页 site")),
              0);
    EXPECT_EQ(Text(Remembered, L"Path"), tree.Path("网页 site").native());

    ASSERT_EQ(RunToTheEnd(*Text(UninstallKey, L"QuietUninstallString")), 0);
    EXPECT_FALSE(fs::exists(installed));
    EXPECT_EQ(fs::exists(installed.parent_path()), programsBefore);
    EXPECT_FALSE(fs::exists(shortcut));
    for (const wchar_t* key : {UninstallKey, FolderVerb, BackgroundVerb})
        EXPECT_FALSE(KeyExists(key)) << fs::path(key);
    EXPECT_EQ(KeyExists(L"Software\\Classes\\Directory"), classesBefore);
    EXPECT_EQ(Text(Remembered, L"Path"), tree.Path("网页 site").native());
}

} // namespace
} // namespace velnor::test
