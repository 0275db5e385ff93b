#include "os/win32/registry_settings_store.h"

#include "os/win32/wide_text.h"
#include "os/win32/win32_error.h"

#include <windows.h>

#include <system_error>
#include <utility>

namespace velnor {
namespace {

[[noreturn]] void Fail(LSTATUS status, const std::wstring& key) {
    throw std::system_error(static_cast<int>(status), Win32Category(),
                            "HKEY_CURRENT_USER\\" + Utf8FromWide(key));
}

class KeyGuard {
public:
    explicit KeyGuard(HKEY key) : key_(key) {}
    ~KeyGuard() { RegCloseKey(key_); }
    KeyGuard(const KeyGuard&) = delete;
    KeyGuard& operator=(const KeyGuard&) = delete;

private:
    HKEY key_;
};

} // namespace

RegistrySettingsStore::RegistrySettingsStore(std::wstring base) : base_(std::move(base)) {}

std::wstring RegistrySettingsStore::KeyPath(const std::string& application,
                                            const std::string& section) const {
    return base_ + L"\\" + WideFromUtf8(application) + L"\\" + WideFromUtf8(section);
}

std::string RegistrySettingsStore::Read(const std::string& application, const std::string& section,
                                        const std::string& key, const std::string& fallback) const {
    const std::wstring path = KeyPath(application, section);
    const std::wstring name = WideFromUtf8(key);
    // Asked for the size first; a value that grows in between is asked again.
    for (;;) {
        DWORD size = 0;
        LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ,
                                      nullptr, nullptr, &size);
        if (status == ERROR_FILE_NOT_FOUND) {
            return fallback;
        }
        if (status != ERROR_SUCCESS) {
            Fail(status, path);
        }
        std::wstring value(size / sizeof(wchar_t), L'\0');
        status = RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr,
                              value.data(), &size);
        if (status == ERROR_MORE_DATA) {
            continue;
        }
        if (status != ERROR_SUCCESS) {
            Fail(status, path);
        }
        value.resize(size / sizeof(wchar_t));
        // RegGetValueW ends the text with a NUL of its own
        while (!value.empty() && value.back() == L'\0') {
            value.pop_back();
        }
        return Utf8FromWide(value);
    }
}

void RegistrySettingsStore::Write(const std::string& application, const std::string& section,
                                  const std::string& key, const std::string& value) {
    const std::wstring path = KeyPath(application, section);
    HKEY opened = nullptr;
    LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                     nullptr, &opened, nullptr);
    if (status != ERROR_SUCCESS) {
        Fail(status, path);
    }
    const KeyGuard guard(opened);
    const std::wstring text = WideFromUtf8(value);
    status = RegSetValueExW(opened, WideFromUtf8(key).c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS) {
        Fail(status, path);
    }
}

std::unique_ptr<SettingsStore> MakeSettingsStore() {
    return std::make_unique<RegistrySettingsStore>();
}

} // namespace velnor
