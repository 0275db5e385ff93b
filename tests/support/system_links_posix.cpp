#include "tests/support/system_links.h"

namespace velnor::test {

bool CanMakeLinks() {
    return true;
}

void MakeSystemLink(const std::filesystem::path& link, const std::filesystem::path& target) {
    std::filesystem::create_symlink(target, link);
}

bool IsLink(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_symlink(path, error);
}

void RemoveLinkedTree(const std::filesystem::path& root) {
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

} // namespace velnor::test
