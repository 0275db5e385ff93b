#include "ui/qt/directory_list.h"

#include "core/files/file_system.h"
#include "core/files/physical_path.h"
#include "core/text/display_path.h"

#include <QByteArray>
#include <QKeyEvent>
#include <QStyle>

#include <algorithm>
#include <string>
#include <system_error>
#include <vector>

namespace velnor {

namespace {

constexpr int PathRole = Qt::UserRole;

// The system's words for a folder that cannot be opened or listed.
void ThrowIfFailed(const std::error_code& error, const std::filesystem::path& folder) {
    if (error)
        throw FileSystemError(DisplayPath(folder) + ": " + error.message());
}

// As the system resolves it: "lnk/.." is the folder around lnk's target.
std::filesystem::path Normalised(const std::filesystem::path& path) {
    if (path.empty())
        ThrowIfFailed(std::make_error_code(std::errc::no_such_file_or_directory), path);
    return PhysicalPath(path);
}

QString NameOf(const std::filesystem::path& folder) {
    return QString::fromStdString(
        DisplayPath(folder == folder.root_path() ? folder : folder.filename()));
}

// The subfolders by name; symbolic links to folders count as folders.
std::vector<std::filesystem::path> SubFolders(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::directory_iterator entry(folder, error);
    ThrowIfFailed(error, folder);
    std::vector<std::filesystem::path> folders;
    for (; entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        ThrowIfFailed(error, folder);
        const std::filesystem::path& path = entry->path();
        std::error_code typeError;
        if (!path.filename().native().starts_with('.') && entry->is_directory(typeError))
            folders.push_back(path);
    }
    ThrowIfFailed(error, folder);
    std::sort(folders.begin(), folders.end(), [](const auto& a, const auto& b) {
        const int order = NameOf(a).compare(NameOf(b), Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
    return folders;
}

QTreeWidgetItem* MakeItem(const std::filesystem::path& folder, const QIcon& icon) {
    auto* item = new QTreeWidgetItem(QStringList(NameOf(folder)));
    item->setIcon(0, icon);
    const std::string& bytes = folder.native();
    item->setData(0, PathRole, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return item;
}

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
            [this](QTreeWidgetItem* item) { Open(item); });
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    try {
        SetPath(error ? std::filesystem::path("/") : current);
    } catch (const std::exception&) {
        SetPath("/");
    }
}

void DirectoryList::SetPath(const std::filesystem::path& path) {
    const std::filesystem::path folder = Normalised(path);
    // Listed first: a folder that cannot be opened leaves the list as it was.
    const std::vector<std::filesystem::path> subFolders = SubFolders(folder);

    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    clear();
    QTreeWidgetItem* current = nullptr;
    std::filesystem::path chain;
    for (const std::filesystem::path& part : folder) {
        // "/a/b" iterates as "/", "a", "b"
        chain = chain.empty() ? part : chain / part;
        QTreeWidgetItem* item = MakeItem(chain, openIcon);
        if (current)
            current->addChild(item);
        else
            addTopLevelItem(item);
        current = item;
    }
    for (const std::filesystem::path& sub : subFolders)
        current->addChild(MakeItem(sub, closedIcon));
    expandAll();
    setCurrentItem(current);
    scrollToItem(current);
    path_ = folder;
}

void DirectoryList::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
        Open(currentItem());
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void DirectoryList::drawBranches(QPainter*, const QRect&, const QModelIndex&) const {}

void DirectoryList::Open(QTreeWidgetItem* item) {
    const QByteArray bytes = item->data(0, PathRole).toByteArray();
    try {
        SetPath(std::filesystem::path(std::string(bytes.constData(), bytes.size())));
    } catch (const std::exception& error) {
        emit OpenFailed(QString::fromUtf8(error.what()));
    }
}

} // namespace velnor
