#include "core/identity.h"
#include "ui/win32/wide_text.h"
#include "ui/win32/windows_api.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace velnor::test {
namespace {

TEST(VersionBlockTest, TheProgramIsVersion1000InChineseSimplifiedNamedAsItsIdentitySays) {
    // velnor.exe in the build's program folder, beside this test's own folder
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring program =
        (std::filesystem::path(self).parent_path().parent_path() / L"bin" / VELNOR_EXE).native();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(program.c_str(), &ignored);
    ASSERT_NE(size, 0u) << Utf8(program);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    const DWORD version = MAKELONG(identity::VersionMinor, identity::VersionMajor);
    EXPECT_EQ(fixed->dwFileVersionMS, version);
    EXPECT_EQ(fixed->dwFileVersionLS, DWORD(identity::VersionRevision) << 16);

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    EXPECT_EQ(translation[0], 0x0804);
    const std::pair<const wchar_t*, std::string> texts[] = {
        {L"FileVersion", "1.00"},
        {L"InternalName", identity::InternalName},
        {L"ProductName", identity::ApplicationTitle},
        {L"OriginalFilename", "velnor.exe"},
    };
    for (const auto& [name, expected] : texts) {
        const std::wstring key = std::wstring(L"\\StringFileInfo\\080404b0\\") + name;
        wchar_t* value = nullptr;
        ASSERT_TRUE(
            VerQueryValueW(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &length))
            << Utf8(name);
        EXPECT_EQ(Utf8(value), expected) << Utf8(name);
    }
}

} // namespace
} // namespace velnor::test
