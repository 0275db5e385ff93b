#pragma once

#include <QTreeWidget>

#include <filesystem>

class QKeyEvent;

namespace velnor {

// Dir1: the open folder with the folders above it (open-folder icons) and its
// subfolders below it (closed-folder icons), each indented by its depth.
// Double-click or Enter opens a folder. Hidden (dot) folders are not listed,
// but the path can still be set to one.
class DirectoryList : public QTreeWidget {
    Q_OBJECT
public:
    // Shows the process's current folder.
    explicit DirectoryList(QWidget* parent = nullptr);

    // Absolute and as the system resolves it (links and ".." taken
    // physically), without a trailing "/" except for the root.
    const std::filesystem::path& Path() const { return path_; }
    // A relative path is taken from the process's current folder. Throws
    // FileSystemError in the system's words when the folder cannot be listed,
    // and then leaves the list as it was.
    void SetPath(const std::filesystem::path& path);

signals:
    // The user opened a folder that cannot be listed.
    void OpenFailed(const QString& description);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Opened folders always stay open: no expand or collapse arrows in the indent.
    void drawBranches(QPainter* painter, const QRect& rect,
                      const QModelIndex& index) const override;

private:
    void Open(QTreeWidgetItem* item);
    std::filesystem::path path_;
};

} // namespace velnor
