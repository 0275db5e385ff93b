#include "cli/cli_main.h"
#include "core/files/file_system.h"
#include "core/io/program_arguments.h"
#include "core/text/cp936_tables.h"

#include <chrono>

int main(int argc, char** argv) {
    velnor::UseCodePageConverter(&velnor::MakeCp936Converter);
    return velnor::cli::RunCli(
        velnor::io::ProgramArguments(argc, argv), velnor::cli::StandardStreams(),
        [] { return velnor::MakeFileSystem(); }, [] { return std::chrono::steady_clock::now(); });
}
