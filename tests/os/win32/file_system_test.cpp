#include "core/files/page_replace.h"
#include "core/files/tree_copy.h"
#include "core/files/tree_walk.h"
#include "core/run/run_driver.h"
#include "os/win32/long_path.h"
#include "os/win32/unique_handle.h"
#include "os/win32/win32_error.h"
#include "os/win32/windows_api.h"
#include "tests/support/error_of.h"
#include "tests/support/open_file.h"
#include "tests/support/scripted_window.h"
#include "tests/support/temp_tree.h"
#include "tests/support/wine_linux.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace velnor::test {
namespace {

using Names = std::vector<std::string>;

// A file written at any length of path.
void WriteLong(const std::filesystem::path& path, std::string_view bytes) {
    std::FILE* file = OpenFile(LongPath(path), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

class Win32FileSystemTest : public ::testing::Test {
protected:
    std::shared_ptr<FolderHandle> Open(std::string_view folder) {
        return fs->OpenFolder(tree.Path(folder));
    }
    void Replace(std::string_view folder, const wchar_t* page, std::string bytes) {
        const std::shared_ptr<FolderHandle> opened = Open(folder);
        const std::unique_ptr<PendingReplace> replace =
            replacer.Start(opened, page, ReadPage(*opened, page, 100).stamp, std::move(bytes));
        replace->Prepare();
        replace->Commit();
    }
    RunOutcome Run(const std::filesystem::path& folder, bool backup) {
        window.Folder = folder;
        window.Backup = backup;
        return RunDriver(window, [this] { return fs; }).Start().outcome;
    }

    TempTree tree;
    std::shared_ptr<FileSystemService> fs = MakeFileSystem();
    PageReplacer replacer;
    ScriptedWindow window;
};

TEST_F(Win32FileSystemTest, ReplaceKeepsTheAttributesAndTheExactNameAndLeavesNothingBeside) {
    const std::filesystem::path page = tree.WriteFile("页面.htm", "old");
    ASSERT_TRUE(SetFileAttributesW(page.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    Replace("", L"页面.htm", "new");
    EXPECT_EQ(tree.ReadFile("页面.htm"), "new");
    EXPECT_EQ(GetFileAttributesW(page.c_str()) & ~FILE_ATTRIBUTE_NOT_CONTENT_INDEXED,
              DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE});
    EXPECT_EQ(tree.Entries(), Names{"页面.htm"});
}

TEST_F(Win32FileSystemTest, APageAnotherProgramHoldsEndsTheRunBeforeItIsTouched) {
    const std::string original = "<p>a  b</p>";
    const std::filesystem::path page = tree.WriteFile("site/page.htm", original);
    const struct {
        DWORD access, share;
    } holders[] = {{GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ},
                   {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE}};
    for (const auto& holder : holders) {
        const UniqueHandle held(CreateFileW(page.c_str(), holder.access, holder.share, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        window.Messages.clear();
        Run(tree.Path("site"), false);
        ASSERT_EQ(window.Messages.size(), 1u);
        EXPECT_EQ(window.Messages[0].text, Win32Error(ERROR_SHARING_VIOLATION, page).what());
    }
    EXPECT_EQ(tree.ReadFile("site/page.htm"), original);
    EXPECT_EQ(tree.Entries("site"), Names{"page.htm"});
}

// A folder whose own path is past 263 characters, under Wine too, where the
// system's final path of a folder fails at that length.
TEST_F(Win32FileSystemTest, AFolderPastTheOldPathLimitIsLockedBackedUpAndCompacted) {
    // too long for std::filesystem to remove: the tree goes through handles
    struct Removed {
        FileSystemService& fs;
        const TempTree& tree;
        ~Removed() { RemoveTree(*fs.OpenFolder(tree.Root()), std::wstring(60, L'a')); }
    } removed{*fs, tree};
    std::filesystem::path site = tree.Root();
    for (int depth = 0; depth < 4; ++depth) {
        site /= std::wstring(60, static_cast<wchar_t>(L'a' + depth));
        ASSERT_TRUE(CreateDirectoryW(LongPath(site).c_str(), nullptr));
    }
    site /= L"站点";
    ASSERT_TRUE(CreateDirectoryW(LongPath(site).c_str(), nullptr));
    ASSERT_GT(site.native().size(), 263u);
    WriteLong(site / L"页.htm", "<p>a  b</p>");
    EXPECT_EQ(Run(site, true), RunOutcome::Done);
    EXPECT_TRUE(window.Messages.empty()) << window.Messages[0].text;
    const std::wstring name = std::filesystem::path(L"页.htm").native();
    EXPECT_EQ(ReadPage(*fs->OpenFolder(site), name, 100).bytes, "<p>ab</p>");
    EXPECT_EQ(ReadPage(*fs->OpenFolder(site.native() + L".bak"), name, 100).bytes, "<p>a  b</p>");
}

// Makes link a junction to target; false where the system makes none (Wine).
bool MakeJunction(const std::filesystem::path& link, const std::filesystem::path& target) {
    CreateDirectoryW(link.c_str(), nullptr);
    const UniqueHandle folder(CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                          nullptr));
    const std::wstring name = L"\\??\\" + target.native();
    struct {
        DWORD tag;
        WORD length, reserved, substituteOffset, substituteLength, printOffset, printLength;
        wchar_t names[1024];
    } data{};
    data.tag = IO_REPARSE_TAG_MOUNT_POINT;
    data.substituteLength = static_cast<WORD>(name.size() * sizeof(wchar_t));
    data.printOffset = data.substituteLength + sizeof(wchar_t);
    name.copy(data.names, name.size());
    data.length = static_cast<WORD>(8 + data.printOffset + sizeof(wchar_t));
    DWORD returned = 0;
    return folder && DeviceIoControl(folder.Get(), FSCTL_SET_REPARSE_POINT, &data, 8 + data.length,
                                     nullptr, 0, &returned, nullptr);
}

TEST_F(Win32FileSystemTest, AJunctionIsNeitherScannedNorCopiedThrough) {
    tree.WriteFile("outside/page.htm", "<p>a  b</p>");
    tree.WriteFile("site/own.htm", "<p>a  b</p>");
    if (!MakeJunction(tree.Path("site/elsewhere"), tree.Path("outside")))
        GTEST_SKIP() << "the system makes no junctions (Wine does not)";
    Run(tree.Path("site"), true);
    EXPECT_TRUE(window.Messages.empty());
    EXPECT_EQ(tree.ReadFile("site/own.htm"), "<p>ab</p>");
    EXPECT_EQ(tree.ReadFile("outside/page.htm"), "<p>a  b</p>");
    EXPECT_EQ(tree.Entries("site.bak"), Names{"own.htm"});
}

TEST_F(Win32FileSystemTest, AFolderIsOpenedByItsPathInTheLiteralFormToo) {
    tree.WriteFile("site/a.htm", "a");
    const std::filesystem::path literal = L"\\\\?\\" + tree.Path("site").native();
    EXPECT_TRUE(fs->FolderExists(literal));
    EXPECT_EQ(fs->OpenFolder(literal)->Identity(), Open("site")->Identity());
}

TEST_F(Win32FileSystemTest, ErrorsNameThePathInTheSystemsWords) {
    tree.MakeFolder("folder.htm");
    EXPECT_EQ(ErrorOf([&] { Open("")->OpenFile(L"folder.htm"); }),
              Win32Error(ERROR_ACCESS_DENIED, tree.Path("folder.htm")).what());
    EXPECT_FALSE(fs->FolderExists(tree.Path("folder.htm/below")));
}

// Under Wine a file's access list is its Unix permission bits; the group's
// are not shown to Windows programs, and a group that had more than others
// keeps only what others have.
TEST_F(Win32FileSystemTest, UnderWineAReplacedPageAndItsCopyGainNoPermissionBit) {
    if (!UnderWine())
        GTEST_SKIP() << "permission bits are Wine's";
    const std::tuple<const wchar_t*, unsigned, unsigned> pages[] = {{L"a.htm", 0644, 0644},
                                                                    {L"b.htm", 0600, 0600},
                                                                    {L"c.htm", 0640, 0600},
                                                                    {L"d.htm", 0444, 0444}};
    for (const auto& [page, mode, kept] : pages) {
        const std::string name = std::filesystem::path(page).string();
        SetMode(tree.WriteFile("site/" + name, "old"), mode);
        if ((mode & 0200) != 0)
            Replace("site", page, "new");
    }
    tree.MakeFolder("copy");
    CopyTree(*Open("site"), *Open("copy"), {}, {});
    for (const auto& [page, mode, kept] : pages) {
        const std::string name = std::filesystem::path(page).string();
        EXPECT_EQ(ModeOf(tree.Path("site/" + name)), kept) << name;
        EXPECT_EQ(ModeOf(tree.Path("copy/" + name)), kept) << name;
    }
}

// A drive root holds its own backup, V:\.bak, which is neither copied into
// itself nor scanned. On an empty drive of its own: under Wine the tests' V:.
TEST(DriveRoot, ARunOverADriveRootLeavesTheBackupInsideItAlone) {
    const std::string drive = VELNOR_TEST_DRIVE;
    if (drive.empty())
        GTEST_SKIP() << "no drive of its own to try";
    const std::filesystem::path root = drive + "\\";
    const std::shared_ptr<FileSystemService> fs = MakeFileSystem();
    const std::unique_ptr<FolderHandle> opened = fs->OpenFolder(root);
    ASSERT_TRUE(opened->List().empty()) << "the drive is not the tests' own";
    struct Emptied {
        FolderHandle& root;
        ~Emptied() {
            for (const Entry& entry : root.List())
                RemoveTree(root, entry.name);
        }
    } emptied{*opened};
    ASSERT_TRUE(CreateDirectoryW((root / "sub").c_str(), nullptr));
    for (const char* page : {"a.htm", "sub\\b.htm"})
        WriteLong(root / page, "a  b");
    ScriptedWindow window;
    window.Folder = root;
    window.Backup = true;
    for (int run = 0; run < 2; ++run) // the second refreshes the backup after a Yes
        EXPECT_EQ(RunDriver(window, [&] { return fs; }).Start().outcome, RunOutcome::Done)
            << (window.Messages.empty() ? "" : window.Messages.back().text);
    for (const char* page : {"\\a.htm", "\\sub\\b.htm"})
        EXPECT_EQ(
            std::count(window.Statuses.begin(), window.Statuses.end(), "正在工作: " + drive + page),
            2);
    const std::shared_ptr<FolderHandle> backup = fs->OpenFolder(root / ".bak");
    EXPECT_EQ(ReadPage(*backup->OpenFolder(L"sub", root / ".bak/sub"), L"b.htm", 10).bytes,
              "ab"); // from after the first
    EXPECT_EQ(backup->Info(L".bak").kind, EntryKind::Missing);
    EXPECT_EQ(backup->List().size(), 2u);
}

} // namespace
} // namespace velnor::test
