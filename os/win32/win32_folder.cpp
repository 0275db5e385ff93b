#include "os/win32/win32_folder.h"

#include "core/text/display_path.h"
#include "os/win32/entry_names.h"
#include "os/win32/folder_listing.h"
#include "os/win32/folder_lock.h"
#include "os/win32/folder_parent.h"
#include "os/win32/nt_calls.h"
#include "os/win32/owner_rights.h"
#include "os/win32/private_access.h"
#include "os/win32/win32_error.h"
#include "os/win32/win32_files.h"

#include <utility>

namespace velnor {
namespace {

// Never through a link: a reparse point is opened as itself.
constexpr ULONG AsItself = FILE_OPEN_REPARSE_POINT;
constexpr ACCESS_MASK NewFileAccess =
    GENERIC_WRITE | READ_CONTROL | WRITE_DAC | WRITE_OWNER | DELETE | FILE_READ_ATTRIBUTES;
constexpr ACCESS_MASK FillAccess = FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY;

DWORD WithoutReadOnly(DWORD attributes) {
    attributes &= FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                  FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    return attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
}

bool SetAttributes(HANDLE handle, DWORD attributes) {
    FILE_BASIC_INFO basic{}; // times of 0 stay as they are
    basic.FileAttributes = attributes;
    return SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic);
}

class Win32Folder : public FolderHandle {
public:
    // top: the folder opened by its path that this one lies in; none for that
    // folder itself.
    Win32Folder(UniqueHandle handle, std::uint64_t volume, std::filesystem::path shown,
                FolderHandleRef top)
        : FolderHandle(std::move(shown)),
          handle_(std::make_shared<const UniqueHandle>(std::move(handle))), volume_(volume),
          top_(top ? std::move(top) : handle_), names_(Handle(), Path()) {}

    // Every folder opened from this one lies on its volume: another volume is
    // reached only through a mount point, a reparse point, which is refused.
    FolderId Identity() override { return {volume_, QueryOf(Handle(), Path()).Index}; }

    std::vector<Entry> List() override { return ListFolder(Handle(), Path()); }

    EntryInfo Info(const EntryName& name) override {
        UniqueHandle entry;
        const NTSTATUS status =
            OpenAt(Handle(), name, FILE_READ_ATTRIBUTES, ShareAll, FILE_OPEN, AsItself, entry);
        if (NotFound(status))
            return {};
        ThrowIfNtFailed(status, PathOf(name));
        EntryInfo info = QueryOf(entry.Get(), PathOf(name)).Entry();
        if (info.kind != EntryKind::Link && !names_.IsItself(entry.Get(), name, PathOf(name)))
            info.kind = EntryKind::Link;
        return info;
    }

    std::unique_ptr<FolderHandle> OpenFolder(const EntryName& name,
                                             const std::filesystem::path& shown) override {
        UniqueHandle sub;
        NTSTATUS status = OpenAt(Handle(), name, FolderAccess, ShareAll, FILE_OPEN,
                                 FILE_DIRECTORY_FILE | AsItself, sub);
        if (status == STATUS_ACCESS_DENIED)
            status = OpenAt(Handle(), name, SearchAccess, ShareAll, FILE_OPEN,
                            FILE_DIRECTORY_FILE | AsItself, sub);
        if (status == STATUS_NOT_A_DIRECTORY)
            throw Info(name).kind == EntryKind::Link ? LinkRefused(shown) : NotAFolder(shown);
        ThrowIfNtFailed(status, shown);
        if (QueryOf(sub.Get(), shown).Kind() == EntryKind::Link ||
            !names_.IsItself(sub.Get(), name, shown))
            throw LinkRefused(shown);
        return std::make_unique<Win32Folder>(std::move(sub), volume_, shown, top_);
    }

    std::unique_ptr<FolderHandle> OpenParent() override {
        UniqueHandle parent;
        if (!OpenParentOf(Handle(), FolderAccess, parent) &&
            !OpenParentOf(Handle(), SearchAccess, parent))
            return nullptr;
        return MakeWin32Folder(std::move(parent), volume_, Path().parent_path());
    }

    bool MakeFolder(const EntryName& name) override {
        UniqueHandle made;
        const NTSTATUS status = OpenAt(Handle(), name, FILE_READ_ATTRIBUTES, ShareAll, FILE_CREATE,
                                       FILE_DIRECTORY_FILE, made, NewFolderSecurity().get());
        if (status == STATUS_OBJECT_NAME_COLLISION)
            return false;
        ThrowIfNtFailed(status, PathOf(name));
        return true;
    }

    std::shared_ptr<const FileAttributes> Attributes() override { return Own(); }

    // Only what differs is set: a folder another user owns and that is as it
    // should be stays untouched. Its owner where the system allows.
    void Apply(const FileAttributes& attributes) override {
        const auto& wanted = dynamic_cast<const Win32Attributes&>(attributes);
        if (!SameAttributes(*Own(), wanted))
            ApplyAttributes(Reopen(MAXIMUM_ALLOWED).Get(), wanted, false, Path());
    }

    // An owner may always give itself access; Apply puts the list back.
    void PrepareToFill() override {
        UniqueHandle self;
        const NTSTATUS status =
            OpenAt(Handle(), {}, FillAccess, ShareAll, FILE_OPEN, FILE_DIRECTORY_FILE, self);
        if (status == STATUS_ACCESS_DENIED)
            MakeOwnerOnly(Reopen(MAXIMUM_ALLOWED).Get(), Path());
        else
            ThrowIfNtFailed(status, Path());
    }

    std::unique_ptr<ReadableFile> OpenFile(const EntryName& name) override {
        const std::filesystem::path shown = PathOf(name);
        UniqueHandle file;
        // shared with readers only: a page another program is writing is
        // refused (a sharing violation) before it is read
        ThrowIfNtFailed(OpenAt(Handle(), name, GENERIC_READ | READ_CONTROL, FILE_SHARE_READ,
                               FILE_OPEN, FILE_NON_DIRECTORY_FILE | FILE_SEQUENTIAL_ONLY | AsItself,
                               file),
                        shown);
        if (QueryOf(file.Get(), shown).Kind() != EntryKind::File ||
            GetFileType(file.Get()) != FILE_TYPE_DISK || !names_.IsItself(file.Get(), name, shown))
            throw NotOrdinaryFile(shown);
        return MakeReadableFile(std::move(file), shown);
    }

    std::unique_ptr<HeldPage> HoldPage(const EntryName& name,
                                       const std::function<void(const EntryInfo&)>& check) override;

    std::unique_ptr<NewFile> CreateUnnamed(bool, const std::filesystem::path&) override {
        return nullptr; // every file on Windows has a name
    }

    std::unique_ptr<NewFile> CreateNamed(const EntryName& name, bool isPrivate,
                                         const std::filesystem::path& shown) override {
        UniqueHandle file;
        const NTSTATUS status =
            OpenAt(Handle(), name, NewFileAccess, 0, FILE_CREATE, FILE_NON_DIRECTORY_FILE, file,
                   isPrivate ? OwnerOnly().get() : nullptr);
        if (status == STATUS_OBJECT_NAME_COLLISION)
            return nullptr;
        ThrowIfNtFailed(status, shown);
        return MakeNewFile(handle_, std::move(file), shown);
    }

    // Making a link takes a privilege on Windows.
    bool CopiesLinks() const override { return false; }
    EntryName ReadLink(const EntryName& name) override {
        throw Win32Error(ERROR_NOT_SUPPORTED, PathOf(name));
    }
    bool MakeLink(const EntryName& name, const EntryName&) override {
        throw Win32Error(ERROR_PRIVILEGE_NOT_HELD, PathOf(name));
    }

    void RenameEntry(const EntryName& from, const EntryName& to, bool replace) override;
    bool RemoveFile(const EntryName& name) override;
    void RemoveFolder(const EntryName& name) override;

    // A folder that may not be written was not written.
    void Sync() override {
        UniqueHandle self;
        const NTSTATUS status = OpenAt(Handle(), {}, FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY,
                                       ShareAll, FILE_OPEN, FILE_DIRECTORY_FILE, self);
        if (status == STATUS_ACCESS_DENIED)
            return;
        ThrowIfNtFailed(status, Path());
        if (!FlushFileBuffers(self.Get())) {
            const DWORD error = GetLastError();
            if (error != ERROR_INVALID_FUNCTION) // a file system that keeps no such promise
                throw Win32Error(error, Path());
        }
    }

    std::unique_ptr<FolderLock> Lock(bool withAncestors) override {
        std::vector<FolderId> above;
        if (withAncestors)
            for (std::unique_ptr<FolderHandle> up = OpenParent(); up; up = up->OpenParent())
                above.push_back(up->Identity());
        return LockFolderTree(Identity(), above, Path());
    }

private:
    HANDLE Handle() const { return handle_->Get(); }

    static HandleInfo QueryOf(HANDLE handle, const std::filesystem::path& shown) {
        HandleInfo info;
        ThrowIfNtFailed(QueryInfo(handle, info), shown);
        return info;
    }

    std::shared_ptr<const Win32Attributes> Own() const {
        const UniqueHandle self = Reopen(READ_CONTROL | FILE_READ_ATTRIBUTES);
        return ReadAttributes(self.Get(), QueryOf(self.Get(), Path()), Path());
    }

    UniqueHandle Reopen(ACCESS_MASK access) const {
        UniqueHandle self;
        ThrowIfNtFailed(
            OpenAt(Handle(), {}, access, ShareAll, FILE_OPEN, FILE_DIRECTORY_FILE, self), Path());
        return self;
    }

    // The entry itself, open for access, or the reason it is not: gone, or a
    // link that the system cannot rename or remove as itself.
    UniqueHandle OpenItself(const EntryName& name, ACCESS_MASK access, ULONG options,
                            const std::filesystem::path& shown, NTSTATUS& status) {
        UniqueHandle entry;
        status = OpenAt(Handle(), name, access, ShareAll, FILE_OPEN, options | AsItself, entry);
        if (NT_SUCCESS(status) && !names_.IsItself(entry.Get(), name, shown))
            throw LinkRefused(shown);
        return entry;
    }

    FolderHandleRef handle_;
    std::uint64_t volume_;
    FolderHandleRef top_;
    EntryNames names_;
};

std::unique_ptr<HeldPage>
Win32Folder::HoldPage(const EntryName& name, const std::function<void(const EntryInfo&)>& check) {
    const std::filesystem::path shown = PathOf(name);
    UniqueHandle page;
    const NTSTATUS status = OpenAt(Handle(), name, READ_CONTROL | FILE_READ_ATTRIBUTES, ShareAll,
                                   FILE_OPEN, FILE_NON_DIRECTORY_FILE | AsItself, page);
    if (NotFound(status) || status == STATUS_FILE_IS_A_DIRECTORY) {
        check(Info(name)); // gone, a folder, a link...
        return nullptr;
    }
    ThrowIfNtFailed(status, shown);
    const HandleInfo info = QueryOf(page.Get(), shown);
    EntryInfo now = info.Entry();
    if (now.kind != EntryKind::Link && !names_.IsItself(page.Get(), name, shown))
        now.kind = EntryKind::Link;
    check(now);
    if (now.kind != EntryKind::File)
        return nullptr;
    // Read-only is refused before anything is written, by the program itself
    // too: Wine lets root replace such a file. Then the rights the
    // replacement needs, which fail for a page the user may not write and for
    // one another program holds open without sharing it (a sharing violation).
    if ((info.Attributes & FILE_ATTRIBUTE_READONLY) != 0)
        throw Win32Error(ERROR_ACCESS_DENIED, shown);
    UniqueHandle writable;
    ThrowIfNtFailed(OpenAt(Handle(), name, FILE_WRITE_DATA | DELETE, ShareAll, FILE_OPEN,
                           FILE_NON_DIRECTORY_FILE | AsItself, writable),
                    shown);
    if (QueryOf(writable.Get(), shown).Index != info.Index)
        check(Info(name)); // another file since the look
    auto attributes = ReadAttributes(page.Get(), info, shown);
    if (!attributes->Owner.empty() && !CanGiveTo(attributes->Owner))
        throw FileSystemError(DisplayPath(shown) + ": its owner cannot be kept: " +
                              Win32Category().message(ERROR_INVALID_OWNER));
    return MakeHeldPage(top_, info, std::move(attributes));
}

void Win32Folder::RenameEntry(const EntryName& from, const EntryName& to, bool replace) {
    const std::filesystem::path shown = PathOf(to);
    NTSTATUS status = 0;
    const UniqueHandle entry = OpenItself(from, DELETE | FILE_READ_ATTRIBUTES, 0, shown, status);
    ThrowIfNtFailed(status, shown);
    status = RenameTo(entry.Get(), Handle(), to, replace);
    if (status == STATUS_ACCESS_DENIED && replace) {
        // A read-only file there is replaced like any other, as a rename does
        // on Linux; should that fail, it is read-only again.
        UniqueHandle there = OpenItself(to, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                        FILE_NON_DIRECTORY_FILE, shown, status);
        FILE_BASIC_INFO basic{};
        if (NT_SUCCESS(status) &&
            GetFileInformationByHandleEx(there.Get(), FileBasicInfo, &basic, sizeof basic) &&
            (basic.FileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
            ThrowIfFailed(SetAttributes(there.Get(), WithoutReadOnly(basic.FileAttributes)), shown);
            status = RenameTo(entry.Get(), Handle(), to, replace);
            if (!NT_SUCCESS(status))
                SetAttributes(there.Get(), basic.FileAttributes);
        } else {
            status = STATUS_ACCESS_DENIED;
        }
    }
    ThrowIfNtFailed(status, shown);
}

bool Win32Folder::RemoveFile(const EntryName& name) {
    const std::filesystem::path shown = PathOf(name);
    NTSTATUS status = 0;
    const UniqueHandle entry =
        OpenItself(name, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, 0, shown, status);
    if (NotFound(status))
        return false;
    ThrowIfNtFailed(status, shown);
    const HandleInfo info = QueryOf(entry.Get(), shown);
    if (info.Kind() == EntryKind::Folder)
        throw NtError(STATUS_FILE_IS_A_DIRECTORY, shown);
    status = MarkForDeletion(entry.Get());
    if (status == STATUS_CANNOT_DELETE) { // read-only, which a leftover copy may be
        ThrowIfFailed(SetAttributes(entry.Get(), WithoutReadOnly(info.Attributes)), shown);
        status = MarkForDeletion(entry.Get());
    }
    ThrowIfNtFailed(status, shown);
    return true;
}

void Win32Folder::RemoveFolder(const EntryName& name) {
    const std::filesystem::path shown = PathOf(name);
    NTSTATUS status = 0;
    const UniqueHandle entry =
        OpenItself(name, DELETE | FILE_READ_ATTRIBUTES, FILE_DIRECTORY_FILE, shown, status);
    ThrowIfNtFailed(status, shown);
    if (QueryOf(entry.Get(), shown).Kind() == EntryKind::Link)
        throw LinkRefused(shown);
    ThrowIfNtFailed(MarkForDeletion(entry.Get()), shown);
}

} // namespace

std::unique_ptr<FolderHandle> MakeWin32Folder(UniqueHandle handle, std::uint64_t volume,
                                              std::filesystem::path shown) {
    return std::make_unique<Win32Folder>(std::move(handle), volume, std::move(shown), nullptr);
}

} // namespace velnor
