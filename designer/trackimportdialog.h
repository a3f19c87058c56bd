#pragma once

#include <QAbstractTableModel>
#include <QDialog>
#include <QTableView>

#include <functional>
#include <optional>

#include "coverdocument.h"
#include "coverformat.h"
#include "track.h"

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QListWidget;
class QPushButton;

// The tracks of an import in the order they will be written. Titles can be edited; rows move
// with moveRowsTo (drag and drop, the Up and Down buttons) and can be removed. The last column
// shows each title as it will land on the cover, with the options applied.
class TrackListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { TitleColumn, TimeColumn, ArtistColumn, CoverColumn, ColumnCount };
    static constexpr const char *MimeType = "application/x-sleeve-track-rows";

    explicit TrackListModel(QList<tracklist::Track> tracks, QObject *parent = nullptr);
    const QList<tracklist::Track> &tracks() const { return tracks_; }
    void setOptions(const tracklist::CoverOptions &options);

    // Moves the rows (in their present order) so that they stand together before row `to`
    // (rowCount() for the end). Returns false when nothing moved.
    bool moveRowsTo(QList<int> rows, int to);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool removeRows(int row, int count, const QModelIndex &parent = {}) override;
    bool insertRows(int row, int count, const QModelIndex &parent = {}) override;

    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

private:
    QList<tracklist::Track> tracks_;
    tracklist::CoverOptions options_;
};

// The list's view: a drag of its rows moves them (the model does the move; the view must not then
// remove the dragged rows as it would after an ordinary move between views). Only the rows'
// own format is taken: files or text dropped here mean nothing.
class TrackListView : public QTableView
{
    Q_OBJECT
public:
    using QTableView::QTableView;

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
};

// The preview of an import: what will be written, editable and reorderable, the options, the
// entries that were skipped and why, and how many titles do not fit. Cancel changes nothing.
// Made from a design's titles, it is the editor of the whole list ("All Titles"): the same
// list, rows added with Add, without the import's options.
class TrackImportDialog : public QDialog
{
    Q_OBJECT
public:
    TrackImportDialog(const tracklist::ReadResult &read, const QString &currentTop,
                      const QString &currentBottom, QWidget *parent = nullptr);
    explicit TrackImportDialog(const QStringList &titles, QWidget *parent = nullptr);

    tracklist::CoverOptions Options() const;
    // The texts to write, from the list as it now stands.
    tracklist::CoverTexts Result() const;

    TrackListModel *Model = nullptr;
    TrackListView *List = nullptr;
    QCheckBox *Numbered = nullptr;         // "Number the titles (1. 2. 3.)"
    QCheckBox *Durations = nullptr;        // "Add the lengths (3:45)"
    QCheckBox *ReplaceHeadlines = nullptr; // "Replace headlines that are not empty"
    QPushButton *MoveUp = nullptr;
    QPushButton *MoveDown = nullptr;
    QPushButton *Remove = nullptr;
    QPushButton *Add = nullptr; // the list editor's: a new row after the selection, being edited
    QLabel *HeadlineNote = nullptr;
    QLabel *LeftOutNote = nullptr;
    QListWidget *SkippedList = nullptr;
    QDialogButtonBox *Buttons = nullptr;

    // How many of the titles the cover would draw cut short, for the note under the list: the
    // window that opens the dialog knows the cover's type and room; without it nothing is said.
    void SetCutShortCount(std::function<CoverDocument::CutShort(const tracklist::CoverTexts &)> count);

    // Moves the selected rows one place up (-1) or down (+1), keeping them selected.
    void MoveSelected(int delta);
    void RemoveSelected();
    void AddTitle();

    // How the preview is answered: exec() in the program; tests answer it themselves.
    static std::function<int(TrackImportDialog &)> Answer;
    // How the sources are chosen from the titles window's menu: a file dialog of our own (files,
    // a whole folder, or the audio CD); tests answer it themselves. Empty means cancelled.
    static std::function<QStringList(QWidget *parent)> ChooseSources;

private:
    void refresh();
    QList<int> selectedRows() const;
    QString currentTop_, currentBottom_;
    bool listEditor_ = false;
    std::function<CoverDocument::CutShort(const tracklist::CoverTexts &)> cutShortCount_;
    // The titles last counted and their count: a change of selection recounts nothing.
    std::optional<QStringList> countedTitles_;
    CoverDocument::CutShort cutShort_;
};

// The file dialog behind ChooseSources.
QStringList ChooseTrackSources(QWidget *parent);
