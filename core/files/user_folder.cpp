#include "core/files/user_folder.h"

namespace velnor {

UserFolder OpenUserFolder(FileSystemService& fileSys, const std::filesystem::path& path) {
    UserFolder user;
    user.path = path;
    while (!user.path.has_filename() && user.path.has_relative_path())
        user.path = user.path.parent_path(); // "site/" is "site"
    if (!user.path.has_relative_path()) {
        user.folder = fileSys.OpenFolder(user.path);
        return user;
    }
    user.name = user.path.filename().native();
    if (user.name == EntryName(1, '.') || user.name == EntryName(2, '.'))
        throw NotAFolder(user.path); // a path the system resolves gives a name
    const std::filesystem::path around = user.path.parent_path();
    user.parent = fileSys.OpenFolder(around.empty() ? std::filesystem::path(".") : around);
    if (user.parent->Info(user.name).kind != EntryKind::Missing)
        user.folder = fileSys.OpenFolder(user.path);
    return user;
}

void CheckStillThere(FileSystemService& fileSys, const UserFolder& folder) {
    if (fileSys.OpenFolder(folder.path)->Identity() != folder.folder->Identity())
        throw FolderMoved(folder.path);
}

} // namespace velnor
