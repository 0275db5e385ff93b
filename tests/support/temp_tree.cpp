#include "tests/support/temp_tree.h"

#include "core/text/display_path.h"
#include "core/text/path_text.h"
#include "tests/support/open_file.h"
#include "tests/support/system_links.h"

#include <algorithm>
#include <memory>
#include <random>
#include <stdexcept>
#include <system_error>

namespace velnor::test {

namespace fs = std::filesystem;

namespace {

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

std::string Utf8(const fs::path& path) {
    const std::u8string text = path.generic_u8string();
    return std::string(text.begin(), text.end());
}

} // namespace

TempTree::TempTree()
    : root_(fs::temp_directory_path() /
            ("velnor-test-" + std::to_string(std::mt19937_64(std::random_device()())()))) {
    // a name nobody else has, made at once so nobody else can take it, and
    // for this user alone, as mkdtemp makes one
    if (!fs::create_directory(root_))
        throw std::runtime_error(DisplayPath(root_) + " is taken");
    fs::permissions(root_, fs::perms::owner_all);
}

TempTree::~TempTree() {
    // a test may have taken write permission away (on Windows: set the
    // read-only attribute); without it an ordinary user could remove nothing
    std::error_code ignored;
    fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (auto it = fs::recursive_directory_iterator(root_, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        if (IsLink(it->path()))
            it.disable_recursion_pending();
        else
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    if (linked_)
        RemoveLinkedTree(root_);
    else
        fs::remove_all(root_, ignored);
}

fs::path TempTree::Path(std::string_view relative) const {
    return relative.empty() ? root_ : root_ / PathFromUtf8(relative).make_preferred();
}

void TempTree::MakeFolder(std::string_view relative) const {
    fs::create_directories(Path(relative));
}

fs::path TempTree::WriteFile(std::string_view relative, std::string_view bytes) const {
    const fs::path path = Path(relative);
    fs::create_directories(path.parent_path());
    File out(OpenFile(path, "wb"), std::fclose);
    if (!out || std::fwrite(bytes.data(), 1, bytes.size(), out.get()) != bytes.size() ||
        std::fclose(out.release()) != 0)
        throw std::runtime_error("cannot write " + DisplayPath(path));
    return path;
}

std::string TempTree::ReadFile(std::string_view relative) const {
    const fs::path path = Path(relative);
    File in(OpenFile(path, "rb"), std::fclose);
    std::string bytes(in ? fs::file_size(path) : 0, '\0');
    if (!in || std::fread(bytes.data(), 1, bytes.size(), in.get()) != bytes.size())
        throw std::runtime_error("cannot read " + DisplayPath(path));
    return bytes;
}

bool TempTree::MakesLinks() {
    return CanMakeLinks();
}

void TempTree::MakeLink(std::string_view relative, const fs::path& target) const {
    fs::create_directories(Path(relative).parent_path());
    MakeSystemLink(Path(relative), target);
    linked_ = true;
}

bool TempTree::SwapForLink(std::string_view relative, const fs::path& target) const {
    if (!MakesLinks())
        return false;
    fs::rename(Path(relative), Path(std::string(relative) + ".real"));
    MakeLink(relative, target);
    return true;
}

std::vector<std::string> TempTree::Entries(std::string_view relative) const {
    const fs::path base = Path(relative);
    std::vector<std::string> entries;
    for (auto it = fs::recursive_directory_iterator(base); it != fs::recursive_directory_iterator();
         ++it) {
        const bool link = IsLink(it->path());
        if (link)
            it.disable_recursion_pending();
        entries.push_back(Utf8(it->path().lexically_relative(base)) +
                          (it->is_directory() && !link ? "/" : ""));
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

std::string TempTree::Relative(const fs::path& path) const {
    return Utf8(path.lexically_relative(root_));
}

} // namespace velnor::test
