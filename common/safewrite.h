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
// A link at the path is written through (its target replaced, the link left as it is), except a
// link that another user made in a sticky world-writable folder such as /tmp, which the kernel's
// protected_symlinks rule would not follow either: that write is refused. A target that exists
// but is not a regular file (a FIFO, a device, a folder) is refused, not replaced; so is one this
// user may not write.
namespace safewrite {

struct Options {
    // Asked before a link whose target does not exist makes that target (link and target as
    // absolute paths); true creates it. Without it such a write is refused.
    std::function<bool(const QString &link, const QString &target)> createLinkTarget;
    // Files this run reads: an output that is one of them (same file, by device and inode, or
    // same path) is refused and the file kept.
    QStringList inputs;
    // False: a link at the path is refused, not followed (files in a folder of our own, where a
    // link can only have been planted).
    bool followLinks = true;
    // When set, after a commit: temporaries of the same target that a killed writer left behind
    // (named as this writer names them, this user's regular files, unchanged for a minute, not
    // held by a writer at work) are removed if this says so of their content (read from fd).
    std::function<bool(int fd)> isLeftoverTemporary;
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

// True when `name` is how Writer names a temporary of the file `target` ("TARGET." and six
// random letters or digits).
bool IsTemporaryName(const QByteArray &name, const QByteArray &target);

// Faults that a test cannot make happen for real without root: the next Writer to reach `step`
// fails there with the error number `code`, once.
namespace testing {
enum class Step { None, Write, Fsync, Close };
void FailNext(Step step, int code);
} // namespace testing

} // namespace safewrite
