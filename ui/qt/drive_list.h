#pragma once

#include <QComboBox>
#include <QString>

#include <filesystem>
#include <functional>
#include <vector>

namespace velnor {

// A "drive" on a system without drive letters: the root of a mounted volume.
struct DriveEntry {
    std::filesystem::path Root;
    QString Label;          // the volume's name, empty when it has none
    bool Removable = false; // mounted under /media or /run/media
};

using DriveSource = std::function<std::vector<DriveEntry>()>;

// "/" first, then the other mounted volumes that live on a block device, by
// path. Pseudo and memory file systems (proc, sysfs, tmpfs, cgroup...) are no
// place to keep web pages and are left out.
std::vector<DriveEntry> MountedDrives();

// The root of the mounted volume that holds folder.
std::filesystem::path DriveOf(const std::filesystem::path& folder);

// Drive1: lists the drives and shows one of them, initially the drive of the
// process's current folder.
class DriveList : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(const DriveSource& drives, QWidget* parent = nullptr);

    // The drive shown, as a path the directory list can open.
    std::filesystem::path Drive() const;
    // Shows root, adding it to the list when it is missing.
    void SetDrive(const std::filesystem::path& root);

signals:
    // The user picked another drive.
    void DriveChanged();

private:
    void AddDrive(int index, const DriveEntry& drive);
    int shownIndex_ = -1;
};

} // namespace velnor
