#include "fs_models.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QStyledItemDelegate>

#include <algorithm>

#include "fs_drawable.h"
#include "fs_names.h"
#include "fs_paths.h"

namespace fsl {

void FileListModel::setListing(ListingPtr listing, int blankRows)
{
    beginResetModel();
    listing_ = std::move(listing);
    blank_ = std::max(0, blankRows);
    endResetModel();
}

int FileListModel::fileCount() const
{
    return listing_ ? static_cast<int>(listing_->files.size()) : 0;
}

void FileListModel::setBlankRows(int rows)
{
    rows = std::max(0, rows);
    const int files = fileCount();
    if (rows > blank_) {
        beginInsertRows({}, files + blank_, files + rows - 1);
        blank_ = rows;
        endInsertRows();
    } else if (rows < blank_) {
        beginRemoveRows({}, files + rows, files + blank_ - 1);
        blank_ = rows;
        endRemoveRows();
    }
}

int FileListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return fileCount() + blank_;
}

QVariant FileListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || index.row() < 0 || index.row() >= fileCount())
        return {};
    return listing_->files[static_cast<size_t>(index.row())].text;
}

Qt::ItemFlags FileListModel::flags(const QModelIndex &index) const
{
    if (index.row() >= fileCount())
        return Qt::NoItemFlags; // a blank row is nothing to choose
    return QAbstractListModel::flags(index);
}

void FolderListModel::set(QByteArray path, QByteArray root, ListingPtr listing)
{
    beginResetModel();
    path_ = std::move(path);
    listing_ = std::move(listing);
    ancestors_.clear();
    if (!IsUnder(path_, root))
        root = "/";
    ancestors_.push_back({root, ReadablePath(root)});
    QByteArray at = root;
    const QByteArray rest = path_.mid(root == "/" ? 1 : root.size() + 1);
    if (!rest.isEmpty()) {
        for (const QByteArray &part : rest.split('/')) {
            at = JoinPath(at, part);
            ancestors_.push_back({at, ReadableName(part)});
        }
    }
    endResetModel();
}

int FolderListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return static_cast<int>(ancestors_.size() + (listing_ ? listing_->folders.size() : 0));
}

QByteArray FolderListModel::pathOfRow(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    const auto r = static_cast<size_t>(row);
    if (r < ancestors_.size())
        return ancestors_[r].path;
    return JoinPath(path_, listing_->folders[r - ancestors_.size()].raw);
}

int FolderListModel::levelOfRow(int row) const
{
    return std::min(row, ancestorCount());
}

QString FolderListModel::textOfRow(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    const auto r = static_cast<size_t>(row);
    if (r < ancestors_.size())
        return ancestors_[r].text;
    return listing_->folders[r - ancestors_.size()].text;
}

QVariant FolderListModel::data(const QModelIndex &index, int role) const
{
    const int row = index.row();
    if (row < 0 || row >= rowCount())
        return {};
    switch (role) {
    case Qt::DisplayRole: return textOfRow(row);
    case LevelRole: return levelOfRow(row);
    case OpenRole: return row < ancestorCount();
    default: return {};
    }
}

// The folder list's look: indentation and a small folder drawn as vectors,
// so that it prints sharp.

namespace {

constexpr int kIndent = 7;
constexpr int kGlyph = 13;

void drawFolder(QPainter &p, const QRect &b, bool open)
{
    const QColor edge(128, 96, 0);
    const QColor face(255, 214, 92);
    const QColor flap(255, 236, 160);
    QPainterPath back;
    back.moveTo(b.left(), b.bottom());
    back.lineTo(b.left(), b.top() + 1);
    back.lineTo(b.left() + 4, b.top() + 1);
    back.lineTo(b.left() + 5, b.top() + 2);
    back.lineTo(b.right() - 1, b.top() + 2);
    back.lineTo(b.right() - 1, b.bottom());
    back.closeSubpath();
    p.setPen(QPen(edge, 1));
    p.setBrush(face);
    p.drawPath(back);
    if (open) {
        QPainterPath front;
        front.moveTo(b.left(), b.bottom());
        front.lineTo(b.left() + 3, b.top() + 5);
        front.lineTo(b.right(), b.top() + 5);
        front.lineTo(b.right() - 3, b.bottom());
        front.closeSubpath();
        p.setBrush(flap);
        p.drawPath(front);
    }
}

} // namespace

void RowDelegate::paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    const QWidget *w = opt.widget;
    QStyle *style = w ? w->style() : QApplication::style();
    p->save();
    if (const auto *view = qobject_cast<const QAbstractItemView *>(w))
        p->setClipRect(view->viewport()->rect(), Qt::IntersectClip);
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, p, w); // background, selection
    paintContent(p, opt, index);
    if (opt.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(opt);
        focus.rect = style->subElementRect(QStyle::SE_ItemViewItemFocusRect, &opt, w);
        focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
        focus.backgroundColor =
            opt.palette.color((opt.state & QStyle::State_Selected) ? QPalette::Highlight : QPalette::Window);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, p, w);
    }
    p->restore();
}

void RowDelegate::paintContent(QPainter *p, const QStyleOptionViewItem &opt, const QModelIndex &) const
{
    const QWidget *w = opt.widget;
    QStyle *style = w ? w->style() : QApplication::style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, w) + 1;
    const QRect tr =
        style->subElementRect(QStyle::SE_ItemViewItemText, &opt, w).adjusted(margin, 0, -margin, 0);
    const bool selected = opt.state & QStyle::State_Selected;
    p->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    p->setFont(opt.font);
    const QString shown =
        opt.fontMetrics.elidedText(Drawable(opt.text, opt.font), opt.textElideMode, tr.width());
    p->drawText(tr, static_cast<int>(opt.displayAlignment) | Qt::TextSingleLine, shown);
}

void FolderDelegate::paintContent(QPainter *p, const QStyleOptionViewItem &opt,
                                  const QModelIndex &index) const
{
    const int level = index.data(FolderListModel::LevelRole).toInt();
    const bool open = index.data(FolderListModel::OpenRole).toBool();
    const QRect r = opt.rect;
    const int x = r.left() + 2 + level * kIndent;
    p->setRenderHint(QPainter::Antialiasing, false);
    drawFolder(*p, QRect(x, r.top() + (r.height() - 10) / 2, kGlyph, 10), open);
    const bool selected = opt.state & QStyle::State_Selected;
    p->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    p->setFont(opt.font);
    const QRect tr(x + kGlyph + 3, r.top(), r.right() - (x + kGlyph + 3), r.height());
    const QString shown =
        opt.fontMetrics.elidedText(Drawable(opt.text, opt.font), Qt::ElideRight, tr.width());
    p->drawText(tr, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, shown);
}

QSize FolderDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    return QSize(100, std::max(option.fontMetrics.height() + 2, 14));
}

} // namespace fsl
