#include "os/win32/wine.h"

#include "os/win32/windows_api.h"

namespace velnor {

bool UnderWine() {
    static const bool wine =
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
}

} // namespace velnor
