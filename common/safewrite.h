#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QIODevice;

// The one writer of every file the programs make (designs, recovery copies, PDF, PNG, catalogs):
// a temporary beside the target, every write checked, synced and closed (checked), then renamed
// over the target, which keeps its mode. On any failure the old file is left as it was.
//
// The path is resolved once, folder by folder from a held descriptor (openat, never following
// a link unawares), and everything is then done relative to the target's folder as opened. A
// link, in any part of the path, is followed except one that another user made in a sticky
// world-writable folder such as /tmp, which the kernel's protected_symlinks rule would not
// follow either: that write is refused. A link at the end is written through (its target
// replaced, the link left as it is). A target that exists but is not a regular file (a FIFO, a
// device, a folder) is refused, not replaced; so is one this user may not write, and so is any
// file this run read (inputs.h).
namespace safewrite {

struct Options {
    // Asked before a link whose target does not exist makes that target (link and target as
    // absolute paths); true creates it. Without it such a write is refused.
    std::function<bool(const QString &link, const QString &target)> createLinkTarget;
    // Files that count as read besides those the readers noted (the window's design, which it
    // may hold without having read it: saved under a new name, or restored).
    QStringList inputs;
    // False: a link at the path's end is refused, not followed (files in a folder of our own,
    // where a link can only have been planted).
    bool followLinks = true;
    // The Save of the open design may replace a design this run read (never a track or a picture).
    bool replacesDesign = false;
    // A folder held open (not owned): the path is then one name in it, and the folder is not
    // looked up again, whatever has been renamed or planted since it was opened.
    int folder = -1;
};

// Streaming: open() checks the rules and creates the temporary in the target's folder; the
// caller writes to device(); commit() checks every write, flushes, fsyncs, closes (checked),
// renames over the target keeping its mode, and syncs the folder. Destroyed without commit():
// the temporary is removed and the target untouched. "-" means standard output (no temporary).
class Writer
{
public:
    explicit Writer(QString path, Options options = {});
    ~Writer();
    Writer(const Writer &) = delete;
    Writer &operator=(const Writer &) = delete;

    bool open(QString *error);
    // Valid between a successful open() and commit(); a failed write shows at commit().
    QIODevice *device();
    bool commit(QString *error);
    // True once a write to device() has failed (a full disk), with the reason as commit() gives it.
    bool writeFailed(QString *error) const;
    bool isRefusedAsInput() const; // open() failed because the output is one of the inputs

    struct State;

private:
    std::unique_ptr<State> d;
};

// open(), write all of bytes, commit().
bool WriteBytes(const QString &path, QByteArrayView bytes, QString *error, const Options &options = {});

// A new name for a temporary of the file named `target` in its folder: ".sleeve-", twelve random
// small letters or digits, "-", the start of the target's name, ".part"; at most 255 bytes.
QByteArray TemporaryName(const QByteArray &target);
// True exactly for the names TemporaryName makes. Every commit removes such files that a killed
// writer left in the target's folder (this user's regular files, unchanged for a minute, not
// held by a writer at work), and nothing else.
bool IsTemporaryName(const QByteArray &entry);

// Faults that a test cannot make happen for real without root: the next `times` calls the writer
// makes of the system call at `step` fail there with the error number `code` (for Fsync before
// the real call, so that the writer's own handling of the result runs).
namespace testing {
enum class Step { None, Write, Fsync, Close };
void FailNext(Step step, int code, int times = 1);
} // namespace testing

} // namespace safewrite
