#include "os/win32/win32_files.h"

#include "os/win32/win32_error.h"

#include <algorithm>
#include <utility>

namespace velnor {
namespace {

constexpr std::size_t MaxRead = 1 << 30; // ReadFile counts in 32 bits

OVERLAPPED At(std::uint64_t offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
}

class Win32Readable : public ReadableFile {
public:
    // Its information is taken once, at the open: the stamp a page is read
    // with and the size a copy is made to.
    Win32Readable(UniqueHandle handle, std::filesystem::path shown)
        : handle_(std::move(handle)), shown_(std::move(shown)), info_(Query()) {}

    EntryInfo Info() override { return info_.Entry(); }

    std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override {
        OVERLAPPED at = At(offset);
        DWORD got = 0;
        if (!ReadFile(handle_.Get(), buffer, static_cast<DWORD>(std::min(size, MaxRead)), &got,
                      &at)) {
            const DWORD error = GetLastError();
            if (error != ERROR_HANDLE_EOF)
                throw Win32Error(error, shown_);
        }
        return got;
    }

    std::shared_ptr<const FileAttributes> Attributes() override {
        return ReadAttributes(handle_.Get(), info_, shown_);
    }

private:
    HandleInfo Query() {
        HandleInfo info;
        ThrowIfNtFailed(QueryInfo(handle_.Get(), info), shown_);
        return info;
    }

    UniqueHandle handle_;
    std::filesystem::path shown_;
    HandleInfo info_;
};

} // namespace

std::unique_ptr<ReadableFile> MakeReadableFile(UniqueHandle handle, std::filesystem::path shown) {
    return std::make_unique<Win32Readable>(std::move(handle), std::move(shown));
}

} // namespace velnor
