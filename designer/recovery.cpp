#include "recovery.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QSaveFile>

#include "designfile.h"

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

QString readDesignPath(const QString &base)
{
    QFile f(base + PathSuffix);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.read(64 * 1024));
}

void removeCopy(const QString &base)
{
    QFile::remove(base + CopySuffix);
    QFile::remove(base + PathSuffix);
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

RecoveryStore::~RecoveryStore() = default;

QString RecoveryStore::CopyPath() const
{
    return base_.isEmpty() ? QString() : base_ + CopySuffix;
}

bool RecoveryStore::claim(QString *error)
{
    if (lock_)
        return true;
    if (!QDir().mkpath(folder_)) {
        if (error)
            *error = QStringLiteral("Cannot make the folder %1.").arg(folder_);
        return false;
    }
    // Unsaved designs are nobody else's business.
    QFile::setPermissions(folder_, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    for (int attempt = 0; attempt < 8; ++attempt) {
        const QString base = QStringLiteral("%1/design-%2-%3")
                                 .arg(folder_)
                                 .arg(QCoreApplication::applicationPid())
                                 .arg(QRandomGenerator::global()->generate(), 8, 16, QChar(u'0'));
        if (QFile::exists(base + CopySuffix))
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
    QSaveFile side(base_ + PathSuffix);
    if (!side.open(QIODevice::WriteOnly) || side.write(designPath.toUtf8()) < 0 || !side.commit()) {
        if (error)
            *error = side.errorString();
        return false;
    }
    return designfile::Write(base_ + CopySuffix, records, error);
}

void RecoveryStore::Remove()
{
    if (!base_.isEmpty())
        removeCopy(base_);
}

QList<RecoveryStore::Orphan> RecoveryStore::TakeOrphans()
{
    QList<Orphan> orphans;
    const QDir dir(folder_);
    const auto copies = dir.entryInfoList({QStringLiteral("*") + CopySuffix}, QDir::Files, QDir::Time);
    for (const QFileInfo &copy : copies) {
        const QString base = copy.absolutePath() + u'/' + copy.completeBaseName();
        if (base == base_ || held_.count(base))
            continue;
        auto lock = lockFor(base);
        if (!lock->tryLock(0))
            continue; // its designer is running
        Orphan o{copy.absoluteFilePath(), readDesignPath(base), copy.lastModified()};
        const QFileInfo design(o.designPath);
        if (!o.designPath.isEmpty() && design.exists() && design.lastModified() >= o.written) {
            removeCopy(base);
            continue;
        }
        held_[base] = std::move(lock);
        orphans << o;
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
    removeCopy(base);
    held_.erase(it); // and with it the lock
}

void RecoveryStore::Release(const Orphan &orphan)
{
    const QFileInfo copy(orphan.copyPath);
    held_.erase(copy.absolutePath() + u'/' + copy.completeBaseName());
}
