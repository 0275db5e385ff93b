#include "core/run/modFindFiles.h"

#include "core/text/display_path.h"

namespace velnor {

modFindFiles::modFindFiles(WindowSeam& window, FileSystemFactory makeFileSystem)
    : window_(window), makeFileSystem_(std::move(makeFileSystem)) {}

void modFindFiles::FindFiles(const std::filesystem::path& path) {
    FileSys_ = makeFileSystem_();
    FoundList.clear();
    ScanFolder(path);
    // The found paths and then one empty entry, the shape of the list cut at
    // every separator; kept as paths, since a name may itself hold a "|".
    if (!FoundList.empty()) {
        FoundList.emplace_back();
        FoundFiles_ = std::move(FoundList);
        FoundList.clear();
    } else {
        FoundFiles_.clear();
    }
}

void modFindFiles::ScanFolder(std::filesystem::path path) {
    // A path ending in a separator (a drive root) or empty stays as it is: an
    // empty one fails to open rather than becoming the root.
    if (path.has_filename()) {
        path += std::filesystem::path::preferred_separator;
    }
    const std::unique_ptr<Folder> folder = FileSys_->GetFolder(path);
    for (const FolderItem& subFolder : folder->SubFolders()) {
        ScanFolder(subFolder.Path);
    }
    for (const FolderItem& file : folder->Files()) {
        FoundList.push_back(file.Path);
        window_.SetStatus(DisplayPath(file.Path));
        window_.Yield();
    }
}

} // namespace velnor
