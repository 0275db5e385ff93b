#include "os/win32/win32_files.h"

#include "os/win32/nt_calls.h"
#include "os/win32/win32_error.h"

#include <algorithm>
#include <utility>

namespace velnor {
namespace {

constexpr std::size_t MaxWrite = 1 << 30; // WriteFile counts in 32 bits

class Win32NewFile : public NewFile {
public:
    Win32NewFile(FolderHandleRef folder, UniqueHandle handle, std::filesystem::path shown)
        : folder_(std::move(folder)), handle_(std::move(handle)), shown_(std::move(shown)) {}

    void WriteAt(std::uint64_t offset, std::string_view bytes) override {
        while (!bytes.empty()) {
            OVERLAPPED at{};
            at.Offset = static_cast<DWORD>(offset);
            at.OffsetHigh = static_cast<DWORD>(offset >> 32);
            DWORD written = 0;
            ThrowIfFailed(WriteFile(handle_.Get(), bytes.data(),
                                    static_cast<DWORD>(std::min(bytes.size(), MaxWrite)), &written,
                                    &at),
                          shown_);
            if (written == 0) // a write that makes no progress would loop forever
                throw Win32Error(ERROR_WRITE_FAULT, shown_);
            bytes.remove_prefix(written);
            offset += written;
        }
    }

    void SetSize(std::uint64_t size) override {
        FILE_END_OF_FILE_INFO end{};
        end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
        ThrowIfFailed(
            SetFileInformationByHandle(handle_.Get(), FileEndOfFileInfo, &end, sizeof end), shown_);
    }

    void Apply(const FileAttributes& attributes, bool ownerRequired) override {
        ApplyAttributes(handle_.Get(), dynamic_cast<const Win32Attributes&>(attributes),
                        ownerRequired, shown_);
    }

    void Sync() override { ThrowIfFailed(FlushFileBuffers(handle_.Get()), shown_); }

    bool GiveName(const EntryName& name) override {
        const NTSTATUS status = RenameTo(handle_.Get(), folder_->Get(), name, false);
        if (status == STATUS_OBJECT_NAME_COLLISION)
            return false;
        ThrowIfNtFailed(status, shown_);
        return true;
    }

    void Close() override { ThrowIfFailed(handle_.Close(), shown_); }

private:
    FolderHandleRef folder_;
    UniqueHandle handle_;
    std::filesystem::path shown_;
};

} // namespace

std::unique_ptr<NewFile> MakeNewFile(FolderHandleRef folder, UniqueHandle handle,
                                     std::filesystem::path shown) {
    return std::make_unique<Win32NewFile>(std::move(folder), std::move(handle), std::move(shown));
}

} // namespace velnor
