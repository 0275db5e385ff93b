#include "cli/filter_command.h"

#include "core/filter/page_compactor.h"
#include "core/io/page_output.h"
#include "core/io/stream_io.h"
#include "core/text/cp936_tables.h"

#include <memory>
#include <optional>
#include <string>

namespace velnor::cli {
namespace {

// Big enough that the system calls cost little, small enough that the input
// and output blocks stay in the processor's cache.
constexpr std::size_t kBlock = 128 * 1024;

} // namespace

int RunFilter(const FilterArgs& args, const CliStreams& streams) {
    std::optional<io::InputFile> file;
    if (args.file) {
        file.emplace(*args.file);
    }
    const int in = file ? file->Fd() : streams.in;
    const std::string inName = args.file ? *args.file : "standard input";

    PageCompactor compactor(RemovalOptions{!args.keepSpaces, !args.keepBreaks}, GetCp936Tables());
    const std::unique_ptr<io::PageOutput> page = io::MakePageOutput(streams.out, "standard output");
    const auto block = std::make_unique<char[]>(kBlock);
    std::string out;
    std::uint64_t bytesIn = 0;
    std::uint64_t bytesOut = 0;
    std::size_t got = 0;
    do {
        got = io::ReadSome(in, block.get(), kBlock, inName);
        out.clear();
        if (got > 0) {
            compactor.Feed(std::string_view(block.get(), got), out);
        } else {
            compactor.Finish(out);
        }
        page->Write(out);
        bytesIn += got;
        bytesOut += out.size();
    } while (got > 0);
    page->Finish();
    if (args.stats) {
        const PageCounts counts = compactor.Counts();
        const std::string line =
            "chars=" + std::to_string(counts.Characters) + " kept=" + std::to_string(counts.Kept) +
            " steps=" + std::to_string(counts.Steps) + " bytes_in=" + std::to_string(bytesIn) +
            " bytes_out=" + std::to_string(bytesOut) + "\n";
        io::WriteAll(streams.err, line, "standard error");
    }
    return 0;
}

} // namespace velnor::cli
