#include "ui/qt/drive_list.h"

#include "core/text/display_path.h"

#include <QByteArray>
#include <QFile>
#include <QStorageInfo>
#include <QStyle>

#include <algorithm>
#include <system_error>

namespace velnor {

namespace {

constexpr int RootRole = Qt::UserRole;

std::filesystem::path RootOf(const QStorageInfo& volume) {
    const QByteArray root = QFile::encodeName(volume.rootPath());
    return std::filesystem::path(std::string(root.constData(), root.size()));
}

bool IsRemovablePlace(const std::filesystem::path& root) {
    const std::string& text = root.native();
    return text.starts_with("/media/") || text.starts_with("/run/media/");
}

QString Caption(const DriveEntry& drive) {
    const QString root = QString::fromStdString(DisplayPath(drive.Root));
    return drive.Label.isEmpty() ? root : root + " [" + drive.Label + "]";
}

} // namespace

std::vector<DriveEntry> MountedDrives() {
    std::vector<DriveEntry> drives{DriveEntry{"/", QString(), false}};
    std::vector<DriveEntry> others;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const std::filesystem::path root = RootOf(volume);
        std::error_code error;
        // Bind-mounted files (/etc/hosts in a container) are no drives.
        if (root == "/" || !volume.device().startsWith("/dev/") ||
            !std::filesystem::is_directory(root, error))
            continue;
        others.push_back(DriveEntry{root, volume.name(), IsRemovablePlace(root)});
    }
    std::sort(others.begin(), others.end(),
              [](const DriveEntry& a, const DriveEntry& b) { return a.Root < b.Root; });
    others.erase(
        std::unique(others.begin(), others.end(),
                    [](const DriveEntry& a, const DriveEntry& b) { return a.Root == b.Root; }),
        others.end());
    drives.insert(drives.end(), others.begin(), others.end());
    return drives;
}

std::filesystem::path DriveOf(const std::filesystem::path& folder) {
    const QStorageInfo volume(QFile::decodeName(folder.c_str()));
    return volume.isValid() ? RootOf(volume) : std::filesystem::path("/");
}

DriveList::DriveList(const DriveSource& drives, QWidget* parent) : QComboBox(parent) {
    for (const DriveEntry& drive : drives())
        AddDrive(count(), drive);
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    SetDrive(error ? std::filesystem::path("/") : DriveOf(current));
    connect(this, &QComboBox::activated, this, [this](int index) {
        // Picking the drive already shown is no change.
        if (index == shownIndex_)
            return;
        shownIndex_ = index;
        emit DriveChanged();
    });
}

std::filesystem::path DriveList::Drive() const {
    const QByteArray root = currentData(RootRole).toByteArray();
    return std::filesystem::path(std::string(root.constData(), root.size()));
}

void DriveList::SetDrive(const std::filesystem::path& root) {
    const QByteArray key(root.c_str(), static_cast<qsizetype>(root.native().size()));
    int index = findData(key, RootRole);
    if (index < 0) {
        index = count();
        AddDrive(index, DriveEntry{root, QString(), IsRemovablePlace(root)});
    }
    setCurrentIndex(index);
    shownIndex_ = index;
}

void DriveList::AddDrive(int index, const DriveEntry& drive) {
    const QIcon icon =
        style()->standardIcon(drive.Removable ? QStyle::SP_DriveFDIcon : QStyle::SP_DriveHDIcon);
    const QByteArray key(drive.Root.c_str(), static_cast<qsizetype>(drive.Root.native().size()));
    insertItem(index, icon, Caption(drive), key);
}

} // namespace velnor
