#include "recovery.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "designfile.h"
#include "names.h"
#include "safewrite.h"
#include "terminal.h"

namespace {

const QString CopySuffix = QStringLiteral(".qwd");
const QString PathSuffix = QStringLiteral(".path");
const QString LockSuffix = QStringLiteral(".lock");

std::unique_ptr<QLockFile> lockFor(const QString &base)
{
    auto lock = std::make_unique<QLockFile>(base + LockSuffix);
    // Only a designer that is gone lets go of its copy, however long it has run.
    lock->setStaleLockTime(0);
    return lock;
}

// Opens a file of the folder for reading: never through a link, never blocking on a FIFO, and
// only a regular file of this user. -1 and *error otherwise.
int openOwnFile(const QString &path, QString *error)
{
    const int fd =
        ::open(names::Encode(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (error)
            *error = errno == ELOOP ? QStringLiteral("%1 is a link.").arg(path)
                                    : QStringLiteral("Cannot open %1: %2").arg(path, qt_error_string(errno));
        return -1;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        ::close(fd);
        if (error)
            *error = QStringLiteral("%1 is not a file of this user.").arg(path);
        return -1;
    }
    return fd;
}

// At most `limit` bytes of the file.
QByteArray readOwnFile(int fd, qsizetype limit)
{
    QByteArray bytes(limit, Qt::Uninitialized);
    qsizetype size = 0;
    while (size < limit) {
        const ssize_t n = ::read(fd, bytes.data() + size, size_t(limit - size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        size += n;
    }
    bytes.truncate(size);
    return bytes;
}

QString readDesignPath(const QString &base)
{
    const int fd = openOwnFile(base + PathSuffix, nullptr);
    if (fd < 0)
        return {};
    QString path = QString::fromUtf8(readOwnFile(fd, 64 * 1024));
    ::close(fd);
    return path;
}

bool isOwnRegularFile(const QString &path)
{
    struct stat st;
    return ::lstat(names::Encode(path).constData(), &st) == 0 && S_ISREG(st.st_mode) &&
           st.st_uid == ::geteuid();
}

// Files of the folder are written as Save writes, but never through a link, and in the folder
// as it was checked: renaming it and planting a link in its place changes nothing.
safewrite::Options inFolder(int folder)
{
    safewrite::Options options;
    options.followLinks = false;
    options.folder = folder;
    return options;
}

void removeCopy(int folder, const QString &base)
{
    const QByteArray name = names::Encode(QFileInfo(base).fileName());
    for (const QString &suffix : {CopySuffix, PathSuffix})
        ::unlinkat(folder, (name + names::Encode(suffix)).constData(), 0);
}

} // namespace

QString RecoveryStore::DefaultFolder()
{
    // Relative values are to be ignored, as for every XDG variable.
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return QDir::cleanPath(state + QStringLiteral("/sleeve"));
}

RecoveryStore::RecoveryStore(const QString &folder) : folder_(QDir::cleanPath(folder))
{}

RecoveryStore::~RecoveryStore()
{
    held_.clear();
    lock_.reset();
    if (folderFd_ >= 0)
        ::close(folderFd_);
}

QString RecoveryStore::CopyPath() const
{
    return base_.isEmpty() ? QString() : base_ + CopySuffix;
}

bool RecoveryStore::folderUsable(bool create, QString *error)
{
    if (folderState_ == FolderState::Usable)
        return true;
    if (folderState_ == FolderState::Refused) {
        if (error)
            *error = QStringLiteral("Recovery is off for this run.");
        return false;
    }
    const QByteArray native = names::Encode(folder_);
    struct stat st;
    if (::lstat(native.constData(), &st) != 0) {
        if (errno != ENOENT || !create) {
            if (error)
                *error = QStringLiteral("Cannot use the folder %1: %2").arg(folder_, qt_error_string(errno));
            return false;
        }
        // Unsaved designs are nobody else's business.
        if (!QDir().mkpath(QFileInfo(folder_).path()) ||
            (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)) {
            if (error)
                *error = QStringLiteral("Cannot make the folder %1.").arg(folder_);
            return false;
        }
    }
    QString why;
    const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        why = errno == ELOOP || errno == ENOTDIR ? QStringLiteral("it is a link or not a folder")
                                                 : qt_error_string(errno);
    else if (::fstat(fd, &st) != 0)
        why = qt_error_string(errno);
    else if (st.st_uid != ::geteuid())
        why = QStringLiteral("it belongs to another user");
    else if (st.st_mode & (S_IWGRP | S_IWOTH))
        why = QStringLiteral("others may write to it");
    else if (st.st_mode & 077)
        ::fchmod(fd, 0700); // readable by others: made private, as it would have been made
    if (fd >= 0 && !why.isEmpty())
        ::close(fd);
    if (!why.isEmpty()) {
        folderState_ = FolderState::Refused;
        terminal::Error(QStringLiteral("recovery is off: the folder %1 is not used: %2").arg(folder_, why));
        if (error)
            *error = QStringLiteral("Recovery is off for this run.");
        return false;
    }
    // Held for the run: every copy goes into this folder, not into whatever has its name later.
    folderFd_ = fd;
    folderState_ = FolderState::Usable;
    return true;
}

bool RecoveryStore::claim(QString *error)
{
    if (lock_)
        return true;
    if (!folderUsable(true, error))
        return false;
    for (int attempt = 0; attempt < 8; ++attempt) {
        const QString base = QStringLiteral("%1/design-%2-%3")
                                 .arg(folder_)
                                 .arg(QCoreApplication::applicationPid())
                                 .arg(QRandomGenerator::global()->generate(), 8, 16, QChar(u'0'));
        struct stat st;
        if (::lstat(names::Encode(base + CopySuffix).constData(), &st) == 0)
            continue;
        auto lock = lockFor(base);
        if (lock->tryLock(0)) {
            base_ = base;
            lock_ = std::move(lock);
            return true;
        }
    }
    if (error)
        *error = QStringLiteral("Cannot lock a recovery copy in %1.").arg(folder_);
    return false;
}

bool RecoveryStore::Write(const QStringList &records, const QString &designPath, QString *error)
{
    if (!claim(error))
        return false;
    const QString name = QFileInfo(base_).fileName();
    return safewrite::WriteBytes(name + PathSuffix, designPath.toUtf8(), error, inFolder(folderFd_)) &&
           designfile::Write(name + CopySuffix, records.mid(0, designfile::RecordCount),
                             records.mid(designfile::RecordCount), error, inFolder(folderFd_));
}

std::optional<designfile::Records> RecoveryStore::ReadCopy(const QString &copyPath, QString *error)
{
    const int fd = openOwnFile(copyPath, error);
    if (fd < 0)
        return std::nullopt;
    const QByteArray bytes = readOwnFile(fd, designfile::MaxScanBytes + designfile::MaxSettingsScan);
    ::close(fd);
    return designfile::Decode(bytes);
}

void RecoveryStore::Remove()
{
    if (!base_.isEmpty())
        removeCopy(folderFd_, base_);
}

QList<RecoveryStore::Orphan> RecoveryStore::TakeOrphans()
{
    QList<Orphan> orphans;
    if (!folderUsable(false, nullptr))
        return orphans;
    const QDir dir(folder_);
    const auto copies = dir.entryInfoList({QStringLiteral("*") + CopySuffix}, QDir::Files, QDir::Time);
    for (const QFileInfo &copy : copies) {
        const QString base = copy.absolutePath() + u'/' + copy.completeBaseName();
        if (base == base_ || held_.count(base) || !isOwnRegularFile(copy.absoluteFilePath()))
            continue;
        auto lock = lockFor(base);
        if (!lock->tryLock(0))
            continue; // its designer is running
        Orphan o{copy.absoluteFilePath(), readDesignPath(base), copy.lastModified()};
        const QFileInfo design(o.designPath);
        if (!o.designPath.isEmpty() && design.exists() && design.lastModified() >= o.written) {
            removeCopy(folderFd_, base);
            continue;
        }
        held_[base] = std::move(lock);
        orphans << o;
        // Each lock holds a descriptor, and taking one costs a file written and removed: older
        // copies wait for a later start.
        if (orphans.size() >= MaxOrphans)
            break;
    }
    return orphans;
}

void RecoveryStore::Adopt(const Orphan &orphan)
{
    const QFileInfo copy(orphan.copyPath);
    const QString base = copy.absolutePath() + u'/' + copy.completeBaseName();
    const auto it = held_.find(base);
    if (it == held_.end())
        return;
    Remove();
    lock_ = std::move(it->second);
    held_.erase(it);
    base_ = base;
}

void RecoveryStore::Discard(const Orphan &orphan)
{
    const QFileInfo copy(orphan.copyPath);
    const QString base = copy.absolutePath() + u'/' + copy.completeBaseName();
    const auto it = held_.find(base);
    if (it == held_.end())
        return;
    removeCopy(folderFd_, base);
    held_.erase(it); // and with it the lock
}

void RecoveryStore::Release(const Orphan &orphan)
{
    const QFileInfo copy(orphan.copyPath);
    held_.erase(copy.absolutePath() + u'/' + copy.completeBaseName());
}
