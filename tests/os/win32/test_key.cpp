#include "tests/os/win32/test_key.h"

#include <windows.h>

#include <random>
#include <stdexcept>

namespace velnor::test {
namespace {

void Check(LSTATUS status, const std::string& what) {
    if (status != ERROR_SUCCESS)
        throw std::runtime_error(what + ": registry error " + std::to_string(status));
}

} // namespace

TestKey::TestKey() {
    std::random_device seed;
    path_ = "Software\\Velnor tests\\" + std::to_string(std::mt19937_64(seed())());
    HKEY key = nullptr;
    Check(RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          &key, nullptr),
          path_);
    RegCloseKey(key);
}

TestKey::~TestKey() {
    RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Velnor tests"); // only when no other test has one
}

void TestKey::SetText(const std::string& name, const std::string& bytes, bool terminated) const {
    Check(RegSetKeyValueA(HKEY_CURRENT_USER, path_.c_str(), name.c_str(), REG_SZ, bytes.c_str(),
                          static_cast<DWORD>(bytes.size() + terminated)),
          name);
}

void TestKey::SetNumber(const std::string& name, std::uint32_t value) const {
    const DWORD number = value;
    Check(RegSetKeyValueA(HKEY_CURRENT_USER, path_.c_str(), name.c_str(), REG_DWORD, &number,
                          sizeof number),
          name);
}

} // namespace velnor::test
