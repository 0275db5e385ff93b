#pragma once

#include "core/files/file_system.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace velnor::form {

// One line of Dir1.
struct FolderLine {
    std::filesystem::path folder; // opened when the user opens the line
    std::string name;             // as shown, UTF-8: the root's whole path, else the last name
    int depth = 0;                // the root's line is 0, each folder one more than its parent
};

// What Dir1 shows: the open folder with the folders above it, from the root
// down, and its subfolders below it.
struct FolderListing {
    std::filesystem::path path; // the open folder
    std::vector<FolderLine> lines;
    std::size_t open = 0; // the open folder's line
};

// Dir1's rules, the same for every toolkit. The folder is opened as the system
// resolves the path given (links followed, ".." as PhysicalPath takes it), and
// shown by that resolved path; relative to the process's current folder. Its
// subfolders are the folders in it: neither links nor hidden (dot) folders are
// listed, though either can be opened by its path. They come in the order of
// their names as shown with every letter lower-cased, then of their bytes.
// Throws FileSystemError in the system's words, naming the path as given, when
// the folder cannot be opened or listed.
FolderListing ListFolder(FileSystemService& fileSys, const std::filesystem::path& path);

} // namespace velnor::form
