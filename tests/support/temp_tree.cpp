#include "tests/support/temp_tree.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

namespace velnor::test {
namespace {

void MakeWritable(const std::filesystem::path& root) {
    // a test may have taken write permission away; without it nothing inside
    // could be removed by an ordinary user
    std::error_code ignored;
    std::filesystem::permissions(root, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    for (auto it = std::filesystem::recursive_directory_iterator(root, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
        }
    }
}

} // namespace

TempTree::TempTree() {
    std::string pattern = (std::filesystem::temp_directory_path() / "velnor-test-XXXXXX").native();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::system_error(errno, std::system_category(), "mkdtemp");
    }
    root_ = pattern;
}

TempTree::~TempTree() {
    MakeWritable(root_);
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::filesystem::path TempTree::Path(std::string_view relative) const {
    return relative.empty() ? root_ : root_ / std::string(relative);
}

void TempTree::MakeFolder(std::string_view relative) const {
    std::filesystem::create_directories(Path(relative));
}

void TempTree::WriteFile(std::string_view relative, std::string_view bytes) const {
    const std::filesystem::path path = Path(relative);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
        throw std::runtime_error("cannot write " + path.native());
    }
}

std::string TempTree::ReadFile(std::string_view relative) const {
    std::ifstream in(Path(relative), std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + Path(relative).native());
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void TempTree::MakeLink(std::string_view relative, const std::filesystem::path& target) const {
    const std::filesystem::path path = Path(relative);
    std::filesystem::create_directories(path.parent_path());
    std::filesystem::create_symlink(target, path);
}

std::vector<std::string> TempTree::Entries(std::string_view relative) const {
    const std::filesystem::path base = Path(relative);
    std::vector<std::string> entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(base)) {
        std::string name = entry.path().lexically_relative(base).native();
        if (entry.is_directory() && !entry.is_symlink()) {
            name += '/';
        }
        entries.push_back(std::move(name));
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

} // namespace velnor::test
