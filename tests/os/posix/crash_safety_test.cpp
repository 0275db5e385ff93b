#include "tests/core/run/run_fixture.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <random>
#include <regex>
#include <thread>

namespace velnor::test {
namespace {

constexpr int Pages = 30;

// The child's run takes the pages p000.htm... in name order.
class CrashSafetyTest : public RunFixture {
protected:
    CrashSafetyTest() {
        std::mt19937 random(7);
        std::uniform_int_distribution<int> lines(50, 400);
        for (int i = 0; i < Pages; ++i) {
            names.push_back("p" + std::to_string(1000 + i).substr(1) + ".htm");
            std::string page = "<html>\r\n  <body>\r\n";
            for (int line = lines(random); line > 0; --line)
                page += "    <p class=\"x\">  word  " + std::to_string(line) + "  </p>\r\n";
            originals.push_back(page + "  </body>\r\n</html>\r\n");
            compacted.push_back(Compacted(originals.back()));
        }
    }

    void WriteOriginals() const {
        for (int i = 0; i < Pages; ++i)
            WritePage(names[i], originals[i]);
    }

    // Starts a run over the pages as they are.
    pid_t Spawn() const {
        const pid_t child = fork();
        if (child == 0) {
            const std::string folder = tree.Path("site").native();
            execl(VELNOR_RUN_CHILD, VELNOR_RUN_CHILD, folder.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        return child;
    }

    static bool Succeeded(pid_t child) {
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    Entries names, originals, compacted;
};

// Each killed run is followed by a whole one over the same folder, which
// removes whatever the killed one left and compacts every page once more.
TEST_F(CrashSafetyTest, AKilledRunLeavesEveryPageOriginalOrCompactedAndTheNextRunCleansUp) {
    ASSERT_NE(originals[0], compacted[0]);

    // A complete run first, to know how long one takes and that it works.
    WriteOriginals();
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(Succeeded(Spawn()));
    const auto length = std::chrono::steady_clock::now() - started;
    for (int i = 0; i < Pages; ++i)
        ASSERT_EQ(ReadPage(names[i]), compacted[i]) << names[i];

    std::mt19937 random(20240611);
    std::uniform_int_distribution<long long> delay(
        0, std::chrono::duration_cast<std::chrono::microseconds>(length).count());
    for (int kill = 0; kill < 30; ++kill) {
        WriteOriginals();
        const pid_t child = Spawn();
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ::kill(child, SIGKILL);
        waitpid(child, nullptr, 0);

        // The rewritten pages come first, in the run's order; none is in between.
        int done = 0;
        while (done < Pages && ReadPage(names[done]) == compacted[done])
            ++done;
        for (int i = done; i < Pages; ++i)
            ASSERT_EQ(ReadPage(names[i]), originals[i]) << "kill " << kill << ", " << names[i];

        // A kill between the temporary file's naming and its rename leaves it
        // behind: one at most, beside the page in hand, of the program's pattern.
        const Entries entries = tree.Entries("site");
        Entries left;
        std::set_difference(entries.begin(), entries.end(), names.begin(), names.end(),
                            std::back_inserter(left));
        EXPECT_LE(left.size(), 1u) << "kill " << kill;
        const std::regex temp("\\." + names[std::min(done, Pages - 1)].substr(0, 4) +
                              "\\.htm\\.velnor-[A-Za-z0-9]{6}");
        for (const std::string& name : left)
            EXPECT_TRUE(std::regex_match(name, temp)) << name;

        ASSERT_TRUE(Succeeded(Spawn())) << "kill " << kill;
        EXPECT_EQ(tree.Entries("site"), names) << "kill " << kill;
        for (int i = 0; i < Pages; ++i)
            ASSERT_EQ(ReadPage(names[i]), i < done ? Compacted(compacted[i]) : compacted[i])
                << "kill " << kill << ", " << names[i];
    }
}

} // namespace
} // namespace velnor::test
