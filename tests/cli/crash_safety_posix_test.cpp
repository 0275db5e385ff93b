#include "tests/core/run/run_fixture.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

namespace velnor::test {
namespace {

// velnor-cli run over the folder, killed after the given time if one is given;
// true if it ends well.
bool RunEnds(const std::filesystem::path& site, std::chrono::microseconds killAfter = {}) {
    const pid_t child = fork();
    if (child == 0) {
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, 1);
        dup2(quiet, 2);
        execl(VELNOR_CLI_PATH, VELNOR_CLI_PATH, "run", "--no-backup", "--yes", site.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    if (killAfter.count() > 0) {
        std::this_thread::sleep_for(killAfter);
        kill(child, SIGKILL);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Runs killed at random moments: the pages compacted come first in the run's
// order and the rest are original; at most one temporary file is left (the page
// in hand's), which the next whole run over the folder removes.
TEST(CrashSafety, AKilledRunLeavesEveryPageOriginalOrCompactedAndTheNextRunCleansUp) {
    TempTree tree;
    Entries names, originals;
    for (int i = 0; i < 30; ++i) {
        names.push_back("p" + std::to_string(100 + i) + ".htm");
        std::string page = "<html>\r\n";
        for (int line = 50 + 11 * i; line > 0; --line)
            page += "    <p class=\"x\">  word  " + std::to_string(line) + "  </p>\r\n";
        originals.push_back(page);
    }
    const auto writeOriginals = [&] {
        for (std::size_t i = 0; i < names.size(); ++i)
            tree.WriteFile("site/" + names[i], originals[i]);
    };
    const auto page = [&](std::size_t i) {
        return tree.ReadFile("site/" + names[i]);
    };
    writeOriginals();
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(RunEnds(tree.Path("site")));
    std::uniform_int_distribution<long long> delay(
        1, std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 started)
               .count());
    std::mt19937 random(20240611);
    for (int kill = 0; kill < 30; ++kill) {
        SCOPED_TRACE(kill);
        writeOriginals();
        RunEnds(tree.Path("site"), std::chrono::microseconds(delay(random)));
        std::size_t done = 0;
        while (done < names.size() && page(done) == Compacted(originals[done]))
            ++done;
        for (std::size_t i = done; i < names.size(); ++i)
            ASSERT_EQ(page(i), originals[i]) << names[i];
        EXPECT_LE(tree.Entries("site").size(), names.size() + 1);

        ASSERT_TRUE(RunEnds(tree.Path("site")));
        EXPECT_EQ(tree.Entries("site"), names);
        for (std::size_t i = 0; i < names.size(); ++i)
            ASSERT_EQ(page(i), Compacted(i < done ? Compacted(originals[i]) : originals[i]))
                << names[i];
    }
}

} // namespace
} // namespace velnor::test
