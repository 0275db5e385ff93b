#include "os/posix/folder_copy.h"

#include "core/files/temp_name.h"
#include "os/posix/atomic_file.h"
#include "os/posix/os_error.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <vector>

namespace velnor {
namespace {

constexpr std::size_t CopyChunk = 1 << 16;

struct FolderIdentity {
    dev_t Device = 0;
    ino_t Inode = 0;
    bool operator==(const FolderIdentity&) const = default;
};

std::vector<FolderEntry> SortedEntries(FileOps& ops, const std::filesystem::path& folder) {
    std::vector<FolderEntry> entries;
    ThrowIfFailed(ops.ListFolder(folder, entries), folder);
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.Name < b.Name; });
    return entries;
}

class TreeCopier {
public:
    TreeCopier(FileOps& ops, bool overwrite, FolderIdentity destination,
               const CopyProgress& progress)
        : ops_(ops), overwrite_(overwrite), destination_(destination), progress_(progress) {}

    void CopyContents(const std::filesystem::path& source,
                      const std::filesystem::path& destination) {
        for (const FolderEntry& entry : SortedEntries(ops_, source)) {
            if (IsTempName(entry.Name)) {
                continue; // a half-made file of a run that died
            }
            const std::filesystem::path from = source / entry.Name;
            const std::filesystem::path to = destination / entry.Name;
            switch (entry.Kind) {
            case EntryKind::Folder:
                CopySubfolder(from, to);
                break;
            case EntryKind::File:
                CopyFile(from, to);
                break;
            case EntryKind::Link:
                CopyLink(from, to);
                break;
            case EntryKind::Missing:
            case EntryKind::Other:
                break; // devices, pipes and sockets hold no page
            }
        }
        CopyFolderAttributes(source, destination);
        FsyncFolder(ops_, destination);
    }

private:
    void CopySubfolder(const std::filesystem::path& from, const std::filesystem::path& to) {
        struct stat info {};
        ThrowIfFailed(ops_.Lstat(from, info), from);
        if (FolderIdentity{info.st_dev, info.st_ino} == destination_) {
            return; // the copy's own destination: copying it would never end
        }
        struct stat existing {};
        const int error = ops_.Lstat(to, existing);
        if (error == ENOENT) {
            // the owner keeps the right to write into it, to fill it now and later
            ThrowIfFailed(ops_.Mkdir(to, (info.st_mode & 07777) | S_IRWXU), to);
        } else if (error != 0) {
            throw OsError(error, to);
        } else if (!S_ISDIR(existing.st_mode)) {
            throw OsError(EEXIST, to);
        }
        CopyContents(from, to);
    }

    // Only a folder that has some: most have none, and this costs one call.
    void CopyFolderAttributes(const std::filesystem::path& from, const std::filesystem::path& to) {
        const ExtendedAttributes extended = ReadExtendedAttributes(ops_, from);
        if (extended.empty()) {
            return;
        }
        int fd = -1;
        ThrowIfFailed(ops_.Open(to, O_RDONLY | O_DIRECTORY | O_NOFOLLOW, 0, fd), to);
        try {
            ApplyFolderAttributes(ops_, fd, extended, to);
        } catch (...) {
            ops_.Close(fd);
            throw;
        }
        ThrowIfFailed(ops_.Close(fd), to);
    }

    void RefuseExisting(const std::filesystem::path& to) {
        if (overwrite_) {
            return;
        }
        struct stat existing {};
        const int error = ops_.Lstat(to, existing);
        if (error == 0) {
            throw OsError(EEXIST, to);
        }
        if (error != ENOENT) {
            throw OsError(error, to);
        }
    }

    void CopyFile(const std::filesystem::path& from, const std::filesystem::path& to) {
        RefuseExisting(to);
        int fd = -1;
        ThrowIfFailed(ops_.Open(from, O_RDONLY | O_NOFOLLOW | O_NONBLOCK, 0, fd), from);
        try {
            struct stat info {};
            ThrowIfFailed(ops_.Fstat(fd, info), from);
            if (!S_ISREG(info.st_mode)) {
                throw NotOrdinaryFile(from); // swapped since it was listed
            }
            const KeptAttributes keep{static_cast<mode_t>(info.st_mode & 07777), info.st_uid,
                                      info.st_gid, ReadExtendedAttributes(ops_, from), false};
            // The folder itself is flushed once, when all its entries are in.
            PrepareAtomically(ops_, to, keep, [&](int out) {
                Pump(fd, from, out, to, info.st_size);
            }).Commit();
            ++files_;
            bytes_ += static_cast<std::uint64_t>(info.st_size);
        } catch (...) {
            ops_.Close(fd);
            throw;
        }
        ThrowIfFailed(ops_.Close(fd), from);
        if (progress_) {
            progress_(files_, bytes_);
        }
    }

    // The first size bytes, data only: a hole stays a hole.
    void Pump(int in, const std::filesystem::path& from, int out, const std::filesystem::path& to,
              off_t size) {
        std::vector<char> buffer(CopyChunk);
        off_t offset = 0;
        while (offset < size) {
            off_t data = 0;
            const int found = ops_.Seek(in, offset, SEEK_DATA, data);
            if (found == ENXIO || data >= size) {
                break; // a hole to the end
            }
            ThrowIfFailed(found, from);
            off_t hole = 0;
            ThrowIfFailed(ops_.Seek(in, data, SEEK_HOLE, hole), from);
            off_t at = 0;
            ThrowIfFailed(ops_.Seek(in, data, SEEK_SET, at), from);
            ThrowIfFailed(ops_.Seek(out, data, SEEK_SET, at), to);
            for (off_t left = std::min(hole, size) - data; left > 0;) {
                std::size_t got = 0;
                const std::size_t want = std::min<std::size_t>(buffer.size(), left);
                ThrowIfFailed(ops_.Read(in, buffer.data(), want, got), from);
                if (got == 0) {
                    break; // shrunk while copied
                }
                WriteAll(ops_, out, std::string_view(buffer.data(), got), to);
                left -= static_cast<off_t>(got);
            }
            offset = hole;
        }
        ThrowIfFailed(ops_.Truncate(out, size), to); // a trailing hole
    }

    void CopyLink(const std::filesystem::path& from, const std::filesystem::path& to) {
        RefuseExisting(to);
        std::filesystem::path target;
        ThrowIfFailed(ops_.Readlink(from, target), from);
        // made under a free name and renamed over, like a file
        const std::filesystem::path temp = MakeTempBeside(
            to, [&](const std::filesystem::path& name) { return ops_.Symlink(target, name); });
        if (const int renamed = ops_.Rename(temp, to); renamed != 0) {
            ops_.Unlink(temp);
            throw OsError(renamed, to);
        }
    }

    FileOps& ops_;
    bool overwrite_;
    FolderIdentity destination_;
    const CopyProgress& progress_;
    std::uint64_t files_ = 0;
    std::uint64_t bytes_ = 0;
};

} // namespace

void CopyFolderTree(FileOps& ops, const std::filesystem::path& source,
                    const std::filesystem::path& destination, bool overwrite,
                    const CopyProgress& progress) {
    struct stat info {};
    ThrowIfFailed(ops.Stat(source, info), source);
    if (!S_ISDIR(info.st_mode)) {
        throw OsError(ENOTDIR, source);
    }
    // never written through a link: what it points to may be anywhere
    struct stat target {};
    int error = ops.Lstat(destination, target);
    if (error == ENOENT) {
        ThrowIfFailed(ops.Mkdir(destination, (info.st_mode & 07777) | S_IRWXU), destination);
        error = ops.Lstat(destination, target);
    }
    ThrowIfFailed(error, destination);
    if (S_ISLNK(target.st_mode)) {
        throw LinkRefused(destination);
    }
    if (!S_ISDIR(target.st_mode)) {
        throw OsError(ENOTDIR, destination);
    }
    TreeCopier copier(ops, overwrite, FolderIdentity{target.st_dev, target.st_ino}, progress);
    copier.CopyContents(source, destination);
}

void RemoveFolderTree(FileOps& ops, const std::filesystem::path& path) {
    struct stat info {};
    const int error = ops.Lstat(path, info);
    if (error == ENOENT) {
        return;
    }
    ThrowIfFailed(error, path);
    if (!S_ISDIR(info.st_mode)) {
        ThrowIfFailed(ops.Unlink(path), path);
        return;
    }
    for (const FolderEntry& entry : SortedEntries(ops, path)) {
        RemoveFolderTree(ops, path / entry.Name);
    }
    ThrowIfFailed(ops.RemoveFolder(path), path);
}

} // namespace velnor
