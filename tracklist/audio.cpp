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
    DescriptorStream(int fd, qint64 size, QByteArray name) : fd_(fd), size_(size), name_(std::move(name)) {}

    // Why the reading was stopped; empty when it was not.
    QString overrun() const { return overrun_; }
    qint64 handedOut() const { return handedOut_; }

    TagLib::FileName name() const override { return name_.constData(); }
    TagLib::ByteVector readBlock(unsigned long length) override
    {
        if (!overrun_.isEmpty() || pos_ >= size_ || length == 0)
            return {};
        const qint64 left = size_ - pos_;
        const qint64 want = std::uintmax_t(length) < std::uintmax_t(left) ? qint64(length) : left;
        const bool small = want <= Page;
        if (want > MaxTagBytes || want > MaxAudioReadBytes - handedOut_) {
            overrun_ = QStringLiteral("reading it takes over %1 MiB").arg(MaxAudioReadBytes >> 20);
            return {};
        }
        if (++reads_ > MaxReads || (small && want > MaxScanBytes - scanned_)) {
            overrun_ = QStringLiteral("no audio found within %1 MiB of searching").arg(MaxScanBytes >> 20);
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
    QString overrun_;
};

// Header bytes read in 64 KiB pieces, so that walking the many small headers of a tag costs a
// few system calls.
class HeaderReader
{
public:
    HeaderReader(int fd, qint64 size) : fd_(fd), size_(size) {}
    qint64 size() const { return size_; }
    qint64 bytesRead() const { return bytesRead_; }
    // n bytes at an offset, or an empty view when the file ends before them.
    QByteArrayView at(qint64 offset, qsizetype n)
    {
        if (offset < 0 || n > Piece || offset > size_ - n)
            return {};
        if (offset < start_ || offset + n > start_ + buffer_.size()) {
            buffer_.resize(Piece);
            start_ = offset;
            const qint64 got = readAt(fd_, buffer_.data(), Piece, offset);
            bytesRead_ += got;
            buffer_.resize(got);
            if (got < n)
                return {};
        }
        return QByteArrayView(buffer_).sliced(offset - start_, n);
    }

    static constexpr qsizetype Piece = 64 * 1024;

private:
    int fd_;
    qint64 size_;
    QByteArray buffer_;
    qint64 start_ = 0;
    qint64 bytesRead_ = 0;
};

quint64 bigEndian(QByteArrayView v)
{
    quint64 n = 0;
    for (const char c : v)
        n = (n << 8) | quint8(c);
    return n;
}

// An ID3v2 size of four 7-bit bytes; -1 when a byte has its high bit set.
qint64 synchsafe(QByteArrayView v)
{
    qint64 n = 0;
    for (const char c : v) {
        if (quint8(c) & 0x80)
            return -1;
        n = (n << 7) | quint8(c);
    }
    return n;
}

const QString TagTooLarge = QStringLiteral("not a readable audio file (its tag claims over %1 MiB)");
const QString TextTooLarge =
    QStringLiteral("not a readable audio file (a text of its tag claims over %1 MiB)");
constexpr int MaxTagParts = 10000; // frames or atoms of one tag; real ones have dozens

QString tagTooLarge()
{
    return TagTooLarge.arg(MaxTagBytes >> 20);
}

QString textTooLarge()
{
    return TextTooLarge.arg(MaxTagTextBytes >> 20);
}

QString tooManyParts()
{
    return QStringLiteral("not a readable audio file (its tag has over %1 parts)").arg(MaxTagParts);
}

bool isId3TextFrame(QByteArrayView id)
{
    if (id.startsWith('T') || id.startsWith('W'))
        return true;
    for (const char *t : {"COMM", "USLT", "SYLT", "COM", "ULT", "SLT"})
        if (id == QByteArrayView(t))
            return true;
    return false;
}

// Walks the frame headers of an ID3v2 tag at the file's start; *end gets where the tag ends.
QString judgeId3v2(HeaderReader &in, qint64 *end)
{
    const QByteArrayView h = in.at(0, 10);
    const int major = quint8(h[3]);
    const int flags = quint8(h[5]);
    const qint64 size = synchsafe(h.sliced(6, 4));
    if (size < 0 || major < 2 || major > 4)
        return {}; // not a tag TagLib reads; the audio must then follow at once
    if (size > MaxTagBytes)
        return tagTooLarge();
    *end = 10 + size + (flags & 0x10 ? 10 : 0);
    // Unsynchronised as a whole (before 2.4), the frame sizes are of other bytes than these:
    // the cap on the whole tag bounds it all the same.
    if (flags & 0x80 && major < 4)
        return {};
    const qint64 tagEnd = 10 + size;
    qint64 pos = 10;
    if (flags & 0x40 && major >= 3) {
        const QByteArrayView x = in.at(pos, 4);
        const qint64 extended = x.isEmpty() ? -1 : major == 4 ? synchsafe(x) : qint64(bigEndian(x)) + 4;
        if (extended < 0)
            return {};
        pos += extended;
    }
    const qsizetype headerLength = major == 2 ? 6 : 10;
    const qsizetype idLength = major == 2 ? 3 : 4;
    qint64 text = 0;
    for (int frames = 0; pos + headerLength <= tagEnd; ++frames) {
        const QByteArrayView f = in.at(pos, headerLength);
        if (f.isEmpty() || f[0] == '\0')
            break; // padding, or cut short
        if (frames >= MaxTagParts)
            return tooManyParts();
        const QByteArrayView sizeBytes = f.sliced(idLength, idLength);
        qint64 length = major == 4 ? synchsafe(sizeBytes) : qint64(bigEndian(sizeBytes));
        if (length < 0) // some writers put plain sizes into 2.4 tags, and TagLib takes them
            length = qint64(bigEndian(sizeBytes));
        if (isId3TextFrame(f.first(idLength))) {
            text += length;
            if (length > MaxTagTextBytes || text > MaxTagTextBytes)
                return textTooLarge();
        }
        pos += headerLength + length;
    }
    return {};
}

// The header of the MP4 atom at an offset: its size (to the end of the file for size 0) and
// the length of the header; false when there is none that fits within end.
struct Atom {
    qint64 at = 0;
    qint64 size = 0;
    qint64 header = 8;
    QByteArray type;
};
bool atomAt(HeaderReader &in, qint64 at, qint64 end, Atom *atom)
{
    const QByteArrayView h = in.at(at, 8);
    if (h.isEmpty())
        return false;
    atom->at = at;
    atom->type = h.sliced(4, 4).toByteArray();
    atom->header = 8;
    const quint64 size32 = bigEndian(h.first(4));
    quint64 size = size32;
    if (size32 == 1) {
        const QByteArrayView large = in.at(at + 8, 8);
        if (large.isEmpty())
            return false;
        size = bigEndian(large);
        atom->header = 16;
    } else if (size32 == 0) {
        size = quint64(end - at);
    }
    if (size < quint64(atom->header) || size > quint64(end - at))
        return false;
    atom->size = qint64(size);
    return true;
}

// The child of the given type among the atoms from begin to end.
bool findAtom(HeaderReader &in, qint64 begin, qint64 end, QByteArrayView type, Atom *found)
{
    for (int n = 0; n < MaxTagParts && begin < end; ++n) {
        if (!atomAt(in, begin, end, found))
            return false;
        if (found->type == type)
            return true;
        begin += found->size;
    }
    return false;
}

// The item list of an MP4 file (moov/udta/meta/ilst): the list within the tag cap, each text
// item within the text cap (a cover picture within the tag cap).
QString judgeMp4(HeaderReader &in)
{
    Atom moov, udta, meta, ilst;
    if (!findAtom(in, 0, in.size(), "moov", &moov) ||
        !findAtom(in, moov.at + moov.header, moov.at + moov.size, "udta", &udta) ||
        !findAtom(in, udta.at + udta.header, udta.at + udta.size, "meta", &meta) ||
        !findAtom(in, meta.at + meta.header + 4, meta.at + meta.size, "ilst", &ilst))
        return {};
    if (ilst.size > MaxTagBytes)
        return tagTooLarge();
    qint64 pos = ilst.at + ilst.header;
    const qint64 end = ilst.at + ilst.size;
    Atom item;
    for (int n = 0; pos < end; ++n) {
        if (n >= MaxTagParts)
            return tooManyParts();
        if (!atomAt(in, pos, end, &item))
            break;
        if (item.type != "covr" && item.size > MaxTagTextBytes)
            return textTooLarge();
        pos += item.size;
    }
    return {};
}

// True when the bytes start as an audio format TagLib reads, or hold an MPEG audio frame sync.
bool looksLikeAudio(QByteArrayView head)
{
    for (const char *magic : {"fLaC", "OggS", "RIFF", "FORM", "wvpk", "MAC ", "ADIF", "ID3"})
        if (head.startsWith(magic))
            return true;
    if (head.size() >= 8 && head.sliced(4, 4) == "ftyp")
        return true;
    if (head.startsWith("\x30\x26\xB2\x75\x8E\x66\xCF\x11"))
        return true; // ASF (WMA)
    for (qsizetype i = 0; i + 1 < head.size(); ++i)
        if (quint8(head[i]) == 0xFF && (quint8(head[i + 1]) & 0xE0) == 0xE0 && quint8(head[i + 1]) != 0xFF)
            return true;
    return false;
}

// Judges a file by its headers before TagLib reads it: an empty reason when it may be read.
QString judgeHeaders(HeaderReader &in, bool audioName)
{
    qint64 audioStart = 0;
    const QByteArrayView id3 = in.at(0, 10);
    if (id3.startsWith("ID3")) {
        if (QString why = judgeId3v2(in, &audioStart); !why.isEmpty())
            return why;
        if (audioStart >= in.size())
            return {}; // a tag and nothing else: TagLib says what it makes of it
    }
    const QByteArrayView head =
        in.at(audioStart, std::min<qint64>(HeaderReader::Piece, in.size() - audioStart));
    if (!looksLikeAudio(head))
        return audioName ? QStringLiteral("not a readable audio file (no audio header at its start)")
                         : QStringLiteral("not an audio file");
    if (head.size() >= 8 && head.sliced(4, 4) == "ftyp")
        return judgeMp4(in);
    return {};
}

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
    HeaderReader headers(fd, qint64(st.st_size));
    out.reason = judgeHeaders(headers, IsAudioFileName(path));
    out.bytesRead = headers.bytesRead();
    if (!out.reason.isEmpty()) {
        ::close(fd);
        return out;
    }
    {
        DescriptorStream stream(fd, qint64(st.st_size), name);
        TagLib::FileRef ref(&stream, true, TagLib::AudioProperties::Fast);
        out.bytesRead += stream.handedOut();
        // A file with tags but no audio (cut short after its tag, or a header and nothing
        // else) is no track either.
        const TagLib::AudioProperties *a = ref.isNull() ? nullptr : ref.audioProperties();
        if (!stream.overrun().isEmpty()) {
            out.reason = QStringLiteral("not a readable audio file (%1)").arg(stream.overrun());
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

ReadResult ReadAudioFiles(const QStringList &paths, const Progress &progress)
{
    ReadResult result;
    const qsizetype total = paths.size();
    for (qsizetype i = 0; i < total; ++i) {
        if (progress && !progress(i, total)) {
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
