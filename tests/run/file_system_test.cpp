#include "run/file_system.h"
#include "tests/support/failing_file_ops.h"
#include "tests/support/temp_tree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace velnor {
namespace {

using test::FailingFileOps;
using test::TempTree;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

std::vector<std::string> Names(const std::vector<FolderItem>& items) {
    std::vector<std::string> names;
    for (const FolderItem& item : items) {
        names.push_back(item.Path.filename().native());
    }
    return names;
}

mode_t ModeOf(const std::filesystem::path& path) {
    struct stat info {};
    EXPECT_EQ(lstat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

std::string RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(byte(generator));
    }
    return bytes;
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

// ---- listing ----

TEST_F(FileSystemTest, ListingIsSortedByNameBytesAndSplitsFoldersFromFiles) {
    for (const char* name : {"b.htm", "a.htm", "B.htm", "\xC3\xA9.htm", "Z", "a|b.htm"}) {
        tree.WriteFile(name, "x");
    }
    tree.MakeFolder("sub2");
    tree.MakeFolder("Sub1");
    tree.MakeFolder("sub1");

    const auto folder = fs->GetFolder(tree.Root());

    EXPECT_THAT(Names(folder->SubFolders()), ElementsAre("Sub1", "sub1", "sub2"));
    EXPECT_THAT(Names(folder->Files()),
                ElementsAre("B.htm", "Z", "a.htm", "a|b.htm", "b.htm", "\xC3\xA9.htm"));
    EXPECT_EQ(folder->Files()[0].Path, tree.Path("B.htm"));
}

TEST_F(FileSystemTest, LinksAndSpecialFilesAreNotListed) {
    tree.WriteFile("real/page.htm", "x");
    tree.MakeLink("linked-folder", tree.Path("real"));
    tree.MakeLink("linked-page.htm", tree.Path("real/page.htm"));
    tree.MakeLink("dangling.htm", tree.Path("nowhere"));
    ASSERT_EQ(mkfifo(tree.Path("pipe.htm").c_str(), 0600), 0);

    const auto folder = fs->GetFolder(tree.Root());

    EXPECT_THAT(Names(folder->SubFolders()), ElementsAre("real"));
    EXPECT_THAT(folder->Files(), IsEmpty());
}

TEST_F(FileSystemTest, NonUtf8NameIsListedUnderItsExactBytes) {
    const std::string gbk = "\xC4\xE3\xBA\xC3.htm"; // 你好.htm in GBK
    tree.WriteFile(gbk, "x");

    const auto files = fs->GetFolder(tree.Root())->Files();

    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].Path.native(), tree.Root().native() + "/" + gbk);
}

TEST_F(FileSystemTest, FolderThatCannotBeListedThrowsTheOsWords) {
    EXPECT_THAT(ErrorOf([&] { fs->GetFolder(tree.Path("missing")); }),
                AllOf(HasSubstr("No such file or directory"), HasSubstr("missing")));

    ops->FailNth(FileOpKind::ListFolder, 1, EACCES);
    EXPECT_THAT(ErrorOf([&] { fs->GetFolder(tree.Root()); }), HasSubstr("Permission denied"));
}

TEST_F(FileSystemTest, FolderExistsOnlyForFolders) {
    tree.WriteFile("page.htm", "x");
    tree.MakeFolder("sub");
    tree.MakeLink("to-sub", tree.Path("sub"));

    EXPECT_TRUE(fs->FolderExists(tree.Root()));
    EXPECT_TRUE(fs->FolderExists(tree.Path("sub")));
    EXPECT_TRUE(fs->FolderExists(tree.Path("to-sub")));
    EXPECT_FALSE(fs->FolderExists(tree.Path("page.htm")));
    EXPECT_FALSE(fs->FolderExists(tree.Path("missing")));
    EXPECT_FALSE(fs->FolderExists(tree.Path("page.htm/below")));
}

TEST_F(FileSystemTest, FolderExistsReportsOtherFailuresInsteadOfAnsweringNo) {
    ops->FailNth(FileOpKind::Stat, 1, EIO);
    EXPECT_THAT(ErrorOf([&] { fs->FolderExists(tree.Root()); }), HasSubstr("Input/output error"));
}

// ---- reading ----

TEST_F(FileSystemTest, ReadWholeFileGivesEveryByte) {
    const std::string large = RandomBytes(300000, 7); // several read chunks
    tree.WriteFile("large.bin", large);
    tree.WriteFile("empty.htm", "");
    tree.WriteFile("nul.htm", std::string("a\0b\r\n", 5));

    EXPECT_EQ(fs->ReadWholeFile(tree.Path("large.bin")), large);
    EXPECT_EQ(fs->ReadWholeFile(tree.Path("empty.htm")), "");
    EXPECT_EQ(fs->ReadWholeFile(tree.Path("nul.htm")), std::string("a\0b\r\n", 5));
}

TEST_F(FileSystemTest, ReadWholeFileErrorCarriesTheOsWordsAndThePath) {
    EXPECT_THAT(ErrorOf([&] { fs->ReadWholeFile(tree.Path("gone.htm")); }),
                AllOf(HasSubstr("No such file or directory"), HasSubstr("gone.htm")));

    tree.WriteFile("page.htm", "text");
    ops->FailNth(FileOpKind::Read, 1, EIO);
    EXPECT_THAT(ErrorOf([&] { fs->ReadWholeFile(tree.Path("page.htm")); }),
                AllOf(HasSubstr("Input/output error"), HasSubstr("page.htm")));
    EXPECT_EQ(ops->OpenDescriptors(), 0u);
}

TEST_F(FileSystemTest, ErrorShowsANonUtf8PathReadably) {
    tree.MakeFolder("\xC4\xE3\xBA\xC3"); // 你好 in GBK
    EXPECT_THAT(ErrorOf([&] { fs->ReadWholeFile(tree.Path("\xC4\xE3\xBA\xC3/x.htm")); }),
                HasSubstr("\xE4\xBD\xA0\xE5\xA5\xBD/x.htm: No such file or directory"));
}

// ---- replacing ----

TEST_F(FileSystemTest, ReplaceFileWritesTheNewBytesAndLeavesNoTempFile) {
    tree.WriteFile("site/page.htm", "old content that is longer");

    fs->ReplaceFile(tree.Path("site/page.htm"), "new");

    EXPECT_EQ(tree.ReadFile("site/page.htm"), "new");
    EXPECT_THAT(tree.Entries("site"), ElementsAre("page.htm"));
}

TEST_F(FileSystemTest, ReplaceFileKeepsThePermissionBits) {
    for (const mode_t mode : {0640, 0604, 0755, 0600, 02750}) {
        tree.WriteFile("page.htm", "old");
        ASSERT_EQ(chmod(tree.Path("page.htm").c_str(), mode), 0);

        fs->ReplaceFile(tree.Path("page.htm"), "new");

        EXPECT_EQ(ModeOf(tree.Path("page.htm")), mode) << std::oct << mode;
        EXPECT_EQ(tree.ReadFile("page.htm"), "new");
    }
}

TEST_F(FileSystemTest, ReplaceFileKeepsTheOwnerWhenRunAsRoot) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "only root can give a file to someone else";
    }
    tree.WriteFile("page.htm", "old");
    ASSERT_EQ(chown(tree.Path("page.htm").c_str(), 4321, 8765), 0);

    fs->ReplaceFile(tree.Path("page.htm"), "new");

    struct stat info {};
    ASSERT_EQ(stat(tree.Path("page.htm").c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 4321u);
    EXPECT_EQ(info.st_gid, 8765u);
}

TEST_F(FileSystemTest, ReadOnlyPageIsRefusedBeforeItIsTouchedEvenByRoot) {
    tree.WriteFile("page.htm", "old");
    ASSERT_EQ(chmod(tree.Path("page.htm").c_str(), 0444), 0);

    EXPECT_THAT(ErrorOf([&] { fs->ReplaceFile(tree.Path("page.htm"), "new"); }),
                AllOf(HasSubstr("Permission denied"), HasSubstr("page.htm")));

    EXPECT_EQ(tree.ReadFile("page.htm"), "old");
    EXPECT_EQ(ModeOf(tree.Path("page.htm")), 0444u);
    EXPECT_THAT(tree.Entries(), ElementsAre("page.htm"));
    EXPECT_EQ(ops->Calls(FileOpKind::Open), 0);
}

struct InjectedFailure {
    const char* Name;
    FileOpKind Kind;
    int Error;
    const char* Words;
    bool Unnamed; // whether the file system offers files without a name
};

class ReplaceFileFailureTest : public FileSystemTest,
                               public ::testing::WithParamInterface<InjectedFailure> {};

TEST_P(ReplaceFileFailureTest, FailureLeavesThePageIntactAndNoTempFile) {
    const InjectedFailure failure = GetParam();
    const std::string original = RandomBytes(100000, 11);
    tree.WriteFile("page.htm", original);
    ASSERT_EQ(chmod(tree.Path("page.htm").c_str(), 0640), 0);
    if (!failure.Unnamed) {
        ops->FailAll(FileOpKind::OpenUnnamed, EOPNOTSUPP);
    }
    ops->FailNth(failure.Kind, 1, failure.Error);

    EXPECT_THAT(ErrorOf([&] { fs->ReplaceFile(tree.Path("page.htm"), "compacted"); }),
                AllOf(HasSubstr(failure.Words), HasSubstr("/page.htm: ")));

    EXPECT_EQ(ops->Failures(), failure.Unnamed ? 1 : 2);
    EXPECT_EQ(tree.ReadFile("page.htm"), original);
    EXPECT_EQ(ModeOf(tree.Path("page.htm")), 0640u);
    EXPECT_THAT(tree.Entries(), ElementsAre("page.htm"));
    EXPECT_EQ(ops->OpenDescriptors(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    UnnamedTemp, ReplaceFileFailureTest,
    ::testing::Values(
        InjectedFailure{"StatEacces", FileOpKind::Lstat, EACCES, "Permission denied", true},
        InjectedFailure{"CreateEnospc", FileOpKind::OpenUnnamed, ENOSPC, "No space left", true},
        InjectedFailure{"WriteEnospc", FileOpKind::Write, ENOSPC, "No space left", true},
        InjectedFailure{"WriteEio", FileOpKind::Write, EIO, "Input/output error", true},
        InjectedFailure{"ChmodEperm", FileOpKind::Fchmod, EPERM, "not permitted", true},
        InjectedFailure{"FsyncEio", FileOpKind::Fsync, EIO, "Input/output error", true},
        InjectedFailure{"LinkEnospc", FileOpKind::LinkUnnamed, ENOSPC, "No space left", true},
        InjectedFailure{"CloseEio", FileOpKind::Close, EIO, "Input/output error", true},
        InjectedFailure{"RenameEacces", FileOpKind::Rename, EACCES, "Permission denied", true}),
    [](const ::testing::TestParamInfo<InjectedFailure>& info) { return info.param.Name; });

INSTANTIATE_TEST_SUITE_P(
    NamedTemp, ReplaceFileFailureTest,
    ::testing::Values(
        InjectedFailure{"CreateEnospc", FileOpKind::Open, ENOSPC, "No space left", false},
        InjectedFailure{"WriteEnospc", FileOpKind::Write, ENOSPC, "No space left", false},
        InjectedFailure{"ChmodEperm", FileOpKind::Fchmod, EPERM, "not permitted", false},
        InjectedFailure{"FsyncEio", FileOpKind::Fsync, EIO, "Input/output error", false},
        InjectedFailure{"CloseEio", FileOpKind::Close, EIO, "Input/output error", false},
        InjectedFailure{"RenameEacces", FileOpKind::Rename, EACCES, "Permission denied", false}),
    [](const ::testing::TestParamInfo<InjectedFailure>& info) { return info.param.Name; });

// The calls that make a replacement last through a crash, in order.
std::vector<std::pair<FileOpKind, std::filesystem::path>>
DurabilityCalls(const FailingFileOps& ops) {
    std::vector<std::pair<FileOpKind, std::filesystem::path>> calls;
    for (const auto& call : ops.Log()) {
        if (call.first == FileOpKind::Fsync || call.first == FileOpKind::Rename ||
            call.first == FileOpKind::LinkUnnamed) {
            calls.push_back(call);
        }
    }
    return calls;
}

TEST_F(FileSystemTest, NewFileIsFlushedBeforeItGetsANameAndTheFolderAfterTheRename) {
    tree.WriteFile("page.htm", "old");

    fs->ReplaceFile(tree.Path("page.htm"), "new");
    fs->Flush();

    const auto calls = DurabilityCalls(*ops);
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].first, FileOpKind::Fsync);
    EXPECT_EQ(calls[1].first, FileOpKind::LinkUnnamed);
    EXPECT_THAT(calls[1].second.filename().native(), ::testing::StartsWith(".page.htm.velnor-"));
    EXPECT_EQ(calls[2], std::pair(FileOpKind::Rename, tree.Path("page.htm")));
    EXPECT_EQ(calls[3], std::pair(FileOpKind::Fsync, tree.Root()));
}

TEST_F(FileSystemTest, WithoutUnnamedFilesATempFileBesideThePageIsFlushedThenRenamed) {
    tree.WriteFile("page.htm", "old");
    ops->FailAll(FileOpKind::OpenUnnamed, EOPNOTSUPP);

    fs->ReplaceFile(tree.Path("page.htm"), "new");
    fs->Flush();

    EXPECT_EQ(tree.ReadFile("page.htm"), "new");
    EXPECT_THAT(tree.Entries(), ElementsAre("page.htm"));
    const auto calls = DurabilityCalls(*ops);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].first, FileOpKind::Fsync);
    EXPECT_EQ(calls[0].second.parent_path(), tree.Root());
    EXPECT_THAT(calls[0].second.filename().native(), ::testing::StartsWith(".page.htm.velnor-"));
    EXPECT_EQ(calls[1], std::pair(FileOpKind::Rename, tree.Path("page.htm")));
    EXPECT_EQ(calls[2], std::pair(FileOpKind::Fsync, tree.Root()));
}

TEST_F(FileSystemTest, TempNameAlreadyTakenIsNotOverwritten) {
    tree.WriteFile("page.htm", "old");
    ops->FailAll(FileOpKind::OpenUnnamed, EOPNOTSUPP);
    ops->FailNth(FileOpKind::Open, 1, EEXIST); // as if someone held that name

    fs->ReplaceFile(tree.Path("page.htm"), "new");

    EXPECT_EQ(tree.ReadFile("page.htm"), "new");
    ASSERT_GE(ops->CallPaths(FileOpKind::Open).size(), 2u);
    EXPECT_NE(ops->CallPaths(FileOpKind::Open)[0], ops->CallPaths(FileOpKind::Open)[1]);
}

TEST_F(FileSystemTest, FolderFlushFailureAfterTheRenameIsReported) {
    tree.WriteFile("page.htm", "old");
    ops->FailNth(FileOpKind::Fsync, 2, EIO); // the first is the new file's

    fs->ReplaceFile(tree.Path("page.htm"), "new");
    EXPECT_THAT(ErrorOf([&] { fs->Flush(); }), HasSubstr("Input/output error"));
    // the page is whole, already the new one
    EXPECT_EQ(tree.ReadFile("page.htm"), "new");
    EXPECT_THAT(tree.Entries(), ElementsAre("page.htm"));
}

TEST_F(FileSystemTest, ReplaceFileRewritesANonUtf8NameUnderItsExactBytes) {
    const std::string gbk = "\xC4\xE3\xBA\xC3|1.htm";
    tree.WriteFile(gbk, "old");

    fs->ReplaceFile(tree.Path(gbk), "new");

    EXPECT_THAT(tree.Entries(), ElementsAre(gbk));
    EXPECT_EQ(tree.ReadFile(gbk), "new");
}

TEST_F(FileSystemTest, ReplaceFileWorksForTheLongestName) {
    const std::string name = std::string(251, 'n') + ".htm";
    tree.WriteFile(name, "old");

    fs->ReplaceFile(tree.Path(name), "new");

    EXPECT_THAT(tree.Entries(), ElementsAre(name));
    EXPECT_EQ(tree.ReadFile(name), "new");
}

TEST_F(FileSystemTest, ReplaceFileCreatesAMissingPageAndRefusesAFolder) {
    fs->ReplaceFile(tree.Path("new.htm"), "made");
    EXPECT_EQ(tree.ReadFile("new.htm"), "made");

    tree.MakeFolder("folder.htm");
    EXPECT_THAT(ErrorOf([&] { fs->ReplaceFile(tree.Path("folder.htm"), "x"); }),
                HasSubstr("Is a directory"));
    EXPECT_THAT(tree.Entries(), ElementsAre("folder.htm/", "new.htm"));
}

TEST_F(FileSystemTest, ReplaceFileDoesNotWriteThroughALink) {
    tree.WriteFile("real.htm", "real");
    tree.MakeLink("link.htm", tree.Path("real.htm"));

    EXPECT_THAT(ErrorOf([&] { fs->ReplaceFile(tree.Path("link.htm"), "x"); }),
                HasSubstr("not an ordinary file"));
    EXPECT_EQ(tree.ReadFile("real.htm"), "real");
}

// ---- copying ----

class CopyFolderTest : public FileSystemTest {
protected:
    void MakeSource() {
        tree.WriteFile("src/index.htm", "index");
        tree.WriteFile("src/a/a1.htm", "a1");
        tree.WriteFile("src/a/deep/d.htm", "deep");
        tree.MakeFolder("src/empty");
        ASSERT_EQ(chmod(tree.Path("src/a/a1.htm").c_str(), 0751), 0);
    }
};

TEST_F(CopyFolderTest, CopyCreatesTheDestinationWithEverything) {
    MakeSource();

    fs->CopyFolder(tree.Path("src"), tree.Path("src.bak"), true);

    EXPECT_EQ(tree.Entries("src.bak"), tree.Entries("src"));
    EXPECT_EQ(tree.ReadFile("src.bak/a/deep/d.htm"), "deep");
    EXPECT_EQ(ModeOf(tree.Path("src.bak/a/a1.htm")), 0751u);
}

TEST_F(CopyFolderTest, CopyOverwritesSameNamedFilesAndKeepsTheOthers) {
    MakeSource();
    tree.WriteFile("src.bak/index.htm", "stale");
    tree.WriteFile("src.bak/a/only-in-backup.htm", "kept");

    fs->CopyFolder(tree.Path("src"), tree.Path("src.bak"), true);

    EXPECT_EQ(tree.ReadFile("src.bak/index.htm"), "index");
    EXPECT_EQ(tree.ReadFile("src.bak/a/only-in-backup.htm"), "kept");
    EXPECT_EQ(tree.ReadFile("src.bak/a/a1.htm"), "a1");
}

TEST_F(CopyFolderTest, CopyWithoutOverwriteRefusesAnExistingFile) {
    MakeSource();
    tree.WriteFile("src.bak/index.htm", "stale");

    EXPECT_THAT(ErrorOf([&] { fs->CopyFolder(tree.Path("src"), tree.Path("src.bak"), false); }),
                HasSubstr("File exists"));
    EXPECT_EQ(tree.ReadFile("src.bak/index.htm"), "stale");
}

TEST_F(CopyFolderTest, LinksAreCopiedAsLinksNeverFollowed) {
    tree.WriteFile("outside/secret.htm", "outside");
    tree.WriteFile("src/page.htm", "page");
    tree.MakeLink("src/to-outside", tree.Path("outside"));
    tree.MakeLink("src/to-page.htm", "page.htm");
    tree.MakeLink("src/dangling", "nowhere");
    tree.MakeLink("src.bak/to-page.htm", "old-target"); // replaced by the source's link

    fs->CopyFolder(tree.Path("src"), tree.Path("src.bak"), true);

    EXPECT_THAT(tree.Entries("src.bak"),
                ElementsAre("dangling", "page.htm", "to-outside", "to-page.htm"));
    EXPECT_EQ(std::filesystem::read_symlink(tree.Path("src.bak/to-outside")), tree.Path("outside"));
    EXPECT_EQ(std::filesystem::read_symlink(tree.Path("src.bak/to-page.htm")), "page.htm");
    EXPECT_EQ(std::filesystem::read_symlink(tree.Path("src.bak/dangling")), "nowhere");
}

TEST_F(CopyFolderTest, MissingSourceIsAnErrorAndCreatesNothing) {
    EXPECT_THAT(ErrorOf([&] { fs->CopyFolder(tree.Path("none.bak"), tree.Path("none"), true); }),
                AllOf(HasSubstr("No such file or directory"), HasSubstr("none.bak")));
    EXPECT_THAT(tree.Entries(), IsEmpty());
}

TEST_F(CopyFolderTest, CopyIntoItsOwnSubfolderSkipsItsDestination) {
    MakeSource();

    fs->CopyFolder(tree.Path("src"), tree.Path("src/.bak"), true); // like "/" to "/.bak"

    EXPECT_THAT(tree.Entries("src/.bak"),
                ElementsAre("a/", "a/a1.htm", "a/deep/", "a/deep/d.htm", "empty/", "index.htm"));

    // a second time, with the backup already inside, and deeper inside
    fs->CopyFolder(tree.Path("src"), tree.Path("src/.bak"), true);
    fs->CopyFolder(tree.Path("src/"), tree.Path("src/a/deep/bak"), true);

    EXPECT_THAT(tree.Entries("src/.bak"),
                ElementsAre("a/", "a/a1.htm", "a/deep/", "a/deep/d.htm", "empty/", "index.htm"));
    EXPECT_EQ(tree.ReadFile("src/a/deep/bak/a/deep/d.htm"), "deep");
    EXPECT_FALSE(std::filesystem::exists(tree.Path("src/a/deep/bak/a/deep/bak")));
}

TEST_F(CopyFolderTest, NamesAreCopiedAsExactBytes) {
    const std::string gbk = "\xC4\xE3\xBA\xC3";
    tree.WriteFile("src/" + gbk + "/a|b.htm", "x");
    tree.WriteFile("src/\xFF.htm", "y");

    fs->CopyFolder(tree.Path("src"), tree.Path("dst"), true);

    EXPECT_THAT(tree.Entries("dst"), ElementsAre(gbk + "/", gbk + "/a|b.htm", "\xFF.htm"));
}

TEST_F(CopyFolderTest, FailedCopyKeepsWhatItCopiedAndLeavesNoTempFile) {
    MakeSource();
    ops->FailNth(FileOpKind::Write, 2, ENOSPC); // the second file

    EXPECT_THAT(ErrorOf([&] { fs->CopyFolder(tree.Path("src"), tree.Path("src.bak"), true); }),
                HasSubstr("No space left on device"));

    EXPECT_THAT(tree.Entries("src.bak"), ElementsAre("a/", "a/a1.htm", "a/deep/"));
    EXPECT_EQ(ops->OpenDescriptors(), 0u);
}

TEST_F(CopyFolderTest, ReadOnlySourceFolderStillFillsItsCopy) {
    MakeSource();
    ASSERT_EQ(chmod(tree.Path("src/a").c_str(), 0555), 0);

    fs->CopyFolder(tree.Path("src"), tree.Path("src.bak"), true);
    fs->CopyFolder(tree.Path("src"), tree.Path("src.bak"), true);

    EXPECT_EQ(tree.ReadFile("src.bak/a/deep/d.htm"), "deep");
}

TEST_F(CopyFolderTest, DestinationThatIsAFileIsAnError) {
    MakeSource();
    tree.WriteFile("file", "x");
    tree.WriteFile("dst/a", "a file where the source has a folder");

    EXPECT_THAT(ErrorOf([&] { fs->CopyFolder(tree.Path("src"), tree.Path("file"), true); }),
                HasSubstr("Not a directory"));
    EXPECT_THAT(ErrorOf([&] { fs->CopyFolder(tree.Path("src"), tree.Path("dst"), true); }),
                HasSubstr("File exists"));
    EXPECT_EQ(tree.ReadFile("dst/a"), "a file where the source has a folder");
}

} // namespace
} // namespace velnor
