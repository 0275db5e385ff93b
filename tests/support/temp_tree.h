#pragma once

#include "tests/support/system_names.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace velnor::test {

// A fresh folder under the system's temporary folder, removed with all in it.
// Relative names are UTF-8 with "/" (on Linux any bytes); missing folders on
// the way to a file or link are made.
class TempTree {
public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::filesystem::path& Root() const { return root_; }
    std::filesystem::path Path(std::string_view relative) const;

    void MakeFolder(std::string_view relative) const;
    std::filesystem::path WriteFile(std::string_view relative, std::string_view bytes) const;
    std::string ReadFile(std::string_view relative) const;
    // Whether links can be made here (CanMakeLinks).
    static bool MakesLinks();
    // Throws where links cannot be made.
    void MakeLink(std::string_view relative, const std::filesystem::path& target) const;
    // Another program's move: the folder goes aside (to its name and ".real")
    // and a link to target takes its place. False, with nothing changed,
    // where links cannot be made.
    bool SwapForLink(std::string_view relative, const std::filesystem::path& target) const;

    // Every entry below relative (links not followed), as sorted relative paths
    // in UTF-8 with "/" between names; folders end in "/".
    std::vector<std::string> Entries(std::string_view relative = "") const;

    // The path relative to the root, as Entries names it.
    std::string Relative(const std::filesystem::path& path) const;

private:
    std::filesystem::path root_;
    mutable bool linked_ = false; // removed through the system's own calls
};

} // namespace velnor::test
