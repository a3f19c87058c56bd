#include "fs_models.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QStyledItemDelegate>

#include <algorithm>

#include "fs_names.h"
#include "fs_paths.h"

namespace fsl {

void FileListModel::setListing(ListingPtr listing)
{
    beginResetModel();
    listing_ = std::move(listing);
    endResetModel();
}

int FileListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !listing_)
        return 0;
    return static_cast<int>(listing_->files.size());
}

QVariant FileListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !listing_ || index.row() < 0 || index.row() >= rowCount())
        return {};
    return listing_->files[static_cast<size_t>(index.row())].text;
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

void FolderDelegate::paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    const QWidget *w = opt.widget;
    QStyle *style = w ? w->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, p, w); // background, selection, focus

    const int level = index.data(FolderListModel::LevelRole).toInt();
    const bool open = index.data(FolderListModel::OpenRole).toBool();
    const QRect r = option.rect;
    const int x = r.left() + 2 + level * kIndent;
    p->save();
    p->setRenderHint(QPainter::Antialiasing, false);
    drawFolder(*p, QRect(x, r.top() + (r.height() - 10) / 2, kGlyph, 10), open);
    const bool selected = opt.state & QStyle::State_Selected;
    p->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    p->setFont(opt.font);
    const QRect tr(x + kGlyph + 3, r.top(), r.right() - (x + kGlyph + 3), r.height());
    const QString shown = opt.fontMetrics.elidedText(text, Qt::ElideRight, tr.width());
    p->drawText(tr, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, shown);
    p->restore();
}

QSize FolderDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    return QSize(100, std::max(option.fontMetrics.height() + 2, 14));
}

} // namespace fsl
