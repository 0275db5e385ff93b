#include "os/win32/win32_files.h"

#include "os/win32/nt_calls.h"

#include <utility>

namespace velnor {
namespace {

class Win32HeldPage : public HeldPage {
public:
    Win32HeldPage(FolderHandleRef top, const HandleInfo& info,
                  std::shared_ptr<const Win32Attributes> attributes)
        : top_(std::move(top)), index_(info.Index), info_(info.Entry()),
          attributes_(std::move(attributes)) {}

    const EntryInfo& Info() const override { return info_; }
    std::shared_ptr<const FileAttributes> Attributes() const override { return attributes_; }

    // The old file found again by its number on the volume, which the folder
    // the user named tells; Wine looks for the number only in the tree below
    // that folder, where the run's other names of the page are.
    std::optional<FileStamp> StampAfterReplace() override {
        FILE_ID_DESCRIPTOR id{};
        id.dwSize = sizeof id;
        id.Type = FileIdType;
        id.FileId.QuadPart = static_cast<LONGLONG>(index_);
        const UniqueHandle old(
            OpenFileById(top_->Get(), &id, FILE_READ_ATTRIBUTES, ShareAll, nullptr,
                         FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT));
        HandleInfo now;
        if (!old || !NT_SUCCESS(QueryInfo(old.Get(), now)) || now.Index != index_)
            return std::nullopt;
        return now.Stamp();
    }

private:
    FolderHandleRef top_;
    std::uint64_t index_;
    EntryInfo info_;
    std::shared_ptr<const Win32Attributes> attributes_;
};

} // namespace

std::unique_ptr<HeldPage> MakeHeldPage(FolderHandleRef top, const HandleInfo& info,
                                       std::shared_ptr<const Win32Attributes> attributes) {
    return std::make_unique<Win32HeldPage>(std::move(top), info, std::move(attributes));
}

} // namespace velnor
