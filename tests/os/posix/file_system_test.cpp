#include "core/files/file_system.h"
#include "os/posix/os_error.h"
#include "tests/support/failing_file_ops.h"
#include "tests/support/temp_tree.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace velnor::test {
namespace {

using Names = std::vector<std::string>;

mode_t ModeOf(const std::filesystem::path& path) {
    struct stat info {};
    EXPECT_EQ(lstat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

// What FileSystemError says, or "" when nothing was thrown.
template <typename Call> std::string ErrorOf(Call call) {
    try {
        call();
    } catch (const FileSystemError& error) {
        return error.what();
    }
    return "";
}

class FileSystemTest : public ::testing::Test {
protected:
    TempTree tree;
    std::shared_ptr<FailingFileOps> ops = std::make_shared<FailingFileOps>();
    std::shared_ptr<FileSystemService> fs = MakeFileSystem(ops);
};

TEST_F(FileSystemTest, ErrorsNameThePathReadablyInTheSystemsWords) {
    tree.MakeFolder("\xC4\xE3\xBA\xC3"); // 你好 in GBK
    tree.MakeFolder("folder.htm");
    tree.WriteFile("real.htm", "real");
    tree.MakeLink("link.htm", tree.Path("real.htm"));
    const std::string root = tree.Root().native();
    EXPECT_EQ(ErrorOf([&] { fs->ReadWholeFile(tree.Path("\xC4\xE3\xBA\xC3/x.htm")); }),
              root + "/你好/x.htm: No such file or directory");
    EXPECT_EQ(ErrorOf([&] { fs->ReplaceFile(tree.Path("folder.htm"), "x"); }),
              root + "/folder.htm: Is a directory");
    EXPECT_EQ(ErrorOf([&] { fs->ReplaceFile(tree.Path("link.htm"), "x"); }),
              root + "/link.htm: not an ordinary file");
    EXPECT_EQ(tree.ReadFile("real.htm"), "real");
    EXPECT_FALSE(fs->FolderExists(tree.Path("real.htm")));
    ops->FailNth(FileOpKind::Stat, 1, EIO); // not taken for "no such folder"
    EXPECT_EQ(ErrorOf([&] { fs->FolderExists(tree.Root()); }), root + ": Input/output error");
}

TEST_F(FileSystemTest, ReplaceFileKeepsThePermissionBitsAndTheExactNameAndLeavesNothingBeside) {
    std::mt19937 random(7);
    std::string bytes(300000, '\0'); // several read chunks
    std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<char>(random()); });
    const std::pair<std::string, mode_t> pages[] = {{"page.htm", 0640},
                                                    {"\xC4\xE3\xBA\xC3|1.htm", 0604},
                                                    {std::string(251, 'n') + ".htm", 0755},
                                                    {"p", 02750}};
    for (const auto& [name, mode] : pages) {
        tree.WriteFile(name, "old");
        if (geteuid() == 0) { // only root can give a file away
            ASSERT_EQ(chown(tree.Path(name).c_str(), 4321, 8765), 0);
        }
        ASSERT_EQ(chmod(tree.Path(name).c_str(), mode), 0); // after the chown, which clears setgid

        fs->ReplaceFile(tree.Path(name), bytes);

        EXPECT_EQ(fs->ReadWholeFile(tree.Path(name)), bytes);
        EXPECT_EQ(ModeOf(tree.Path(name)), mode) << name;
        EXPECT_EQ(tree.Entries(), Names{name});
        struct stat info {};
        ASSERT_EQ(stat(tree.Path(name).c_str(), &info), 0);
        EXPECT_EQ(info.st_uid, geteuid() == 0 ? 4321u : geteuid());
        std::filesystem::remove(tree.Path(name));
    }
}

TEST_F(FileSystemTest, AReadOnlyPageIsRefusedBeforeItIsTouchedEvenByRoot) {
    tree.WriteFile("page.htm", "old");
    ASSERT_EQ(chmod(tree.Path("page.htm").c_str(), 0444), 0);
    EXPECT_EQ(ErrorOf([&] { fs->ReplaceFile(tree.Path("page.htm"), "new"); }),
              OsError(EACCES, tree.Path("page.htm")).what());
    EXPECT_EQ(tree.ReadFile("page.htm"), "old");
    EXPECT_EQ(ModeOf(tree.Path("page.htm")), 0444u);
    EXPECT_EQ(tree.Entries(), Names{"page.htm"});
    EXPECT_EQ(ops->Calls(FileOpKind::Open) + ops->Calls(FileOpKind::OpenUnnamed), 0);
}

TEST_F(FileSystemTest, AFailedReplaceLeavesThePageAsItWasAndNoTemporaryFile) {
    struct Failure {
        FileOpKind kind;
        int error;
        bool unnamed; // whether the file system offers files without a name
    };
    const Failure failures[] = {
        {FileOpKind::Lstat, EACCES, true},       {FileOpKind::OpenUnnamed, ENOSPC, true},
        {FileOpKind::Write, ENOSPC, true},       {FileOpKind::Write, EIO, true},
        {FileOpKind::Fchmod, EPERM, true},       {FileOpKind::Fsync, EIO, true},
        {FileOpKind::LinkUnnamed, ENOSPC, true}, {FileOpKind::Close, EIO, true},
        {FileOpKind::Rename, EIO, true},         {FileOpKind::Open, ENOSPC, false},
        {FileOpKind::Write, ENOSPC, false},      {FileOpKind::Fsync, EIO, false},
        {FileOpKind::Close, EIO, false},         {FileOpKind::Rename, EACCES, false}};
    const std::string original(100000, 'o');
    tree.WriteFile("page.htm", original);
    ASSERT_EQ(chmod(tree.Path("page.htm").c_str(), 0640), 0);
    for (const Failure& failure : failures) {
        SCOPED_TRACE(::testing::Message() << "call kind " << int(failure.kind)
                                          << (failure.unnamed ? "" : ", named temporary file"));
        ops->Heal();
        if (!failure.unnamed)
            ops->FailAll(FileOpKind::OpenUnnamed, EOPNOTSUPP);
        ops->FailNth(failure.kind, 1, failure.error);

        EXPECT_EQ(ErrorOf([&] { fs->ReplaceFile(tree.Path("page.htm"), "compacted"); }),
                  OsError(failure.error, tree.Path("page.htm")).what());
        EXPECT_EQ(tree.ReadFile("page.htm"), original);
        EXPECT_EQ(ModeOf(tree.Path("page.htm")), 0640u);
        EXPECT_EQ(tree.Entries(), Names{"page.htm"});
        EXPECT_EQ(ops->OpenDescriptors(), 0u);
    }
}

// A crash after the replacement finds the new content whole: it is flushed
// before it gets the page's name, and the folder after the rename.
TEST_F(FileSystemTest, TheNewContentIsFlushedBeforeTheRenameAndTheFolderAfter) {
    for (const bool unnamed : {true, false}) {
        tree.WriteFile("page.htm", "old");
        ops = std::make_shared<FailingFileOps>();
        fs = MakeFileSystem(ops);
        if (!unnamed) {
            ops->FailAll(FileOpKind::OpenUnnamed, EOPNOTSUPP);
            ops->FailNth(FileOpKind::Open, 1, EEXIST); // a temporary name already taken
        }
        fs->ReplaceFile(tree.Path("page.htm"), "new");
        fs->Flush();

        EXPECT_EQ(tree.ReadFile("page.htm"), "new");
        EXPECT_EQ(tree.Entries(), Names{"page.htm"});
        std::string order; // f: a flush, n: a name given, r: the rename over the page
        for (const auto& [kind, path] : ops->Log())
            order += kind == FileOpKind::Fsync         ? "f"
                     : kind == FileOpKind::LinkUnnamed ? "n"
                     : kind == FileOpKind::Rename      ? "r"
                                                       : "";
        EXPECT_EQ(order, unnamed ? "fnrf" : "frf");
        EXPECT_EQ(ops->CallPaths(FileOpKind::Fsync).back(), tree.Root());
        EXPECT_EQ(ops->CallPaths(FileOpKind::Rename), (std::vector{tree.Path("page.htm")}));
    }
}

// A run goes folder by folder: a folder's renames are flushed once, when a
// page of the next folder is put in place or at Flush; after a failed rename
// the earlier ones are flushed still, and a failed flush is reported.
TEST_F(FileSystemTest, EachFolderIsFlushedOnceAfterItsLastPage) {
    const Names pages = {"a/p0.htm", "a/p1.htm", "b/p0.htm", "b/p1.htm", "c/p0.htm"};
    const auto replaceAll = [&] {
        for (const std::string& page : pages) {
            tree.WriteFile(page, "old");
            fs->ReplaceFile(tree.Path(page), "new");
        }
    };
    const auto renamesAndFlushes = [&] {
        Names calls;
        for (const auto& [kind, path] : ops->Log())
            if (kind == FileOpKind::Rename)
                calls.push_back(path.parent_path().filename());
            else if (kind == FileOpKind::Open && std::filesystem::is_directory(path))
                calls.push_back("flush " + path.filename().native());
        return calls;
    };
    replaceAll();
    fs->Flush();
    EXPECT_EQ(renamesAndFlushes(),
              (Names{"a", "a", "flush a", "b", "b", "flush b", "c", "flush c"}));

    ops = std::make_shared<FailingFileOps>();
    fs = MakeFileSystem(ops);
    ops->FailOnPath(FileOpKind::Rename, tree.Path("b/p1.htm"), EIO);
    EXPECT_EQ(ErrorOf(replaceAll), OsError(EIO, tree.Path("b/p1.htm")).what());
    ops->FailAll(FileOpKind::Fsync, EIO);
    EXPECT_EQ(ErrorOf([&] { fs->Flush(); }), OsError(EIO, tree.Path("b")).what());
    EXPECT_EQ(renamesAndFlushes(), (Names{"a", "a", "flush a", "b", "b", "flush b"}));
    EXPECT_EQ(ops->OpenDescriptors(), 0u);
}

TEST_F(FileSystemTest, CopyFolderCopiesEveryEntryOverTheDestinationKeepingItsOwnFiles) {
    tree.WriteFile("src/index.htm", "index");
    tree.WriteFile("src/a/a1.htm", "a1");
    tree.WriteFile("src/a/deep/d.htm", "deep");
    tree.MakeFolder("src/empty");
    tree.MakeLink("src/to-outside", tree.Path("outside"));
    tree.MakeLink("src/to-index.htm", "index.htm");
    ASSERT_EQ(chmod(tree.Path("src/a/a1.htm").c_str(), 0751), 0);
    ASSERT_EQ(chmod(tree.Path("src/a").c_str(), 0555), 0); // its copy is still filled
    tree.WriteFile("dst/index.htm", "stale");
    tree.WriteFile("dst/a/extra.htm", "kept");
    tree.MakeLink("dst/to-index.htm", "old-target");

    fs->CopyFolder(tree.Path("src"), tree.Path("dst"), true);
    fs->CopyFolder(tree.Path("src"), tree.Path("dst"), true); // over its own copy

    Names expected = tree.Entries("src");
    expected.push_back("a/extra.htm");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(tree.Entries("dst"), expected);
    EXPECT_EQ(tree.ReadFile("dst/index.htm"), "index");
    EXPECT_EQ(tree.ReadFile("dst/a/deep/d.htm"), "deep");
    EXPECT_EQ(tree.ReadFile("dst/a/extra.htm"), "kept");
    EXPECT_EQ(ModeOf(tree.Path("dst/a/a1.htm")), 0751u);
    EXPECT_EQ(std::filesystem::read_symlink(tree.Path("dst/to-outside")), tree.Path("outside"));
    EXPECT_EQ(std::filesystem::read_symlink(tree.Path("dst/to-index.htm")), "index.htm");
}

TEST_F(FileSystemTest, CopyFolderIntoItsOwnSubfolderCreatesItAndSkipsIt) {
    tree.WriteFile("src/index.htm", "index");
    tree.WriteFile("src/a/d.htm", "deep");
    for (int copy = 0; copy < 2; ++copy) // the second with the copy already inside
        fs->CopyFolder(tree.Path("src"), tree.Path("src/.bak"), true); // as "/" to "/.bak"
    EXPECT_EQ(tree.Entries("src/.bak"), (Names{"a/", "a/d.htm", "index.htm"}));
}

TEST_F(FileSystemTest, CopyingAMissingFolderIsAnErrorAndCreatesNothing) {
    EXPECT_EQ(ErrorOf([&] { fs->CopyFolder(tree.Path("none"), tree.Path("none.bak"), true); }),
              tree.Root().native() + "/none: No such file or directory");
    EXPECT_EQ(tree.Entries(), Names{});
}

} // namespace
} // namespace velnor::test
