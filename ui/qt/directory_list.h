#pragma once

#include "ui/form/folder_listing.h"

#include <QTreeWidget>

class QKeyEvent;

namespace velnor {

// Dir1: the lines the form lists, each indented by its depth, the open folder
// and those above it with open-folder icons, its subfolders with closed ones.
// Double-click or Enter opens a line.
class DirectoryList : public QTreeWidget {
    Q_OBJECT
public:
    explicit DirectoryList(QWidget* parent = nullptr);

    void ShowFolders(const form::FolderListing& listing);

signals:
    // The user opened the line with that index.
    void Opened(int line);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Opened folders always stay open: no expand or collapse arrows in the indent.
    void drawBranches(QPainter* painter, const QRect& rect,
                      const QModelIndex& index) const override;

private:
    void Open(const QTreeWidgetItem* item);
};

} // namespace velnor
