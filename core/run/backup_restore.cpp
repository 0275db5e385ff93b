#include "core/run/backup_restore.h"

#include "core/files/replacement.h"
#include "core/identity.h"
#include "core/text/display_path.h"

#include <functional>

namespace velnor {
namespace {

const EntryName& Bak() {
    static const EntryName suffix = std::filesystem::path(".bak").native();
    return suffix;
}

// Whether id is one of the folders above folder.
bool Above(FolderHandle& folder, const FolderId& id) {
    for (std::unique_ptr<FolderHandle> up = folder.OpenParent(); up; up = up->OpenParent())
        if (up->Identity() == id)
            return true;
    return false;
}

// Copying into a backup that is the folder, or lies in it or around it under
// another name, would copy the folder into itself or rewrite it; the backup
// of a root lies in it by its very name, which the scan and the copy leave
// out.
void RefuseEntangled(const UserFolder& folder, FolderHandle& backup) {
    if (!folder.folder)
        return; // a restore that makes the folder anew
    const FolderId own = folder.folder->Identity();
    const FolderId backupId = backup.Identity();
    bool entangled = own == backupId || Above(*folder.folder, backupId);
    if (!entangled) {
        std::unique_ptr<FolderHandle> up = backup.OpenParent();
        if (!folder.parent && up && up->Identity() == own)
            up = nullptr; // in the root by its name
        entangled = up && (up->Identity() == own || Above(*up, own));
    }
    if (entangled)
        throw FileSystemError(DisplayPath(backup.Path()) + ": is " + DisplayPath(folder.path) +
                              ", or lies inside or around it, under another name");
}

// The backup, or none when there is none; a link or anything but a folder
// there is refused.
std::unique_ptr<FolderHandle> OpenBackup(const UserFolder& folder) {
    const std::filesystem::path shown = BackupPath(folder.path);
    const EntryName name = folder.Sibling(Bak());
    switch (folder.Around().Info(name).kind) {
    case EntryKind::Missing:
        return nullptr;
    case EntryKind::Folder:
        break;
    case EntryKind::Link:
        throw LinkRefused(shown);
    case EntryKind::File:
    case EntryKind::Other:
        throw NotAFolder(shown);
    }
    std::unique_ptr<FolderHandle> backup = folder.Around().OpenFolder(name, shown);
    RefuseEntangled(folder, *backup);
    return backup;
}

// A folder made under a temporary name beside where it is to be, filled, and
// renamed into place once complete: one that failed half-way never stands
// under the name. Shown by that name throughout.
void MakeWhole(FolderHandle& around, const EntryName& name, const std::filesystem::path& shown,
               const std::function<void(FolderHandle& made)>& fill) {
    const EntryName temp =
        MakeTemporary(around, name, [&](const EntryName& free) { return around.MakeFolder(free); });
    try {
        fill(*around.OpenFolder(temp, shown));
        around.RenameEntry(temp, name, false);
        around.Sync();
    } catch (...) {
        try {
            RemoveTree(around, temp);
        } catch (const FileSystemError&) {
            // the fill's error is the one to report
        }
        throw;
    }
}

} // namespace

std::filesystem::path BackupPath(const std::filesystem::path& folder) {
    std::filesystem::path base = folder;
    while (!base.has_filename() && base.has_relative_path())
        base = base.parent_path();
    return base += ".bak";
}

std::optional<FolderId> BackupInside(const UserFolder& folder) {
    if (folder.parent || !folder.folder || folder.folder->Info(Bak()).kind != EntryKind::Folder)
        return std::nullopt;
    return folder.folder->OpenFolder(Bak(), BackupPath(folder.path))->Identity();
}

Leftovers RemoveUnfinished(const UserFolder& folder) {
    Leftovers removed = RemoveUnfinishedCopies(folder.Around(), folder.Sibling(Bak()));
    if (folder.parent)
        removed += RemoveUnfinishedCopies(*folder.parent, folder.name);
    return removed;
}

bool BackUpFolder(WindowSeam& window, const UserFolder& folder, const CopyProgress& progress,
                  Leftovers& leftovers) {
    if (!window.BackupTicked())
        return true;
    const std::unique_ptr<FolderHandle> backup = OpenBackup(folder);
    if (!backup) {
        MakeWhole(folder.Around(), folder.Sibling(Bak()), BackupPath(folder.path),
                  [&](FolderHandle& made) {
                      CopyTree(*folder.folder, made, {.leaveOut = made.Identity()}, progress);
                  });
        return true;
    }
    const MessageBoxRequest question{.text = DisplayPath(backup->Path()) + " 已经存在,是否继续?",
                                     .title = "覆盖文件",
                                     .buttons = MessageButtons::YesNo,
                                     .icon = MessageIcon::None,
                                     .defaultButton = MessageAnswer::Yes};
    // Only an explicit Yes overwrites; a box closed any other way stops too.
    if (window.ShowMessage(question) != MessageAnswer::Yes)
        return false;
    const std::unique_ptr<FolderLock> held = backup->Lock(false);
    const FolderId backupId = backup->Identity();
    leftovers += SweepTree(*backup, std::nullopt);
    CopyTree(*folder.folder, *backup, {.leaveOut = backupId}, progress);
    return true;
}

bool RestoreFolder(WindowSeam& window, FileSystemService& fileSys,
                   const std::filesystem::path& path, const CopyProgress& progress,
                   Leftovers& leftovers) {
    const MessageBoxRequest question{.text = "你确定要还原备份文件吗?",
                                     .title = identity::ApplicationTitle,
                                     .buttons = MessageButtons::OkCancel,
                                     .icon = MessageIcon::None,
                                     .defaultButton = MessageAnswer::Ok};
    if (window.ShowMessage(question) != MessageAnswer::Ok)
        return false;

    const UserFolder folder = OpenUserFolder(fileSys, path);
    // a folder to be made anew is guarded through the one around it
    const std::unique_ptr<FolderLock> held =
        folder.folder ? folder.folder->Lock(true) : folder.parent->Lock(true);
    std::unique_ptr<FolderHandle> backup = OpenBackup(folder);
    if (!backup) // the copy has no source: the system's own words say so
        backup = folder.Around().OpenFolder(folder.Sibling(Bak()), BackupPath(folder.path));
    const std::unique_ptr<FolderLock> backupHeld = backup->Lock(false);
    leftovers += RemoveUnfinished(folder);
    leftovers += SweepTree(*backup, std::nullopt);
    if (folder.folder) {
        leftovers += SweepTree(*folder.folder, backup->Identity());
        CopyTree(*backup, *folder.folder, {.pageRules = true, .leaveOut = std::nullopt}, progress);
    } else {
        MakeWhole(*folder.parent, folder.name, folder.path,
                  [&](FolderHandle& made) { CopyTree(*backup, made, {}, progress); });
    }

    window.ShowMessage({.text = "文件已经全部还原.",
                        .title = identity::ApplicationTitle,
                        .buttons = MessageButtons::Ok,
                        .icon = MessageIcon::Exclamation,
                        .defaultButton = MessageAnswer::Ok});
    return true;
}

} // namespace velnor
