#include "core/run/modFindFiles.h"

#include "core/text/display_path.h"

#include <utility>

namespace velnor {

void modFindFiles::FindFiles(FolderHandle& folder, const WalkRules& rules, Leftovers& removed) {
    FoundList = FoundFileList(folder.Path());
    WalkTree(
        folder, rules, FoundList.Folders(),
        [this](std::uint32_t at, const EntryName& name) {
            FoundList.Add(at, name);
            window_.SetStatus(DisplayPath(FoundList[FoundList.FileCount() - 1]));
            window_.Yield();
        },
        removed);
    FoundFiles_ = std::exchange(FoundList, FoundFileList());
}

} // namespace velnor
