#include "cli/cli_streams.h"

#include <unistd.h>

namespace velnor::cli {

CliStreams StandardStreams() {
    CliStreams streams;
    streams.inIsTerminal = ::isatty(streams.in) == 1;
    streams.errIsTerminal = ::isatty(streams.err) == 1;
    return streams;
}

} // namespace velnor::cli
