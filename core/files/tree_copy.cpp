#include "core/files/tree_copy.h"

#include "core/files/replacement.h"
#include "core/files/temp_name.h"
#include "core/files/tree_walk.h"

#include <algorithm>
#include <vector>

namespace velnor {
namespace {

constexpr std::size_t CopyChunk = 1 << 16;

class TreeCopier {
public:
    TreeCopier(const CopyRules& rules, const CopyProgress& progress)
        : rules_(rules), progress_(progress) {}

    void CopyFolder(FolderHandle& source, FolderHandle& destination) {
        destination.PrepareToFill();
        for (const Entry& entry : SortedEntries(source)) {
            if (IsTempName(entry.name))
                continue; // a half-made file of a run that died
            switch (entry.kind) {
            case EntryKind::Folder:
                CopySubfolder(source, destination, entry.name);
                break;
            case EntryKind::File:
                CopyFile(source, destination, entry.name);
                break;
            case EntryKind::Link:
                if (destination.CopiesLinks())
                    CopyLink(source, destination, entry.name);
                break;
            case EntryKind::Missing:
            case EntryKind::Other:
                break; // devices, pipes and sockets hold no page
            }
        }
        destination.Apply(*source.Attributes());
        destination.Sync();
    }

private:
    void CopySubfolder(FolderHandle& source, FolderHandle& destination, const EntryName& name) {
        const std::unique_ptr<FolderHandle> from = source.OpenFolder(name, source.PathOf(name));
        if (from->Identity() == rules_.leaveOut)
            return; // the copy's own destination: copying it would never end
        destination.MakeFolder(name);
        // a link or a file there is refused: the copy never leads elsewhere
        const std::unique_ptr<FolderHandle> to =
            destination.OpenFolder(name, destination.PathOf(name));
        CopyFolder(*from, *to);
    }

    // A file there stays unless it may be replaced as a page would be.
    void CheckReplaceable(FolderHandle& destination, const EntryName& name) {
        if (rules_.pageRules)
            destination.HoldPage(name, [](const EntryInfo&) {});
    }

    void CopyFile(FolderHandle& source, FolderHandle& destination, const EntryName& name) {
        const std::unique_ptr<ReadableFile> in = source.OpenFile(name);
        const EntryInfo info = in->Info();
        CheckReplaceable(destination, name);
        Replacement copy(destination, name, true);
        Pump(*in, copy.File(), info.stamp.size);
        copy.File().Apply(*in->Attributes(), false);
        // The folder itself is flushed once, when all its entries are in.
        copy.File().Sync();
        copy.PutInPlace();
        ++files_;
        bytes_ += info.stamp.size;
        if (progress_)
            progress_(files_, bytes_);
    }

    // The first size bytes, data only: a hole stays a hole.
    static void Pump(ReadableFile& in, NewFile& out, std::uint64_t size) {
        std::vector<char> buffer(CopyChunk);
        for (std::uint64_t offset = 0; offset < size;) {
            const auto data = in.NextData(offset, size);
            if (!data)
                break; // a hole to the end
            for (offset = data->first; offset < data->second;) {
                const std::size_t want = static_cast<std::size_t>(
                    std::min<std::uint64_t>(buffer.size(), data->second - offset));
                const std::size_t got = in.ReadAt(offset, buffer.data(), want);
                if (got == 0) {
                    offset = size; // shrunk while copied
                    break;
                }
                out.WriteAt(offset, std::string_view(buffer.data(), got));
                offset += got;
            }
        }
        out.SetSize(size); // a trailing hole, or what a shrunk file lost
    }

    void CopyLink(FolderHandle& source, FolderHandle& destination, const EntryName& name) {
        const EntryName target = source.ReadLink(name);
        CheckReplaceable(destination, name);
        // made under a free name and renamed over, like a file
        const EntryName temp = MakeTemporary(destination, name, [&](const EntryName& free) {
            return destination.MakeLink(free, target);
        });
        try {
            destination.RenameEntry(temp, name, true);
        } catch (...) {
            try {
                destination.RemoveFile(temp);
            } catch (const FileSystemError&) {
                // the rename's error is the one to report
            }
            throw;
        }
    }

    const CopyRules& rules_;
    const CopyProgress& progress_;
    std::uint64_t files_ = 0;
    std::uint64_t bytes_ = 0;
};

} // namespace

void CopyTree(FolderHandle& source, FolderHandle& destination, const CopyRules& rules,
              const CopyProgress& progress) {
    TreeCopier(rules, progress).CopyFolder(source, destination);
}

} // namespace velnor
