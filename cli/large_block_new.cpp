#include "cli/huge_pages.h"

#include <cstdlib>
#include <new>

// The command's whole-page buffers (bytes, decoded text, compacted text) are
// tens of megabytes each, filled once front to back; with 4 KiB pages their
// page faults cost more than the filtering. Every large block therefore gets
// huge-page advice as it is handed out. Only velnor-cli replaces these; the
// library and its tests keep the standard ones.

void* operator new(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    if (size >= velnor::cli::kHugePageWorthy) {
        velnor::cli::AdviseHugePages(block, size);
    }
    return block;
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
