#include "safewrite.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QRandomGenerator>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "names.h"

namespace safewrite {

namespace testing {
namespace {
Step failStep = Step::None;
int failCode = 0;
} // namespace

void FailNext(Step step, int code)
{
    failStep = step;
    failCode = code;
}
} // namespace testing

namespace {

// The injected fault for `step`, taken once; 0 when there is none.
int injected(testing::Step step)
{
    if (testing::failStep != step)
        return 0;
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

// The folder part and the name part of a path, as the kernel splits them.
std::pair<QString, QString> splitPath(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return {QStringLiteral("."), path};
    return {slash == 0 ? QStringLiteral("/") : path.left(slash), path.mid(slash + 1)};
}

// Would the kernel refuse to follow this link when protected_symlinks is on? In a sticky,
// world-writable folder it follows only links of the follower, of the folder's owner, and
// (as the folder's owner could replace any of them anyway) of root.
bool untrustedLink(const struct stat &link, const struct stat &folder)
{
    const bool shared = (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
    return shared && link.st_uid != ::geteuid() && link.st_uid != 0 && link.st_uid != folder.st_uid;
}

// Follows links at `path` to the file that the write must replace or create, one hop at a time,
// each hop checked as above.
bool resolveTarget(const QString &path, const Options &options, QString *target, QString *error)
{
    QString current = path;
    for (int hop = 0; hop < 40; ++hop) {
        const QByteArray native = names::Encode(current);
        struct stat st;
        if (::lstat(native.constData(), &st) != 0) {
            const int code = errno;
            if (code != ENOENT) {
                setError(error, QStringLiteral("Cannot write %1: %2").arg(current, errnoText(code)));
                return false;
            }
            if (hop == 0) {
                *target = current; // a new file
                return true;
            }
            // A link to nothing: a planted one would make us create a file wherever it points.
            const QString link = QFileInfo(path).absoluteFilePath();
            const QString missing = QFileInfo(current).absoluteFilePath();
            if (!options.createLinkTarget) {
                setError(error,
                         QStringLiteral("%1 is a link to %2, which does not exist.").arg(link, missing));
                return false;
            }
            if (!options.createLinkTarget(link, missing)) {
                setError(error,
                         QStringLiteral("%1 is a link to %2, which does not exist; it was not created.")
                             .arg(link, missing));
                return false;
            }
            *target = current;
            return true;
        }
        if (!S_ISLNK(st.st_mode)) {
            if (S_ISDIR(st.st_mode)) {
                setError(error, QStringLiteral("%1 is a folder.").arg(current));
                return false;
            }
            if (!S_ISREG(st.st_mode)) {
                // Replacing a FIFO or a device node by a regular file is not what was asked.
                setError(error, QStringLiteral("%1 is not a regular file.").arg(current));
                return false;
            }
            *target = current;
            return true;
        }
        if (!options.followLinks) {
            setError(error, QStringLiteral("%1 is a link; it is not followed.").arg(current));
            return false;
        }
        const auto [folder, name] = splitPath(current);
        struct stat dir;
        if (::stat(names::Encode(folder).constData(), &dir) != 0) {
            setError(error, QStringLiteral("Cannot write %1: %2").arg(current, errnoText(errno)));
            return false;
        }
        if (untrustedLink(st, dir)) {
            setError(error,
                     QStringLiteral("%1 is a link that another user made in the shared folder %2; it is "
                                    "not followed. Save under another name.")
                         .arg(current, folder));
            return false;
        }
        QByteArray to(qsizetype(st.st_size > 0 ? st.st_size : 255) + 1, Qt::Uninitialized);
        const ssize_t n = ::readlink(native.constData(), to.data(), size_t(to.size()));
        if (n < 0 || n >= to.size()) {
            setError(error, QStringLiteral("Cannot read the link %1.").arg(current));
            return false;
        }
        to.truncate(n);
        const QString next = names::Decode(to);
        current = next.startsWith(u'/') ? next : folder + u'/' + next;
    }
    setError(error, QStringLiteral("Cannot write %1: %2").arg(path, errnoText(ELOOP)));
    return false;
}

QString absolute(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// Is the output (given as `path`, resolved to `target`) one of the files this run reads?
bool isInput(const QString &path, const QString &target, const QStringList &inputs)
{
    struct stat out;
    const bool exists = ::stat(names::Encode(target).constData(), &out) == 0;
    const QString outPath = absolute(path), outTarget = absolute(target);
    for (const QString &input : inputs) {
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
// `folder`: removes those that are regular files of this user, unchanged for a minute before `now`
// (seconds since the epoch), not locked by a writer still at work, and that `leftover` accepts.
void removeStaleTemporaries(int folder, const QByteArray &name, qint64 now,
                            const std::function<bool(int)> &leftover)
{
    const int scan = ::dup(folder);
    if (scan < 0)
        return;
    DIR *dir = ::fdopendir(scan);
    if (!dir) {
        ::close(scan);
        return;
    }
    while (const dirent *e = ::readdir(dir)) {
        if (!IsTemporaryName(QByteArray(e->d_name), name))
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
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && leftover(fd))
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
int syncFile(int fd)
{
    if (const int code = injected(testing::Step::Fsync))
        return code;
    int rc;
    do {
        rc = ::fsync(fd);
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
    if (!resolveTarget(path, d->options, &d->target, error))
        return false;
    if (isInput(path, d->target, d->options.inputs)) {
        d->refusedAsInput = true;
        setError(error, QStringLiteral("%1 is a file this run reads; it is kept as it is.").arg(path));
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
    const auto [folderPath, namePath] = splitPath(target);
    name = names::Encode(namePath);
    folder = ::open(names::Encode(folderPath).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return fail(error, errno);

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
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 1000 && fd < 0; ++attempt) {
        temp = name + '.';
        for (int i = 0; i < 6; ++i)
            temp += letters[QRandomGenerator::system()->bounded(int(sizeof letters - 1))];
        // Named so that a later writer can tell it from the user's own files.
        if (!IsTemporaryName(temp, name))
            continue;
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
    // The rename itself reaches the disk with the folder.
    ::fsync(d->folder);
    if (d->options.isLeftoverTemporary)
        removeStaleTemporaries(d->folder, d->name, QDateTime::currentSecsSinceEpoch(),
                               d->options.isLeftoverTemporary);
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

bool IsTemporaryName(const QByteArray &entry, const QByteArray &name)
{
    // "NAME." and six letters or digits, with at least two capitals and two small letters, as the
    // random part has (and a word such as "backup" or "Backup" has not).
    if (entry.size() != name.size() + 7 || !entry.startsWith(name) || entry.at(name.size()) != '.')
        return false;
    int upper = 0, lower = 0;
    for (qsizetype i = name.size() + 1; i < entry.size(); ++i) {
        const auto c = static_cast<unsigned char>(entry.at(i));
        if (!std::isalnum(c))
            return false;
        upper += std::isupper(c) ? 1 : 0;
        lower += std::islower(c) ? 1 : 0;
    }
    return upper >= 2 && lower >= 2;
}

} // namespace safewrite
