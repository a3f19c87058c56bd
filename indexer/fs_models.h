#pragma once

#include <QAbstractListModel>
#include <QByteArray>
#include <QStyledItemDelegate>

#include <vector>

#include "fs_listing.h"

// What the file and folder lists show, and how a folder row looks.
namespace fsl {

// A folder's files, then as many blank rows as asked for: blank rows let a
// list scroll past its last file and show nothing there.
class FileListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;
    void setListing(ListingPtr listing, int blankRows = 0);
    const ListingPtr &listing() const { return listing_; }
    int fileCount() const;
    int blankRows() const { return blank_; }
    void setBlankRows(int rows);
    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    ListingPtr listing_;
    int blank_ = 0;
};

class FolderListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Roles { LevelRole = Qt::UserRole + 1, OpenRole };
    using QAbstractListModel::QAbstractListModel;
    void set(QByteArray path, QByteArray root, ListingPtr listing);
    const ListingPtr &listing() const { return listing_; }
    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    int ancestorCount() const { return static_cast<int>(ancestors_.size()); }
    QByteArray pathOfRow(int row) const;
    int levelOfRow(int row) const;
    QString textOfRow(int row) const;

private:
    struct Ancestor {
        QByteArray path;
        QString text;
    };
    std::vector<Ancestor> ancestors_; // root first, the current folder last
    QByteArray path_;
    ListingPtr listing_;
};

// A row of a list, painted inside the list's visible area only: the last,
// partly visible row is cut at the list's edge on paper as on screen. (Qt's
// own row painting clips to the whole row, and on paper no other clip holds.)
class RowDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

protected:
    // The row's text (or whatever stands on its background), clipped already.
    virtual void paintContent(QPainter *p, const QStyleOptionViewItem &opt, const QModelIndex &index) const;
};

// A folder row: indented by its level, with a small folder (open for the
// ancestors) drawn as vectors, so that it prints sharp.
class FolderDelegate : public RowDelegate
{
    Q_OBJECT
public:
    using RowDelegate::RowDelegate;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

protected:
    void paintContent(QPainter *p, const QStyleOptionViewItem &opt, const QModelIndex &index) const override;
};

} // namespace fsl
