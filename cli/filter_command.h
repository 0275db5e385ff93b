#pragma once

#include "cli/cli_args.h"
#include "cli/cli_streams.h"

namespace velnor::cli {

// `velnor-cli filter`: one page from a file or standard input, compacted to
// standard output. Returns the exit status; throws on a failure to read,
// convert or write (nothing has been written to standard output then, unless
// the write itself failed part-way).
int RunFilter(const FilterArgs& args, const CliStreams& streams);

} // namespace velnor::cli
