#include "tests/support/test_console.h"

#include "tests/support/windows_process.h"

#include <stdexcept>

namespace velnor::test {
namespace {

constexpr DWORD Streams[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};

HANDLE Inheritable(const wchar_t* name) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       &inherit, OPEN_EXISTING, 0, nullptr);
}

} // namespace

TestConsole::TestConsole() {
    for (int i = 0; i < 3; ++i)
        saved_[i] = GetStdHandle(Streams[i]);
    FreeConsole();
    if (!AllocConsole())
        throw std::runtime_error("no console could be made (under Wine: is there a display?)");
    screen_ = Inheritable(L"CONOUT$");
    input_ = Inheritable(L"CONIN$");
}

TestConsole::~TestConsole() {
    CloseHandle(screen_);
    CloseHandle(input_);
    FreeConsole();
    for (int i = 0; i < 3; ++i)
        SetStdHandle(Streams[i], saved_[i]);
}

int TestConsole::Run(const std::filesystem::path& program, const std::vector<std::string>& args,
                     bool streams) const {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    if (streams) {
        startup.hStdInput = input_;
        startup.hStdOutput = screen_;
        startup.hStdError = screen_;
    }
    std::wstring line = CommandLineOf(program, args);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, streams, 0, nullptr,
                        nullptr, &startup, &process))
        throw std::runtime_error("cannot start " + program.string());
    return ExitStatusOf(process);
}

std::vector<std::wstring> TestConsole::Lines() const {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(screen_, &info))
        throw std::runtime_error("the console's screen cannot be read");
    const SHORT width = info.dwSize.X;
    std::vector<std::wstring> lines;
    std::vector<CHAR_INFO> cells(static_cast<std::size_t>(width));
    for (SHORT row = 0; row <= info.dwCursorPosition.Y; ++row) {
        SMALL_RECT area{0, row, static_cast<SHORT>(width - 1), row};
        if (!ReadConsoleOutputW(screen_, cells.data(), {width, 1}, {0, 0}, &area))
            throw std::runtime_error("the console's screen cannot be read");
        std::wstring line;
        for (const CHAR_INFO& cell : cells) {
            if (!(cell.Attributes & COMMON_LVB_TRAILING_BYTE))
                line += cell.Char.UnicodeChar;
        }
        line.erase(line.find_last_not_of(L' ') + 1);
        lines.push_back(line);
    }
    return lines;
}

} // namespace velnor::test
