#pragma once

#include "ui/win32/windows_api.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace velnor {

struct DriveEntry {
    std::filesystem::path Root; // "C:\"
    std::wstring Label;         // the volume's label, empty when it has none or is not ready
};

using DriveSource = std::function<std::vector<DriveEntry>()>;

// The machine's drive letters, A to Z.
std::vector<DriveEntry> LogicalDrives();

// "c: [LABEL]", or "c:" without a label.
std::wstring DriveCaption(const DriveEntry& drive);

// Drive1, on a drop-down list: the drives, one of them shown, initially the
// drive of the process's current folder.
class DriveList {
public:
    DriveList(HWND comboBox, const DriveSource& drives);

    // The drive shown, as a path the directory list can open: "C:\".
    std::filesystem::path Drive() const;
    // Whether the list now shows another drive than it did, picked by the
    // user; the notifications of an open list come before the pick is made.
    bool TakePick();

private:
    void Show(const std::filesystem::path& root);

    HWND comboBox_;
    std::vector<std::filesystem::path> roots_;
    int shown_ = -1;
};

} // namespace velnor
