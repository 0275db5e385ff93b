#include "cli/filter_command.h"

#include "core/filter/compact_text.h"
#include "core/io/stream_io.h"
#include "core/text/ansi_codec.h"

#include <cstdint>
#include <string>

namespace velnor::cli {

int RunFilter(const FilterArgs& args, const CliStreams& streams) {
    std::string input =
        args.file ? io::ReadFile(*args.file) : io::ReadAll(streams.in, "standard input");
    const std::uint64_t bytesIn = input.size();

    // Each buffer is let go as soon as the next stage has its copy, so at most
    // two of them (input + text, text + compacted, compacted + encoded) are
    // alive at once.
    std::u16string text = DecodeAnsi(input);
    std::string().swap(input);

    RunCounters counters;
    std::u16string compacted =
        CompactText(text, RemovalOptions{!args.keepSpaces, !args.keepBreaks}, counters);
    const std::uint64_t chars = text.size();
    std::u16string().swap(text);

    std::string encoded = EncodeAnsi(compacted);
    std::u16string().swap(compacted);

    io::WriteAll(streams.out, encoded, "standard output");
    if (args.stats) {
        // Every step of one call counts toward this text alone, so the run
        // counters started at zero are this text's own figures.
        std::string line = "chars=" + std::to_string(chars) +
                           " kept=" + std::to_string(counters.KeptInRun) +
                           " steps=" + std::to_string(counters.ScannedInRun) +
                           " bytes_in=" + std::to_string(bytesIn) +
                           " bytes_out=" + std::to_string(encoded.size()) + "\n";
        io::WriteAll(streams.err, line, "standard error");
    }
    return 0;
}

} // namespace velnor::cli
