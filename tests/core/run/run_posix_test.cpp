#include "tests/core/run/run_fixture.h"

#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

namespace velnor::test {
namespace {

constexpr const char* Original = "<p>one  two</p>";

// Runs part in a child process (for what cannot be undone: a changed root, a
// changed user) and says whether it returned true.
bool InChild(const std::function<bool()>& part) {
    const pid_t child = fork();
    if (child == 0)
        _exit(part() ? 0 : 1); // no destructors: the tree is the parent's
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// What only an administrator can set up: another user, a bind mount, a
// folder made the root.
class RunAsRootTest : public RunFixture {
protected:
    void SetUp() override {
        if (geteuid() != 0)
            GTEST_SKIP() << "needs root";
    }
};

// The folder mounted again inside itself shows every page twice; each is
// compacted once and none is taken for changed by another program.
TEST_F(RunAsRootTest, AFolderMountedInsideItselfIsWalkedOnce) {
    WritePage("a.htm", Original);
    tree.MakeFolder("site/again");
    // a mount of this process's own, gone with it
    ASSERT_EQ(unshare(CLONE_NEWNS), 0);
    ASSERT_EQ(mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr), 0);
    ASSERT_EQ(mount(tree.Path("site").c_str(), tree.Path("site/again").c_str(), nullptr, MS_BIND,
                    nullptr),
              0);
    EXPECT_EQ(Start(), RunOutcome::Done);
    EXPECT_EQ(ReadPage("a.htm"), Compacted(Original));
    EXPECT_EQ(Worked(), Entries{DisplayPath(PagePath("a.htm"))});
    EXPECT_EQ(umount(tree.Path("site/again").c_str()), 0);
}

// The backup of "/" is "/.bak", inside it: made, refreshed, and never
// compacted or copied into itself.
TEST_F(RunAsRootTest, TheBackupOfTheRootLiesInsideItAndIsLeftOut) {
    WritePage("a.htm", Original);
    const std::string compacted = Compacted(Original); // the code page's tables, read before
    EXPECT_TRUE(InChild([&] {
        if (chroot(tree.Path("site").c_str()) != 0 || chdir("/") != 0)
            return false;
        window.Folder = "/";
        window.Backup = true;
        window.Answers = {MessageAnswer::Yes};
        const bool runs = Start() == RunOutcome::Done && Start() == RunOutcome::Done;
        return runs && window.Messages.size() == 1 && Worked() == Entries{"/a.htm", "/a.htm"};
    }));
    EXPECT_EQ(ReadPage("a.htm"), compacted);
    EXPECT_EQ(tree.Entries("site/.bak"), Entries{"a.htm"});
    EXPECT_EQ(tree.ReadFile("site/.bak/a.htm"), compacted); // refreshed after the first
}

// A user other than root may not rewrite a page it could not write, nor give
// a file away: a page another user owns would change hands, so a run or a
// restore by this one stops before it.
TEST_F(RunAsRootTest, ARunOrRestoreByAnotherUserLeavesAPageItDoesNotOwnAsItIs) {
    const uid_t nobody = 65534;
    ASSERT_EQ(chmod(tree.Root().c_str(), 0711), 0);
    for (const char* page : {"mine.htm", "theirs.htm"}) {
        WritePage(page, Original);
        tree.WriteFile(std::string("site.bak/") + page, "backed up");
    }
    for (const char* folder : {"site", "site.bak"}) {
        ASSERT_EQ(chown(tree.Path(folder).c_str(), nobody, nobody), 0);
        ASSERT_EQ(chown(tree.Path(std::string(folder) + "/mine.htm").c_str(), nobody, nobody), 0);
    }
    // theirs.htm as written, then writable by all
    for (const auto& [mode, words] :
         {std::pair(0644, "Permission denied"),
          std::pair(0666, "its owner and group cannot be kept: Operation not permitted")}) {
        ASSERT_EQ(chmod(PagePath("theirs.htm").c_str(), mode_t(mode)), 0);
        const std::string refused = DisplayPath(PagePath("theirs.htm")) + ": " + words;
        EXPECT_TRUE(InChild([&] {
            if (setgid(nobody) != 0 || setuid(nobody) != 0)
                return false;
            const bool run =
                Start() == RunOutcome::Failed && window.Messages.back().text == refused;
            const bool restore =
                Restore() == RunOutcome::Failed && window.Messages.back().text == refused;
            return run && restore;
        })) << words;
    }
    EXPECT_EQ(ReadPage("mine.htm"), "backed up"); // compacted, then restored
    EXPECT_EQ(ReadPage("theirs.htm"), Original);
    EXPECT_EQ(tree.Entries("site"), (Entries{"mine.htm", "theirs.htm"}));
}

} // namespace
} // namespace velnor::test
