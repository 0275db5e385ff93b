#include "core/files/page_replace.h"
#include "core/files/temp_name.h"
#include "core/files/tree_copy.h"
#include "core/text/display_path.h"
#include "os/posix/os_error.h"
#include "tests/support/error_of.h"
#include "tests/support/failing_file_ops.h"
#include "tests/support/temp_tree.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace velnor::test {
namespace {

using Names = std::vector<std::string>;

struct stat StatOf(const std::filesystem::path& path) {
    struct stat info {};
    EXPECT_EQ(lstat(path.c_str(), &info), 0) << path;
    return info;
}

mode_t ModeOf(const std::filesystem::path& path) {
    return StatOf(path).st_mode & 07777;
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

class FileSystemTest : public ::testing::Test {
protected:
    std::shared_ptr<FolderHandle> Open(std::string_view folder) {
        return fs->OpenFolder(tree.Path(folder));
    }
    // The page's replacement, started (refused or not) but not yet written.
    std::unique_ptr<PendingReplace> StartReplace(const std::string& page, std::string bytes) {
        const std::filesystem::path path = tree.Path(page);
        const std::shared_ptr<FolderHandle> folder = fs->OpenFolder(path.parent_path());
        const FileStamp read = ReadPage(*folder, path.filename(), 1 << 30).stamp;
        return replacer.Start(folder, path.filename(), read, std::move(bytes));
    }
    void Replace(const std::string& page, std::string bytes) {
        const std::unique_ptr<PendingReplace> replace = StartReplace(page, std::move(bytes));
        replace->Prepare();
        replace->Commit();
        replacer.Flush();
    }

    TempTree tree;
    std::shared_ptr<FailingFileOps> ops = std::make_shared<FailingFileOps>();
    std::shared_ptr<FileSystemService> fs = MakeFileSystem(ops);
    PageReplacer replacer;
};

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

        EXPECT_EQ(tree.ReadFile(name), bytes);
        EXPECT_EQ(ModeOf(tree.Path(name)), mode) << name;
        EXPECT_EQ(AttributesOf(tree.Path(name)), attributes) << name;
        EXPECT_EQ(tree.Entries(), Names{name});
        EXPECT_EQ(StatOf(tree.Path(name)).st_uid, geteuid() == 0 ? 4321u : geteuid());
        EXPECT_EQ(StatOf(tree.Path(name)).st_gid, geteuid() == 0 ? 8765u : getegid());
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

TEST_F(FileSystemTest, AFailedReplaceLeavesThePageAsItWasAndNoTemporaryFile) {
    // the call that fails once the replacement has started, with what, and
    // whether files can be made without a name
    const std::tuple<FileOpKind, int, bool> failures[] = {
        {FileOpKind::OpenUnnamed, ENOSPC, true}, {FileOpKind::Write, ENOSPC, true},
        {FileOpKind::Fchmod, EPERM, true},       {FileOpKind::Fsync, EIO, true},
        {FileOpKind::LinkUnnamed, ENOSPC, true}, {FileOpKind::Close, EIO, true},
        {FileOpKind::Rename, EIO, true},         {FileOpKind::OpenAt, ENOSPC, false},
        {FileOpKind::Write, ENOSPC, false},      {FileOpKind::Rename, EACCES, false}};
    const std::string original(100000, 'o');
    tree.WriteFile("page.htm", original);
    ASSERT_EQ(chmod(tree.Path("page.htm").c_str(), 0640), 0);
    for (const auto& [kind, error, unnamed] : failures) {
        SCOPED_TRACE(::testing::Message()
                     << "call kind " << int(kind) << (unnamed ? "" : ", named temporary file"));
        ops->Heal();
        if (!unnamed)
            ops->FailAll(FileOpKind::OpenUnnamed, EOPNOTSUPP);
        {
            const std::unique_ptr<PendingReplace> replace = StartReplace("page.htm", "compacted");
            ops->FailNth(kind, 1, error);
            EXPECT_EQ(ErrorOf([&] {
                          replace->Prepare();
                          replace->Commit();
                      }),
                      OsError(error, tree.Path("page.htm")).what());
        }
        EXPECT_EQ(tree.ReadFile("page.htm"), original);
        EXPECT_EQ(ModeOf(tree.Path("page.htm")), 0640u);
        EXPECT_EQ(tree.Entries(), Names{"page.htm"});
        EXPECT_EQ(ops->OpenDescriptors(), 0u);
    }
}

// A crash after the replacement finds the new content whole: it is flushed
// before it gets the page's name, and the folder after the rename. A named
// temporary file is its owner's alone while it is filled.
TEST_F(FileSystemTest, TheNewContentIsPrivateAndFlushedBeforeTheRenameAndTheFolderAfter) {
    ::umask(0);
    for (const bool unnamed : {true, false}) {
        tree.WriteFile("page.htm", "old");
        ASSERT_EQ(chmod(tree.Path("page.htm").c_str(), 0644), 0);
        const std::unique_ptr<PendingReplace> replace = StartReplace("page.htm", "new");
        ops->Heal();
        mode_t temporaryMode = 0;
        if (!unnamed) {
            ops->FailAll(FileOpKind::OpenUnnamed, EOPNOTSUPP);
            ops->FailNth(FileOpKind::OpenAt, 1, EEXIST); // a temporary name already taken
            ops->Before(FileOpKind::Write, 1, [&] {
                for (const auto& entry : std::filesystem::directory_iterator(tree.Root()))
                    if (IsTempName(entry.path().filename().native()))
                        temporaryMode = ModeOf(entry.path());
            });
        }
        const std::size_t logged = ops->Log().size();
        replace->Prepare();
        replace->Commit();
        replacer.Flush();
        EXPECT_EQ(tree.ReadFile("page.htm"), "new");
        EXPECT_EQ(tree.Entries(), Names{"page.htm"});
        std::string order; // f: a flush, n: a name given, r: the rename over the page
        const auto log = ops->Log();
        for (auto call = log.begin() + logged; call != log.end(); ++call)
            order += call->first == FileOpKind::Fsync         ? "f"
                     : call->first == FileOpKind::LinkUnnamed ? "n"
                     : call->first == FileOpKind::Rename      ? "r"
                                                              : "";
        EXPECT_EQ(order, unnamed ? "fnrf" : "frf");
        EXPECT_EQ(log.back(), std::pair(FileOpKind::Fsync, tree.Root()));
        if (!unnamed) {
            EXPECT_EQ(temporaryMode, 0600u);
        }
    }
    ::umask(022);
}

// Files and folders keep their modes (setgid included), owner and group where
// allowed, extended attributes and holes, whatever the umask; a folder copied
// read-only is still filled, and refreshed later.
TEST_F(FileSystemTest, CopyTreeKeepsAttributesOfFilesAndFoldersAndHolesWhateverTheUmask) {
    const bool root = geteuid() == 0;
    tree.WriteFile("src/index.htm", "index");
    tree.WriteFile("src/a/a1.htm", "a1");
    tree.WriteFile("src/g/g.htm", "group");
    tree.MakeLink("src/to-outside", tree.Path("outside"));
    tree.WriteFile("src/sparse", "");
    std::filesystem::resize_file(tree.Path("src/sparse"), 64 << 20);
    SetAttribute(tree.Path("src/index.htm"), "system.posix_acl_access", Acl);
    SetAttribute(tree.Path("src/a"), "user.folder", "note");
    SetAttribute(tree.Path("src/g"), "system.posix_acl_default", Acl);
    if (root) { // the owner kept, the group too when the owner is the copier's
        ASSERT_EQ(chown(tree.Path("src/g").c_str(), 65534, 100), 0);
        ASSERT_EQ(chown(tree.Path("src/g/g.htm").c_str(), 0, 65534), 0);
    }
    ASSERT_EQ(chmod(tree.Path("src/g/g.htm").c_str(), 0640), 0);
    ASSERT_EQ(chmod(tree.Path("src/g").c_str(), 02775), 0);
    ASSERT_EQ(chmod(tree.Path("src/a/a1.htm").c_str(), 0751), 0);
    ASSERT_EQ(chmod(tree.Path("src/a").c_str(), 0555), 0);
    tree.MakeFolder("dst");
    const mode_t mask = ::umask(077);
    CopyTree(*Open("src"), *Open("dst"), {}, {});
    tree.WriteFile("src/index.htm", "changed");
    CopyTree(*Open("src"), *Open("dst"), {}, {}); // over its own copy
    ::umask(mask);

    EXPECT_EQ(tree.Entries("dst"), tree.Entries("src"));
    EXPECT_EQ(tree.ReadFile("dst/index.htm"), "changed");
    for (const char* copied : {"index.htm", "a", "a/a1.htm", "g", "g/g.htm"}) {
        SCOPED_TRACE(copied);
        const struct stat from = StatOf(tree.Path(std::string("src/") + copied));
        const struct stat to = StatOf(tree.Path(std::string("dst/") + copied));
        EXPECT_EQ(to.st_mode, from.st_mode);
        EXPECT_EQ(std::pair(to.st_uid, to.st_gid),
                  root ? std::pair(from.st_uid, from.st_gid) : std::pair(geteuid(), getegid()));
        EXPECT_EQ(AttributesOf(tree.Path(std::string("dst/") + copied)),
                  AttributesOf(tree.Path(std::string("src/") + copied)));
    }
    EXPECT_EQ(StatOf(tree.Path("dst/sparse")).st_size, 64 << 20);
    EXPECT_LT(StatOf(tree.Path("dst/sparse")).st_blocks, 64); // the hole was not written out
    EXPECT_EQ(std::filesystem::read_symlink(tree.Path("dst/to-outside")), tree.Path("outside"));
}

} // namespace
} // namespace velnor::test
