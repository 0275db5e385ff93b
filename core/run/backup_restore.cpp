#include "core/run/backup_restore.h"

#include "core/identity.h"
#include "core/text/display_path.h"

namespace velnor {

std::filesystem::path BackupPath(const std::filesystem::path& folder) {
    std::filesystem::path base = folder;
    while (!base.has_filename() && base.has_relative_path())
        base = base.parent_path();
    return base += ".bak";
}

bool BackUpFolder(WindowSeam& window, FileSystemService& fileSys,
                  const std::filesystem::path& folder) {
    if (!window.BackupTicked())
        return true;
    const std::filesystem::path backup = BackupPath(folder);
    if (fileSys.FolderExists(backup)) {
        const MessageBoxRequest question{.text = DisplayPath(backup) + " 已经存在,是否继续?",
                                         .title = "覆盖文件",
                                         .buttons = MessageButtons::YesNo,
                                         .icon = MessageIcon::None,
                                         .defaultButton = MessageAnswer::Yes};
        // Only an explicit Yes overwrites; a box closed any other way stops too.
        if (window.ShowMessage(question) != MessageAnswer::Yes)
            return false;
    }
    fileSys.CopyFolder(folder, backup, true);
    return true;
}

bool RestoreFolder(WindowSeam& window, FileSystemService& fileSys,
                   const std::filesystem::path& folder) {
    const MessageBoxRequest question{.text = "你确定要还原备份文件吗?",
                                     .title = identity::ApplicationTitle,
                                     .buttons = MessageButtons::OkCancel,
                                     .icon = MessageIcon::None,
                                     .defaultButton = MessageAnswer::Ok};
    if (window.ShowMessage(question) != MessageAnswer::Ok)
        return false;

    fileSys.CopyFolder(BackupPath(folder), folder, true);

    window.ShowMessage({.text = "文件已经全部还原.",
                        .title = identity::ApplicationTitle,
                        .buttons = MessageButtons::Ok,
                        .icon = MessageIcon::Exclamation,
                        .defaultButton = MessageAnswer::Ok});
    return true;
}

} // namespace velnor
