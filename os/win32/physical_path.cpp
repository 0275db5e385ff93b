#include "core/files/physical_path.h"

#include "os/win32/windows_api.h"

#include <cwctype>
#include <string>
#include <string_view>

namespace velnor {
namespace {

constexpr std::wstring_view Literal = L"\\\\?\\";
constexpr std::wstring_view LiteralShare = L"\\\\?\\UNC\\";

bool StartsWithDrive(std::wstring_view path) {
    const auto letter = [](wchar_t c) {
        return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
    };
    return path.size() >= 2 && letter(path[0]) && path[1] == L':' &&
           (path.size() == 2 || path[2] == L'\\');
}

bool StartsWithLiteralShare(std::wstring_view path) {
    if (!path.starts_with(Literal) || path.size() < LiteralShare.size())
        return false;
    for (std::size_t i = Literal.size(); i < LiteralShare.size(); ++i) {
        if (std::towupper(path[i]) != LiteralShare[i])
            return false;
    }
    return true;
}

// The path as the system completes it: from the current folder, "." and ".."
// taken by name, "/" read as "\", trailing dots and blanks dropped.
std::wstring FullPath(const std::wstring& path) {
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0)
            return path; // one the system cannot complete is taken as it is
        if (length < full.size()) {
            full.resize(length);
            return full;
        }
        full.resize(length);
    }
}

// Where the root ends: "D:\", "\\?\UNC\server\share\", "\\?\Volume{...}\"; the
// whole path when it names no more than part of one.
std::size_t RootLength(std::wstring_view path) {
    if (StartsWithDrive(path))
        return 3;
    if (!path.starts_with(L"\\\\"))
        return 1;
    const std::size_t server =
        path.find(L'\\', StartsWithLiteralShare(path) ? LiteralShare.size() : 2);
    const std::size_t name = server == std::wstring::npos ? server : path.find(L'\\', server + 1);
    return name == std::wstring::npos ? path.size() : name + 1;
}

// Only a root keeps its trailing "\": "D:\", "\\?\UNC\server\share\".
std::wstring WithoutTrailingSeparator(std::wstring path) {
    if (StartsWithDrive(path) && path.size() == 2)
        path += L'\\';
    else if (StartsWithLiteralShare(path) && path.back() != L'\\' &&
             path.find(L'\\', LiteralShare.size()) != std::wstring::npos &&
             RootLength(path) == path.size())
        path += L'\\';
    const std::size_t root = RootLength(path);
    while (path.size() > root && path.back() == L'\\')
        path.pop_back();
    return path;
}

} // namespace

// A share's path stays in, or goes to, the literal form: this toolchain's
// std::filesystem knows no "\\server\share" root and would take it for a
// folder of the current drive, while "\\?\UNC\..." the file layer passes on
// as it is.
std::filesystem::path PhysicalPath(const std::filesystem::path& path) {
    const std::wstring& given = path.native();
    std::wstring physical;
    if (StartsWithLiteralShare(given)) {
        physical = std::wstring(LiteralShare) + given.substr(LiteralShare.size());
    } else if (given.starts_with(Literal)) {
        const std::wstring rest = given.substr(Literal.size());
        physical = StartsWithDrive(rest) ? rest : given;
    } else {
        physical = FullPath(given);
        if (physical.starts_with(L"\\\\") && !physical.starts_with(L"\\\\.\\") &&
            !physical.starts_with(Literal))
            physical = std::wstring(LiteralShare) + physical.substr(2);
    }
    return WithoutTrailingSeparator(std::move(physical));
}

std::filesystem::path PhysicalRoot(const std::filesystem::path& physical) {
    return physical.native().substr(0, RootLength(physical.native()));
}

} // namespace velnor
