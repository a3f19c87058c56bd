#pragma once

#include <QByteArray>
#include <QComboBox>
#include <QListView>
#include <QString>

#include "fs_listing.h"
#include "fs_models.h"
#include "fs_names.h"

// The index maker's own drive, folder and file lists (Qt has none).
namespace fsl {

// A file list: the names of one folder's files.
class FileListBox : public QListView
{
    Q_OBJECT
public:
    explicit FileListBox(QWidget *parent = nullptr);

    QString Path() const { return ReadablePath(path_); }
    const QByteArray &NativePath() const { return path_; }
    void SetPath(const QString &path);
    void SetNativePath(const QByteArray &path);
    // Reads the folder anew; false (the list unchanged) when it cannot be read.
    bool Refresh();

    int ListCount() const;
    QString List(int row) const;
    QStringList Entries() const;
    bool ReadOk() const;

    // Rows wholly inside the list's visible area (the list scrolls by whole
    // rows); 0 while the list has no row to measure.
    int WholeRows() const;
    // The row at the top of the visible area.
    int TopRow() const;
    // Scrolls so that `row` stands at the top; past the last file the list
    // shows nothing (blank rows are added as needed; a new folder drops them).
    void ShowFromRow(int row);
    int BlankRows() const { return model_.blankRows(); }
    const ListingPtr &Listing() const { return model_.listing(); }

signals:
    void Change(); // PathChange

private:
    QByteArray path_;
    FileListModel model_;
};

// A folder list: the current folder's ancestors from its drive's root down,
// indented, then its subfolders. Opening an entry (double-click or Enter)
// makes it the current folder. Every setting of the folder raises Change.
class FolderListBox : public QListView
{
    Q_OBJECT
public:
    explicit FolderListBox(QWidget *parent = nullptr);

    QString Path() const { return ReadablePath(path_); }
    const QByteArray &NativePath() const { return path_; }
    // The folder at the top of the list: the drive the list was rooted at.
    const QByteArray &Root() const { return root_; }
    void SetPath(const QString &path);
    // Sets the folder, and roots the list at `root` when one is given. Without
    // one the list stays rooted where it is while the folder lies below its
    // root (a volume mounted there is a folder like any other), and is rooted
    // at the drive the folder lies on otherwise.
    void SetNativePath(const QByteArray &path, const QByteArray &root = {});
    bool Refresh();
    // Scrolls so that the current folder and as many of its subfolders as
    // fit are in view, the folders above it filling what room is left.
    void ShowCurrentFolder();
    // Opens the entry in `row` as a double-click does; false when there is
    // none, or when it cannot be read (then OpenFailed says why and the list
    // stays where it is).
    bool OpenRow(int row);

    int ListCount() const;
    QString List(int row) const;
    int Level(int row) const;
    int AncestorCount() const { return model_.ancestorCount(); }
    const ListingPtr &Listing() const { return model_.listing(); }
    QStringList Entries() const;
    QStringList Subfolders() const;
    bool ReadOk() const;

signals:
    void Change();
    void OpenFailed(const QByteArray &path, int error);

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void display(const QByteArray &path, ListingPtr listing);
    QByteArray path_;
    QByteArray root_;
    FolderListModel model_;
};

// The drive list: the mounted volumes; choosing one raises Change, even
// when it is the drive already shown.
class DriveListBox : public QComboBox
{
    Q_OBJECT
public:
    explicit DriveListBox(QWidget *parent = nullptr);

    QString Drive() const { return ReadablePath(NativeDrive()); }
    QByteArray NativeDrive() const;
    // Chooses the drive with this root (adding it when the list lacks it); raises Change when it differs.
    void SetDrive(const QByteArray &root);
    // Shows the drive with this root (adding it when the list lacks it); raises nothing.
    void ShowDrive(const QByteArray &root);
    // Reads the volumes anew and keeps the current drive; raises nothing.
    void ReloadDrives();

signals:
    void Change();
    void GotFocus();

protected:
    void showPopup() override;
    void focusInEvent(QFocusEvent *event) override;

private:
    void fill(const QByteArray &keep);
    int indexOfDrive(const QByteArray &root);
    bool filling_ = false;
    bool changed_ = false; // the choice changed since the last one the user made
};

} // namespace fsl
