#include "core/run/backup_restore.h"

#include "core/files/temp_name.h"
#include "core/identity.h"
#include "core/text/display_path.h"

namespace velnor {
namespace {

// Copying into a backup that is the folder, or lies in it under another name,
// would copy the folder into itself or rewrite it; "/" holds its "/.bak" by
// that very name, which the scan and the copy leave out.
void RefuseBackupPath(FileSystemService& fileSys, const std::filesystem::path& folder,
                      const std::filesystem::path& backup) {
    switch (fileSys.KindOf(backup)) {
    case EntryKind::Missing:
        return;
    case EntryKind::Folder:
        break;
    case EntryKind::Link:
        throw LinkRefused(backup);
    case EntryKind::File:
    case EntryKind::Other:
        throw FileSystemError(DisplayPath(backup) + ": not a folder");
    }
    if (!fileSys.FolderExists(folder))
        return; // a restore that makes the folder anew
    if (fileSys.IsWithin(folder, backup) ||
        (fileSys.IsWithin(backup, folder) && backup.parent_path() != folder))
        throw FileSystemError(DisplayPath(backup) + ": is " + DisplayPath(folder) +
                              ", or lies inside or around it, under another name");
}

// Built beside the backup and renamed: a backup that failed half-way never
// stands as the backup.
void NewBackup(FileSystemService& fileSys, const std::filesystem::path& folder,
               const std::filesystem::path& backup, const CopyProgress& progress) {
    const std::filesystem::path temp = TempNameBeside(backup);
    try {
        fileSys.CopyFolder(folder, temp, true, progress);
        fileSys.RenameFolder(temp, backup);
    } catch (...) {
        try {
            fileSys.RemoveTree(temp);
        } catch (const std::exception&) {
            // the copy's error is the one to report
        }
        throw;
    }
}

// A new backup that a killed run was building: only this folder's, whose
// lock the caller holds, so no other run can be building one now. A folder
// around it that may be written but not listed keeps them: the backup itself
// needs no listing there.
std::uint64_t RemoveUnfinishedBackups(FileSystemService& fileSys,
                                      const std::filesystem::path& backup) {
    std::unique_ptr<Folder> around;
    try {
        around = fileSys.GetFolder(backup.parent_path());
    } catch (const FileSystemError&) {
        return 0;
    }
    std::uint64_t removed = 0;
    for (const FolderItem& sibling : around->SubFolders()) {
        if (IsTempNameOf(sibling.Path.filename(), backup)) {
            fileSys.RemoveTree(sibling.Path);
            ++removed;
        }
    }
    return removed;
}

// In every folder under folder, but not in its backup.
std::uint64_t RemoveLeftoversUnder(FileSystemService& fileSys, const std::filesystem::path& folder,
                                   const std::filesystem::path& backup) {
    const std::unique_ptr<Folder> listed = fileSys.GetFolder(folder);
    std::uint64_t removed = 0;
    for (const FolderItem& file : listed->Files()) {
        if (IsTempName(file.Path.filename())) {
            removed = fileSys.RemoveLeftovers(folder);
            break;
        }
    }
    for (const FolderItem& sub : listed->SubFolders())
        if (sub.Path != backup)
            removed += RemoveLeftoversUnder(fileSys, sub.Path, backup);
    return removed;
}

} // namespace

std::filesystem::path BackupPath(const std::filesystem::path& folder) {
    std::filesystem::path base = folder;
    while (!base.has_filename() && base.has_relative_path())
        base = base.parent_path();
    return base += ".bak";
}

bool BackUpFolder(WindowSeam& window, FileSystemService& fileSys,
                  const std::filesystem::path& folder, const CopyProgress& progress,
                  std::uint64_t& leftovers) {
    if (!window.BackupTicked())
        return true;
    const std::filesystem::path backup = BackupPath(folder);
    RefuseBackupPath(fileSys, folder, backup);
    leftovers = RemoveUnfinishedBackups(fileSys, backup);
    if (!fileSys.FolderExists(backup)) {
        NewBackup(fileSys, folder, backup, progress);
        return true;
    }
    const MessageBoxRequest question{.text = DisplayPath(backup) + " 已经存在,是否继续?",
                                     .title = "覆盖文件",
                                     .buttons = MessageButtons::YesNo,
                                     .icon = MessageIcon::None,
                                     .defaultButton = MessageAnswer::Yes};
    // Only an explicit Yes overwrites; a box closed any other way stops too.
    if (window.ShowMessage(question) != MessageAnswer::Yes)
        return false;
    fileSys.CopyFolder(folder, backup, true, progress);
    return true;
}

bool RestoreFolder(WindowSeam& window, FileSystemService& fileSys,
                   const std::filesystem::path& folder, const CopyProgress& progress,
                   std::uint64_t& leftovers) {
    const MessageBoxRequest question{.text = "你确定要还原备份文件吗?",
                                     .title = identity::ApplicationTitle,
                                     .buttons = MessageButtons::OkCancel,
                                     .icon = MessageIcon::None,
                                     .defaultButton = MessageAnswer::Ok};
    if (window.ShowMessage(question) != MessageAnswer::Ok)
        return false;

    const std::filesystem::path backup = BackupPath(folder);
    RefuseBackupPath(fileSys, folder, backup);
    if (fileSys.FolderExists(folder))
        leftovers = RemoveLeftoversUnder(fileSys, folder, backup);
    fileSys.CopyFolder(backup, folder, true, progress);

    window.ShowMessage({.text = "文件已经全部还原.",
                        .title = identity::ApplicationTitle,
                        .buttons = MessageButtons::Ok,
                        .icon = MessageIcon::Exclamation,
                        .defaultButton = MessageAnswer::Ok});
    return true;
}

} // namespace velnor
