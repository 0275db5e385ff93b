#include "core/files/file_system.h"
#include "core/run/run_driver.h"
#include "os/win32/atomic_file.h"
#include "os/win32/file_info.h"
#include "os/win32/folder_copy.h"
#include "os/win32/folder_listing.h"
#include "os/win32/long_path.h"
#include "os/win32/win32_error.h"
#include "os/win32/windows_api.h"
#include "tests/support/scripted_window.h"
#include "tests/support/temp_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace velnor::test {
namespace {

using Names = std::vector<std::string>;

// The stamp of a page as read.
FileStamp Read(FileSystemService& fs, const std::filesystem::path& page) {
    return fs.ReadPage(page, 1 << 20).stamp;
}

// What an error says, or "" when nothing was thrown.
template <typename Call> std::string ErrorOf(Call call) {
    try {
        call();
    } catch (const FileSystemError& error) {
        return error.what();
    }
    return "";
}

class Win32FileSystemTest : public ::testing::Test {
protected:
    TempTree tree;
    std::shared_ptr<FileSystemService> fs = MakeFileSystem();
};

TEST_F(Win32FileSystemTest, ReplaceKeepsTheAttributesAndTheExactNameAndLeavesNothingBeside) {
    tree.WriteFile("页面.htm", "old");
    const std::filesystem::path page = tree.Path("页面.htm");
    ASSERT_TRUE(SetFileAttributesW(page.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    fs->ReplaceFile(page, Read(*fs, page), "new");
    EXPECT_EQ(tree.ReadFile("页面.htm"), "new");
    EXPECT_EQ(GetFileAttributesW(page.c_str()) & ~FILE_ATTRIBUTE_NOT_CONTENT_INDEXED,
              DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE});
    EXPECT_EQ(tree.Entries(), Names{"页面.htm"});
}

TEST_F(Win32FileSystemTest, APageAnotherProgramHoldsEndsTheRunBeforeItIsTouched) {
    const std::string original = "<p>a  b</p>";
    tree.WriteFile("site/page.htm", original);
    const std::filesystem::path page = tree.Path("site/page.htm");
    const struct {
        DWORD access, share;
    } holders[] = {{GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ},
                   {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE}};
    for (const auto& holder : holders) {
        const UniqueHandle held(CreateFileW(page.c_str(), holder.access, holder.share, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        ScriptedWindow window;
        window.Folder = tree.Path("site");
        RunDriver(window, [] { return MakeFileSystem(); }).Start();
        ASSERT_EQ(window.Messages.size(), 1u);
        EXPECT_EQ(window.Messages[0].text, Win32Error(ERROR_SHARING_VIOLATION, page).what());
    }
    EXPECT_EQ(tree.ReadFile("site/page.htm"), original);
    EXPECT_EQ(tree.Entries("site"), Names{"page.htm"});
}

// Folders nested past the 260-character limit of plain paths.
TEST_F(Win32FileSystemTest, PagesDeeperThanTheOldPathLimitAreBackedUpAndCompacted) {
    tree.MakeFolder("site");
    std::filesystem::path folder = tree.Path("site");
    for (int depth = 0; depth < 4; ++depth) {
        folder /= std::wstring(80, static_cast<wchar_t>(L'a' + depth));
        ASSERT_TRUE(CreateDirectoryW(LongPath(folder).c_str(), nullptr) ||
                    GetLastError() == ERROR_ALREADY_EXISTS);
    }
    const std::filesystem::path page = folder / L"页.htm";
    ASSERT_GT(page.native().size(), 300u);
    PrepareBeside(page, std::nullopt, [&](HANDLE file) {
        WriteAll(file, "<p>a  b</p>", page);
    }).Commit();
    ScriptedWindow window;
    window.Folder = tree.Path("site");
    window.Backup = true;
    RunDriver(window, [] { return MakeFileSystem(); }).Start();
    EXPECT_TRUE(window.Messages.empty());
    EXPECT_EQ(fs->ReadPage(page, 100).bytes, "<p>ab</p>");
    const std::filesystem::path backup =
        tree.Path("site.bak") / page.lexically_relative(tree.Path("site"));
    EXPECT_EQ(fs->ReadPage(backup, 100).bytes, "<p>a  b</p>");
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
    ScriptedWindow window;
    window.Folder = tree.Path("site");
    window.Backup = true;
    RunDriver(window, [] { return MakeFileSystem(); }).Start();
    EXPECT_TRUE(window.Messages.empty());
    EXPECT_EQ(tree.ReadFile("site/own.htm"), "<p>ab</p>");
    EXPECT_EQ(tree.ReadFile("outside/page.htm"), "<p>a  b</p>");
    EXPECT_EQ(tree.Entries("site.bak"), Names{"own.htm"});
}

// A page another program changed or removed since it was read stays as it
// left it, and one removed is not made again.
TEST_F(Win32FileSystemTest, ErrorsNameThePathInTheSystemsWordsAndAChangedPageIsLeftAlone) {
    const std::filesystem::path missing = tree.Path("站点/x.htm");
    EXPECT_EQ(ErrorOf([&] { fs->ReadPage(missing, 100); }),
              Win32Error(ERROR_PATH_NOT_FOUND, missing).what());
    tree.MakeFolder("folder.htm");
    EXPECT_EQ(ErrorOf([&] { fs->ReadPage(tree.Path("folder.htm"), 100); }),
              Win32Error(ERROR_ACCESS_DENIED, tree.Path("folder.htm")).what());
    EXPECT_FALSE(fs->FolderExists(tree.Path("folder.htm/below")));
    tree.WriteFile("page.htm", "old");
    const std::filesystem::path page = tree.Path("page.htm");
    const FileStamp read = Read(*fs, page);
    tree.WriteFile("page.htm", "other");
    EXPECT_EQ(ErrorOf([&] { fs->ReplaceFile(page, read, "new"); }), PageChanged(page).what());
    EXPECT_EQ(tree.ReadFile("page.htm"), "other");
    const std::unique_ptr<PendingReplace> replace = fs->StartReplace(page, Read(*fs, page), "new");
    replace->Prepare();
    std::filesystem::remove(page);
    EXPECT_EQ(ErrorOf([&] { replace->Commit(); }), PageGone(page).what());
    EXPECT_EQ(tree.Entries(), Names{"folder.htm/"});
}

TEST_F(Win32FileSystemTest, IsWithinJudgesFoldersByTheirIdentity) {
    tree.MakeFolder("a/b/c");
    tree.MakeFolder("ab");
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"a", "a", true},   {"a/b/c", "a", true},      {"a", "a/b", false},
        {"ab", "a", false}, {"a/b/c/..", "a/b", true}, {"a/B/c", "a/b", true}};
    for (const auto& [inner, outer, within] : cases)
        EXPECT_EQ(fs->IsWithin(tree.Path(inner), tree.Path(outer)), within)
            << inner << " in " << outer;
}

// A drive root holds its own backup, V:\.bak, which is neither copied into
// itself nor scanned. On an empty drive of its own: under Wine the tests' V:.
TEST(DriveRoot, ARunOverADriveRootLeavesTheBackupInsideItAlone) {
    const std::string drive = VELNOR_TEST_DRIVE;
    if (drive.empty())
        GTEST_SKIP() << "no drive of its own to try";
    const std::filesystem::path root = drive + "\\";
    ASSERT_TRUE(ListFolder(root).empty()) << "the drive is not the tests' own";
    struct Emptied {
        const std::filesystem::path& root;
        ~Emptied() {
            for (const ListedEntry& entry : ListFolder(root))
                RemoveFolderTree(root / entry.Name);
        }
    } emptied{root};
    const std::shared_ptr<FileSystemService> fs = MakeFileSystem();
    CreateDirectoryW((root / "sub").c_str(), nullptr);
    for (const char* page : {"a.htm", "sub\\b.htm"})
        PrepareBeside(root / page, std::nullopt, [&](HANDLE file) {
            WriteAll(file, "a  b", page);
        }).Commit();
    ScriptedWindow window;
    window.Folder = root;
    window.Backup = true;
    for (int run = 0; run < 2; ++run) // the second refreshes the backup after a Yes
        EXPECT_EQ(RunDriver(window, [&] { return fs; }).Start().outcome, RunOutcome::Done);
    for (const char* page : {"\\a.htm", "\\sub\\b.htm"})
        EXPECT_EQ(
            std::count(window.Statuses.begin(), window.Statuses.end(), "正在工作: " + drive + page),
            2);
    EXPECT_EQ(fs->ReadPage(root / ".bak/sub/b.htm", 10).bytes, "ab"); // from after the first
    EXPECT_EQ(fs->KindOf(root / ".bak/.bak"), EntryKind::Missing);
    EXPECT_EQ(ListFolder(root / ".bak").size(), 2u);
}

} // namespace
} // namespace velnor::test
