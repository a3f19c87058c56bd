#include "fs_listing.h"

#include <QHash> // std::hash<QByteArray>

#include <cerrno>
#include <cstring>
#include <unordered_map>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fs_names.h"
#include "fs_sort.h"

namespace fsl {

namespace {

struct CacheState {
    int depth = 0;
    std::unordered_map<QByteArray, ListingPtr> memo;
    quint64 reads = 0;
    ListingCache::Source source;
};

CacheState &cache()
{
    static CacheState s;
    return s;
}

} // namespace

ListingCache::Batch::Batch()
{
    ++cache().depth;
}

ListingCache::Batch::~Batch()
{
    if (--cache().depth == 0)
        cache().memo.clear();
}

void ListingCache::SetSource(Source source)
{
    cache().source = std::move(source);
}

quint64 ListingCache::ReadCount()
{
    return cache().reads;
}

ListingPtr ListingCache::Read(const QByteArray &path)
{
    ++cache().reads;
    return cache().source ? cache().source(path) : ReadFolder(path);
}

ListingPtr ReadFolder(const QByteArray &path)
{
    auto l = std::make_shared<Listing>();
    l->path = path;
    DIR *d = ::opendir(path.constData());
    if (!d) {
        l->error = errno;
        return l;
    }
    const int fd = ::dirfd(d);
    errno = 0;
    while (const dirent *e = ::readdir(d)) {
        const char *name = e->d_name;
        if (name[0] == '.') // hidden entries, "." and ".."
            continue;
        bool isDir = false;
        if (e->d_type == DT_DIR) {
            isDir = true;
        } else if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {
            // A link to a folder is a folder; a broken or looping link is a file.
            struct stat st;
            isDir = ::fstatat(fd, name, &st, 0) == 0 && S_ISDIR(st.st_mode);
        }
        const auto n = static_cast<qsizetype>(std::strlen(name));
        Entry entry{QByteArray(name, n), ReadableName(name, n)};
        (isDir ? l->folders : l->files).push_back(std::move(entry));
        errno = 0;
    }
    const int readError = errno;
    ::closedir(d);
    SortEntries(l->folders);
    SortEntries(l->files);
    l->ok = readError == 0;
    l->error = readError;
    return l;
}

ListingPtr ListingCache::Get(const QByteArray &path)
{
    CacheState &s = cache();
    if (s.depth == 0)
        return Read(path);
    auto it = s.memo.find(path);
    if (it != s.memo.end())
        return it->second;
    ListingPtr l = Read(path);
    s.memo.emplace(path, l);
    return l;
}

} // namespace fsl
