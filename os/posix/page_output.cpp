#include "core/io/page_output.h"

namespace velnor::io {

// A terminal here shows bytes in its own character set: they go as they are.
std::unique_ptr<PageOutput> MakePageOutput(int fd, const std::string& name) {
    return std::make_unique<PageBytesOutput>(fd, name);
}

} // namespace velnor::io
