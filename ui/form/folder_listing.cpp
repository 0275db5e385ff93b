#include "ui/form/folder_listing.h"

#include "core/files/folder_handle.h"
#include "core/files/physical_path.h"
#include "core/text/display_path.h"
#include "core/text/lower_case.h"
#include "core/text/utf8.h"

#include <algorithm>
#include <memory>
#include <utility>

namespace velnor::form {
namespace {

struct SubFolder {
    EntryName name;
    std::string shown;
    std::u16string key; // shown, lower-cased
};

bool Hidden(const EntryName& name) {
    return !name.empty() && name.front() == '.';
}

std::vector<SubFolder> SubFolders(FileSystemService& fileSys, const std::filesystem::path& path) {
    std::vector<SubFolder> folders;
    for (Entry& entry : fileSys.OpenFolder(path)->List()) {
        if (entry.kind != EntryKind::Folder || Hidden(entry.name))
            continue;
        std::string shown = DisplayPath(std::filesystem::path(entry.name));
        std::u16string key = LowerCased(Utf8ToUtf16(shown).value_or(std::u16string()));
        folders.push_back({std::move(entry.name), std::move(shown), std::move(key)});
    }
    std::sort(folders.begin(), folders.end(), [](const SubFolder& a, const SubFolder& b) {
        return a.key != b.key ? a.key < b.key : a.name < b.name;
    });
    return folders;
}

} // namespace

FolderListing ListFolder(FileSystemService& fileSys, const std::filesystem::path& path) {
    // Listed first: a folder that cannot be opened leaves Dir1 as it was.
    std::vector<SubFolder> subFolders = SubFolders(fileSys, path);

    FolderListing listing;
    listing.path = PhysicalPath(path);
    std::filesystem::path above = PhysicalRoot(listing.path);
    const std::filesystem::path below = listing.path.native().substr(above.native().size());
    listing.lines.push_back({above, DisplayPath(above), 0});
    for (const std::filesystem::path& name : below) {
        above /= name;
        listing.lines.push_back({above, DisplayPath(name), static_cast<int>(listing.lines.size())});
    }
    listing.open = listing.lines.size() - 1;
    const int depth = static_cast<int>(listing.lines.size());
    for (SubFolder& sub : subFolders)
        listing.lines.push_back({listing.path / sub.name, std::move(sub.shown), depth});
    return listing;
}

} // namespace velnor::form
