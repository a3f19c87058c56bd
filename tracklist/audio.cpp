#include "audio.h"
#include "names.h"

#include "text.h"

#include <QFile>

#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/tdebuglistener.h>
#include <taglib/tfile.h>
#include <taglib/tiostream.h>
#include <taglib/tpropertymap.h>
#include <taglib/tstring.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tracklist {
namespace {

constexpr std::array<QStringView, 17> AudioExtensions = {
    u"mp3", u"mp2", u"flac", u"ogg", u"oga",  u"opus", u"spx", u"m4a", u"m4b",
    u"mp4", u"aac", u"wav",  u"aif", u"aiff", u"aifc", u"wma", u"wv",
};

// TagLib reads through this stream from a descriptor we opened and checked ourselves, so the
// file that was found to be regular is the one that is read (no second open by name). TagLib
// asks for many small pieces near the start and the end of a file; they are served from a window
// read in one go, since each system call is the dearest part of reading a tag.
class DescriptorStream : public TagLib::IOStream
{
public:
    DescriptorStream(int fd, long size, QByteArray name) : fd_(fd), size_(size), name_(std::move(name)) {}

    TagLib::FileName name() const override { return name_.constData(); }
    TagLib::ByteVector readBlock(unsigned long length) override
    {
        if (pos_ >= size_ || length == 0)
            return {};
        const long want = long(std::min<unsigned long>(length, static_cast<unsigned long>(size_ - pos_)));
        if (!(pos_ >= windowStart_ && pos_ + want <= windowStart_ + long(window_.size()))) {
            if (want > MaxCached) {
                TagLib::ByteVector block(static_cast<unsigned int>(want), 0);
                const long got = readAt(block.data(), want, pos_);
                block.resize(static_cast<unsigned int>(got));
                pos_ += got;
                return block;
            }
            windowStart_ = pos_ - pos_ % Page;
            window_.resize(size_t(std::min(Window, size_ - windowStart_)));
            window_.resize(size_t(readAt(window_.data(), long(window_.size()), windowStart_)));
            if (pos_ + want > windowStart_ + long(window_.size())) { // the file shrank
                const long got = std::max(0L, windowStart_ + long(window_.size()) - pos_);
                TagLib::ByteVector block(window_.data() + (pos_ - windowStart_),
                                         static_cast<unsigned int>(got));
                pos_ += got;
                return block;
            }
        }
        TagLib::ByteVector block(window_.data() + (pos_ - windowStart_), static_cast<unsigned int>(want));
        pos_ += want;
        return block;
    }
    void writeBlock(const TagLib::ByteVector &) override {}
    void insert(const TagLib::ByteVector &, unsigned long, unsigned long) override {}
    void removeBlock(unsigned long, unsigned long) override {}
    bool readOnly() const override { return true; }
    bool isOpen() const override { return true; }
    void seek(long offset, Position p) override
    {
        const long base = p == Beginning ? 0 : p == Current ? pos_ : size_;
        pos_ = std::max(0L, base + offset);
    }
    long tell() const override { return pos_; }
    long length() override { return size_; }
    void truncate(long) override {}

private:
    static constexpr long Page = 4096;
    static constexpr long Window = 32 * 1024;
    static constexpr long MaxCached = Window - Page;

    long readAt(char *into, long count, long at) const
    {
        long got = 0;
        while (got < count) {
            const ssize_t r = ::pread(fd_, into + got, size_t(count - got), off_t(at + got));
            if (r < 0 && errno == EINTR)
                continue;
            if (r <= 0)
                break;
            got += long(r);
        }
        return got;
    }

    int fd_;
    long size_;
    long pos_ = 0;
    QByteArray name_;
    std::vector<char> window_;
    long windowStart_ = 0;
};

// TagLib's debug messages are for its own developers, not for our users' terminals.
class QuietTagLib : public TagLib::DebugListener
{
public:
    void printMessage(const TagLib::String &) override {}
};

void silenceTagLib()
{
    static QuietTagLib quiet;
    static const bool done = (TagLib::setDebugListener(&quiet), true);
    Q_UNUSED(done);
}

QString toQString(const TagLib::String &s)
{
    return CleanField(QString::fromStdWString(s.toWString()));
}

QString errnoText(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// The leading whole number of a "1/2" disc or track text; 0 when there is none.
int leadingNumber(const QString &text)
{
    int n = 0;
    for (const QChar c : text.trimmed()) {
        if (c < u'0' || c > u'9' || n > 99999)
            break;
        n = n * 10 + (c.unicode() - u'0');
    }
    return n;
}

QString firstValue(const TagLib::PropertyMap &map, const char *key)
{
    const auto it = map.find(key);
    if (it == map.end() || it->second.isEmpty())
        return {};
    return toQString(it->second.front());
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

bool IsAudioFileName(QStringView fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot < 0)
        return false;
    const QStringView ext = fileName.sliced(dot + 1);
    return std::any_of(AudioExtensions.begin(), AudioExtensions.end(),
                       [ext](QStringView e) { return ext.compare(e, Qt::CaseInsensitive) == 0; });
}

AudioFile ReadAudioFile(const QString &path)
{
    silenceTagLib();
    AudioFile out;
    const QByteArray name = names::Encode(path);
    // Look before opening: opening some devices already does something.
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) {
        out.reason = errno == ENOENT ? QStringLiteral("file not found") : errnoText(errno);
        return out;
    }
    if (S_ISDIR(st.st_mode)) {
        out.reason = QStringLiteral("it is a folder");
        return out;
    }
    if (!S_ISREG(st.st_mode)) {
        out.reason = QStringLiteral("not a regular file (a device or a FIFO)");
        return out;
    }
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        out.reason = QStringLiteral("cannot open it: %1").arg(errnoText(errno));
        return out;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        out.reason = QStringLiteral("not a regular file (a device or a FIFO)");
        return out;
    }
    if (st.st_size == 0) {
        ::close(fd);
        out.reason = QStringLiteral("empty file");
        return out;
    }
    {
        DescriptorStream stream(fd, long(st.st_size), name);
        TagLib::FileRef ref(&stream, true, TagLib::AudioProperties::Fast);
        // A file with tags but no audio (cut short after its tag, or a header and nothing
        // else) is no track either.
        const TagLib::AudioProperties *a = ref.isNull() ? nullptr : ref.audioProperties();
        if (ref.isNull() || !ref.file()->isValid() || !a || a->lengthInMilliseconds() <= 0) {
            out.reason = IsAudioFileName(path)
                             ? QStringLiteral("not a readable audio file (damaged or cut short)")
                             : QStringLiteral("not an audio file");
        } else {
            Track t;
            t.sourcePath = path;
            if (const TagLib::Tag *tag = ref.tag()) {
                t.title = toQString(tag->title());
                t.artist = toQString(tag->artist());
                t.album = toQString(tag->album());
                t.number = tag->track() <= 99999 ? int(tag->track()) : 0;
            }
            const TagLib::PropertyMap props = ref.file()->properties();
            t.albumArtist = firstValue(props, "ALBUMARTIST");
            t.disc = leadingNumber(firstValue(props, "DISCNUMBER"));
            t.durationMs = a->lengthInMilliseconds();
            out.hasTitleTag = !t.title.isEmpty();
            if (!out.hasTitleTag)
                t.title = CleanField(BaseName(path));
            out.track = std::move(t);
        }
    }
    ::close(fd);
    return out;
}

ReadResult ReadAudioFiles(const QStringList &paths, const Progress &progress)
{
    ReadResult result;
    const qsizetype total = paths.size();
    for (qsizetype i = 0; i < total; ++i) {
        if (progress && i % 16 == 0 && !progress(i, total)) {
            result = {};
            result.cancelled = true;
            return result;
        }
        AudioFile f = ReadAudioFile(paths[i]);
        if (f.track)
            result.tracks.append(std::move(*f.track));
        else
            result.skipped.append({paths[i], f.reason});
    }
    if (progress && !progress(total, total)) {
        result = {};
        result.cancelled = true;
        return result;
    }
    SortTracks(result.tracks);
    return result;
}

QStringList ListAudioFolder(const QString &folder)
{
    namespace fs = std::filesystem;
    QStringList files;
    QStringList subfolders;
    std::error_code ec;
    const fs::path root(names::Encode(folder).toStdString());
    for (fs::directory_iterator it(root, fs::directory_options::skip_permission_denied, ec), end;
         !ec && it != end; it.increment(ec)) {
        const QString name = names::Decode(it->path().filename().c_str());
        if (name.startsWith(u'.'))
            continue; // hidden, and the "._name" shadow files some systems leave beside music
        const QString path = names::Decode(it->path().c_str());
        if (IsAudioFileName(name))
            files << path;
        else if (std::error_code dirEc; it->is_directory(dirEc))
            subfolders << path;
    }
    if (!files.isEmpty())
        return files;
    for (const QString &sub : std::as_const(subfolders)) {
        for (fs::directory_iterator it(fs::path(names::Encode(sub).toStdString()),
                                       fs::directory_options::skip_permission_denied, ec),
             end;
             !ec && it != end; it.increment(ec)) {
            const QString name = names::Decode(it->path().filename().c_str());
            if (!name.startsWith(u'.') && IsAudioFileName(name))
                files << names::Decode(it->path().c_str());
        }
        ec.clear();
    }
    return files;
}

ReadResult ReadAudioFolder(const QString &folder, const Progress &progress)
{
    std::error_code ec;
    const std::filesystem::path root(names::Encode(folder).toStdString());
    if (!std::filesystem::is_directory(root, ec)) {
        ReadResult r;
        r.error = QStringLiteral("%1 is not a folder that can be read.").arg(folder);
        return r;
    }
    if (std::filesystem::directory_iterator probe(root, ec); ec) {
        ReadResult r;
        r.error = QStringLiteral("Cannot read the folder %1: %2.")
                      .arg(folder, QString::fromLocal8Bit(ec.message().c_str()));
        return r;
    }
    const QStringList files = ListAudioFolder(folder);
    if (files.isEmpty()) {
        ReadResult r;
        r.error = QStringLiteral("There are no audio files in %1.").arg(folder);
        return r;
    }
    return ReadAudioFiles(files, progress);
}

void SortTracks(QList<Track> &tracks)
{
    bool tagOrder = !tracks.isEmpty();
    QList<std::pair<int, int>> seen;
    seen.reserve(tracks.size());
    for (const Track &t : std::as_const(tracks)) {
        if (t.number <= 0) {
            tagOrder = false;
            break;
        }
        seen.append({t.disc, t.number});
    }
    if (tagOrder) {
        std::sort(seen.begin(), seen.end());
        tagOrder = std::adjacent_find(seen.begin(), seen.end()) == seen.end();
    }
    const auto byPath = [](const Track &a, const Track &b) {
        return NaturalCompare(a.sourcePath, b.sourcePath) < 0;
    };
    if (tagOrder) {
        std::stable_sort(tracks.begin(), tracks.end(), [&](const Track &a, const Track &b) {
            if (a.disc != b.disc)
                return a.disc < b.disc;
            if (a.number != b.number)
                return a.number < b.number;
            return byPath(a, b);
        });
    } else {
        std::stable_sort(tracks.begin(), tracks.end(), byPath);
    }
}

int NaturalCompare(QStringView a, QStringView b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            // Compare the runs by value: without leading zeros, the longer is larger.
            while (i < a.size() && a[i] == u'0' && i + 1 < a.size() && isDigit(a[i + 1]))
                ++i;
            while (j < b.size() && b[j] == u'0' && j + 1 < b.size() && isDigit(b[j + 1]))
                ++j;
            qsizetype ei = i, ej = j;
            while (ei < a.size() && isDigit(a[ei]))
                ++ei;
            while (ej < b.size() && isDigit(b[ej]))
                ++ej;
            if (ei - i != ej - j)
                return ei - i < ej - j ? -1 : 1;
            if (const int c = a.sliced(i, ei - i).compare(b.sliced(j, ej - j)); c != 0)
                return c < 0 ? -1 : 1;
            i = ei;
            j = ej;
            continue;
        }
        const char32_t ca = a[i].toCaseFolded().unicode();
        const char32_t cb = b[j].toCaseFolded().unicode();
        if (ca != cb)
            return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size())
        return i < a.size() ? 1 : -1;
    // Equal as read ("01" and "1", "A" and "a"): keep a fixed order all the same.
    const int c = a.compare(b);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

} // namespace tracklist
