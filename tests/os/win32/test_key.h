#pragma once

#include <cstdint>
#include <string>

namespace velnor::test {

// A key of its own under HKEY_CURRENT_USER\Software\Velnor tests, removed
// with everything in it when the test ends; the real settings stay untouched.
// Without <windows.h>, whose macros would hide the core's registry names.
class TestKey {
public:
    TestKey();
    ~TestKey();
    TestKey(const TestKey&) = delete;
    TestKey& operator=(const TestKey&) = delete;

    // Below HKEY_CURRENT_USER, with "\" between names.
    const std::string& Path() const { return path_; }

    // Values written with the ANSI calls, bytes as given, with or without
    // their terminating NUL.
    void SetText(const std::string& name, const std::string& bytes, bool terminated = true) const;
    void SetNumber(const std::string& name, std::uint32_t value) const;

private:
    std::string path_;
};

} // namespace velnor::test
