#include "cli/huge_pages.h"

#include <cstdint>
#include <sys/mman.h>

namespace velnor::cli {

void AdviseHugePages(void* data, std::size_t size) {
    constexpr std::uintptr_t kHuge = std::uintptr_t(2) << 20;
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t begin = (start + kHuge - 1) & ~(kHuge - 1);
    const std::uintptr_t end = (start + size) & ~(kHuge - 1);
    if (end > begin) {
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
    }
}

} // namespace velnor::cli
