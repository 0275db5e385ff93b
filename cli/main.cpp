#include "cli/cli_main.h"
#include "core/files/file_system.h"

#include <chrono>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return velnor::cli::RunCli(
        args, velnor::cli::StandardStreams(), [] { return velnor::MakeFileSystem(); },
        [] { return std::chrono::steady_clock::now(); });
}
