#include "cli/cli_streams.h"

#include "core/io/stream_io.h"

namespace velnor::cli {

CliStreams StandardStreams() {
    CliStreams streams;
    streams.inIsTerminal = io::IsTerminal(streams.in);
    streams.errIsTerminal = io::IsTerminal(streams.err);
    streams.errTakesEscapes = streams.errIsTerminal && io::TakesEscapes(streams.err);
    streams.consoleOfItsOwn = streams.inIsTerminal && io::InConsoleOfItsOwn();
    return streams;
}

} // namespace velnor::cli
