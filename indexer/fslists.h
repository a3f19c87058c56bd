#pragma once

#include <QAbstractListModel>
#include <QByteArray>
#include <QComboBox>
#include <QListView>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

// The index maker's own drive, folder and file lists (Qt has none), and the
// folder listings they share. Paths are kept as the file system's bytes so
// that names which are not valid UTF-8 can still be opened; what a person
// sees is a readable form of them.
namespace fsl {

struct Entry {
    QByteArray raw; // the name as the file system has it
    QString text;   // readable form: invalid UTF-8 bytes and control characters escaped
};

// One read of one folder: its subfolders and its files, hidden (dot) entries
// left out, each group sorted as a file manager sorts.
struct Listing {
    QByteArray path;
    bool ok = false; // false: the folder could not be read (shown as empty)
    int error = 0;   // errno of the failure
    std::vector<Entry> folders;
    std::vector<Entry> files;
};
using ListingPtr = std::shared_ptr<const Listing>;

// A folder is read once per change: while a batch is open (a list's change
// and everything it sets off, or a Refresh), every list that asks for the
// same folder gets the same listing. Outside a batch every ask reads anew.
class ListingCache
{
public:
    class Batch
    {
    public:
        Batch();
        ~Batch();
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;
    };

    static ListingPtr Get(const QByteArray &path);
    static ListingPtr Read(const QByteArray &path); // always reads, never memoised
    static quint64 ReadCount();                     // folders read so far (tests, bench)

    // Tests: a hook that may refuse a folder with an errno (root reads every
    // folder whatever its permissions, so "permission denied" is simulated).
    using FailHook = std::function<int(const QByteArray &path)>;
    static void SetFailHook(FailHook hook);
};

// Readable text for a name or a path in bytes.
QString ReadableName(const char *bytes, qsizetype size);
inline QString ReadableName(const QByteArray &b)
{
    return ReadableName(b.constData(), b.size());
}
QString ReadablePath(const QByteArray &path);

// Lexical clean-up to an absolute path ("." and ".." resolved, no double or
// trailing slashes); relative paths are taken from the current working folder.
QByteArray CleanPath(const QByteArray &path);
QByteArray JoinPath(const QByteArray &dir, const QByteArray &name);
QByteArray CurrentFolder();

// Case-insensitive order with digit runs compared as numbers ("file2" < "file10").
int NaturalCompare(const QString &a, const QString &b);
void SortEntries(std::vector<Entry> &entries);

// The mounted volumes a person calls drives.
struct Volume {
    QByteArray root;
    QString label;
};
using VolumeSource = std::function<std::vector<Volume>()>;

class Volumes
{
public:
    // nullptr restores the system's mounted volumes; the list is read anew.
    static void SetSource(VolumeSource source);
    static std::vector<Volume> SystemVolumes();
    static const std::vector<Volume> &List();
    static void Reload();
    // The drive a path lies on: the longest volume root that contains it; "/" when none does.
    static QByteArray RootOf(const QByteArray &path);
    // The folder a drive opens at: the current working folder when it lies on that drive, else its root.
    static QByteArray OpenFolderOf(const QByteArray &root);
};

// ---------------------------------------------------------------------------

class FileListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;
    void setListing(ListingPtr listing);
    const ListingPtr &listing() const { return listing_; }
    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    ListingPtr listing_;
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
    void SetPath(const QString &path);
    void SetNativePath(const QByteArray &path);
    bool Refresh();
    // Opens the entry in `row` as a double-click does; false when there is none.
    bool OpenRow(int row);

    int ListCount() const;
    QString List(int row) const;
    int Level(int row) const;
    int AncestorCount() const { return model_.ancestorCount(); }
    QStringList Entries() const;
    QStringList Subfolders() const;
    bool ReadOk() const;

signals:
    void Change();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void display(const QByteArray &path, ListingPtr listing);
    QByteArray path_;
    FolderListModel model_;
};

// The drive list: the mounted volumes; choosing one raises Change.
class DriveListBox : public QComboBox
{
    Q_OBJECT
public:
    explicit DriveListBox(QWidget *parent = nullptr);

    QString Drive() const { return ReadablePath(NativeDrive()); }
    QByteArray NativeDrive() const;
    // Chooses the drive with this root (adding it when the list lacks it); raises Change when it differs.
    void SetDrive(const QByteArray &root);
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
    bool filling_ = false;
};

} // namespace fsl
