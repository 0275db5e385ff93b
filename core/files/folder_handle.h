#pragma once

#include "core/files/file_system.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace velnor {

// One name in a folder, in the system's own units: bytes on Linux, UTF-16 on
// Windows. Never "." or "..", never a separator.
using EntryName = std::filesystem::path::string_type;

struct Entry {
    EntryName name;
    EntryKind kind = EntryKind::Other; // links never followed
};

// What the system says of an entry or an open file, links never followed.
struct EntryInfo {
    EntryKind kind = EntryKind::Missing;
    FileStamp stamp;
    std::uint64_t links = 1; // the names the file has
};

// What a copy or a replacement keeps of a file or folder: on POSIX its
// permission bits, owner, group and extended attributes (ACLs among them); on
// Windows its attributes, creation time, owner and access list. Only the
// layer that read them applies them.
class FileAttributes {
public:
    virtual ~FileAttributes() = default;
};

// A file opened to be read, never through a link and never waiting on a pipe.
class ReadableFile {
public:
    virtual ~ReadableFile() = default;

    // What the file was when it was opened.
    virtual EntryInfo Info() = 0;
    // Up to size bytes from offset; 0 at the end.
    virtual std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) = 0;
    // The next stretch [first, second) below end, at or after offset, that
    // may hold data: the holes of a sparse file are skipped. None when only a
    // hole is left. A system that cannot tell answers the whole rest.
    virtual std::optional<std::pair<std::uint64_t, std::uint64_t>> NextData(std::uint64_t offset,
                                                                            std::uint64_t end);
    virtual std::shared_ptr<const FileAttributes> Attributes() = 0;
};

// A new file being filled beside the entry it is to replace or become; its
// errors name that entry, never the temporary name. Destroyed without a name
// it vanishes; once named it is its folder's to remove.
class NewFile {
public:
    virtual ~NewFile() = default;

    virtual void WriteAt(std::uint64_t offset, std::string_view bytes) = 0;
    virtual void SetSize(std::uint64_t size) = 0;
    // Gives it what the file it stands for had. An attribute that limits
    // access (an ACL, a security label) and cannot be set is refused, and so
    // is one the new file took from its folder that the original did not
    // have: access is never widened. The owner must be kept when required (a
    // page must not change hands); a copy may stay the copier's where the
    // system allows no other.
    virtual void Apply(const FileAttributes& attributes, bool ownerRequired) = 0;
    // Content and attributes on disk.
    virtual void Sync() = 0;
    // A file made without a name gets name in its folder; false when taken.
    virtual bool GiveName(const EntryName& name) = 0;
    // Lets go of the file; an error that shows only now is thrown.
    virtual void Close() = 0;
};

// A page about to be replaced, held from before its new content is written
// until the replacement is done with, so that letting go of its old content,
// which may wait on the disk, happens where waiting does no harm.
class HeldPage {
public:
    virtual ~HeldPage() = default;

    virtual const EntryInfo& Info() const = 0;
    // What the replacement keeps.
    virtual std::shared_ptr<const FileAttributes> Attributes() const = 0;
    // The old file's stamp now, after its name went to the replacement: what
    // its other names (hard links) show. None where the system cannot tell.
    virtual std::optional<FileStamp> StampAfterReplace() = 0;
};

// An open folder. Every call names one entry directly in it, links are never
// followed, and every error names the entry as the user knows it (PathOf).
// Safe on several threads at once.
class FolderHandle {
public:
    explicit FolderHandle(std::filesystem::path shown) : path_(std::move(shown)) {}
    virtual ~FolderHandle() = default;
    FolderHandle(const FolderHandle&) = delete;
    FolderHandle& operator=(const FolderHandle&) = delete;

    // The folder as the user knows it, for messages only: never opened.
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path PathOf(const EntryName& name) const { return path_ / name; }

    virtual FolderId Identity() = 0;
    // Every entry but "." and "..", in the system's order.
    virtual std::vector<Entry> List() = 0;
    // The entry, Missing when there is none.
    virtual EntryInfo Info(const EntryName& name) = 0;

    // The subfolder, shown as `shown`. Refuses a link or another reparse
    // point that leads elsewhere (LinkRefused) and anything but a folder.
    virtual std::unique_ptr<FolderHandle> OpenFolder(const EntryName& name,
                                                     const std::filesystem::path& shown) = 0;
    // The folder this one lies in now (".."), shown as Path()'s parent; none
    // for a root (its own parent) or a parent that may not be opened.
    virtual std::unique_ptr<FolderHandle> OpenParent() = 0;
    // A new subfolder, open to its owner alone until Apply (on Windows: as
    // its folder hands down, the files in it their owner's alone); false when
    // the name is taken.
    virtual bool MakeFolder(const EntryName& name) = 0;
    // This folder's own attributes, which a copy of it keeps.
    virtual std::shared_ptr<const FileAttributes> Attributes() = 0;
    // Gives this folder what another had; its owner where the system allows.
    virtual void Apply(const FileAttributes& attributes) = 0;
    // Lets the owner put entries into this folder, which a copy may have
    // made read-only; Apply puts its attributes back afterwards.
    virtual void PrepareToFill() = 0;

    // The file to be read; refuses anything but an ordinary file.
    virtual std::unique_ptr<ReadableFile> OpenFile(const EntryName& name) = 0;
    // Before a file is replaced: looks at the entry, which check may refuse
    // by throwing; none when it is Missing or no file. Then refuses a file
    // that is read-only, that the running user may not write, or whose owner
    // and group could not be kept (one a user other than an administrator
    // does not own), and holds it.
    virtual std::unique_ptr<HeldPage>
    HoldPage(const EntryName& name, const std::function<void(const EntryInfo&)>& check) = 0;
    // A new file without a name, where the system can make one: nothing is
    // left of it if the process dies before GiveName. None where it cannot.
    // Private: open to its owner alone, to be given attributes.
    virtual std::unique_ptr<NewFile> CreateUnnamed(bool isPrivate,
                                                   const std::filesystem::path& shown) = 0;
    // A new file under name; none when the name is taken.
    virtual std::unique_ptr<NewFile> CreateNamed(const EntryName& name, bool isPrivate,
                                                 const std::filesystem::path& shown) = 0;

    // Whether links are copied as links (on Windows making one takes a
    // privilege, so a copy leaves them out).
    virtual bool CopiesLinks() const = 0;
    virtual EntryName ReadLink(const EntryName& name) = 0;
    // A symbolic link; false when the name is taken.
    virtual bool MakeLink(const EntryName& name, const EntryName& target) = 0;

    // Renames an entry of this folder, a link as itself. Without replace it
    // fails when anything is at `to`. Errors name `to`.
    virtual void RenameEntry(const EntryName& from, const EntryName& to, bool replace) = 0;
    // Removes a file or a link, never what a link leads to; false when it
    // was gone already.
    virtual bool RemoveFile(const EntryName& name) = 0;
    // Removes an empty subfolder.
    virtual void RemoveFolder(const EntryName& name) = 0;
    // Makes this folder's entries (new names, renames) last through a crash.
    virtual void Sync() = 0;

    // Takes this folder for one run alone, and with ancestors the folders
    // above it shared: another holder of this folder, of one inside it or (with
    // ancestors) of one around it conflicts, in this process or another;
    // folders side by side do not. Throws FolderBusy at once instead of waiting.
    virtual std::unique_ptr<FolderLock> Lock(bool withAncestors) = 0;

private:
    std::filesystem::path path_;
};

} // namespace velnor
