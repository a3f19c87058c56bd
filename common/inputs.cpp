#include "inputs.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMutex>

#include <sys/stat.h>

#include "names.h"

namespace inputs {

namespace {

struct FileId {
    dev_t dev;
    ino_t ino;
    bool operator==(const FileId &) const = default;
};

size_t qHash(const FileId &id, size_t seed = 0)
{
    return ::qHash(quint64(id.dev), seed) ^ ::qHash(quint64(id.ino), seed);
}

struct Registry {
    QMutex mutex;
    QHash<QString, Kind> byPath;
    // An inode is a name only while its file lives: each is kept with the path it was read by.
    QHash<FileId, QHash<QString, Kind>> byFile;
};

Registry &registry()
{
    static Registry r;
    return r;
}

bool counts(Kind kind, bool designsMayGo)
{
    return !(designsMayGo && kind == Kind::Design);
}

} // namespace

void Note(const QString &path, int fd, Kind kind)
{
    if (path.isEmpty())
        return;
    struct stat st;
    const bool known = fd >= 0 ? ::fstat(fd, &st) == 0 : ::stat(names::Encode(path).constData(), &st) == 0;
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    Registry &r = registry();
    const QMutexLocker lock(&r.mutex);
    // A file read as a track too is not a design that Save may replace.
    auto keep = [kind](Kind &was) { was = was == Kind::Design ? kind : was; };
    if (auto it = r.byPath.find(absolute); it != r.byPath.end())
        keep(*it);
    else
        r.byPath.insert(absolute, kind);
    if (known) {
        QHash<QString, Kind> &paths = r.byFile[FileId{st.st_dev, st.st_ino}];
        if (auto it = paths.find(absolute); it != paths.end())
            keep(*it);
        else
            paths.insert(absolute, kind);
    }
}

bool Contains(const QString &absolutePath, const struct stat *st, bool designsMayGo)
{
    Registry &r = registry();
    const QMutexLocker lock(&r.mutex);
    if (auto it = r.byPath.constFind(absolutePath); it != r.byPath.constEnd() && counts(*it, designsMayGo))
        return true;
    if (!st)
        return false;
    const auto file = r.byFile.constFind(FileId{st->st_dev, st->st_ino});
    if (file == r.byFile.constEnd())
        return false;
    for (auto it = file->constBegin(); it != file->constEnd(); ++it) {
        struct stat now;
        // Still that file by the name it was read under (an inode number of a removed file
        // comes back for a new one).
        if (counts(it.value(), designsMayGo) && ::stat(names::Encode(it.key()).constData(), &now) == 0 &&
            now.st_dev == st->st_dev && now.st_ino == st->st_ino)
            return true;
    }
    return false;
}

} // namespace inputs
