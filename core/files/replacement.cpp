#include "core/files/replacement.h"

#include "core/files/temp_name.h"
#include "core/text/display_path.h"

#include <utility>

namespace velnor {
namespace {

constexpr int MaxTempAttempts = 100;

} // namespace

EntryName MakeTemporary(const FolderHandle& folder, const EntryName& target,
                        const std::function<bool(const EntryName&)>& make) {
    for (int attempt = 0; attempt < MaxTempAttempts; ++attempt) {
        EntryName temp = TempNameFor(target);
        if (make(temp))
            return temp;
    }
    throw FileSystemError(DisplayPath(folder.PathOf(target)) +
                          ": no free temporary name beside it; remove what is left there");
}

Replacement::Replacement(FolderHandle& folder, EntryName name, bool isPrivate)
    : folder_(folder), name_(std::move(name)) {
    const std::filesystem::path shown = folder_.PathOf(name_);
    file_ = folder_.CreateUnnamed(isPrivate, shown);
    if (!file_) {
        temp_ = MakeTemporary(folder_, name_, [&](const EntryName& temp) {
            file_ = folder_.CreateNamed(temp, isPrivate, shown);
            return file_ != nullptr;
        });
    }
}

Replacement::~Replacement() {
    Discard();
}

void Replacement::PutInPlace(const std::function<void()>& beforeRename) {
    try {
        if (temp_.empty())
            temp_ = MakeTemporary(folder_, name_,
                                  [this](const EntryName& temp) { return file_->GiveName(temp); });
        std::exchange(file_, nullptr)->Close();
        if (beforeRename)
            beforeRename();
        folder_.RenameEntry(temp_, name_, true);
        temp_.clear();
    } catch (...) {
        Discard();
        throw;
    }
}

void Replacement::Discard() noexcept {
    file_.reset(); // a file without a name vanishes with it
    if (!temp_.empty()) {
        try {
            folder_.RemoveFile(temp_);
        } catch (const FileSystemError&) {
            // the first error is the one to report
        }
        temp_.clear();
    }
}

} // namespace velnor
