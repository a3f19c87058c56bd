#include "tagscan.h"

#include "audio.h"

#include <QList>

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace tracklist::tagscan {
namespace {

constexpr int MaxTagParts = 10000; // frames, atoms or items of one tag; real ones have dozens
// TagLib recurses once a level; real files nest six deep (moov/trak/mdia/minf/stbl/stsd).
constexpr int MaxAtomDepth = 16;
// TagLib's own stream stops it within as many reads; our walk need look no further.
constexpr int MaxAtoms = 1 << 16;

const QString TagTooLarge = QStringLiteral("not a readable audio file (its tag claims over %1 MiB)");
const QString TextTooLarge =
    QStringLiteral("not a readable audio file (a text of its tag claims over %1 MiB)");

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

quint64 bigEndian(QByteArrayView v)
{
    quint64 n = 0;
    for (const char c : v)
        n = (n << 8) | quint8(c);
    return n;
}

quint64 littleEndian(QByteArrayView v)
{
    quint64 n = 0;
    for (qsizetype i = v.size() - 1; i >= 0; --i)
        n = (n << 8) | quint8(v[i]);
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

// A synchsafe size as TagLib takes it: a plain one when a byte has its high bit set.
qint64 synchsafeOrPlain(QByteArrayView v)
{
    const qint64 n = synchsafe(v);
    return n >= 0 ? n : qint64(bigEndian(v));
}

// What one tag holds so far: its texts together within the text cap, all of it within the
// tag cap.
struct Budget {
    qint64 texts = 0;
    qint64 all = 0;
    QString text(qint64 n)
    {
        if (n > MaxTagTextBytes || (texts += n) > MaxTagTextBytes)
            return textTooLarge();
        return other(n);
    }
    QString other(qint64 n)
    {
        if (n > MaxTagBytes || (all += n) > MaxTagBytes)
            return tagTooLarge();
        return {};
    }
};

// ---------------------------------------------------------------- ID3v2

bool isId3TextFrame(QByteArrayView id)
{
    if (id.startsWith('T') || id.startsWith('W'))
        return true;
    for (const char *t : {"COMM", "USLT", "SYLT", "COM", "ULT", "SLT"})
        if (id == QByteArrayView(t))
            return true;
    return false;
}

bool isFrameId(QByteArrayView id)
{
    return id.size() == 4 && std::all_of(id.begin(), id.end(), [](char c) {
               return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
           });
}

// The unsynchronisation undone as TagLib undoes it: a zero byte right after a kept 0xFF is dropped.
struct Unsync {
    bool afterFF = false;
    bool keep(quint8 c)
    {
        if (afterFF && c == 0) {
            afterFF = false;
            return false;
        }
        afterFF = c == 0xFF;
        return true;
    }
};

// The bytes of a tag from an offset as TagLib parses them: as stored, or with the
// unsynchronisation of the whole tag undone.
class TagBytes
{
public:
    TagBytes(HeaderReader &in, qint64 from, qint64 end, bool unsync)
        : in_(in), raw_(from), end_(std::min(end, in.size())), unsync_(unsync)
    {}
    qint64 pos() const { return pos_; }
    bool atEnd() const { return raw_ >= end_; }
    // Up to n bytes from here, appended to out (skipped when out is null); the number taken.
    qint64 take(qint64 n, QByteArray *out)
    {
        qint64 got = 0;
        while (got < n && raw_ < end_) {
            if (!unsync_ && !out) { // nothing to look at: no need to read
                const qint64 step = std::min(n - got, end_ - raw_);
                raw_ += step;
                got += step;
                break;
            }
            // No more than is wanted (fewer come out when undone): the reader's piece serves the rest.
            const QByteArrayView v =
                in_.at(raw_, qsizetype(std::min({qint64(HeaderReader::Piece), n - got, end_ - raw_})));
            if (v.isEmpty())
                break;
            qsizetype i = 0;
            for (; i < v.size() && got < n; ++i) {
                if (unsync_ && !undo_.keep(quint8(v[i])))
                    continue;
                if (out)
                    out->append(v[i]);
                ++got;
            }
            raw_ += i;
        }
        pos_ += got;
        return got;
    }

private:
    HeaderReader &in_;
    qint64 raw_;
    qint64 end_;
    qint64 pos_ = 0;
    bool unsync_;
    Unsync undo_;
};

// Inflates zlib data as TagLib does (until the stream ends, fails or the input runs out) into a
// scratch buffer, counting what comes out; false once that passes the bound.
class Inflater
{
public:
    explicit Inflater(qint64 bound) : bound_(bound) { ok_ = inflateInit(&z_) == Z_OK; }
    ~Inflater()
    {
        if (ok_)
            inflateEnd(&z_);
    }
    Inflater(const Inflater &) = delete;
    Inflater &operator=(const Inflater &) = delete;
    bool done() const { return !ok_ || ended_ || out_ > bound_; }
    qint64 out() const { return out_; }
    void feed(QByteArrayView in)
    {
        z_.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(in.data()));
        z_.avail_in = uInt(in.size());
        while (!done() && z_.avail_in > 0) {
            z_.next_out = scratch_;
            z_.avail_out = sizeof scratch_;
            const int r = inflate(&z_, Z_NO_FLUSH);
            out_ += qint64(sizeof scratch_ - z_.avail_out);
            if (r != Z_OK)
                ended_ = true;
        }
    }

private:
    z_stream z_{};
    bool ok_ = false;
    bool ended_ = false;
    qint64 out_ = 0;
    qint64 bound_;
    Bytef scratch_[16 * 1024];
};

// Walks the frames of an ID3v2 tag; frames start `skip` bytes into its data.
QString walkId3Frames(HeaderReader &in, qint64 at, qint64 size, int major, bool unsyncTag, qint64 skip)
{
    const bool undoneWhole = unsyncTag && major < 4; // TagLib undoes it before 2.4 only
    TagBytes tag(in, at + 10, at + 10 + size, undoneWhole);
    tag.take(skip, nullptr);
    const qsizetype headerLength = major == 2 ? 6 : 10;
    const qsizetype idLength = major == 2 ? 3 : 4;
    Budget b;
    qint64 inflatedInput = 0; // all compressed data fed to zlib: each frame's runs to the tag's end
    for (int frames = 0;; ++frames) {
        QByteArray f;
        if (tag.take(headerLength, &f) < headerLength || f[0] == '\0')
            return {}; // padding, or cut short
        if (frames >= MaxTagParts)
            return tooManyParts();
        const QByteArrayView sizeBytes = QByteArrayView(f).sliced(idLength, idLength);
        qint64 length = major == 4 ? synchsafeOrPlain(sizeBytes) : qint64(bigEndian(sizeBytes));
        const QByteArrayView id = QByteArrayView(f).first(idLength);
        const bool text = isId3TextFrame(id);
        if (major == 4 && !undoneWhole && length > 127 && length <= (text ? MaxTagTextBytes : MaxTagBytes)) {
            // TagLib takes a plain size when only that one ends on a frame's name (as iTunes wrote).
            const qint64 here = at + 10 + skip + tag.pos() - headerLength;
            const qint64 plain = qint64(bigEndian(sizeBytes));
            if (!isFrameId(in.at(here + 10 + length, 4, 64)) && isFrameId(in.at(here + 10 + plain, 4, 64)))
                length = plain;
        }
        const int flags = major == 2 ? 0 : int(bigEndian(QByteArrayView(f).sliced(8, 2)));
        const bool compressed = major == 3 ? flags & 0x0080 : major == 4 && flags & 0x0008;
        const bool encrypted = major == 3 ? flags & 0x0040 : major == 4 && flags & 0x0004;
        const bool unsyncFrame = major == 4 && (unsyncTag || flags & 0x0002);
        const bool inflated = compressed && !encrypted;
        // A compressed frame's stored bytes count towards the tag; what they inflate to, below.
        if (QString why = text && !inflated ? b.text(length) : b.other(length); !why.isEmpty())
            return why;
        if (!inflated) {
            tag.take(length, nullptr);
            continue;
        }
        QByteArray declared;
        TagBytes ahead = tag; // reads on for zlib; tag goes on to the frame's end
        tag.take(length, nullptr);
        ahead.take(4, &declared);
        const qint64 claimed = declared.size() == 4 ? synchsafeOrPlain(declared) : 0;
        // The claim may lie: inflate under the bound. TagLib inflates the rest of the tag from
        // here, or (2.4, unsynchronised) only this frame's bytes with that undone: both are tried.
        const qint64 bound = text ? MaxTagTextBytes - b.texts : MaxTagBytes - b.all;
        if (claimed > bound)
            return text ? textTooLarge() : tagTooLarge();
        Inflater asStored(bound), undone(bound);
        Unsync undo;
        qint64 left = std::max<qint64>(0, length - 4); // of this frame
        QByteArray piece, kept;
        while (!asStored.done() || (unsyncFrame && left > 0 && !undone.done())) {
            piece.clear();
            if (ahead.take(HeaderReader::Piece, &piece) == 0)
                break;
            if ((inflatedInput += piece.size()) > MaxTagBytes)
                return tagTooLarge();
            if (unsyncFrame && left > 0) {
                kept.clear();
                for (qsizetype i = 0; i < std::min<qint64>(left, piece.size()); ++i)
                    if (undo.keep(quint8(piece[i])))
                        kept.append(piece[i]);
                undone.feed(kept);
                left -= piece.size();
            }
            if (!asStored.done())
                asStored.feed(piece);
        }
        const qint64 out = std::max({claimed, asStored.out(), undone.out()});
        if (QString why = text ? b.text(out) : b.other(out); !why.isEmpty())
            return why;
    }
}

// An ID3v2 tag at an offset; *end gets where it ends.
QString judgeId3v2(HeaderReader &in, qint64 at, qint64 *end)
{
    const QByteArrayView h = in.at(at, 10);
    if (!h.startsWith("ID3"))
        return {};
    const int major = quint8(h[3]);
    const int flags = quint8(h[5]);
    const qint64 size = synchsafe(h.sliced(6, 4));
    if (size < 0 || major < 2 || major > 4)
        return {}; // not a tag TagLib reads
    if (size > MaxTagBytes)
        return tagTooLarge();
    *end = at + 10 + size + (flags & 0x10 ? 10 : 0);
    QList<qint64> starts{0};
    if (flags & 0x40 && major >= 3) {
        // The extended header's size, as its versions define it or as TagLib takes it: both walked.
        QByteArray x;
        TagBytes(in, at + 10, at + 10 + size, flags & 0x80 && major < 4).take(4, &x);
        if (x.size() < 4)
            return {};
        starts = {synchsafeOrPlain(x)};
        if (major == 3)
            starts << qint64(bigEndian(x)) + 4;
    }
    for (const qint64 skip : std::as_const(starts))
        if (QString why = walkId3Frames(in, at, size, major, flags & 0x80, skip); !why.isEmpty())
            return why;
    return {};
}

// ---------------------------------------------------------------- APE

// An APE tag whose footer (or header: TagLib takes either alike) is at an offset.
QString judgeApe(HeaderReader &in, qint64 at)
{
    const QByteArrayView f = in.at(at, 32);
    if (!f.startsWith("APETAGEX"))
        return {};
    const qint64 size = qint64(littleEndian(f.sliced(12, 4)));
    const qint64 count = qint64(littleEndian(f.sliced(16, 4)));
    if (size <= 32 || size > in.size())
        return {}; // TagLib reads no further
    if (size > MaxTagBytes)
        return tagTooLarge();
    const qint64 end = at;
    Budget b;
    qint64 pos = at + 32 - size;
    for (qint64 i = 0; i < count && pos + 11 <= end; ++i) {
        if (i >= MaxTagParts)
            return tooManyParts();
        const QByteArrayView item = in.at(pos, qsizetype(std::min<qint64>(8 + 256, end - pos)));
        if (item.size() < 9)
            return {};
        const qsizetype key = item.sliced(8).indexOf('\0');
        if (key < 0)
            return {};
        const qint64 length = qint64(littleEndian(item.first(4)));
        const bool binary = ((littleEndian(item.sliced(4, 4)) >> 1) & 3) == 1;
        if (QString why = binary ? b.other(length) : b.text(length); !why.isEmpty())
            return why;
        pos += 9 + key + length;
    }
    return {};
}

// ---------------------------------------------------------------- Xiph comments (Ogg, FLAC)

// Where the bytes of one Ogg packet (or one FLAC block) lie in the file.
class Spans
{
public:
    void add(qint64 at, qint64 n)
    {
        if (n > 0) {
            starts_ << size_;
            at_ << at;
            size_ += n;
        }
    }
    qint64 size() const { return size_; }
    // Up to n bytes at a packet offset (fewer at its end).
    QByteArray at(HeaderReader &in, qint64 off, int n) const
    {
        QByteArray out;
        while (out.size() < n && off < size_) {
            const qsizetype i = std::upper_bound(starts_.begin(), starts_.end(), off) - starts_.begin() - 1;
            const qint64 spanEnd = i + 1 < starts_.size() ? starts_[i + 1] : size_;
            const qsizetype take = qsizetype(std::min<qint64>(n - out.size(), spanEnd - off));
            const QByteArrayView v = in.at(at_[i] + (off - starts_[i]), take);
            if (v.isEmpty())
                break;
            out += v;
            off += take;
        }
        return out;
    }

private:
    QList<qint64> starts_, at_;
    qint64 size_ = 0;
};

// A Xiph comment from an offset of a packet: its vendor and fields are texts, a picture field
// is within the tag cap.
QString judgeXiph(HeaderReader &in, const Spans &p, qint64 pos)
{
    Budget b;
    const auto number = [&](qint64 at) {
        const QByteArray x = p.at(in, at, 4);
        return x.size() == 4 ? qint64(littleEndian(x)) : -1;
    };
    const qint64 vendor = number(pos);
    if (vendor < 0)
        return {};
    if (QString why = b.text(vendor); !why.isEmpty())
        return why;
    pos += 4 + vendor;
    const qint64 count = number(pos);
    pos += 4;
    for (qint64 i = 0; i < count; ++i) {
        if (i >= MaxTagParts)
            return tooManyParts();
        const qint64 length = number(pos);
        if (length < 0)
            return {};
        const QByteArray key = p.at(in, pos + 4, 23).toUpper();
        const bool picture = key.startsWith("METADATA_BLOCK_PICTURE=") || key.startsWith("COVERART=");
        if (QString why = picture ? b.other(length) : b.text(length); !why.isEmpty())
            return why;
        pos += 4 + length;
    }
    return {};
}

// The packets at the start of an Ogg file's first stream, and the comment among them.
QString judgeOgg(HeaderReader &in, qint64 start)
{
    constexpr int MaxPackets = 8; // a FLAC stream's blocks come one a packet
    QList<Spans> packets(1);
    QByteArray serial;
    qint64 pos = start;
    for (int pages = 0; packets.size() <= MaxPackets && pages < 4 * MaxPackets + 2048; ++pages) {
        const QByteArrayView h = in.at(pos, 27, 27 + 255);
        if (!h.startsWith("OggS"))
            break;
        if (serial.isEmpty())
            serial = h.sliced(14, 4).toByteArray();
        const int segments = quint8(h[26]);
        const QByteArrayView lacing = in.at(pos + 27, segments, 255);
        if (lacing.size() < segments)
            break;
        qint64 data = pos + 27 + segments;
        if (h.sliced(14, 4) == serial) {
            for (const char v : lacing) {
                packets.back().add(data, quint8(v));
                data += quint8(v);
                if (packets.back().size() > MaxTagBytes)
                    return tagTooLarge();
                if (quint8(v) < 255)
                    packets.append(Spans());
            }
        } else {
            for (const char v : lacing)
                data += quint8(v);
        }
        pos = data;
    }
    if (packets.size() < 2)
        return {};
    const QByteArray first = packets[0].at(in, 0, 8);
    const bool flac = first.startsWith("\x7F"
                                       "FLAC");
    for (qsizetype i = 1; i < packets.size(); ++i) {
        const QByteArray head = packets[i].at(in, 0, 8);
        qint64 skip = -1;
        if (flac && !head.isEmpty() && (quint8(head[0]) & 0x7F) == 4)
            skip = 4;
        else if (i == 1 && head.startsWith("\x03vorbis"))
            skip = 7;
        else if (i == 1 && head.startsWith("OpusTags"))
            skip = 8;
        else if (i == 1 && first.startsWith("Speex   "))
            skip = 0;
        if (skip >= 0)
            if (QString why = judgeXiph(in, packets[i], skip); !why.isEmpty())
                return why;
    }
    return {};
}

// A FLAC file's metadata blocks: its comment, its pictures and all of them within the tag cap.
QString judgeFlac(HeaderReader &in, qint64 start)
{
    Budget b;
    qint64 pos = start + 4;
    for (int blocks = 0;; ++blocks) {
        const QByteArrayView h = in.at(pos, 4);
        if (h.isEmpty())
            return {};
        if (blocks >= MaxTagParts)
            return tooManyParts();
        const int type = quint8(h[0]) & 0x7F;
        const qint64 length = qint64(bigEndian(h.sliced(1, 3)));
        if (type > 1) // stream info is 34 bytes; padding is skipped, not read
            if (QString why = b.other(length); !why.isEmpty())
                return why;
        Spans block;
        block.add(pos + 4, length);
        if (type == 4) {
            if (QString why = judgeXiph(in, block, 0); !why.isEmpty())
                return why;
        } else if (type == 6) {
            // Picture: type, MIME type, description (a text), sizes, data.
            const QByteArray mime = block.at(in, 4, 4);
            const qint64 mimeLength = mime.size() == 4 ? qint64(bigEndian(mime)) : 0;
            const QByteArray description = block.at(in, 8 + mimeLength, 4);
            if (description.size() == 4)
                if (QString why = Budget().text(qint64(bigEndian(description))); !why.isEmpty())
                    return why;
        }
        if (quint8(h[0]) & 0x80)
            return {};
        pos += 4 + length;
    }
}

// ---------------------------------------------------------------- RIFF INFO

bool isChunkName(QByteArrayView id)
{
    return id.size() == 4 &&
           std::all_of(id.begin(), id.end(), [](char c) { return quint8(c) >= 32 && quint8(c) <= 127; });
}

// The chunks of a WAV file as TagLib walks them; each INFO list within the tag cap, its texts
// within the text cap.
QString judgeWav(HeaderReader &in, qint64 start)
{
    qint64 pos = start + 12;
    Budget b;
    for (int chunks = 0; pos + 8 <= in.size(); ++chunks) {
        if (chunks >= MaxTagParts)
            return tooManyParts();
        const QByteArrayView h = in.at(pos, 8);
        const QByteArrayView name = h.first(4);
        const qint64 size = qint64(littleEndian(h.sliced(4, 4)));
        if (!isChunkName(name) || pos + 8 + size > in.size())
            return {};
        if (name == "LIST" && in.at(pos + 8, 4) == "INFO") {
            if (QString why = b.other(size); !why.isEmpty())
                return why;
            Budget texts;
            for (qint64 p = pos + 12; p + 8 <= pos + 8 + size;) {
                const QByteArrayView sub = in.at(p, 8);
                const qint64 length = qint64(littleEndian(sub.sliced(4, 4)));
                if (length > pos + 8 + size - p - 8)
                    break;
                if (QString why = texts.text(length); !why.isEmpty())
                    return why;
                p += ((length + 1) & ~qint64(1)) + 8;
            }
        }
        pos += 8 + size;
        if (pos & 1) { // a pad byte, taken as TagLib takes it
            const QByteArrayView pad = in.at(pos, 1);
            if (!pad.isEmpty() && (pad[0] == '\0' || isChunkName(in.at(pos + 1, 4))))
                ++pos;
        }
    }
    return {};
}

// ---------------------------------------------------------------- MP4

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

// The atoms as TagLib reads them, one level of its recursion for each container.
QString walkAtoms(HeaderReader &in, qint64 begin, qint64 end, int depth, int *count)
{
    static const QByteArrayView Containers[] = {"moov", "udta", "mdia", "meta", "ilst", "stbl",
                                                "minf", "moof", "traf", "trak", "stsd"};
    Atom a;
    for (qint64 pos = begin; pos < end && ++*count < MaxAtoms; pos += a.size) {
        if (!atomAt(in, pos, in.size(), &a))
            return {};
        if (std::find(std::begin(Containers), std::end(Containers), a.type) == std::end(Containers))
            continue;
        if (depth >= MaxAtomDepth)
            return QStringLiteral("not a readable audio file (its atoms are nested over %1 deep)")
                .arg(MaxAtomDepth);
        qint64 child = a.at + a.header;
        if (a.type == "meta") { // a full atom unless its first child follows at once
            const QByteArrayView next = in.at(child + 4, 4);
            if (!(next == "hdlr" || next == "ilst" || next == "mhdr" || next == "ctry" || next == "lang"))
                child += 4;
        } else if (a.type == "stsd") {
            child += 8;
        }
        if (QString why = walkAtoms(in, child, a.at + a.size, depth + 1, count); !why.isEmpty())
            return why;
    }
    return {};
}

// The atoms nested within bounds, the item list (moov/udta/meta/ilst) within the tag cap, each
// text item within the text cap (a cover picture within the tag cap).
QString judgeMp4(HeaderReader &in)
{
    int count = 0;
    if (QString why = walkAtoms(in, 0, in.size(), 0, &count); !why.isEmpty())
        return why;
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

// ---------------------------------------------------------------- ASF (WMA)

// The objects' identifiers as they stand in the file.
const QByteArrayView AsfHeader("\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16);
const QByteArrayView AsfHeaderExtension("\xB5\x03\xBF\x5F\x2E\xA9\xCF\x11\x8E\xE3\x00\xC0\x0C\x20\x53\x65",
                                        16);
const QByteArrayView AsfMetadata("\xEA\xCB\xF8\xC5\xAF\x5B\x77\x48\x84\x67\xAA\x8C\x44\xFA\x4C\xCA", 16);
const QByteArrayView AsfMetadataLibrary("\x94\x1C\x23\x44\x98\x94\xD1\x49\xA1\x41\x1D\x13\x4E\x45\x70\x54",
                                        16);

// The records of a metadata object, whose values have 32-bit lengths (the other objects' texts
// have 16-bit ones): each text within the text cap, each byte array (a picture) within the tag's.
QString judgeAsfMetadata(HeaderReader &in, qint64 pos, qint64 end)
{
    const qint64 count = qint64(littleEndian(in.at(pos, 2)));
    pos += 2;
    Budget b;
    for (qint64 i = 0; i < count && pos + 12 <= end; ++i) {
        if (i >= MaxTagParts)
            return tooManyParts();
        const QByteArrayView r = in.at(pos, 12);
        if (r.isEmpty())
            return {};
        const qint64 name = qint64(littleEndian(r.sliced(4, 2)));
        const quint64 type = littleEndian(r.sliced(6, 2));
        const qint64 length = qint64(littleEndian(r.sliced(8, 4)));
        if (QString why = type == 1 ? b.other(length) : b.text(length); !why.isEmpty())
            return why;
        pos += 12 + name + length;
    }
    return {};
}

// The header object within the tag cap, its objects within it, the metadata in its extension
// within the caps.
QString judgeAsf(HeaderReader &in, qint64 start)
{
    const QByteArrayView h = in.at(start, 30);
    if (h.isEmpty())
        return {};
    const qint64 size = qint64(std::min<quint64>(littleEndian(h.sliced(16, 8)), quint64(in.size())));
    if (size > MaxTagBytes)
        return tagTooLarge();
    const qint64 end = start + size, objects = qint64(littleEndian(h.sliced(24, 4)));
    qint64 pos = start + 30;
    for (qint64 n = 0; n < objects && pos + 24 <= end; ++n) {
        if (n >= MaxTagParts)
            return tooManyParts();
        const QByteArrayView o = in.at(pos, 24);
        if (o.isEmpty())
            return {};
        const qint64 length = qint64(littleEndian(o.sliced(16, 8)));
        if (length < 24 || length > end - pos)
            return {};
        if (o.first(16) == AsfHeaderExtension) {
            qint64 p = pos + 46;
            for (int m = 0; p + 24 <= pos + length; ++m) {
                if (m >= MaxTagParts)
                    return tooManyParts();
                const QByteArrayView e = in.at(p, 24);
                if (e.isEmpty())
                    break;
                const qint64 inner = qint64(littleEndian(e.sliced(16, 8)));
                if (inner < 24 || inner > pos + length - p)
                    break;
                if (e.first(16) == AsfMetadata || e.first(16) == AsfMetadataLibrary)
                    if (QString why = judgeAsfMetadata(in, p + 24, p + inner); !why.isEmpty())
                        return why;
                p += inner;
            }
        }
        pos += length;
    }
    return {};
}

// ---------------------------------------------------------------- the start of a file

// True when the bytes start as an audio format TagLib reads, or hold an MPEG audio frame sync.
bool looksLikeAudio(QByteArrayView head)
{
    for (const char *magic : {"fLaC", "OggS", "RIFF", "FORM", "wvpk", "MAC ", "ADIF", "ID3"})
        if (head.startsWith(magic))
            return true;
    if (head.size() >= 8 && head.sliced(4, 4) == "ftyp")
        return true;
    if (head.startsWith(AsfHeader))
        return true; // ASF (WMA)
    for (qsizetype i = 0; i + 1 < head.size(); ++i)
        if (quint8(head[i]) == 0xFF && (quint8(head[i + 1]) & 0xE0) == 0xE0 && quint8(head[i + 1]) != 0xFF)
            return true;
    return false;
}

} // namespace

QByteArrayView HeaderReader::at(qint64 offset, qsizetype n, qsizetype ahead)
{
    if (offset < 0 || n > Piece || offset > size_ - n)
        return {};
    if (offset < start_ || offset + n > start_ + buffer_.size()) {
        const qsizetype want = std::clamp(ahead, n, Piece);
        buffer_.resize(want);
        start_ = offset;
        qint64 got = 0;
        while (got < want) {
            const ssize_t r = ::pread(fd_, buffer_.data() + got, size_t(want - got), off_t(offset + got));
            if (r < 0 && errno == EINTR)
                continue;
            if (r <= 0)
                break;
            got += r;
        }
        bytesRead_ += got;
        buffer_.resize(got);
        if (got < n)
            return {};
    }
    return QByteArrayView(buffer_).sliced(offset - start_, n);
}

QString JudgeHeaders(HeaderReader &in, bool audioName, qint64 *id3End)
{
    qint64 audioStart = 0;
    *id3End = 0;
    if (in.at(0, 10).startsWith("ID3")) {
        if (QString why = judgeId3v2(in, 0, &audioStart); !why.isEmpty())
            return why;
        *id3End = audioStart;
        if (audioStart >= in.size())
            return {}; // a tag and nothing else: TagLib says what it makes of it
    }
    const QByteArrayView head =
        in.at(audioStart, qsizetype(std::min<qint64>(HeaderReader::Piece, in.size() - audioStart)));
    if (!looksLikeAudio(head))
        return audioName ? QStringLiteral("not a readable audio file (no audio header at its start)")
                         : QStringLiteral("not an audio file");
    if (head.size() >= 8 && head.sliced(4, 4) == "ftyp")
        return judgeMp4(in);
    if (head.startsWith("fLaC"))
        return judgeFlac(in, audioStart);
    if (head.startsWith("OggS"))
        return judgeOgg(in, audioStart);
    if (head.startsWith("RIFF") && head.size() >= 12 && head.sliced(8, 4) == "WAVE")
        return judgeWav(in, audioStart);
    if (head.startsWith(AsfHeader))
        return judgeAsf(in, audioStart);
    return {};
}

bool IsTagSignature(QByteArrayView block)
{
    return block.startsWith("ID3") || block.startsWith("APETAGEX");
}

QString JudgeTagAt(HeaderReader &in, qint64 at)
{
    qint64 end = 0;
    return in.at(at, 3) == "ID3" ? judgeId3v2(in, at, &end) : judgeApe(in, at);
}

} // namespace tracklist::tagscan
