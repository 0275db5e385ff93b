#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

namespace velnor::test {

// A console of the test's own, in place of any it had (under Wine it needs a
// display): programs run on it as from a prompt, and what it shows is read
// back as the characters on its screen.
class TestConsole {
public:
    TestConsole();
    ~TestConsole();
    TestConsole(const TestConsole&) = delete;
    TestConsole& operator=(const TestConsole&) = delete;

    // Its screen, for the test's own writes.
    HANDLE Screen() const { return screen_; }

    // Runs program with the arguments (UTF-8) from this console: a console
    // program with the console as its standard streams, a window program
    // (streams false) with none at all, so that only the console it may join
    // is left. Its exit status, -1 when it did not end within a minute.
    int Run(const std::filesystem::path& program, const std::vector<std::string>& args,
            bool streams = true) const;

    // The screen's lines down to the cursor, trailing blanks dropped; a
    // character two cells wide is read once.
    std::vector<std::wstring> Lines() const;

private:
    HANDLE saved_[3]{};
    HANDLE screen_ = INVALID_HANDLE_VALUE;
    HANDLE input_ = INVALID_HANDLE_VALUE;
};

} // namespace velnor::test
