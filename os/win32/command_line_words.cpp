#include "os/win32/command_line_words.h"

#include "os/win32/wide_text.h"
#include "os/win32/win32_error.h"
#include "os/win32/windows_api.h"

#include <shellapi.h>

#include <system_error>

namespace velnor {

std::vector<std::string> CommandLineWords(const std::wstring& commandLine) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(commandLine.c_str(), &count);
    if (wide == nullptr) {
        const DWORD error = GetLastError(); // before the exception is made
        throw std::system_error(static_cast<int>(error), Win32Category(), "the command line");
    }
    std::vector<std::string> words;
    for (int i = 1; i < count; ++i) {
        std::wstring word = wide[i];
        if (!word.empty() && word.find(L'"') == word.size() - 1)
            word.back() = L'\\';
        words.push_back(Utf8FromWide(word));
    }
    LocalFree(wide);
    return words;
}

} // namespace velnor
