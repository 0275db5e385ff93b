#include "core/files/page_replace.h"

#include "core/files/replacement.h"

#include <optional>
#include <utility>

namespace velnor {

class PageReplace : public PendingReplace {
public:
    PageReplace(PageReplacer& replacer, std::shared_ptr<FolderHandle> folder, EntryName name,
                const FileStamp& read, std::string bytes)
        : replacer_(replacer), folder_(std::move(folder)), name_(std::move(name)), read_(read),
          bytes_(std::move(bytes)) {
        held_ = folder_->HoldPage(name_, [this](const EntryInfo& now) { Check(now); });
        if (!held_)
            throw PageChanged(folder_->PathOf(name_)); // not a file any more
    }

    void Prepare() override {
        replacement_.emplace(*folder_, name_, true);
        NewFile& file = replacement_->File();
        file.WriteAt(0, bytes_);
        file.Apply(*held_->Attributes(), true);
        file.Sync();
        std::string().swap(bytes_); // on disk now; a queue of pages need not hold it twice
    }

    void Commit() override {
        replacer_.Entering(folder_);
        EntryInfo last;
        // the last look: another writer's change since the read is not undone
        replacement_.value().PutInPlace([&] {
            last = folder_->Info(name_);
            Check(last);
        });
        replacer_.Replaced(folder_, last, *held_);
    }

private:
    void Check(const EntryInfo& now) const {
        if (now.kind == EntryKind::Missing)
            throw PageGone(folder_->PathOf(name_));
        if (now.kind != EntryKind::File || !replacer_.Unchanged(read_, now.stamp))
            throw PageChanged(folder_->PathOf(name_));
    }

    PageReplacer& replacer_;
    std::shared_ptr<FolderHandle> folder_;
    EntryName name_;
    FileStamp read_;
    std::string bytes_;
    std::unique_ptr<HeldPage> held_;
    std::optional<Replacement> replacement_;
};

PageBytes ReadPage(FolderHandle& folder, const EntryName& name, std::uint64_t maxBytes) {
    const std::unique_ptr<ReadableFile> file = folder.OpenFile(name);
    PageBytes read{std::string(), file->Info().stamp};
    if (read.stamp.size > maxBytes)
        throw PageTooLarge(folder.PathOf(name), maxBytes);
    // never more than the size found: a file that grows while being read is
    // caught by its stamp when it is to be replaced
    read.bytes.resize(read.stamp.size);
    std::size_t length = 0;
    while (length < read.bytes.size()) {
        const std::size_t got =
            file->ReadAt(length, read.bytes.data() + length, read.bytes.size() - length);
        if (got == 0)
            break;
        length += got;
    }
    read.bytes.resize(length);
    return read;
}

std::unique_ptr<PendingReplace> PageReplacer::Start(std::shared_ptr<FolderHandle> folder,
                                                    EntryName name, const FileStamp& read,
                                                    std::string bytes) {
    return std::make_unique<PageReplace>(*this, std::move(folder), std::move(name), read,
                                         std::move(bytes));
}

void PageReplacer::Flush() {
    if (unflushed_)
        std::exchange(unflushed_, nullptr)->Sync();
}

bool PageReplacer::Unchanged(const FileStamp& read, const FileStamp& now) const {
    if (now == read)
        return true;
    FileStamp own = read;
    own.changed = now.changed;
    const auto changes = ownChanges_.find({read.device, read.inode});
    if (own != now || changes == ownChanges_.end())
        return false;
    std::int64_t changed = read.changed;
    for (const auto& [before, after] : changes->second)
        if (before == changed)
            changed = after;
    return changed == now.changed;
}

// A rename is durable once its folder is flushed; a run goes folder by
// folder, so each folder is flushed once, when the run leaves it (before the
// next folder's first page changes) or at the end.
void PageReplacer::Entering(const std::shared_ptr<FolderHandle>& folder) {
    if (unflushed_ != folder)
        Flush();
}

void PageReplacer::Replaced(const std::shared_ptr<FolderHandle>& folder, const EntryInfo& before,
                            HeldPage& held) {
    unflushed_ = folder;
    if (before.links < 2)
        return; // no other name shows the old file
    if (const std::optional<FileStamp> after = held.StampAfterReplace())
        ownChanges_[{before.stamp.device, before.stamp.inode}].emplace_back(before.stamp.changed,
                                                                            after->changed);
}

} // namespace velnor
