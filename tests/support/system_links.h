#pragma once

#include <filesystem>

namespace velnor::test {

// Whether a test can make symbolic links: on Linux any user can; a Windows
// program needs a privilege, but under Wine it makes Linux links through a
// Linux program, which Wine shows as links.
bool CanMakeLinks();

// Makes link, a symbolic link to target (an absolute path or one relative to
// link's folder). Throws where links cannot be made.
void MakeSystemLink(const std::filesystem::path& link, const std::filesystem::path& target);

// Whether path is a link, never followed; under Wine a Linux link to a folder
// (one to a file Wine shows as the file).
bool IsLink(const std::filesystem::path& path);

// Removes root with all in it, the links as themselves: Wine removes what a
// Linux link leads to.
void RemoveLinkedTree(const std::filesystem::path& root);

} // namespace velnor::test
