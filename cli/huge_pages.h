#pragma once

#include <cstddef>

namespace velnor::cli {

// Blocks at least this large are worth backing with huge pages.
inline constexpr std::size_t kHugePageWorthy = std::size_t(4) << 20;

// Asks the kernel to back the whole 2 MiB pages inside [data, data + size)
// with huge pages, so filling a large buffer takes one fault per 2 MiB rather
// than one per 4 KiB. Only advice: a kernel that declines changes nothing.
void AdviseHugePages(void* data, std::size_t size);

} // namespace velnor::cli
