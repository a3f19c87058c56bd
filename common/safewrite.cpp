#include "safewrite.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "inputs.h"
#include "names.h"

namespace safewrite {

namespace testing {
namespace {
Step failStep = Step::None;
int failCode = 0;
int failTimes = 0;
} // namespace

void FailNext(Step step, int code, int times)
{
    failStep = step;
    failCode = code;
    failTimes = times;
}
} // namespace testing

namespace {

// The injected fault for `step`, taken once; 0 when there is none.
int injected(testing::Step step)
{
    if (testing::failStep != step || testing::failTimes <= 0)
        return 0;
    if (--testing::failTimes == 0)
        testing::failStep = testing::Step::None;
    return testing::failCode;
}

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

QString errnoText(int code)
{
    return qt_error_string(code);
}

// Would the kernel refuse to follow this link when protected_symlinks is on? In a sticky,
// world-writable folder it follows only links of the follower, of the folder's owner, and
// (as the folder's owner could replace any of them anyway) of root.
bool untrustedLink(const struct stat &link, const struct stat &folder)
{
    const bool shared = (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
    return shared && link.st_uid != ::geteuid() && link.st_uid != 0 && link.st_uid != folder.st_uid;
}

// A path's parts; a path that ends in "/" names a folder, so it ends in ".".
void appendParts(std::deque<QByteArray> *parts, const QByteArray &path, bool front)
{
    QList<QByteArray> split = path.split('/');
    split.removeAll(QByteArray());
    if (path.endsWith('/') && !path.isEmpty())
        split << QByteArrayLiteral(".");
    if (front)
        parts->insert(parts->begin(), split.cbegin(), split.cend());
    else
        parts->insert(parts->end(), split.cbegin(), split.cend());
}

QString joined(const QString &folder, const QByteArray &name)
{
    QString n = names::Decode(name);
    if (folder.isEmpty())
        return n;
    return folder.endsWith(u'/') ? folder + n : folder + u'/' + n;
}

// Where a held folder is, for messages and for telling it from the inputs.
QString folderPath(int fd)
{
    QByteArray buffer(4096, Qt::Uninitialized);
    const QByteArray proc = "/proc/self/fd/" + QByteArray::number(fd);
    const ssize_t n = ::readlink(proc.constData(), buffer.data(), size_t(buffer.size()));
    return n > 0 && n < buffer.size() ? names::Decode(buffer.left(n)) : QString();
}

QString absolute(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

int openFolder(int at, const char *name)
{
    int fd;
    do {
        fd = ::openat(at, name, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// The file a write must replace or create: its folder, held open, and its name there.
struct Resolved {
    int folder = -1;
    QByteArray name;
    QString text; // as the path was written, links replaced by their targets: for messages
    bool exists = false;
};

// Walks `path` one part at a time from a held folder, as the kernel would but checking every
// link on the way, and ends holding the target's folder. Every part but the last must be a
// folder (or a trusted link to one); the last, a regular file, nothing, or a trusted link.
bool resolve(const QString &path, const Options &options, Resolved *out, QString *error)
{
    const QByteArray native = names::Encode(path);
    std::deque<QByteArray> parts;
    QString text;
    int dir;
    if (options.folder >= 0) {
        dir = ::fcntl(options.folder, F_DUPFD_CLOEXEC, 0);
        text = folderPath(options.folder);
        parts.push_back(native);
        if (native.contains('/') || native == "." || native == "..") {
            setError(error, QStringLiteral("Invalid file name."));
            return false;
        }
    } else {
        dir = openFolder(AT_FDCWD, native.startsWith('/') ? "/" : ".");
        text = native.startsWith('/') ? QStringLiteral("/") : QString();
        appendParts(&parts, native, false);
    }
    if (dir < 0) {
        setError(error, QStringLiteral("Cannot write %1: %2").arg(path, errnoText(errno)));
        return false;
    }
    auto fail = [&](const QString &why) {
        ::close(dir);
        setError(error, why);
        return false;
    };
    if (parts.empty())
        return fail(QStringLiteral("%1 is a folder.").arg(path));
    bool linked = false; // the last part came from a link
    for (int hops = 0; !parts.empty();) {
        const QByteArray part = parts.front();
        parts.pop_front();
        const bool last = parts.empty();
        const QString here = joined(text, part);
        struct stat st;
        if (::fstatat(dir, part.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            const int code = errno;
            if (code != ENOENT || !last)
                return fail(QStringLiteral("Cannot write %1: %2").arg(here, errnoText(code)));
            if (linked) {
                // A link to nothing: a planted one would make us create a file wherever it points.
                const QString link = absolute(path);
                const QString missing = absolute(here);
                if (!options.createLinkTarget)
                    return fail(
                        QStringLiteral("%1 is a link to %2, which does not exist.").arg(link, missing));
                if (!options.createLinkTarget(link, missing))
                    return fail(
                        QStringLiteral("%1 is a link to %2, which does not exist; it was not created.")
                            .arg(link, missing));
            }
            *out = {dir, part, here, false};
            return true;
        }
        if (S_ISLNK(st.st_mode)) {
            if (last && !options.followLinks)
                return fail(QStringLiteral("%1 is a link; it is not followed.").arg(here));
            struct stat folder;
            if (::fstat(dir, &folder) != 0)
                return fail(QStringLiteral("Cannot write %1: %2").arg(here, errnoText(errno)));
            if (untrustedLink(st, folder))
                return fail(
                    QStringLiteral("%1 is a link that another user made in the shared folder %2; it is "
                                   "not followed. Save under another name.")
                        .arg(here, text.isEmpty() ? QStringLiteral(".") : text));
            if (++hops > 40)
                return fail(QStringLiteral("Cannot write %1: %2").arg(path, errnoText(ELOOP)));
            QByteArray to(qsizetype(st.st_size > 0 ? st.st_size : 255) + 1, Qt::Uninitialized);
            const ssize_t n = ::readlinkat(dir, part.constData(), to.data(), size_t(to.size()));
            if (n <= 0 || n >= to.size())
                return fail(QStringLiteral("Cannot read the link %1.").arg(here));
            to.truncate(n);
            linked = linked || last;
            appendParts(&parts, to, true);
            if (to.startsWith('/')) {
                ::close(dir);
                dir = openFolder(AT_FDCWD, "/");
                text = QStringLiteral("/");
                if (dir < 0) {
                    setError(error, QStringLiteral("Cannot write %1: %2").arg(path, errnoText(errno)));
                    return false;
                }
            }
            if (parts.empty())
                return fail(QStringLiteral("%1 is a folder.").arg(here));
            continue;
        }
        if (last) {
            if (S_ISDIR(st.st_mode))
                return fail(QStringLiteral("%1 is a folder.").arg(here));
            // Replacing a FIFO or a device node by a regular file is not what was asked.
            if (!S_ISREG(st.st_mode))
                return fail(QStringLiteral("%1 is not a regular file.").arg(here));
            *out = {dir, part, here, true};
            return true;
        }
        // A folder, opened as it was looked at: a link swapped in meanwhile is refused.
        const int next = openFolder(dir, part.constData());
        if (next < 0)
            return fail(QStringLiteral("Cannot write %1: %2").arg(here, errnoText(errno)));
        ::close(dir);
        dir = next;
        text = here;
    }
    return fail(QStringLiteral("Cannot write %1: %2").arg(path, errnoText(ELOOP)));
}

// Is the output (given as `path`, resolved to `target`) one of the files this run reads?
bool isInput(const QString &path, const Resolved &target, const Options &options)
{
    struct stat out;
    const bool exists = ::fstatat(target.folder, target.name.constData(), &out, 0) == 0;
    const QString outPath = absolute(path);
    const QString real = folderPath(target.folder);
    const QString outTarget = real.isEmpty() ? absolute(target.text) : joined(real, target.name);
    for (const QString &name : {outPath, outTarget})
        if (inputs::Contains(name, exists ? &out : nullptr, options.replacesDesign))
            return true;
    for (const QString &input : options.inputs) {
        if (input.isEmpty())
            continue;
        const QString in = absolute(input);
        if (in == outPath || in == outTarget)
            return true;
        struct stat st;
        if (exists && ::stat(names::Encode(input).constData(), &st) == 0 && st.st_dev == out.st_dev &&
            st.st_ino == out.st_ino)
            return true;
    }
    return false;
}

// Temporaries a writer left when it was killed between writing and renaming, in the open folder
// `folder` (readable): removes those that are regular files of this user, unchanged for a minute
// before `now` (seconds since the epoch) and not locked by a writer still at work.
void removeStaleTemporaries(int folder, qint64 now)
{
    const int scan = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (scan < 0)
        return;
    DIR *dir = ::fdopendir(scan);
    if (!dir) {
        ::close(scan);
        return;
    }
    while (const dirent *e = ::readdir(dir)) {
        if (!IsTemporaryName(QByteArray(e->d_name)))
            continue;
        struct stat st;
        if (::fstatat(folder, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
            st.st_uid != ::geteuid() || qint64(st.st_mtime) > now - 60)
            continue;
        const int fd = ::openat(folder, e->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0)
            continue;
        struct stat opened;
        // A writer holds its temporary locked until it is renamed: one still at work is left alone.
        if (::fstat(fd, &opened) == 0 && opened.st_dev == st.st_dev && opened.st_ino == st.st_ino &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(folder, e->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

} // namespace

// Named rather than anonymous: Writer::State, declared in the header, holds one.
namespace detail {

// Writes to a descriptor, every write checked; the first failure is kept for commit().
class FdDevice : public QIODevice
{
public:
    explicit FdDevice(int fd) : fd_(fd) { QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered); }
    bool isSequential() const override { return true; }
    int failure() const { return failure_; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        if (failure_)
            return -1;
        if (const int code = injected(testing::Step::Write)) {
            failure_ = code;
            setErrorString(errnoText(failure_));
            return -1;
        }
        for (qint64 done = 0; done < size;) {
            const ssize_t n = ::write(fd_, data + done, size_t(size - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                failure_ = n < 0 ? errno : EIO;
                setErrorString(errnoText(failure_));
                return -1;
            }
            done += n;
        }
        return size;
    }

private:
    int fd_;
    int failure_ = 0;
};

} // namespace detail

namespace {

// fsync, retried when interrupted; filesystems and files that cannot sync (EINVAL, ENOTSUP, a
// pipe) pass. Returns 0 or the error number.
int fsyncCall(int fd)
{
    if (const int code = injected(testing::Step::Fsync)) {
        errno = code;
        return -1;
    }
    return ::fsync(fd);
}

int syncFile(int fd)
{
    int rc;
    do {
        rc = fsyncCall(fd);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0 && errno != EINVAL && errno != ENOTSUP && errno != EROFS)
        return errno;
    return 0;
}

} // namespace

struct Writer::State {
    QString path;
    Options options;
    bool refusedAsInput = false;
    bool toStdout = false;
    QString target;
    QByteArray name; // the target's name in its folder
    QByteArray temp; // the temporary's name there
    int folder = -1;
    int fd = -1;
    std::unique_ptr<detail::FdDevice> device;

    bool fail(QString *error, int code) const
    {
        setError(error, QStringLiteral("Cannot write %1: %2").arg(target, errnoText(code)));
        return false;
    }
    // Removes the temporary and closes everything: the target stays as it was.
    void abandon()
    {
        device.reset();
        if (fd >= 0) {
            ::unlinkat(folder, temp.constData(), 0);
            ::close(fd);
            fd = -1;
        }
        if (folder >= 0) {
            ::close(folder);
            folder = -1;
        }
    }
    bool create(QString *error);
};

Writer::Writer(QString path, Options options) : d(std::make_unique<State>())
{
    d->path = std::move(path);
    d->options = std::move(options);
}

Writer::~Writer()
{
    d->abandon();
}

bool Writer::isRefusedAsInput() const
{
    return d->refusedAsInput;
}

QIODevice *Writer::device()
{
    return d->device.get();
}

bool Writer::open(QString *error)
{
    d->abandon();
    d->refusedAsInput = false;
    const QString &path = d->path;
    if (path == QLatin1String("-")) {
        d->toStdout = true;
        d->device = std::make_unique<detail::FdDevice>(STDOUT_FILENO);
        return true;
    }
    if (path.isEmpty() || path.contains(QChar(u'\0'))) {
        setError(error, QStringLiteral("Invalid file name."));
        return false;
    }
    Resolved at;
    if (!resolve(path, d->options, &at, error))
        return false;
    d->folder = at.folder;
    d->name = at.name;
    d->target = at.text;
    if (isInput(path, at, d->options)) {
        d->refusedAsInput = true;
        setError(error, QStringLiteral("%1 is a file this run reads; it is kept as it is.").arg(path));
        d->abandon();
        return false;
    }
    if (!d->create(error)) {
        d->abandon();
        return false;
    }
    return true;
}

bool Writer::State::create(QString *error)
{
    struct stat old;
    const bool exists = ::fstatat(folder, name.constData(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        setError(error, QStringLiteral("%1 changed while it was being written.").arg(target));
        return false;
    }
    if (exists && ::faccessat(folder, name.constData(), W_OK, AT_EACCESS) != 0) {
        if (errno == EACCES || errno == EROFS) {
            setError(error, QStringLiteral("%1 is read-only.").arg(target));
            return false;
        }
        return fail(error, errno);
    }

    // The temporary is private until it has the old file's mode.
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = TemporaryName(name);
        fd = ::openat(folder, temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                      exists ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST)
            return fail(error, errno);
    }
    if (fd < 0)
        return fail(error, EEXIST);
    // Held until the rename: tells a later writer that this temporary is not stale.
    ::flock(fd, LOCK_EX | LOCK_NB);
    if (exists) {
        // Owner and group first (a change of owner clears set-id bits), then the mode,
        // which is set explicitly: 0444 stays 0444 even for root.
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid())
            if (::fchown(fd, old.st_uid, old.st_gid) != 0)
                (void)::fchown(fd, uid_t(-1), old.st_gid);
        if (::fchmod(fd, old.st_mode & 07777) != 0)
            return fail(error, errno);
    }
    device = std::make_unique<detail::FdDevice>(fd);
    return true;
}

bool Writer::writeFailed(QString *error) const
{
    if (!d->device || !d->device->failure())
        return false;
    if (d->toStdout)
        setError(error,
                 QStringLiteral("Cannot write to standard output: %1").arg(errnoText(d->device->failure())));
    else
        d->fail(error, d->device->failure());
    return true;
}

bool Writer::commit(QString *error)
{
    if (!d->device) {
        setError(error, QStringLiteral("Nothing was written: the file was not opened."));
        return false;
    }
    const int writeFailure = d->device->failure();
    if (d->toStdout) {
        d->device.reset();
        const int code = writeFailure ? writeFailure : syncFile(STDOUT_FILENO);
        if (code) {
            setError(error, QStringLiteral("Cannot write to standard output: %1").arg(errnoText(code)));
            return false;
        }
        return true;
    }
    auto failed = [&](int code) {
        d->fail(error, code);
        d->abandon();
        return false;
    };
    if (writeFailure)
        return failed(writeFailure);
    d->device.reset();
    // A full disk or an I/O error may show only at the sync or the close: checked before
    // anything is renamed.
    if (const int code = syncFile(d->fd))
        return failed(code);
    int closed = ::close(d->fd);
    d->fd = -1;
    if (const int code = injected(testing::Step::Close)) {
        closed = -1;
        errno = code;
    }
    if (closed != 0) {
        const int code = errno;
        ::unlinkat(d->folder, d->temp.constData(), 0);
        return failed(code);
    }
    if (::renameat(d->folder, d->temp.constData(), d->folder, d->name.constData()) != 0) {
        const int code = errno;
        ::unlinkat(d->folder, d->temp.constData(), 0);
        return failed(code);
    }
    // The rename itself reaches the disk with the folder (held as a path only: opened to sync).
    if (const int sync = ::openat(d->folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC); sync >= 0) {
        fsyncCall(sync);
        ::close(sync);
    }
    removeStaleTemporaries(d->folder, QDateTime::currentSecsSinceEpoch());
    ::close(d->folder);
    d->folder = -1;
    return true;
}

bool WriteBytes(const QString &path, QByteArrayView bytes, QString *error, const Options &options)
{
    Writer writer(path, options);
    if (!writer.open(error))
        return false;
    writer.device()->write(bytes.data(), bytes.size());
    return writer.commit(error);
}

namespace {
const QByteArray TempPrefix = QByteArrayLiteral(".sleeve-");
const QByteArray TempSuffix = QByteArrayLiteral(".part");
constexpr int TempRandom = 12;
constexpr qsizetype TempHead = 200; // of the target's name: the whole fits in 255 bytes
} // namespace

QByteArray TemporaryName(const QByteArray &target)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray temp = TempPrefix;
    for (int i = 0; i < TempRandom; ++i)
        temp += letters[QRandomGenerator::system()->bounded(int(sizeof letters - 1))];
    // Cut at a character's start, so that the name stays readable text.
    qsizetype head = std::min(target.size(), TempHead);
    while (head > 0 && head < target.size() && (static_cast<unsigned char>(target.at(head)) & 0xC0) == 0x80)
        --head;
    return temp + '-' + target.left(head) + TempSuffix;
}

bool IsTemporaryName(const QByteArray &entry)
{
    const qsizetype fixed = TempPrefix.size() + TempRandom + 1;
    if (entry.size() < fixed + TempSuffix.size() || entry.size() > fixed + TempHead + TempSuffix.size() ||
        !entry.startsWith(TempPrefix) || !entry.endsWith(TempSuffix) || entry.at(fixed - 1) != '-')
        return false;
    for (qsizetype i = TempPrefix.size(); i < fixed - 1; ++i) {
        const char c = entry.at(i);
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

} // namespace safewrite
