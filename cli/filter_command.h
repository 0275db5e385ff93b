#pragma once

#include "cli/cli_args.h"
#include "cli/cli_streams.h"

namespace velnor::cli {

// `velnor-cli filter`: one page from a file or standard input, compacted to
// standard output block by block, so any size of page takes the same memory.
// Returns the exit status; throws on a failure to open, read or write (when
// the input cannot be opened, nothing has been written).
int RunFilter(const FilterArgs& args, const CliStreams& streams);

} // namespace velnor::cli
