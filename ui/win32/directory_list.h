#pragma once

#include "core/files/file_system.h"
#include "ui/win32/windows_api.h"

#include <filesystem>
#include <vector>

namespace velnor {

// Dir1, on an owner-drawn list box: the open folder with the folders above it
// and its subfolders below it, each indented by its depth. Double-click or
// Enter opens a folder.
class DirectoryList {
public:
    // Shows the process's current folder.
    DirectoryList(HWND listBox, FileSystemFactory makeFileSystem);

    // Absolute, without a trailing "\" except for a drive's root.
    const std::filesystem::path& Path() const { return path_; }
    // A relative path is taken from the process's current folder. Throws
    // FileSystemError in the system's words when the folder cannot be listed,
    // and then leaves the list as it was.
    void SetPath(const std::filesystem::path& path);
    // Opens the folder of the selected line.
    void OpenSelected();

    void Draw(const DRAWITEMSTRUCT& item) const;

private:
    struct Line {
        std::filesystem::path Folder;
        int Depth = 0;
    };

    HWND listBox_;
    FileSystemFactory makeFileSystem_;
    std::vector<Line> lines_;
    std::filesystem::path path_;
};

} // namespace velnor
