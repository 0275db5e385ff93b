#include "core/files/file_system.h"
#include "core/text/display_path.h"
#include "os/posix/os_error.h"
#include "tests/support/failing_file_ops.h"
#include "tests/support/temp_tree.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace velnor::test {
namespace {

using Names = std::vector<std::string>;

mode_t ModeOf(const std::filesystem::path& path) {
    struct stat info {};
    EXPECT_EQ(lstat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

// Every extended attribute, as "name=value", sorted.
Names AttributesOf(const std::filesystem::path& path) {
    std::string list(4096, '\0');
    list.resize(std::max<ssize_t>(llistxattr(path.c_str(), list.data(), list.size()), 0));
    Names attributes;
    for (std::size_t start = 0; start < list.size(); start = list.find('\0', start) + 1) {
        const std::string name = list.c_str() + start;
        std::string value(4096, '\0');
        value.resize(std::max<ssize_t>(
            lgetxattr(path.c_str(), name.c_str(), value.data(), value.size()), 0));
        attributes.push_back(name + "=" + value);
    }
    std::sort(attributes.begin(), attributes.end());
    return attributes;
}

// A POSIX ACL as the system stores it (version 2, then tag, permissions and id
// of each entry, little-endian): owner rw, user 65534 r, group r, mask r,
// others nothing (so mode 0640). A default ACL has the same form.
const std::string Acl(std::string_view("\x02\0\0\0"
                                       "\x01\0\x06\0\xFF\xFF\xFF\xFF"
                                       "\x02\0\x04\0\xFE\xFF\0\0"
                                       "\x04\0\x04\0\xFF\xFF\xFF\xFF"
                                       "\x10\0\x04\0\xFF\xFF\xFF\xFF"
                                       "\x20\0\0\0\xFF\xFF\xFF\xFF",
                                       44));

void SetAttribute(const std::filesystem::path& path, const char* name, const std::string& value) {
    ASSERT_EQ(setxattr(path.c_str(), name, value.data(), value.size(), 0), 0) << name;
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
    // The page read and then replaced with bytes.
    void Replace(const std::string& name, std::string_view bytes) {
        fs->ReplaceFile(tree.Path(name), fs->ReadPage(tree.Path(name), 1 << 30).stamp, bytes);
    }

    TempTree tree;
    std::shared_ptr<FailingFileOps> ops = std::make_shared<FailingFileOps>();
    std::shared_ptr<FileSystemService> fs = MakeFileSystem(ops);
};

TEST_F(FileSystemTest, ReadPageTakesOnlyARegularFileWithinItsSizeWithoutFollowingOrWaiting) {
    tree.WriteFile("page.htm", "1234");
    tree.MakeFolder("folder.htm");
    tree.MakeLink("link.htm", tree.Path("page.htm"));
    ASSERT_EQ(mkfifo(tree.Path("fifo.htm").c_str(), 0600), 0); // no writer: a read would wait
    const std::string root = tree.Root().native();
    const std::pair<std::string, std::string> cases[] = {
        {"folder.htm", root + "/folder.htm: Is a directory"},
        {"link.htm", root + "/link.htm: not an ordinary file"},
        {"fifo.htm", root + "/fifo.htm: not an ordinary file"},
        {"page.htm", root + "/page.htm: page is larger than 3 bytes"},
    };
    for (const auto& [name, error] : cases)
        EXPECT_EQ(ErrorOf([&] { fs->ReadPage(tree.Path(name), 3); }), error);
    EXPECT_EQ(fs->ReadPage(tree.Path("page.htm"), 4).bytes, "1234");
    EXPECT_EQ(ops->OpenDescriptors(), 0u);
}

TEST_F(FileSystemTest, ReplaceKeepsPermissionsOwnerAttributesAclAndTheExactNameAndLeavesNothing) {
    std::mt19937 random(7);
    std::string bytes(300000, '\0'); // several read chunks
    std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<char>(random()); });
    const std::tuple<std::string, mode_t, bool> pages[] = {
        {"\xC4\xE3\xBA\xC3|1.htm", 0604, false},
        {std::string(251, 'n') + ".htm", 0755, false},
        {"p", 02750, false},
        {"acl.htm", 0640, true}};
    for (const auto& [name, mode, acl] : pages) {
        tree.WriteFile(name, "old");
        if (geteuid() == 0) { // only root can give a file away
            ASSERT_EQ(chown(tree.Path(name).c_str(), 4321, 8765), 0);
        }
        ASSERT_EQ(chmod(tree.Path(name).c_str(), mode), 0); // after the chown, which clears setgid
        SetAttribute(tree.Path(name), "user.note", "kept \x01 bytes");
        if (acl)
            SetAttribute(tree.Path(name), "system.posix_acl_access", Acl);
        const Names attributes = AttributesOf(tree.Path(name));

        Replace(name, bytes);

        EXPECT_EQ(fs->ReadPage(tree.Path(name), bytes.size()).bytes, bytes);
        EXPECT_EQ(ModeOf(tree.Path(name)), mode) << name;
        EXPECT_EQ(AttributesOf(tree.Path(name)), attributes) << name;
        EXPECT_EQ(tree.Entries(), Names{name});
        struct stat info {};
        ASSERT_EQ(stat(tree.Path(name).c_str(), &info), 0);
        EXPECT_EQ(info.st_uid, geteuid() == 0 ? 4321u : geteuid());
        std::filesystem::remove(tree.Path(name));
    }
}

// Access is never widened: an ACL that cannot be set refuses the page, and
// one the new file would take from its folder's default is taken off.
TEST_F(FileSystemTest, AnAclThatCannotBeKeptRefusesThePageAndNoneIsGainedFromTheFolder) {
    tree.WriteFile("acl.htm", "old");
    SetAttribute(tree.Path("acl.htm"), "system.posix_acl_access", Acl);
    tree.WriteFile("plain.htm", "old");
    SetAttribute(tree.Path("plain.htm"), "user.note", "x");
    ops->FailAll(FileOpKind::SetAttribute, EPERM);
    EXPECT_EQ(ErrorOf([&] { Replace("acl.htm", "new"); }),
              DisplayPath(tree.Path("acl.htm")) +
                  ": its access rights (system.posix_acl_access) cannot be kept: Operation not "
                  "permitted");
    EXPECT_EQ(tree.ReadFile("acl.htm"), "old");
    Replace("plain.htm", "new"); // a note that could not be kept limits no one
    EXPECT_EQ(tree.ReadFile("plain.htm"), "new");
    EXPECT_EQ(tree.Entries(), (Names{"acl.htm", "plain.htm"}));

    ops->Heal();
    tree.WriteFile("shared/page.htm", "old");
    const mode_t mode = ModeOf(tree.Path("shared/page.htm"));
    SetAttribute(tree.Path("shared"), "system.posix_acl_default", Acl);
    Replace("shared/page.htm", "new");
    EXPECT_EQ(AttributesOf(tree.Path("shared/page.htm")), Names{});
    EXPECT_EQ(ModeOf(tree.Path("shared/page.htm")), mode);
}

// Another writer between the read and the replace, or between the new
// content's flush and its rename: the page stays as that writer left it.
TEST_F(FileSystemTest, APageChangedOrGoneSinceItWasReadIsLeftAsTheOtherWriterLeftIt) {
    // what the other writer does, and the page's content afterwards ("" for none)
    const std::tuple<const char*, std::function<void(const TempTree&)>, const char*> changes[] = {
        {"appended", [](const TempTree& t) { t.WriteFile("page.htm", "old + more"); },
         "old + more"},
        {"renamed over",
         [](const TempTree& t) {
             t.WriteFile("other", "old");
             std::filesystem::rename(t.Path("other"), t.Path("page.htm"));
         },
         "old"},
        {"touched",
         [](const TempTree& t) { std::filesystem::last_write_time(t.Path("page.htm"), {}); },
         "old"},
        {"deleted", [](const TempTree& t) { std::filesystem::remove(t.Path("page.htm")); }, ""},
    };
    for (const auto& [what, make, after] : changes) {
        for (const bool lastMoment : {false, true}) {
            SCOPED_TRACE(std::string(what) + (lastMoment ? " before the rename" : ""));
            tree.WriteFile("page.htm", "old");
            const FileStamp read = fs->ReadPage(tree.Path("page.htm"), 100).stamp;
            std::unique_ptr<PendingReplace> replace;
            if (lastMoment) {
                replace = fs->StartReplace(tree.Path("page.htm"), read, "new");
                replace->Prepare();
            }
            make(tree);
            const std::string error = ErrorOf([&] {
                if (!replace)
                    replace = fs->StartReplace(tree.Path("page.htm"), read, "new");
                replace->Commit();
            });
            if (*after) {
                EXPECT_EQ(error, PageChanged(tree.Path("page.htm")).what());
                EXPECT_EQ(tree.ReadFile("page.htm"), after);
                EXPECT_EQ(tree.Entries(), Names{"page.htm"});
            } else {
                EXPECT_EQ(error, PageGone(tree.Path("page.htm")).what());
                EXPECT_EQ(tree.Entries(), Names{});
            }
            replace.reset();
            EXPECT_EQ(ops->OpenDescriptors(), 0u);
        }
    }
}

TEST_F(FileSystemTest, AFailedReplaceLeavesThePageAsItWasAndNoTemporaryFile) {
    // the call that fails, with what, and whether files can be made without a name
    const std::tuple<FileOpKind, int, bool> failures[] = {
        {FileOpKind::Lstat, EACCES, true},  {FileOpKind::OpenUnnamed, ENOSPC, true},
        {FileOpKind::Write, ENOSPC, true},  {FileOpKind::Fchmod, EPERM, true},
        {FileOpKind::Fsync, EIO, true},     {FileOpKind::LinkUnnamed, ENOSPC, true},
        {FileOpKind::Close, EIO, true},     {FileOpKind::Rename, EIO, true},
        {FileOpKind::Open, ENOSPC, false},  {FileOpKind::Write, ENOSPC, false},
        {FileOpKind::Rename, EACCES, false}};
    const std::string original(100000, 'o');
    tree.WriteFile("page.htm", original);
    ASSERT_EQ(chmod(tree.Path("page.htm").c_str(), 0640), 0);
    const FileStamp read = fs->ReadPage(tree.Path("page.htm"), original.size()).stamp;
    for (const auto& [kind, error, unnamed] : failures) {
        SCOPED_TRACE(::testing::Message()
                     << "call kind " << int(kind) << (unnamed ? "" : ", named temporary file"));
        ops->Heal();
        if (!unnamed)
            ops->FailAll(FileOpKind::OpenUnnamed, EOPNOTSUPP);
        ops->FailNth(kind, 1, error);

        EXPECT_EQ(ErrorOf([&] { fs->ReplaceFile(tree.Path("page.htm"), read, "compacted"); }),
                  OsError(error, tree.Path("page.htm")).what());
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
            ops->FailNth(FileOpKind::Open, 2, EEXIST); // a temporary name already taken
        }
        Replace("page.htm", "new");
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

// Taken in another process: within one, the run tests show the same.
TEST_F(FileSystemTest, AFolderLockConflictsInsideAndAroundButNotBesideAndGoesWithItsHolder) {
    for (const char* folder : {"site/a/in", "site/b"})
        tree.MakeFolder(folder);
    const auto free = [&](const char* folder) {
        const pid_t child = fork();
        if (child == 0)
            _exit(ErrorOf([&] { fs->LockFolder(tree.Path(folder)); }).empty() ? 0 : 1);
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    };
    const Names entries = tree.Entries();
    {
        const std::unique_ptr<FolderLock> held = fs->LockFolder(tree.Path("site/a"));
        for (const auto& [folder, expected] : {std::pair{"site/a", false},
                                               {"site/a/in", false},
                                               {"site", false},
                                               {"", false},
                                               {"site/b", true}})
            EXPECT_EQ(free(folder), expected) << folder;
        EXPECT_EQ(tree.Entries(), entries); // nothing left in the site
    }
    EXPECT_TRUE(free("site/a"));
}

TEST_F(FileSystemTest, IsWithinJudgesFoldersAsTheSystemResolvesThem) {
    tree.MakeFolder("a/b/c");
    tree.MakeFolder("ab");
    tree.MakeLink("to-b", tree.Path("a/b"));
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"a", "a", true},       {"a/b/c", "a", true},       {"a", "a/b", false},
        {"ab", "a", false},     {"to-b", "a", true},        {"to-b/..", "a", true},
        {"a", "to-b/..", true}, {"to-b/../..", "a", false},
    };
    for (const auto& [inner, outer, within] : cases)
        EXPECT_EQ(fs->IsWithin(tree.Path(inner), tree.Path(outer)), within)
            << inner << " in " << outer;
}

TEST_F(FileSystemTest, RemoveLeftoversTakesOnlyTheProgramsTemporaryFilesDirectlyInTheFolder) {
    // too short, a letter too many, no leading dot, a folder, not directly in it, a link
    const Names kept = {".p.htm.velnor-AbC12",
                        ".p.htm.velnor-AbC12!",
                        "p.htm.velnor-AbC123",
                        ".q.velnor-XYZ789/",
                        ".q.velnor-XYZ789/.r.velnor-abcdef",
                        ".s.velnor-Link01",
                        "page.htm"};
    for (const std::string& name : kept)
        if (name.ends_with('/'))
            tree.MakeFolder(name);
        else if (name != ".s.velnor-Link01")
            tree.WriteFile(name, "");
    tree.MakeLink(".s.velnor-Link01", tree.Path(".p.htm.velnor-aaaaaa"));
    tree.WriteFile(".p.htm.velnor-aaaaaa", "");
    tree.WriteFile(".x.velnor-123456", "");
    // and the named temporary file a run killed before its rename leaves
    ops->FailAll(FileOpKind::OpenUnnamed, EOPNOTSUPP);
    const std::unique_ptr<PendingReplace> killed =
        fs->StartReplace(tree.Path("page.htm"), fs->ReadPage(tree.Path("page.htm"), 0).stamp, "x");
    killed->Prepare();
    EXPECT_EQ(fs->RemoveLeftovers(tree.Root()), 3u);
    Names expected = kept;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(tree.Entries(), expected);
}

TEST_F(FileSystemTest, CopyFolderCopiesEveryEntryWithItsAttributesAndHolesOverTheDestination) {
    tree.WriteFile("src/index.htm", "index");
    tree.WriteFile("src/a/a1.htm", "a1");
    tree.WriteFile("src/a/deep/d.htm", "deep");
    tree.WriteFile("src/a/.d.htm.velnor-Ab12Cd", "a run's temporary file");
    tree.MakeFolder("src/empty");
    tree.MakeLink("src/to-outside", tree.Path("outside"));
    tree.MakeLink("src/to-index.htm", "index.htm");
    tree.WriteFile("src/sparse", "");
    std::filesystem::resize_file(tree.Path("src/sparse"), 64 << 20);
    SetAttribute(tree.Path("src/index.htm"), "system.posix_acl_access", Acl);
    SetAttribute(tree.Path("src/a"), "user.folder", "note");
    ASSERT_EQ(chmod(tree.Path("src/a/a1.htm").c_str(), 0751), 0);
    ASSERT_EQ(chmod(tree.Path("src/a").c_str(), 0555), 0); // its copy is still filled
    tree.WriteFile("dst/index.htm", "stale");
    tree.WriteFile("dst/a/extra.htm", "kept");
    tree.MakeLink("dst/to-index.htm", "old-target");
    std::vector<std::pair<std::uint64_t, std::uint64_t>> progress;
    const CopyProgress heard = [&](std::uint64_t files, std::uint64_t bytes) {
        progress.emplace_back(files, bytes);
    };

    fs->CopyFolder(tree.Path("src"), tree.Path("dst"), true, heard);
    fs->CopyFolder(tree.Path("src"), tree.Path("dst"), true, {}); // over its own copy

    Names expected = tree.Entries("src");
    std::erase(expected, "a/.d.htm.velnor-Ab12Cd");
    expected.push_back("a/extra.htm");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(tree.Entries("dst"), expected);
    EXPECT_EQ(tree.ReadFile("dst/index.htm"), "index");
    EXPECT_EQ(tree.ReadFile("dst/a/deep/d.htm"), "deep");
    EXPECT_EQ(tree.ReadFile("dst/a/extra.htm"), "kept");
    EXPECT_EQ(ModeOf(tree.Path("dst/a/a1.htm")), 0751u);
    for (const char* copied : {"index.htm", "a"})
        EXPECT_EQ(AttributesOf(tree.Path(std::string("dst/") + copied)),
                  AttributesOf(tree.Path(std::string("src/") + copied)));
    struct stat sparse {};
    ASSERT_EQ(stat(tree.Path("dst/sparse").c_str(), &sparse), 0);
    EXPECT_EQ(sparse.st_size, 64 << 20);
    EXPECT_LT(sparse.st_blocks, 64); // the hole was not written out
    EXPECT_EQ(std::filesystem::read_symlink(tree.Path("dst/to-outside")), tree.Path("outside"));
    EXPECT_EQ(std::filesystem::read_symlink(tree.Path("dst/to-index.htm")), "index.htm");
    EXPECT_EQ(progress.size(), 4u); // files only, after each
    EXPECT_EQ(progress.back(),
              (std::pair<std::uint64_t, std::uint64_t>{4, 2 + 4 + 5 + (64 << 20)}));
}

// The backup of "/" is "/.bak": a copy never goes into its own destination.
TEST_F(FileSystemTest, CopyFolderLeavesOutItsOwnDestinationInside) {
    tree.WriteFile("site/a.htm", "a");
    fs->CopyFolder(tree.Path("site"), tree.Path("site/.bak"), true, {});
    EXPECT_EQ(tree.Entries("site/.bak"), Names{"a.htm"});
}

TEST_F(FileSystemTest, NothingIsWrittenThroughALinkAndAFolderRenameReplacesNothing) {
    tree.WriteFile("src/index.htm", "index");
    tree.MakeFolder("elsewhere");
    tree.MakeLink("to-elsewhere", tree.Path("elsewhere"));
    tree.MakeFolder("taken");
    EXPECT_EQ(ErrorOf([&] { fs->CopyFolder(tree.Path("none"), tree.Path("none.bak"), true, {}); }),
              tree.Root().native() + "/none: No such file or directory");
    EXPECT_EQ(
        ErrorOf([&] { fs->CopyFolder(tree.Path("src"), tree.Path("to-elsewhere"), true, {}); }),
        LinkRefused(tree.Path("to-elsewhere")).what());
    for (const char* to : {"to-elsewhere", "taken"})
        EXPECT_EQ(ErrorOf([&] { fs->RenameFolder(tree.Path("src"), tree.Path(to)); }),
                  OsError(EEXIST, tree.Path(to)).what());
    fs->RemoveTree(tree.Path("to-elsewhere"));
    fs->RemoveTree(tree.Path("src"));
    EXPECT_EQ(tree.Entries(), (Names{"elsewhere/", "taken/"}));
}

} // namespace
} // namespace velnor::test
