#include "tests/support/child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <thread>

extern char** environ;

namespace velnor::test {

int RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
               const std::string& input, const std::filesystem::path& out,
               const std::filesystem::path& err) {
    int feed[2];
    if (pipe2(feed, O_CLOEXEC) != 0)
        throw std::system_error(errno, std::generic_category(), "pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, feed[0], 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<std::string> words{program.string()};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(feed[0]);
    if (spawned != 0) {
        close(feed[1]);
        throw std::system_error(spawned, std::generic_category(), "posix_spawn");
    }
    // fed alongside: the child may answer before it has read everything
    std::thread writer([&] {
        for (std::size_t at = 0; at < input.size();) {
            const ssize_t put = write(feed[1], input.data() + at, input.size() - at);
            if (put <= 0)
                break; // the child stopped reading
            at += static_cast<std::size_t>(put);
        }
        close(feed[1]);
    });
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    writer.join();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace velnor::test
