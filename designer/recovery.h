#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <optional>

#include "designfile.h"

class QLockFile;

// Recovery copies of unsaved designs, one per running designer, in the user's state folder.
// A copy is a design file (the 75 records, which name the pictures) written as Save writes
// one; beside it lie a lock that its designer holds while it runs and a small file with the
// path of the design it came from. A copy whose designer is gone is an orphan: the next
// designer to start offers it back.
// The folder is this user's alone: made 0700, and refused (recovery off for the run, one warning
// line, nothing changed) when it is a link, another user's, or writable by group or others.
// Nothing in it is followed through a link or taken from another owner. The folder is checked
// once and then held open: copies are written and removed through that descriptor.
class RecoveryStore
{
public:
    // $XDG_STATE_HOME/sleeve, or ~/.local/state/sleeve when that is unset or not absolute.
    static QString DefaultFolder();

    explicit RecoveryStore(const QString &folder = DefaultFolder());
    // Lets go of this designer's lock; a copy not removed stays for the next start.
    ~RecoveryStore();
    RecoveryStore(const RecoveryStore &) = delete;
    RecoveryStore &operator=(const RecoveryStore &) = delete;

    const QString &Folder() const { return folder_; }
    // True once the folder was refused: no copy is written or offered for the rest of the run.
    bool Off() const { return folderState_ == FolderState::Refused; }
    // This designer's copy; empty until the first Write.
    QString CopyPath() const;

    // Writes this designer's copy atomically (75 records, then any settings lines), with the
    // design's path ("" when untitled).
    bool Write(const QStringList &records, const QString &designPath, QString *error = nullptr);
    // Removes this designer's copy: after a save, when nothing is unsaved, on a clean close.
    void Remove();

    struct Orphan {
        QString copyPath;
        QString designPath; // "" for a design that was never opened from a file
        QDateTime written;
    };
    // The copies whose designers are gone, newest first, each held (locked) by this store
    // until it is adopted, discarded or released. A copy older than the last save of its
    // design holds nothing the design lacks: it is removed on the way. At most MaxOrphans are
    // taken (and looked at), so that hundreds of copies neither hold hundreds of locks nor slow
    // the start; the older ones wait for a later start. Links and files of other owners are not copies.
    static constexpr int MaxOrphans = 8;
    QList<Orphan> TakeOrphans();
    // The records of a copy, read only when it is a regular file of this user (not through a
    // link); nullopt and *error otherwise.
    static std::optional<designfile::Records> ReadCopy(const QString &copyPath, QString *error = nullptr);
    // The orphan becomes this designer's copy (after its records were restored).
    void Adopt(const Orphan &orphan);
    // Removes the orphan (the user declined it).
    void Discard(const Orphan &orphan);
    // Leaves the orphan for a later start (the user answered nothing).
    void Release(const Orphan &orphan);

private:
    enum class FolderState { Unchecked, Usable, Refused };
    // Checks the folder (making it when `create`), once; false when it is missing or refused.
    bool folderUsable(bool create, QString *error);
    bool claim(QString *error);
    QString folder_;
    FolderState folderState_ = FolderState::Unchecked;
    int folderFd_ = -1; // the folder as checked, held for the run: copies are written through it
    QString base_;      // this designer's files: base_ + ".qwd", ".path", ".lock"
    std::unique_ptr<QLockFile> lock_;
    std::map<QString, std::unique_ptr<QLockFile>> held_; // orphans' locks, by base
};
