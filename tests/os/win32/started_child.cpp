// Stands in for a program the About box starts: leaves a file "started"
// beside itself holding the number of arguments it got.
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char**) {
    wchar_t self[32768];
    const DWORD length = GetModuleFileNameW(nullptr, self, 32768);
    std::wstring path(self, length);
    path = path.substr(0, path.rfind(L'\\') + 1) + L"started";
    std::FILE* file = _wfopen(path.c_str(), L"w");
    if (file == nullptr)
        return 1;
    std::fprintf(file, "%d", argc - 1);
    return std::fclose(file) == 0 ? 0 : 1;
}
