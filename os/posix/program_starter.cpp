#include "core/about/program_starter.h"

#include "os/posix/interrupted.h"
#include "os/posix/posix_path.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

namespace velnor {
namespace {

[[noreturn]] void Fail(const std::string& program, int error) {
    throw std::system_error(error, std::generic_category(), "cannot start " + program);
}

// In the forked child only calls that are safe after a fork: reports errno
// through the pipe and ends.
[[noreturn]] void ReportAndExit(int pipe) {
    const int error = errno;
    (void)!write(pipe, &error, sizeof error);
    _exit(127);
}

} // namespace

// Started twice removed, in a session of its own: the program outlives the
// About box, and no zombie is left behind. The exec's failure comes back
// through a pipe that a successful exec closes.
void StartProgram(std::u16string_view path) {
    std::string program = PosixPath(path);
    char* const arguments[] = {program.data(), nullptr};
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0)
        Fail(program, errno);
    const pid_t child = fork();
    if (child == 0) {
        setsid();
        const pid_t grandchild = fork();
        if (grandchild < 0)
            ReportAndExit(report[1]);
        if (grandchild > 0)
            _exit(0);
        execvp(program.c_str(), arguments); // a bare name is looked up in PATH
        ReportAndExit(report[1]);
    }
    const int forkError = errno;
    close(report[1]);
    if (child < 0) {
        close(report[0]);
        Fail(program, forkError);
    }
    RetryInterrupted([&] { return waitpid(child, nullptr, 0) < 0 ? -1 : 0; });
    int error = 0;
    ssize_t got = 0;
    RetryInterrupted([&] { return got = read(report[0], &error, sizeof error); });
    close(report[0]);
    if (got == static_cast<ssize_t>(sizeof error))
        Fail(program, error);
}

} // namespace velnor
