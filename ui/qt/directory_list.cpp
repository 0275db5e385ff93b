#include "ui/qt/directory_list.h"

#include <QKeyEvent>
#include <QStyle>

#include <vector>

namespace velnor {

namespace {

constexpr int LineRole = Qt::UserRole;

} // namespace

DirectoryList::DirectoryList(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setUniformRowHeights(true);
    setIndentation(fontMetrics().height() * 3 / 4);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QTreeWidget::itemDoubleClicked, this,
            [this](const QTreeWidgetItem* item) { Open(item); });
}

void DirectoryList::ShowFolders(const form::FolderListing& listing) {
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    clear();
    // The last item made at each depth, which holds the next one a level deeper.
    std::vector<QTreeWidgetItem*> above;
    QTreeWidgetItem* open = nullptr;
    for (std::size_t index = 0; index < listing.lines.size(); ++index) {
        const form::FolderLine& line = listing.lines[index];
        auto* item = new QTreeWidgetItem(QStringList(QString::fromStdString(line.name)));
        item->setIcon(0, index <= listing.open ? openIcon : closedIcon);
        item->setData(0, LineRole, static_cast<int>(index));
        const auto depth = static_cast<std::size_t>(line.depth);
        above.resize(depth + 1);
        if (depth == 0)
            addTopLevelItem(item);
        else
            above[depth - 1]->addChild(item);
        above[depth] = item;
        if (index == listing.open)
            open = item;
    }
    expandAll();
    setCurrentItem(open);
    scrollToItem(open);
}

void DirectoryList::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
        Open(currentItem());
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void DirectoryList::drawBranches(QPainter*, const QRect&, const QModelIndex&) const {}

void DirectoryList::Open(const QTreeWidgetItem* item) {
    emit Opened(item->data(0, LineRole).toInt());
}

} // namespace velnor
