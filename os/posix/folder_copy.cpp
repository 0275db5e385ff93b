#include "os/posix/folder_copy.h"

#include "os/posix/atomic_file.h"
#include "os/posix/os_error.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace velnor {
namespace {

constexpr std::size_t CopyChunk = 1 << 16;

struct FolderIdentity {
    dev_t Device = 0;
    ino_t Inode = 0;
    bool operator==(const FolderIdentity&) const = default;
};

class TreeCopier {
public:
    TreeCopier(FileOps& ops, bool overwrite, FolderIdentity destination)
        : ops_(ops), overwrite_(overwrite), destination_(destination) {}

    void CopyContents(const std::filesystem::path& source,
                      const std::filesystem::path& destination) {
        std::vector<FolderEntry> entries;
        ThrowIfFailed(ops_.ListFolder(source, entries), source);
        std::sort(entries.begin(), entries.end(),
                  [](const FolderEntry& a, const FolderEntry& b) { return a.Name < b.Name; });
        for (const FolderEntry& entry : entries) {
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
            case EntryKind::Other:
                break; // devices, pipes and sockets hold no page
            }
        }
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
        ThrowIfFailed(ops_.Open(from, O_RDONLY | O_NOFOLLOW, 0, fd), from);
        try {
            struct stat info {};
            ThrowIfFailed(ops_.Fstat(fd, info), from);
            const KeptAttributes keep{static_cast<mode_t>(info.st_mode & 07777), info.st_uid,
                                      info.st_gid};
            // The folder itself is flushed once, when all its entries are in.
            PrepareAtomically(ops_, to, keep, [&](int out) { Pump(fd, from, out, to); }).Commit();
        } catch (...) {
            ops_.Close(fd);
            throw;
        }
        ThrowIfFailed(ops_.Close(fd), from);
    }

    void Pump(int in, const std::filesystem::path& from, int out, const std::filesystem::path& to) {
        std::vector<char> buffer(CopyChunk);
        while (true) {
            std::size_t got = 0;
            ThrowIfFailed(ops_.Read(in, buffer.data(), buffer.size(), got), from);
            if (got == 0) {
                return;
            }
            WriteAll(ops_, out, std::string_view(buffer.data(), got), to);
        }
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
};

} // namespace

void CopyFolderTree(FileOps& ops, const std::filesystem::path& source,
                    const std::filesystem::path& destination, bool overwrite) {
    struct stat info {};
    ThrowIfFailed(ops.Stat(source, info), source);
    if (!S_ISDIR(info.st_mode)) {
        throw OsError(ENOTDIR, source);
    }
    struct stat target {};
    int error = ops.Stat(destination, target);
    if (error == ENOENT) {
        ThrowIfFailed(ops.Mkdir(destination, (info.st_mode & 07777) | S_IRWXU), destination);
        error = ops.Stat(destination, target);
    }
    ThrowIfFailed(error, destination);
    if (!S_ISDIR(target.st_mode)) {
        throw OsError(ENOTDIR, destination);
    }
    TreeCopier copier(ops, overwrite, FolderIdentity{target.st_dev, target.st_ino});
    copier.CopyContents(source, destination);
}

} // namespace velnor
