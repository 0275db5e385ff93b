#include "core/run/found_files.h"

namespace velnor {

std::filesystem::path FoundFileList::operator[](std::size_t index) const {
    if (index == files_.size())
        return {};
    const File& file = files_[index];
    return folders_.PathOf(file.folder) / file.name;
}

std::vector<std::filesystem::path> FoundFileList::Paths() const {
    std::vector<std::filesystem::path> paths;
    paths.reserve(size());
    for (std::size_t i = 0; i < size(); ++i)
        paths.push_back((*this)[i]);
    return paths;
}

} // namespace velnor
