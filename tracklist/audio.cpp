#include "audio.h"
#include "names.h"

#include "tagscan.h"
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
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tracklist {
namespace {

constexpr std::array<QStringView, 17> AudioExtensions = {
    u"mp3", u"mp2", u"flac", u"ogg", u"oga",  u"opus", u"spx", u"m4a", u"m4b",
    u"mp4", u"aac", u"wav",  u"aif", u"aiff", u"aifc", u"wma", u"wv",
};

// Reads up to count bytes at an offset; the number read (fewer at the end of the file).
qint64 readAt(int fd, char *into, qint64 count, qint64 at)
{
    qint64 got = 0;
    while (got < count) {
        const ssize_t r = ::pread(fd, into + got, size_t(count - got), off_t(at + got));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            break;
        got += r;
    }
    return got;
}

// TagLib reads through this stream from a descriptor we opened and checked ourselves, so the
// file that was found to be regular is the one that is read (no second open by name). TagLib
// asks for many small pieces near the start and the end of a file; they are served from a window
// read in one go, since each system call is the dearest part of reading a tag.
// Lengths and offsets stay 64-bit throughout: a length claimed by a header is only narrowed to
// TagLib's buffer size once it is known to be within the caps. A read past the caps, in one
// piece or all told, ends the reading: the file is then not a readable audio file.
class DescriptorStream : public TagLib::IOStream
{
public:
    DescriptorStream(int fd, qint64 size, QByteArray name, tagscan::HeaderReader &headers, qint64 judged)
        : fd_(fd), size_(size), name_(std::move(name)), headers_(headers), judged_{judged}
    {}

    // Why the reading was stopped; empty when it was not.
    QString overrun() const { return overrun_; }
    qint64 handedOut() const { return handedOut_; }

    TagLib::FileName name() const override { return name_.constData(); }
    // A tag is judged by our walk when TagLib asks for its signature, wherever it found it, and
    // before TagLib asks for its body.
    TagLib::ByteVector readBlock(unsigned long length) override
    {
        const qint64 at = pos_;
        TagLib::ByteVector block = serve(length);
        if (tagscan::IsTagSignature(QByteArrayView(block.data(), block.size())) &&
            std::find(judged_.begin(), judged_.end(), at) == judged_.end()) {
            if (judged_.size() > 64) // TagLib looks in a few places only
                overrun_ = QStringLiteral("not a readable audio file (it holds over 64 tags)");
            else
                overrun_ = tagscan::JudgeTagAt(headers_, at);
            judged_.push_back(at);
            if (!overrun_.isEmpty())
                return {};
        }
        return block;
    }
    void writeBlock(const TagLib::ByteVector &) override {}
    void insert(const TagLib::ByteVector &, unsigned long, unsigned long) override {}
    void removeBlock(unsigned long, unsigned long) override {}
    bool readOnly() const override { return true; }
    bool isOpen() const override { return true; }
    void seek(long offset, Position p) override
    {
        const qint64 base = p == Beginning ? 0 : p == Current ? pos_ : size_;
        qint64 to = 0;
        // An offset from a damaged header may be anywhere near the limits.
        if (__builtin_add_overflow(base, qint64(offset), &to))
            to = offset < 0 ? 0 : std::numeric_limits<qint64>::max();
        pos_ = std::max<qint64>(0, to);
    }
    long tell() const override { return long(pos_); }
    long length() override { return long(size_); }
    void truncate(long) override {}

private:
    TagLib::ByteVector serve(unsigned long length)
    {
        if (!overrun_.isEmpty() || pos_ >= size_ || length == 0)
            return {};
        const qint64 left = size_ - pos_;
        const qint64 want = std::uintmax_t(length) < std::uintmax_t(left) ? qint64(length) : left;
        const bool small = want <= Page;
        if (want > MaxTagBytes || want > MaxAudioReadBytes - handedOut_) {
            overrun_ = QStringLiteral("not a readable audio file (reading it takes over %1 MiB)")
                           .arg(MaxAudioReadBytes >> 20);
            return {};
        }
        if (++reads_ > MaxReads || (small && want > MaxScanBytes - scanned_)) {
            overrun_ = QStringLiteral("not a readable audio file (no audio found within %1 MiB of searching)")
                           .arg(MaxScanBytes >> 20);
            return {};
        }
        handedOut_ += want;
        if (small)
            scanned_ += want;
        if (!(pos_ >= windowStart_ && pos_ + want <= windowStart_ + qint64(window_.size()))) {
            if (want > MaxCached) {
                TagLib::ByteVector block(bufferLength(want), 0);
                const qint64 got = readAt(fd_, block.data(), want, pos_);
                block.resize(bufferLength(got));
                pos_ += got;
                return block;
            }
            // TagLib looks for frames backwards from the end too: a window below the one held
            // ends where this piece ends.
            const qint64 from = pos_ < windowStart_ ? std::max<qint64>(0, pos_ + want - Window + Page) : pos_;
            windowStart_ = from - from % Page;
            window_.resize(size_t(std::min(Window, size_ - windowStart_)));
            window_.resize(size_t(readAt(fd_, window_.data(), qint64(window_.size()), windowStart_)));
            if (pos_ + want > windowStart_ + qint64(window_.size())) { // the file shrank
                const qint64 got = std::max<qint64>(0, windowStart_ + qint64(window_.size()) - pos_);
                TagLib::ByteVector block(window_.data() + (pos_ - windowStart_), bufferLength(got));
                pos_ += got;
                return block;
            }
        }
        TagLib::ByteVector block(window_.data() + (pos_ - windowStart_), bufferLength(want));
        pos_ += want;
        return block;
    }

    static constexpr qint64 Page = 4096;
    static constexpr qint64 Window = 32 * 1024;
    static constexpr qint64 MaxCached = Window - Page;
    // Real files take a few hundred reads; a header that makes TagLib loop over tiny pieces does
    // not. Small pieces are TagLib looking for a frame or a page byte by byte, which costs far
    // more time a byte than taking a tag: a file whose audio cannot be found in the first few
    // MiB looked at is not read further.
    static constexpr int MaxReads = 1 << 16;
    static constexpr qint64 MaxScanBytes = 4 * 1024 * 1024;

    // Only ever given lengths already within MaxTagBytes.
    static unsigned int bufferLength(qint64 n)
    {
        return static_cast<unsigned int>(std::clamp<qint64>(n, 0, MaxTagBytes));
    }

    int fd_;
    qint64 size_;
    qint64 pos_ = 0;
    QByteArray name_;
    std::vector<char> window_;
    qint64 windowStart_ = 0;
    qint64 handedOut_ = 0;
    qint64 scanned_ = 0;
    int reads_ = 0;
    tagscan::HeaderReader &headers_;
    std::vector<qint64> judged_; // offsets of the tags judged
    QString overrun_;
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
    // Only what can survive the cut is copied: TagLib keeps four bytes a character.
    constexpr unsigned int Keep = 2 * MaxFieldLength + 2;
    return CleanField(QString::fromStdWString((s.size() > Keep ? s.substr(0, Keep) : s).toWString()));
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

QList<QStringView> AudioFileExtensions()
{
    return {AudioExtensions.begin(), AudioExtensions.end()};
}

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
        out.reason = MissingReason(errno);
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
    inputs::Note(path, fd);
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
    tagscan::HeaderReader headers(fd, qint64(st.st_size));
    qint64 id3End = 0;
    out.reason = tagscan::JudgeHeaders(headers, IsAudioFileName(path), &id3End);
    out.bytesRead = headers.bytesRead();
    if (!out.reason.isEmpty()) {
        ::close(fd);
        return out;
    }
    {
        DescriptorStream stream(fd, qint64(st.st_size), name, headers, id3End > 0 ? 0 : -1);
        TagLib::FileRef ref(&stream, true, TagLib::AudioProperties::Fast);
        out.bytesRead = headers.bytesRead() + stream.handedOut();
        // A file with tags but no audio (cut short after its tag, or a header and nothing
        // else) is no track either.
        const TagLib::AudioProperties *a = ref.isNull() ? nullptr : ref.audioProperties();
        if (!stream.overrun().isEmpty()) {
            out.reason = stream.overrun();
        } else if (ref.isNull() || !ref.file()->isValid() || !a || a->lengthInMilliseconds() <= 0) {
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

AudioFile AudioFileReader::read(const QString &path)
{
    struct stat st {};
    if (::stat(names::Encode(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return ReadAudioFile(path);
    const std::pair<quint64, quint64> key{quint64(st.st_dev), quint64(st.st_ino)};
    if (const auto it = read_.constFind(key); it != read_.cend()) {
        AudioFile f = *it;
        f.bytesRead = 0;
        if (f.track) {
            f.track->sourcePath = path;
            if (!f.hasTitleTag)
                f.track->title = CleanField(BaseName(path));
        }
        return f;
    }
    return *read_.insert(key, ReadAudioFile(path));
}

ReadResult ReadAudioFiles(const QStringList &paths, const Progress &progress)
{
    AudioFileReader files;
    ReadResult result;
    const qsizetype total = paths.size();
    for (qsizetype i = 0; i < total; ++i) {
        if (progress && !progress(i, total)) {
            result = {};
            result.cancelled = true;
            return result;
        }
        AudioFile f = files.read(paths[i]);
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

QStringList ListAudioFolder(const QString &folder, QList<Skipped> *skipped)
{
    namespace fs = std::filesystem;
    QStringList files;
    QStringList subfolders;
    std::error_code ec;
    const fs::path root(names::Encode(folder).toStdString());
    for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
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
        ec.clear();
        for (fs::directory_iterator it(fs::path(names::Encode(sub).toStdString()), ec), end; !ec && it != end;
             it.increment(ec)) {
            const QString name = names::Decode(it->path().filename().c_str());
            if (!name.startsWith(u'.') && IsAudioFileName(name))
                files << names::Decode(it->path().c_str());
        }
        if (ec && skipped)
            skipped->append({sub, QStringLiteral("cannot read the folder: %1")
                                      .arg(QString::fromLocal8Bit(ec.message().c_str()))});
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
    QList<Skipped> unreadable;
    const QStringList files = ListAudioFolder(folder, &unreadable);
    if (files.isEmpty()) {
        ReadResult r;
        r.error = QStringLiteral("There are no audio files in %1.").arg(folder);
        r.skipped = unreadable;
        return r;
    }
    ReadResult r = ReadAudioFiles(files, progress);
    if (!r.cancelled)
        r.skipped = unreadable + r.skipped;
    return r;
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
