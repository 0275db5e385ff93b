#include "tests/support/temp_tree.h"

#include <stdlib.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

namespace velnor::test {

namespace fs = std::filesystem;

TempTree::TempTree() {
    std::string pattern = (fs::temp_directory_path() / "velnor-test-XXXXXX").native();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::system_error(errno, std::system_category(), "mkdtemp");
    root_ = pattern;
}

TempTree::~TempTree() {
    // a test may have taken write permission away; without it an ordinary
    // user could remove nothing inside
    std::error_code ignored;
    fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (auto it = fs::recursive_directory_iterator(root_, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored))
        if (it->is_directory(ignored) && !it->is_symlink(ignored))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(root_, ignored);
}

void TempTree::MakeFolder(std::string_view relative) const {
    fs::create_directories(Path(relative));
}

void TempTree::WriteFile(std::string_view relative, std::string_view bytes) const {
    const fs::path path = Path(relative);
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush())
        throw std::runtime_error("cannot write " + path.native());
}

std::string TempTree::ReadFile(std::string_view relative) const {
    std::ifstream in(Path(relative), std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + Path(relative).native());
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void TempTree::MakeLink(std::string_view relative, const fs::path& target) const {
    fs::create_directories(Path(relative).parent_path());
    fs::create_symlink(target, Path(relative));
}

std::vector<std::string> TempTree::Entries(std::string_view relative) const {
    const fs::path base = Path(relative);
    std::vector<std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(base))
        entries.push_back(entry.path().lexically_relative(base).native() +
                          (entry.is_directory() && !entry.is_symlink() ? "/" : ""));
    std::sort(entries.begin(), entries.end());
    return entries;
}

} // namespace velnor::test
