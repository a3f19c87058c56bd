#include "fs_listboxes.h"

#include <QFileInfo>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>

#include "fs_paths.h"
#include "fs_volumes.h"

namespace fsl {

namespace {

void setUpView(QListView *v)
{
    v->setUniformItemSizes(true);
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->setSelectionMode(QAbstractItemView::SingleSelection);
    v->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    v->setTextElideMode(Qt::ElideRight);
    v->setWordWrap(false);
    v->setLayoutMode(QListView::SinglePass);
    v->setVerticalScrollMode(QAbstractItemView::ScrollPerItem); // the scroll value is the top row
}

} // namespace

// ---------------------------------------------------------------------------
// File list

FileListBox::FileListBox(QWidget *parent) : QListView(parent), model_(this)
{
    setUpView(this);
    setItemDelegate(new RowDelegate(this));
    setModel(&model_);
}

void FileListBox::SetPath(const QString &path)
{
    SetNativePath(names::Encode(path));
}

void FileListBox::SetNativePath(const QByteArray &path)
{
    ListingCache::Batch batch;
    path_ = CleanPath(path);
    model_.setListing(ListingCache::Get(path_));
    emit Change();
}

bool FileListBox::Refresh()
{
    ListingCache::Batch batch;
    ListingPtr l = ListingCache::Get(path_);
    if (!l->ok)
        return false;
    // The list keeps its place: a view keeps its scroll value through a reset.
    model_.setListing(std::move(l), model_.blankRows());
    doItemsLayout();
    return true;
}

int FileListBox::ListCount() const
{
    return model_.fileCount();
}

int FileListBox::WholeRows() const
{
    const int rowHeight = sizeHintForRow(0);
    return rowHeight > 0 ? contentsRect().height() / rowHeight : 0;
}

int FileListBox::TopRow() const
{
    return verticalScrollBar()->value();
}

void FileListBox::ShowFromRow(int row)
{
    const int files = model_.fileCount();
    row = std::max(0, row);
    model_.setBlankRows(files == 0 ? 0 : row + WholeRows() - files);
    doItemsLayout(); // the scroll range follows the rows at once
    // The view may keep a row or two more in sight at the end than whole rows
    // fit: give it those too, so that it can scroll that far.
    for (int tries = 0; files > 0 && verticalScrollBar()->maximum() < row && tries < 3; ++tries) {
        model_.setBlankRows(model_.blankRows() + row - verticalScrollBar()->maximum());
        doItemsLayout();
    }
    verticalScrollBar()->setValue(row);
}

QString FileListBox::List(int row) const
{
    const ListingPtr &l = model_.listing();
    if (!l || row < 0 || row >= ListCount())
        return {};
    return l->files[static_cast<size_t>(row)].text;
}

QStringList FileListBox::Entries() const
{
    QStringList out;
    if (const ListingPtr &l = model_.listing())
        for (const Entry &e : l->files)
            out << e.text;
    return out;
}

bool FileListBox::ReadOk() const
{
    return model_.listing() && model_.listing()->ok;
}

// ---------------------------------------------------------------------------
// Folder list

FolderListBox::FolderListBox(QWidget *parent) : QListView(parent), model_(this)
{
    setUpView(this);
    setItemDelegate(new FolderDelegate(this));
    setModel(&model_);
}

void FolderListBox::SetPath(const QString &path)
{
    SetNativePath(names::Encode(path));
}

void FolderListBox::display(const QByteArray &path, ListingPtr listing)
{
    model_.set(path, root_, std::move(listing));
}

void FolderListBox::SetNativePath(const QByteArray &path, const QByteArray &root)
{
    ListingCache::Batch batch; // everything this change sets off shares the reads
    path_ = CleanPath(path);
    if (!root.isEmpty() && IsUnder(path_, root))
        root_ = root;
    else if (root_.isEmpty() || !IsUnder(path_, root_))
        root_ = Volumes::RootOf(path_);
    display(path_, ListingCache::Get(path_));
    emit Change();
}

bool FolderListBox::Refresh()
{
    ListingCache::Batch batch;
    ListingPtr l = ListingCache::Get(path_);
    if (!l->ok)
        return false;
    display(path_, std::move(l));
    doItemsLayout();
    return true;
}

void FolderListBox::ShowCurrentFolder()
{
    doItemsLayout(); // the scroll range follows the rows at once
    // The range ends where the last row is whole at the bottom: past that the
    // view keeps every subfolder and gives the rest to the folders above.
    verticalScrollBar()->setValue(AncestorCount() - 1);
}

bool FolderListBox::OpenRow(int row)
{
    const QByteArray target = model_.pathOfRow(row);
    if (target.isEmpty())
        return false;
    ListingCache::Batch batch; // the check's read is the one the lists then show
    const ListingPtr l = ListingCache::Get(CleanPath(target));
    if (!l->ok) {
        emit OpenFailed(l->path, l->error);
        return false;
    }
    SetNativePath(target);
    return true;
}

int FolderListBox::ListCount() const
{
    return model_.rowCount();
}
QString FolderListBox::List(int row) const
{
    return model_.textOfRow(row);
}
int FolderListBox::Level(int row) const
{
    return model_.levelOfRow(row);
}

QStringList FolderListBox::Entries() const
{
    QStringList out;
    for (int i = 0; i < ListCount(); ++i)
        out << List(i);
    return out;
}

QStringList FolderListBox::Subfolders() const
{
    QStringList out;
    for (int i = AncestorCount(); i < ListCount(); ++i)
        out << List(i);
    return out;
}

bool FolderListBox::ReadOk() const
{
    return model_.listing() && model_.listing()->ok;
}

void FolderListBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid()) {
        event->accept();
        OpenRow(index.row());
        return;
    }
    QListView::mouseDoubleClickEvent(event);
}

void FolderListBox::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentIndex().isValid()) {
        event->accept();
        OpenRow(currentIndex().row());
        return;
    }
    QListView::keyPressEvent(event);
}

// ---------------------------------------------------------------------------
// Drive list

DriveListBox::DriveListBox(QWidget *parent) : QComboBox(parent)
{
    fill(Volumes::RootOf(CleanPath(CurrentFolder())));
    connect(this, &QComboBox::currentIndexChanged, this, [this](int) {
        if (filling_)
            return;
        changed_ = true;
        emit Change();
    });
    // The drive already shown, chosen again: the lists go back to it.
    connect(this, &QComboBox::activated, this, [this](int) {
        if (!changed_)
            emit Change();
        changed_ = false;
    });
}

QByteArray DriveListBox::NativeDrive() const
{
    return currentData().toByteArray();
}

void DriveListBox::fill(const QByteArray &keep)
{
    filling_ = true;
    clear();
    int at = -1;
    for (const Volume &v : Volumes::List()) {
        QString text = ReadablePath(v.root);
        const QString base = QFileInfo(text).fileName();
        if (!v.label.isEmpty() && v.label != base)
            text += QStringLiteral(" [") + ReadableName(v.label.toUtf8()) + u']';
        if (v.root == keep)
            at = count();
        addItem(text, v.root);
    }
    if (at < 0 && !keep.isEmpty()) {
        // A drive that is gone (or was never listed) still shows while it is chosen.
        at = count();
        addItem(ReadablePath(keep), keep);
    }
    setCurrentIndex(at);
    filling_ = false;
}

void DriveListBox::ReloadDrives()
{
    Volumes::Reload();
    fill(NativeDrive());
}

int DriveListBox::indexOfDrive(const QByteArray &root)
{
    const int at = findData(root);
    if (at >= 0)
        return at;
    filling_ = true;
    addItem(ReadablePath(root), root);
    filling_ = false;
    return count() - 1;
}

void DriveListBox::SetDrive(const QByteArray &root)
{
    changed_ = false;
    setCurrentIndex(indexOfDrive(root)); // raises Change when it differs
    changed_ = false;
}

void DriveListBox::ShowDrive(const QByteArray &root)
{
    filling_ = true;
    setCurrentIndex(indexOfDrive(root));
    filling_ = false;
}

void DriveListBox::showPopup()
{
    // Discs and shares come and go: offer what is mounted now.
    ReloadDrives();
    QComboBox::showPopup();
}

void DriveListBox::focusInEvent(QFocusEvent *event)
{
    QComboBox::focusInEvent(event);
    emit GotFocus();
}

} // namespace fsl
