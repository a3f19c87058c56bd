#include "fs_listboxes.h"

#include <QFileInfo>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

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
}

// Keeps the scroll position when the same folder is read anew.
class KeepScroll
{
public:
    explicit KeepScroll(QListView *v) : v_(v), value_(v->verticalScrollBar()->value()) {}
    void restore() { v_->verticalScrollBar()->setValue(value_); }

private:
    QListView *v_;
    int value_;
};

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
    SetNativePath(QFile::encodeName(path));
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
    KeepScroll keep(this);
    model_.setListing(std::move(l));
    doItemsLayout();
    keep.restore();
    return true;
}

int FileListBox::ListCount() const
{
    return model_.rowCount();
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
    SetNativePath(QFile::encodeName(path));
}

void FolderListBox::display(const QByteArray &path, ListingPtr listing)
{
    model_.set(path, Volumes::RootOf(path), std::move(listing));
}

void FolderListBox::SetNativePath(const QByteArray &path)
{
    ListingCache::Batch batch; // everything this change sets off shares the reads
    path_ = CleanPath(path);
    display(path_, ListingCache::Get(path_));
    emit Change();
}

bool FolderListBox::Refresh()
{
    ListingCache::Batch batch;
    ListingPtr l = ListingCache::Get(path_);
    if (!l->ok)
        return false;
    KeepScroll keep(this);
    display(path_, std::move(l));
    doItemsLayout();
    keep.restore();
    return true;
}

bool FolderListBox::OpenRow(int row)
{
    const QByteArray target = model_.pathOfRow(row);
    if (target.isEmpty())
        return false;
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
        if (!filling_)
            emit Change();
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
            text += QStringLiteral(" [") + v.label + u']';
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

void DriveListBox::SetDrive(const QByteArray &root)
{
    int at = findData(root);
    if (at < 0) {
        filling_ = true;
        addItem(ReadablePath(root), root);
        filling_ = false;
        at = count() - 1;
    }
    setCurrentIndex(at); // raises Change when it differs
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
