#include "trackimportdialog.h"

#include <QCheckBox>
#include <QDataStream>
#include <QDialogButtonBox>
#include <QDrag>
#include <QDropEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIODevice>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "names.h"
#include "plaintext.h"
#include "source.h"
#include "text.h"

using tracklist::CoverMaxTitles;
using tracklist::Track;

// ---------------------------------------------------------------- the model

TrackListModel::TrackListModel(QList<Track> tracks, QObject *parent)
    : QAbstractTableModel(parent), tracks_(std::move(tracks))
{}

void TrackListModel::setOptions(const tracklist::CoverOptions &options)
{
    if (options.numbered == options_.numbered && options.durations == options_.durations)
        return; // headlines do not show in the list
    options_ = options;
    if (!tracks_.isEmpty())
        emit dataChanged(index(0, CoverColumn), index(rowCount() - 1, CoverColumn));
}

int TrackListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(tracks_.size());
}

int TrackListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TrackListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= tracks_.size())
        return {};
    const Track &t = tracks_[index.row()];
    if (role == Qt::EditRole && index.column() == TitleColumn)
        return t.title; // edited as it stands: an editor shows plain text
    if (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::ToolTipRole) {
        QString text;
        switch (index.column()) {
        case TitleColumn: text = t.title; break;
        case TimeColumn: text = t.durationMs < 0 ? QString() : tracklist::DurationText(t.durationMs); break;
        case ArtistColumn: text = t.artist; break;
        case CoverColumn:
            text = index.row() >= CoverMaxTitles ? tr("(left out)")
                                                 : tracklist::CoverTitle(t, index.row() + 1, options_);
            break;
        }
        // Tags may hide a line's order (U+202E shows "evil" as "live") or carry markup, which a
        // tooltip would read as rich text.
        text = names::Readable(text);
        return role == Qt::ToolTipRole ? plaintext::ForRichText(text) : text;
    }
    if (role == Qt::ForegroundRole && index.row() >= CoverMaxTitles)
        return QColor(Qt::gray);
    if (role == Qt::TextAlignmentRole && index.column() == TimeColumn)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant TrackListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    switch (section) {
    case TitleColumn: return tr("Title");
    case TimeColumn: return tr("Time");
    case ArtistColumn: return tr("Artist");
    case CoverColumn: return tr("On the cover");
    }
    return {};
}

bool TrackListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || index.column() != TitleColumn || index.row() >= tracks_.size())
        return false;
    // Typed like a tag: kept to one cover line.
    tracks_[index.row()].title = tracklist::CleanField(value.toString());
    emit dataChanged(index.siblingAtColumn(0), index.siblingAtColumn(ColumnCount - 1));
    return true;
}

Qt::ItemFlags TrackListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled; // between rows
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    if (index.column() == TitleColumn)
        f |= Qt::ItemIsEditable;
    return f;
}

bool TrackListModel::removeRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || row < 0 || count <= 0 || row + count > tracks_.size())
        return false;
    beginRemoveRows({}, row, row + count - 1);
    tracks_.remove(row, count);
    endRemoveRows();
    if (row < tracks_.size())
        emit dataChanged(index(row, CoverColumn), index(rowCount() - 1, CoverColumn));
    return true;
}

bool TrackListModel::insertRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || row < 0 || count <= 0 || row > tracks_.size())
        return false;
    beginInsertRows({}, row, row + count - 1);
    tracks_.insert(row, count, Track{});
    endInsertRows();
    if (row + count < tracks_.size())
        emit dataChanged(index(row + count, CoverColumn), index(rowCount() - 1, CoverColumn));
    return true;
}

bool TrackListModel::moveRowsTo(QList<int> rows, int to)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.removeIf([this](int r) { return r < 0 || r >= tracks_.size(); });
    to = std::clamp(to, 0, rowCount());
    if (rows.isEmpty())
        return false;
    // The old row of each new position: the rows that stay and stood before `to`, the moved
    // rows, then the other rows that stay.
    QList<int> staying;
    int before = 0;
    for (int r = 0; r < rowCount(); ++r) {
        if (std::binary_search(rows.cbegin(), rows.cend(), r))
            continue;
        staying.append(r);
        if (r < to)
            ++before;
    }
    const QList<int> order = staying.mid(0, before) + rows + staying.mid(before);
    bool same = true;
    for (int pos = 0; pos < order.size() && same; ++pos)
        same = order[pos] == pos;
    if (same)
        return false;
    // Any reorder, told as a layout change so that views keep their selection on the rows.
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    QList<Track> reordered;
    QList<int> newRowOf(order.size());
    for (int pos = 0; pos < order.size(); ++pos) {
        reordered.append(tracks_[order[pos]]);
        newRowOf[order[pos]] = pos;
    }
    tracks_ = std::move(reordered);
    const QModelIndexList was = persistentIndexList();
    QModelIndexList now;
    for (const QModelIndex &i : was)
        now.append(index(newRowOf[i.row()], i.column()));
    changePersistentIndexList(was, now);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    return true;
}

QStringList TrackListModel::mimeTypes() const
{
    return {QString::fromLatin1(MimeType)};
}

QMimeData *TrackListModel::mimeData(const QModelIndexList &indexes) const
{
    QList<int> rows;
    for (const QModelIndex &i : indexes)
        if (i.isValid() && !rows.contains(i.row()))
            rows.append(i.row());
    std::sort(rows.begin(), rows.end());
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << rows;
    auto *mime = new QMimeData;
    mime->setData(QString::fromLatin1(MimeType), bytes);
    return mime;
}

bool TrackListModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                                  const QModelIndex &parent)
{
    Q_UNUSED(column);
    if (!data || action != Qt::MoveAction || !data->hasFormat(QString::fromLatin1(MimeType)))
        return false;
    QList<int> rows;
    QDataStream in(data->data(QString::fromLatin1(MimeType)));
    in >> rows;
    if (in.status() != QDataStream::Ok)
        return false;
    // Dropped onto a row: before it. Onto the empty space below the rows: at the end.
    const int to = row >= 0 ? row : parent.isValid() ? parent.row() : rowCount();
    moveRowsTo(rows, to);
    return true;
}

namespace {

void acceptRows(QDragMoveEvent *event)
{
    if (event->mimeData()->hasFormat(QString::fromLatin1(TrackListModel::MimeType))) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

} // namespace

void TrackListView::startDrag(Qt::DropActions)
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.isEmpty())
        return;
    auto *drag = new QDrag(this);
    drag->setMimeData(model()->mimeData(rows));
    // The drop has moved the rows already; whatever the drag reports, nothing is removed here.
    drag->exec(Qt::MoveAction);
}

void TrackListView::dragEnterEvent(QDragEnterEvent *event)
{
    acceptRows(event);
}

void TrackListView::dragMoveEvent(QDragMoveEvent *event)
{
    QTableView::dragMoveEvent(event); // the drop indicator and scrolling near the edges
    acceptRows(event);
}

void TrackListView::dropEvent(QDropEvent *event)
{
    auto *m = qobject_cast<TrackListModel *>(model());
    if (!m || !event->mimeData()->hasFormat(QString::fromLatin1(TrackListModel::MimeType))) {
        event->ignore();
        return;
    }
    const QPoint pos = event->position().toPoint();
    const QModelIndex at = indexAt(pos);
    int row = m->rowCount();
    if (at.isValid()) {
        const QRect r = visualRect(at);
        row = pos.y() < r.center().y() ? at.row() : at.row() + 1;
    }
    if (m->dropMimeData(event->mimeData(), Qt::MoveAction, row, 0, {})) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

// ---------------------------------------------------------------- the dialog

std::function<int(TrackImportDialog &)> TrackImportDialog::Answer = [](TrackImportDialog &d) {
    return d.exec();
};
std::function<QStringList(QWidget *)> TrackImportDialog::ChooseSources = ChooseTrackSources;

TrackImportDialog::TrackImportDialog(const tracklist::ReadResult &read, const QString &currentTop,
                                     const QString &currentBottom, QWidget *parent)
    : QDialog(parent), currentTop_(currentTop), currentBottom_(currentBottom)
{
    setObjectName(QStringLiteral("TrackImport"));
    setWindowTitle(tr("Import Track List"));
    resize(720, 520);

    Model = new TrackListModel(read.tracks, this);
    List = new TrackListView(this);
    List->setObjectName(QStringLiteral("List"));
    List->setModel(Model);
    List->setSelectionBehavior(QAbstractItemView::SelectRows);
    List->setSelectionMode(QAbstractItemView::ExtendedSelection);
    List->setDragDropMode(QAbstractItemView::InternalMove);
    List->setDragDropOverwriteMode(false);
    List->setDropIndicatorShown(true);
    List->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
    List->setWordWrap(false);
    List->verticalHeader()->setDefaultSectionSize(List->fontMetrics().height() + 6);
    List->horizontalHeader()->setSectionResizeMode(TrackListModel::TitleColumn, QHeaderView::Stretch);
    List->horizontalHeader()->setSectionResizeMode(TrackListModel::CoverColumn, QHeaderView::Stretch);
    List->setColumnWidth(TrackListModel::TimeColumn, 56);
    List->setColumnWidth(TrackListModel::ArtistColumn, 140);

    MoveUp = new QPushButton(tr("Move &Up"), this);
    MoveDown = new QPushButton(tr("Move &Down"), this);
    Remove = new QPushButton(tr("&Remove"), this);
    auto *rowButtons = new QHBoxLayout;
    rowButtons->addWidget(new QLabel(tr("Double-click a title to edit it; drag rows to reorder them."), this),
                          1);
    rowButtons->addWidget(MoveUp);
    rowButtons->addWidget(MoveDown);
    rowButtons->addWidget(Remove);
    Add = new QPushButton(tr("&Add"), this);
    Add->setObjectName(QStringLiteral("Add"));
    Add->hide(); // the list editor's
    rowButtons->addWidget(Add);

    Numbered = new QCheckBox(tr("&Number the titles (1. 2. 3.)"), this);
    Durations = new QCheckBox(tr("Add the &lengths (3:45)"), this);
    ReplaceHeadlines = new QCheckBox(tr("Replace &headlines that are not empty"), this);
    HeadlineNote = plaintext::Label(QString(), this);
    HeadlineNote->setObjectName(QStringLiteral("HeadlineNote"));
    LeftOutNote = plaintext::Label(QString(), this);
    LeftOutNote->setObjectName(QStringLiteral("LeftOutNote"));
    LeftOutNote->setStyleSheet(QStringLiteral("color: #a33"));

    SkippedList = new QListWidget(this);
    SkippedList->setObjectName(QStringLiteral("Skipped"));
    SkippedList->setMaximumHeight(90);
    // Entries whose track was read all the same (a CUE sheet's audio file without its length)
    // are notes, not skipped: they come last and say so.
    qsizetype skipped = 0;
    for (bool kept : {false, true})
        for (const tracklist::Skipped &s : read.skipped)
            if (s.kept == kept) {
                SkippedList->addItem((kept ? tr("%1 \u2014 kept; %2") : tr("%1 \u2014 %2"))
                                         .arg(names::Readable(s.entry), names::Readable(s.reason)));
                skipped += !kept;
            }
    const qsizetype noted = read.skipped.size() - skipped;
    auto *skippedLabel =
        new QLabel(noted == 0     ? tr("Skipped (%1):").arg(skipped)
                   : skipped == 0 ? tr("Notes (%1):").arg(noted)
                                  : tr("Skipped (%1) and notes (%2):").arg(skipped).arg(noted),
                   this);
    skippedLabel->setObjectName(QStringLiteral("SkippedLabel"));
    skippedLabel->setVisible(!read.skipped.isEmpty());
    SkippedList->setVisible(!read.skipped.isEmpty());

    Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    Buttons->button(QDialogButtonBox::Ok)->setText(tr("&Import"));

    auto *options = new QGridLayout;
    options->addWidget(Numbered, 0, 0);
    options->addWidget(Durations, 0, 1);
    options->addWidget(ReplaceHeadlines, 1, 0);
    options->addWidget(HeadlineNote, 1, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(List, 1);
    layout->addLayout(rowButtons);
    layout->addLayout(options);
    layout->addWidget(LeftOutNote);
    layout->addWidget(skippedLabel);
    layout->addWidget(SkippedList);
    layout->addWidget(Buttons);

    connect(MoveUp, &QPushButton::clicked, this, [this] { MoveSelected(-1); });
    connect(MoveDown, &QPushButton::clicked, this, [this] { MoveSelected(+1); });
    connect(Remove, &QPushButton::clicked, this, &TrackImportDialog::RemoveSelected);
    connect(Add, &QPushButton::clicked, this, &TrackImportDialog::AddTitle);
    connect(Model, &QAbstractItemModel::rowsInserted, this, &TrackImportDialog::refresh);
    for (QCheckBox *box : {Numbered, Durations, ReplaceHeadlines})
        connect(box, &QCheckBox::toggled, this, &TrackImportDialog::refresh);
    connect(Model, &QAbstractItemModel::layoutChanged, this, &TrackImportDialog::refresh);
    connect(Model, &QAbstractItemModel::rowsRemoved, this, &TrackImportDialog::refresh);
    connect(Model, &QAbstractItemModel::dataChanged, this, &TrackImportDialog::refresh); // a title typed
    connect(List->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TrackImportDialog::refresh);
    connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    if (Model->rowCount() > 0)
        List->selectRow(0);
    refresh();
}

namespace {

tracklist::ReadResult asTracks(const QStringList &titles)
{
    tracklist::ReadResult read;
    for (const QString &title : titles) {
        Track t;
        t.title = title;
        read.tracks << t;
    }
    return read;
}

} // namespace

TrackImportDialog::TrackImportDialog(const QStringList &titles, QWidget *parent)
    : TrackImportDialog(asTracks(titles), {}, {}, parent)
{
    listEditor_ = true;
    setObjectName(QStringLiteral("AllTitles"));
    setWindowTitle(tr("All Titles"));
    for (QWidget *w : {static_cast<QWidget *>(Numbered), static_cast<QWidget *>(Durations),
                       static_cast<QWidget *>(ReplaceHeadlines), static_cast<QWidget *>(HeadlineNote)})
        w->hide();
    List->setColumnHidden(TrackListModel::TimeColumn, true);
    List->setColumnHidden(TrackListModel::ArtistColumn, true);
    List->setColumnHidden(TrackListModel::CoverColumn, true);
    Add->show();
    Buttons->button(QDialogButtonBox::Ok)->setText(tr("OK"));
    refresh();
}

void TrackImportDialog::AddTitle()
{
    const QList<int> rows = selectedRows();
    const int at = rows.isEmpty() ? Model->rowCount() : rows.back() + 1;
    if (!Model->insertRows(at, 1))
        return;
    refresh();
    const QModelIndex index = Model->index(at, TrackListModel::TitleColumn);
    List->selectRow(at);
    List->setCurrentIndex(index);
    List->edit(index);
}

tracklist::CoverOptions TrackImportDialog::Options() const
{
    return {Numbered->isChecked(), Durations->isChecked(), ReplaceHeadlines->isChecked()};
}

tracklist::CoverTexts TrackImportDialog::Result() const
{
    return tracklist::FormatForCover(Model->tracks(), Options(), currentTop_, currentBottom_);
}

QList<int> TrackImportDialog::selectedRows() const
{
    // By cell: a row whose hidden columns are not selected (the list editor's) still counts.
    QList<int> rows;
    for (const QModelIndex &i : List->selectionModel()->selectedIndexes())
        rows.append(i.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void TrackImportDialog::MoveSelected(int delta)
{
    const QList<int> rows = selectedRows();
    if (rows.isEmpty())
        return;
    // The block moves past one neighbour: up, it goes before the row above its first; down,
    // after the row below its last.
    const int to = delta < 0 ? rows.front() - 1 : rows.back() + 2;
    if (to < 0 || to > Model->rowCount())
        return;
    Model->moveRowsTo(rows, to); // persistent indexes keep the selection on the moved rows
}

void TrackImportDialog::SetCutShortCount(
    std::function<CoverDocument::CutShort(const tracklist::CoverTexts &)> count)
{
    cutShortCount_ = std::move(count);
    countedTitles_.reset();
    refresh();
}

void TrackImportDialog::RemoveSelected()
{
    const QList<int> rows = selectedRows();
    for (qsizetype i = rows.size() - 1; i >= 0; --i) // from the bottom, so the others keep their rows
        Model->removeRows(rows[i], 1);
    if (Model->rowCount() > 0 && !rows.isEmpty())
        List->selectRow(std::min(rows.front(), Model->rowCount() - 1));
}

void TrackImportDialog::refresh()
{
    Model->setOptions(Options());
    const tracklist::CoverTexts c = Result();
    const auto describe = [this](const QString &which, const std::optional<QString> &text) {
        return text ? tr("%1: %2").arg(which, names::Readable(*text)) : tr("%1: unchanged").arg(which);
    };
    HeadlineNote->setText(describe(tr("Top headline"), c.topHeadline) + QLatin1Char('\n') +
                          describe(tr("Bottom headline"), c.bottomHeadline));
    QStringList notes;
    if (c.leftOut > 0)
        notes << (c.leftOut == 1
                      ? tr("1 title left out: a cover holds %1.").arg(CoverMaxTitles)
                      : tr("%1 titles left out: a cover holds %2.").arg(c.leftOut).arg(CoverMaxTitles));
    // Said before the import, while a title can still be shortened here. Only the titles
    // decide it, and counting lays the whole list out: done again only when they change.
    if (cutShortCount_ && countedTitles_ != c.titles) {
        cutShort_ = cutShortCount_(c);
        countedTitles_ = c.titles;
    }
    // One line for both: a line past the cut line, and a title of the long list past its column.
    if (cutShortCount_ && cutShort_.atEdge > 0)
        notes << (cutShort_.total() == 1 ? tr("1 title line will be cut short to end inside the cut line.")
                                         : tr("%1 title lines will be cut short to end inside the cut line.")
                                               .arg(cutShort_.total()));
    else if (cutShortCount_ && cutShort_.inColumns > 0)
        notes << (cutShort_.inColumns == 1 ? tr("1 title will be cut short to fit its column at 6 pt.")
                                           : tr("%1 titles will be cut short to fit their column at 6 pt.")
                                                 .arg(cutShort_.inColumns));
    LeftOutNote->setText(notes.join(u'\n'));
    LeftOutNote->setVisible(!notes.isEmpty());
    const QList<int> rows = selectedRows();
    MoveUp->setEnabled(!rows.isEmpty() && rows.front() > 0);
    MoveDown->setEnabled(!rows.isEmpty() && rows.back() < Model->rowCount() - 1);
    Remove->setEnabled(!rows.isEmpty());
    Add->setEnabled(Model->rowCount() < CoverMaxTitles);
    // The editor may empty the list (a cover without titles); an import needs something to write.
    Buttons->button(QDialogButtonBox::Ok)->setEnabled(listEditor_ || Model->rowCount() > 0);
}

// ---------------------------------------------------------------- choosing the sources

QStringList ChooseTrackSources(QWidget *parent)
{
    // Qt's own dialog, so that two buttons of ours can sit in it: the whole folder shown, or
    // the disc in the drive, besides choosing files.
    QFileDialog dialog(parent, QObject::tr("Choose a Track List"));
    dialog.setObjectName(QStringLiteral("ChooseTrackSources"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters(
        {QObject::tr("Track lists and audio files (*.cue *.m3u *.m3u8 *.pls *.txt *.mp3 *.flac "
                     "*.ogg *.oga *.opus *.m4a *.mp4 *.aac *.wav *.aif *.aiff *.wma *.wv)"),
         QObject::tr("All files (*)")});
    QStringList chosen;
    auto *folder = new QPushButton(QObject::tr("&Whole Folder"), &dialog);
    auto *cd = new QPushButton(QObject::tr("Audio &CD"), &dialog);
    folder->setAutoDefault(false);
    cd->setAutoDefault(false);
    QObject::connect(folder, &QPushButton::clicked, &dialog, [&] {
        chosen = {dialog.directory().absolutePath()};
        static_cast<QDialog &>(dialog).done(QDialog::Accepted);
    });
    QObject::connect(cd, &QPushButton::clicked, &dialog, [&] {
        chosen = {tracklist::CdPrefix.toString()};
        static_cast<QDialog &>(dialog).done(QDialog::Accepted);
    });
    if (auto *grid = qobject_cast<QGridLayout *>(dialog.layout())) {
        auto *row = new QHBoxLayout;
        row->addStretch(1);
        row->addWidget(folder);
        row->addWidget(cd);
        grid->addLayout(row, grid->rowCount(), 0, 1, grid->columnCount());
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return chosen.isEmpty() ? dialog.selectedFiles() : chosen;
}
