#include "cli/cli_main.h"

#include "cli/cli_args.h"
#include "cli/filter_command.h"
#include "cli/run_command.h"
#include "core/identity.h"
#include "core/io/stream_io.h"

#include <exception>
#include <system_error>

namespace velnor::cli {
namespace {

// Reporting must not throw: a failing standard error has nowhere to go.
void Report(const CliStreams& streams, const std::string& line) {
    try {
        io::WriteAll(streams.err, "velnor-cli: " + line + "\n", "standard error");
    } catch (const std::system_error&) {
    }
}

// Started with no command in a console of its own (a double-click in Explorer):
// the usage, kept on screen until a key is pressed.
int ShowUsageUntilAKey(const CliStreams& streams) {
    try {
        io::WriteAll(streams.out,
                     HelpText() + "\nvelnor-cli 是命令行程序，请在命令提示符窗口中运行它。\n"
                                  "velnor-cli is a command-line program: run it from a command "
                                  "prompt.\n按任意键关闭此窗口 (press any key to close this "
                                  "window)...",
                     "standard output");
        io::WaitForKey(streams.in);
    } catch (const std::system_error&) {
    }
    return kExitUsage;
}

template <class... Handlers> struct Overloaded : Handlers... { using Handlers::operator()...; };

} // namespace

const std::string& HelpText() {
    static const std::string text = R"(Usage:
  velnor-cli filter [--keep-spaces] [--keep-breaks] [--stats] [FILE]
  velnor-cli run [--ext LIST] [--keep-spaces] [--keep-breaks] [--no-backup]
                 [--yes] [--dry-run] FOLDER
  velnor-cli restore [--yes] FOLDER
  velnor-cli --help
  velnor-cli --version

Removes redundant whitespace from web pages stored in the GBK code page (936),
as the Velnor window does. Bytes that are no GBK text pass through unchanged.

filter  Compacts one page from FILE (or standard input when FILE is absent or
        "-") and writes it to standard output.
          --keep-spaces  keep redundant spaces and tabs
          --keep-breaks  keep redundant line breaks (line feeds still go)
          --stats        print one line to standard error:
                         chars=N kept=K steps=S bytes_in=A bytes_out=B

run     Compacts, in place, every file under FOLDER (at any depth) whose name
        ends in one of the extensions, first copying FOLDER to FOLDER.bak.
          --ext LIST     extensions separated by "|" (default "htm|html|asp");
                         matched against the end of the name, any letter case
          --keep-spaces, --keep-breaks   as for filter
          --no-backup    do not copy FOLDER to FOLDER.bak first
          --yes          answer yes when FOLDER.bak already exists (it is
                         brought up to date); without --yes the question is
                         asked on the terminal, and answered no when there
                         is none
          --dry-run      read and compact every page, write nothing (no
                         backup, no page), report what would be saved
        Shows progress on standard error when it is a terminal (the backup's
        copy, then the pages) and ends with one summary line on standard
        output: pages rewritten, bytes before -> after, the share kept, the
        time taken.

restore Copies FOLDER.bak back over FOLDER (files added to FOLDER since stay),
        showing the copy's progress on standard error when it is a terminal.
          --yes          do not ask for confirmation; without it the question
                         is asked on the terminal, and answered no when there
                         is none

run and restore hold FOLDER while they work: another run or restore on it, on
a folder inside it or around it fails at once. Both remove what an interrupted
run, restore or backup left in FOLDER, in FOLDER.bak and beside them, and say
how much on standard error. No folder below FOLDER is reached through a link.

Exit status: 0 done; 1 error (described on standard error); 2 usage error;
3 declined (a question answered no).
)";
    return text;
}

int RunCli(const std::vector<std::string>& args, const CliStreams& streams,
           const FileSystemFactory& fileSystem, const Clock& clock) {
    if (args.empty() && streams.consoleOfItsOwn)
        return ShowUsageUntilAKey(streams);
    try {
        CliArgs parsed = ParseArgs(args);
        return std::visit(
            Overloaded{
                [&](const HelpArgs&) {
                    io::WriteAll(streams.out, HelpText(), "standard output");
                    return 0;
                },
                [&](const VersionArgs&) {
                    io::WriteAll(streams.out,
                                 std::string("velnor-cli ") + identity::VersionText + "\n",
                                 "standard output");
                    return 0;
                },
                [&](const FilterArgs& filter) { return RunFilter(filter, streams); },
                [&](const RunArgs& run) { return RunRun(run, streams, fileSystem, clock); },
                [&](const RestoreArgs& restore) {
                    return RunRestore(restore, streams, fileSystem, clock);
                },
            },
            parsed);
    } catch (const UsageError& error) {
        Report(streams, std::string(error.what()) + " (see 'velnor-cli --help')");
        return kExitUsage;
    } catch (const std::exception& error) {
        Report(streams, error.what());
        return kExitFailed;
    }
}

} // namespace velnor::cli
