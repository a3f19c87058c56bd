// Hostile track sources: audio files whose headers claim more than any tag holds (read only as
// far as their headers, counted in bytes), files that are no audio at all, and the names and
// encodings that CUE sheets and playlists bring. Big files are sparse, made here for the run.

#include <QtTest>

#include "audio.h"
#include "cue.h"
#include "playlist.h"
#include "source.h"
#include "text.h"

#include "fixtures.h"

#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <zlib.h>

#include <unistd.h>

using namespace tracklist;

namespace {

constexpr qint64 MiB = 1024 * 1024;
constexpr qint64 GiB = 1024 * MiB;

QByteArray be(quint64 v, int bytes)
{
    QByteArray b;
    for (int i = bytes - 1; i >= 0; --i)
        b.append(char((v >> (8 * i)) & 0xFF));
    return b;
}

QByteArray bytesOf(std::initializer_list<int> values)
{
    QByteArray b;
    for (const int v : values)
        b.append(char(v & 0xFF));
    return b;
}

QByteArray synchsafe(quint32 v)
{
    return bytesOf({int(v >> 21) & 0x7F, int(v >> 14) & 0x7F, int(v >> 7) & 0x7F, int(v) & 0x7F});
}

// An ID3v2.4 tag of the given size whose frames are given as (id, claimed size, bytes present).
QByteArray id3(quint32 tagSize, const QList<std::pair<QByteArray, quint32>> &frames, int major = 4)
{
    QByteArray b = "ID3" + bytesOf({major, 0, 0}) + synchsafe(tagSize);
    for (const auto &[frameId, size] : frames)
        b += frameId + (major == 4 ? synchsafe(size) : be(size, 4)) + QByteArray(2, '\0') +
             QByteArray(1, '\0');
    return b;
}

// An MP4 atom with a 64-bit size header.
QByteArray atom64(const QByteArray &type, quint64 size)
{
    return be(1, 4) + type + be(size, 8);
}

// Recipes for crafted tags: ID3v2 frames and tags, zlib data of zeros, Ogg pages.
QByteArray le(quint64 v, int bytes)
{
    QByteArray b = be(v, bytes);
    std::reverse(b.begin(), b.end());
    return b;
}
QByteArray frame(int major, const QByteArray &frameId, int flags, const QByteArray &data)
{
    return frameId + (major == 4 ? synchsafe(quint32(data.size())) : be(quint64(data.size()), 4)) +
           be(flags, 2) + data;
}
QByteArray tag(int major, int flags, const QByteArray &frames)
{
    return "ID3" + bytesOf({major, 0, flags}) + synchsafe(quint32(frames.size())) + frames;
}
QByteArray zeros(qint64 n) // deflated
{
    z_stream z{};
    deflateInit(&z, 9);
    static const QByteArray chunk(1 << 20, '\0');
    QByteArray out(qsizetype(n / 1000 + 4096), '\0');
    z.next_out = reinterpret_cast<Bytef *>(out.data());
    z.avail_out = uInt(out.size());
    for (qint64 left = n; left >= 0; left -= chunk.size()) {
        z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(chunk.data()));
        z.avail_in = uInt(std::min<qint64>(std::max<qint64>(left, 0), chunk.size()));
        deflate(&z, left <= chunk.size() ? Z_FINISH : Z_NO_FLUSH);
    }
    out.resize(qsizetype(z.total_out));
    deflateEnd(&z);
    return out;
}
QByteArray ogg(const QList<QByteArray> &packets)
{
    QByteArray lacing, data, out;
    int seq = 0;
    const auto flush = [&] {
        const int page = seq++;
        out += "OggS" + bytesOf({0, page == 0 ? 2 : 0}) + QByteArray(8, '\0') + le(7, 4) +
               le(quint64(page), 4) + QByteArray(4, '\0') + bytesOf({int(lacing.size())}) + lacing + data;
        lacing.clear();
        data.clear();
    };
    for (const QByteArray &p : packets)
        for (qsizetype at = 0;; at += 255) {
            lacing += char(std::min<qsizetype>(255, p.size() - at));
            data += p.mid(at, 255);
            if (lacing.size() == 255)
                flush();
            if (p.size() - at < 255)
                break;
        }
    flush();
    return out;
}
QByteArray withRiffSize(QByteArray wav, qint64 size = 0)
{
    wav.replace(4, 4, le(quint64((size ? size : wav.size()) - 8), 4));
    return wav;
}

QString reasonOrTitle(const AudioFile &f)
{
    return f.track ? f.track->title : f.reason;
}

} // namespace

class TestTrackListBounds : public QObject
{
    Q_OBJECT

private:
    // A file of the given length holding head at its start and tail at tailAt (-1: at its end),
    // holes between.
    QString sparse(const QString &name, const QByteArray &head, qint64 length, const QByteArray &tail,
                   qint64 tailAt)
    {
        QString p = dir.filePath(name);
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(head) != head.size() ||
            !f.resize(length) || !f.seek(tailAt < 0 ? length - tail.size() : tailAt) ||
            f.write(tail) != tail.size())
            qWarning("cannot make %s", qPrintable(name));
        return p;
    }
    QString write(const QString &name, const QByteArray &bytes)
    {
        QString p = dir.filePath(name);
        QDir().mkpath(QFileInfo(p).absolutePath());
        fixtures::writeBytes(p, bytes);
        return p;
    }

    QTemporaryDir work;
    QDir dir;

    bool wav(const QString &name, int ms)
    {
        QDir().mkpath(QFileInfo(dir.filePath(name)).absolutePath());
        return fixtures::makeAudio(dir.filePath(name), fixtures::Kind::Wav, fixtures::Tags{}, work.path(),
                                   ms);
    }

private slots:
    void initTestCase();
    void init();

    // bounded reads
    void corpusFormats_data();
    void corpusFormats();
    void tagsByHeaders_data();
    void tagsByHeaders();
    void craftedTagsRefused_data();
    void craftedTagsRefused();
    void listReadsEachFileOnce();

    // names
    void cueNamesLiterally_data();
    void cueNamesLiterally();
    void encodings_data();
    void encodings();
    void cueFilesKeepTheirLengths();
    void reasonsAndLines();
    void unreadableSubfolder();
};

void TestTrackListBounds::initTestCase()
{
    QVERIFY(work.isValid());
    dir = QDir(work.path());
}

void TestTrackListBounds::init()
{
    // A name from a file made into a pattern warns once per folder entry.
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
}

// ---------------------------------------------------------------- bounded reads

// The fuzz corpus holds one small real file of each format read; each passes the judgment of
// its headers and gives its tags.
void TestTrackListBounds::corpusFormats_data()
{
    QTest::addColumn<QString>("file");
    const QStringList files = QDir(QStringLiteral(TAG_CORPUS)).entryList(QDir::Files, QDir::Name);
    QCOMPARE(files.size(), 9);
    for (const QString &f : files)
        QTest::newRow(qPrintable(f)) << QStringLiteral(TAG_CORPUS "/") + f;
}

void TestTrackListBounds::corpusFormats()
{
    QFETCH(QString, file);
    const AudioFile f = ReadAudioFile(file);
    QVERIFY2(f.track, qPrintable(f.reason));
    // TagLib gives a WAV file's ID3v2 tag, not its RIFF INFO list: the file's name stands in.
    if (file.endsWith("wav-info.wav")) {
        QCOMPARE(f.track->title, "wav-info");
    } else {
        QCOMPARE(f.track->title, "Alderney");
        QCOMPARE(f.track->artist, "Quartet");
        QCOMPARE(f.track->number, 3);
    }
    QVERIFY(f.track->durationMs > 0);
    QVERIFY(f.bytesRead < 64 * 1024);
}

void TestTrackListBounds::tagsByHeaders_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<qint64>("length"); // of the sparse file; 0: head is the whole file
    QTest::addColumn<QByteArray>("tail");
    QTest::addColumn<qint64>("tailAt");   // -1: at the end
    QTest::addColumn<QString>("outcome"); // the start of the reason, or the title read
    QTest::addColumn<qint64>("maxRead");  // bytes the reading may look at

    const QByteArray audio = fixtures::mp3Bytes(20);
    const QString tag = QStringLiteral("not a readable audio file (its tag claims over 64 MiB)");
    const QString text = QStringLiteral("not a readable audio file (a text of its tag claims over 16 MiB)");

    // The tag's frames are a hole; the audio after it is not even reached.
    QTest::newRow("MP3 whose title frame claims 250 MB")
        << "t250.mp3" << id3(250'000'010, {{"TIT2", 250'000'000}}) << qint64(250'000'100) << audio
        << qint64(-1) << tag << qint64(64 * 1024);
    QTest::newRow("MP3 whose title frame claims 50 MB")
        << "t50.mp3" << id3(50'000'010, {{"TIT2", 50'000'000}}) << qint64(50'000'100) << audio << qint64(-1)
        << text << qint64(64 * 1024);
    // Each text is within the cap, the two are not: they are far apart, behind a hole.
    QTest::newRow("MP3 with two comments of 9 MiB")
        << "c9.mp3" << id3(quint32(18 * MiB + 100), {{"COMM", quint32(9 * MiB)}}) << 18 * MiB + 110
        << QByteArray("COMM" + synchsafe(quint32(9 * MiB)) + QByteArray(2, '\0')) << 20 + 9 * MiB << text
        << qint64(256 * 1024);
    QTest::newRow("ID3v2.3 title of 17 MiB")
        << "t17.mp3" << id3(quint32(17 * MiB + 10), {{"TIT2", quint32(17 * MiB)}}, 3) << 17 * MiB + 500
        << audio << qint64(-1) << text << qint64(64 * 1024);
    QByteArray many = id3(12'000 * 11, {});
    for (int i = 0; i < 12'000; ++i)
        many += QByteArray("TXXX") + synchsafe(1) + QByteArray(3, '\0');
    QTest::newRow("MP3 with 12,000 frames")
        << "many.mp3" << many + audio << qint64(0) << QByteArray() << qint64(-1)
        << "not a readable audio file (its tag has over 10000 parts)" << qint64(256 * 1024);
    // A picture is no text: within the tag's cap it is read, and the file is a track.
    QTest::newRow("MP3 with a picture of 20 MiB")
        << "picture.mp3" << id3(quint32(20 * MiB + 20), {{"APIC", quint32(20 * MiB)}})
        << 20 * MiB + 30 + audio.size() << audio << qint64(-1) << "picture" << MaxAudioReadBytes;
    // Within the bounds, compressed frames and APE items are read (seeds of the fuzz target).
    for (const char *seed : {"compressed-title-v23.mp3", "compressed-title-v24.mp3", "ape-title.mp3"}) {
        QFile f(QStringLiteral(TAG_CORPUS "/../tag-regressions/") + seed);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QTest::newRow(seed) << seed << f.readAll() << qint64(0) << QByteArray() << qint64(-1) << "Alderney"
                            << qint64(64 * 1024);
    }
    QTest::newRow("1 GiB of zeros named .mp3")
        << "zeros.mp3" << QByteArray() << GiB << QByteArray() << qint64(-1)
        << "not a readable audio file (no audio header at its start)" << qint64(64 * 1024);
    QTest::newRow("1 GiB of zeros named .doc") << "zeros.doc" << QByteArray() << GiB << QByteArray()
                                               << qint64(-1) << "not an audio file" << qint64(64 * 1024);

    // ftyp, free, moov/udta/meta/ilst, and a title atom claiming 2^32 + 64 bytes: 4 GiB + 160.
    const quint64 title = (quint64(1) << 32) + 64;
    const quint64 ilst = title + 16, meta = ilst + 16 + 4, udta = meta + 16, moov = udta + 16;
    const QByteArray m4a = be(20, 4) + "ftypM4A " + be(0, 4) + "M4A " + be(8, 4) + "free" +
                           atom64("moov", moov) + atom64("udta", udta) + atom64("meta", meta) + be(0, 4) +
                           atom64("ilst", ilst) + atom64("\xA9nam", title);
    QTest::newRow("M4A of 4 GiB + 160 bytes whose title atom claims 2^32 + 64")
        << "over4g.m4a" << m4a << qint64(28 + moov) << QByteArray() << qint64(-1) << tag << qint64(64 * 1024);
    const quint64 small = 20 * MiB, ilst2 = small + 16, meta2 = ilst2 + 20, udta2 = meta2 + 16,
                  moov2 = udta2 + 16;
    QTest::newRow("M4A whose title atom claims 20 MiB")
        << "t20.m4a"
        << be(20, 4) + "ftypM4A " + be(0, 4) + "M4A " + atom64("moov", moov2) + atom64("udta", udta2) +
               atom64("meta", meta2) + be(0, 4) + atom64("ilst", ilst2) + atom64("\xA9nam", small)
        << qint64(20 + moov2) << QByteArray() << qint64(-1) << text << qint64(64 * 1024);

    // Audio frames, then nothing but a hole: TagLib searches backwards from the end for the last
    // frame, and is stopped.
    QTest::newRow("MP3 frames, then 1 GiB of zeros")
        << "hole.mp3" << audio << GiB << QByteArray() << qint64(-1)
        << "not a readable audio file (no audio found within 4 MiB of searching)" << qint64(5 * MiB);
    // An APE tag at the end whose footer claims 3 GiB: judged when TagLib asks for the footer.
    const QByteArray footer = "APETAGEX" + QByteArray::fromHex("d0070000") + QByteArray::fromHex("000000c0") +
                              QByteArray::fromHex("01000000") + QByteArray(4, '\0') + QByteArray(8, '\0');
    QTest::newRow("MP3 whose APE tag claims 3 GiB")
        << "ape.mp3" << audio << 4 * GiB << footer << qint64(-1) << tag << qint64(256 * 1024);
}

void TestTrackListBounds::tagsByHeaders()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, head);
    QFETCH(qint64, length);
    QFETCH(QByteArray, tail);
    QFETCH(qint64, tailAt);
    QFETCH(QString, outcome);
    QFETCH(qint64, maxRead);
    const QString p = length > 0 ? sparse(name, head, length, tail, tailAt) : write(name, head);
    const AudioFile f = ReadAudioFile(p);
    QVERIFY2(reasonOrTitle(f).startsWith(outcome), qPrintable(reasonOrTitle(f)));
    QVERIFY2(f.bytesRead <= maxRead, qPrintable(QString::number(f.bytesRead)));
    QFile::remove(p);
}

// What TagLib would hold without bound is refused by our walk: each file read in a child
// process, whose peak memory is measured.
void TestTrackListBounds::craftedTagsRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<qint64>("length"); // of the sparse file; 0: head is the whole file
    QTest::addColumn<QByteArray>("tail");
    QTest::addColumn<QString>("reason");
    const QByteArray mp3 = fixtures::mp3Bytes(20);
    const QString tagged = QStringLiteral("not a readable audio file (its tag claims over 64 MiB)");
    const QString text = QStringLiteral("not a readable audio file (a text of its tag claims over 16 MiB)");
    const QByteArray bomb = tag(3, 0, frame(3, "TIT2", 0x80, be(512 * MiB, 4) + zeros(512 * MiB))) + mp3;
    QTest::newRow("2.3 title compressed from 512 MiB")
        << "bomb.mp3" << bomb << qint64(0) << QByteArray() << text;
    QTest::newRow("2.3 title claiming 10 bytes, inflating to 20 MiB")
        << "liar.mp3" << tag(3, 0, frame(3, "TIT2", 0x80, be(10, 4) + zeros(20 * MiB))) + mp3 << qint64(0)
        << QByteArray() << text;
    QTest::newRow("2.4 comment claiming 10 bytes, inflating to 20 MiB")
        << "liar24.mp3" << tag(4, 0, frame(4, "COMM", 0x09, synchsafe(10) + zeros(20 * MiB))) + mp3
        << qint64(0) << QByteArray() << text;
    QTest::newRow("2.3 picture claiming 1 KiB, inflating to 100 MiB")
        << "apic.mp3" << tag(3, 0, frame(3, "APIC", 0x80, be(1024, 4) + zeros(100 * MiB))) + mp3 << qint64(0)
        << QByteArray() << tagged;
    QTest::newRow("WAV whose id3 chunk holds the 512 MiB title")
        << "bomb.wav"
        << withRiffSize(fixtures::wavBytes(100) + "id3 " + le(quint64(bomb.size()), 4) + bomb +
                        QByteArray(bomb.size() & 1, '\0'))
        << qint64(0) << QByteArray() << text;
    QByteArray nested = be(20, 4) + "ftypM4A " + be(0, 4) + "M4A ";
    for (int i = 0; i < 60'000; ++i)
        nested += be(quint64(8 * (60'000 - i)), 4) + "moov";
    QTest::newRow("M4A of 60,000 nested moov atoms")
        << "nested.m4a" << nested << qint64(0) << QByteArray()
        << "not a readable audio file (its atoms are nested over 16 deep)";
    const QByteArray item = le(60 * MiB, 4) + le(0, 4) + "Title" + '\0';
    QTest::newRow("APE title of 60 MiB")
        << "ape.mp3" << mp3 + item << mp3.size() + item.size() + 60 * MiB + 32
        << "APETAGEX" + le(2000, 4) + le(quint64(item.size() + 60 * MiB + 32), 4) + le(1, 4) +
               QByteArray(12, '\0')
        << text;
    const QByteArray ident = "\x01vorbis" + QByteArray(4, '\0') + bytesOf({1}) + le(8000, 4) +
                             QByteArray(12, '\0') + bytesOf({0x88, 1});
    QTest::newRow("Ogg comment of 20 MiB")
        << "comment.ogg"
        << ogg({ident, "\x03vorbis" + le(0, 4) + le(1, 4) + le(20 * MiB, 4) +
                           "TITLE=" + QByteArray(20 * MiB - 6, 'a')})
        << qint64(0) << QByteArray() << text;
    const QByteArray info =
        fixtures::wavBytes(100) + "LIST" + le(12 + 60 * MiB, 4) + "INFOINAM" + le(60 * MiB, 4);
    QTest::newRow("WAV INFO title of 60 MiB") << "info.wav" << withRiffSize(info, info.size() + 60 * MiB)
                                              << info.size() + 60 * MiB << QByteArray() << text;
    QTest::newRow("unsynchronised 2.3 tag, title of 20 MiB")
        << "unsync.mp3"
        << "ID3" + bytesOf({3, 0, 0x80}) + synchsafe(quint32(10 + 20 * MiB)) + "TIT2" + be(20 * MiB, 4) +
               be(0, 2)
        << 20 + 20 * MiB + mp3.size() << mp3 << text;
    // A metadata library record, whose value has a 32-bit length, inside the header's extension.
    const QByteArray title("T\0i\0t\0l\0e\0\0\0", 12); // UTF-16 with its end
    const QByteArray record =
        le(1, 2) + le(0, 4) + le(quint64(title.size()), 2) + le(0, 2) + le(60 * MiB, 4) + title;
    const QByteArray library = bytesOf({0x94, 0x1C, 0x23, 0x44, 0x98, 0x94, 0xD1, 0x49, 0xA1, 0x41, 0x1D,
                                        0x13, 0x4E, 0x45, 0x70, 0x54}) +
                               le(quint64(24 + record.size() + 60 * MiB), 8) + record;
    const QByteArray extension = bytesOf({0xB5, 0x03, 0xBF, 0x5F, 0x2E, 0xA9, 0xCF, 0x11, 0x8E, 0xE3, 0x00,
                                          0xC0, 0x0C, 0x20, 0x53, 0x65}) +
                                 le(quint64(46 + library.size() + 60 * MiB), 8) + QByteArray(18, '\0') +
                                 le(quint64(library.size() + 60 * MiB), 4) + library;
    const QByteArray asf = bytesOf({0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA,
                                    0x00, 0x62, 0xCE, 0x6C}) +
                           le(quint64(30 + extension.size() + 60 * MiB), 8) + le(1, 4) + bytesOf({1, 2}) +
                           extension;
    QTest::newRow("WMA metadata text of 60 MiB")
        << "library.wma" << asf << asf.size() + 60 * MiB << QByteArray() << text;
}

void TestTrackListBounds::craftedTagsRefused()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, head);
    QFETCH(qint64, length);
    QFETCH(QByteArray, tail);
    QFETCH(QString, reason);
    const QString p = length > 0 ? sparse(name, head, length, tail, -1) : write(name, head);
    int pipeFds[2];
    QCOMPARE(::pipe(pipeFds), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        for (const int sig : {SIGSEGV, SIGBUS, SIGABRT}) // a crash ends the child, not the test's handler
            ::signal(sig, SIG_DFL);
        // The child starts as large as the test (far larger under the sanitizers): what the read
        // costs is how far its peak rises above that.
        rusage before{}, after{};
        ::getrusage(RUSAGE_SELF, &before);
        const QString why = reasonOrTitle(ReadAudioFile(p));
        ::getrusage(RUSAGE_SELF, &after);
        const QByteArray got =
            QByteArray::number(qint64(after.ru_maxrss - before.ru_maxrss)) + ' ' + why.toUtf8();
        [[maybe_unused]] const ssize_t w = ::write(pipeFds[1], got.constData(), size_t(got.size()));
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    QByteArray got(4096, '\0');
    got.resize(std::max<qsizetype>(0, ::read(pipeFds[0], got.data(), size_t(got.size()))));
    ::close(pipeFds[0]);
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QFile::remove(p);
    QVERIFY(WIFEXITED(status));
    const qsizetype space = got.indexOf(' ');
    QCOMPARE(QString::fromUtf8(got.mid(space + 1)), reason);
    const qint64 grewKiB = got.left(space).toLongLong();
    qInfo("peak rose by %lld MB", grewKiB / 1024);
    QVERIFY(grewKiB < 256 * 1024);
}

// A list naming one file twice reads it once: a change made between the two entries is not seen.
void TestTrackListBounds::listReadsEachFileOnce()
{
    QVERIFY(QDir().mkpath(dir.filePath("once")));
    QVERIFY(fixtures::makeAudio(dir.filePath("once/b.wav"), fixtures::Kind::Wav, fixtures::titled("Second"),
                                work.path(), 1000));
    QVERIFY(fixtures::makeAudio(dir.filePath("once/a.wav"), fixtures::Kind::Wav, fixtures::titled("First"),
                                work.path(), 1000));
    QFile second(dir.filePath("once/b.wav"));
    QVERIFY(second.open(QIODevice::ReadOnly));
    const QByteArray changed = second.readAll();
    const ReadResult r =
        ReadPlaylist(write("once/list.m3u", "a.wav\nb.wav\na.wav\n"), [&](qsizetype i, qsizetype) {
            return i != 2 ||
                   fixtures::writeBytes(dir.filePath("once/a.wav"), changed); // in place: the same inode
        });
    QCOMPARE(r.tracks.size(), 3);
    QCOMPARE(r.tracks[2].title, "First");
}

// ---------------------------------------------------------------- names

void TestTrackListBounds::cueNamesLiterally_data()
{
    QTest::addColumn<QStringList>("files"); // in the sheet's folder
    QTest::addColumn<QByteArray>("named");  // FILE "..." in the sheet
    QTest::addColumn<QString>("found");     // the track's source file, or "" for none
    QTest::newRow("brackets, the other extension")
        << QStringList{"[x].wav", "x.wav"} << QByteArray("[x].flac") << "[x].wav";
    QTest::newRow("an unclosed bracket") << QStringList{"a.wav"} << QByteArray("[x") << "";
    QTest::newRow("a star names no other file")
        << QStringList{"a.wav", "b.wav"} << QByteArray("*.flac") << "";
    QTest::newRow("upper-case extension") << QStringList{"Song.WAV"} << QByteArray("Song.flac") << "Song.WAV";
}

void TestTrackListBounds::cueNamesLiterally()
{
    QFETCH(QStringList, files);
    QFETCH(QByteArray, named);
    QFETCH(QString, found);
    const QString folder = QStringLiteral("names/%1/").arg(QTest::currentDataTag()).replace(u' ', u'_');
    for (const QString &f : files)
        QVERIFY(wav(folder + f, 1000));
    const ReadResult r = ReadCueSheet(
        write(folder + "sheet.cue", "FILE \"" + named + "\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"));
    QCOMPARE(r.tracks.size(), 1);
    QCOMPARE(QFileInfo(r.tracks[0].sourcePath).fileName(), found.isEmpty() ? "sheet.cue" : found);
    QCOMPARE(r.tracks[0].durationMs, found.isEmpty() ? -1 : 1000);
}

void TestTrackListBounds::encodings_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("outcome"); // titles joined by "|", or the start of the error

    const QString cue =
        QStringLiteral("TITLE \"Fj\u00f6ll\"\nTRACK 01 AUDIO\nTITLE \"\u00c9t\u00e9 \U0001F3B5\"\n");
    const QString m3u = QStringLiteral("#EXTINF:61,\u00c9t\u00e9\nnowhere.mp3\n");
    const auto utf16 = [](const QString &s, bool little, bool mark) {
        QByteArray b = mark ? (little ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF")) : QByteArray();
        for (const QChar c : s)
            b += little ? bytesOf({c.unicode(), c.unicode() >> 8}) : bytesOf({c.unicode() >> 8, c.unicode()});
        return b;
    };
    QTest::newRow("CUE in UTF-16 LE")
        << "le.cue" << utf16(cue, true, true) << QStringLiteral("\u00c9t\u00e9 \U0001F3B5");
    QTest::newRow("CUE in UTF-16 BE")
        << "be.cue" << utf16(cue, false, true) << QStringLiteral("\u00c9t\u00e9 \U0001F3B5");
    QTest::newRow("CUE in UTF-16 without a mark")
        << "nomark.cue" << utf16(cue, true, false)
        << "The CUE sheet %1 is UTF-16 without a byte-order mark text, which is not read: save it as UTF-8.";
    QTest::newRow("CUE in UTF-32") << "u32.cue" << QByteArray("\xFF\xFE\0\0T\0\0\0", 8)
                                   << "The CUE sheet %1 is UTF-32 text, which is not read: save it as UTF-8.";
    QTest::newRow("M3U in UTF-16 LE")
        << "le.m3u" << utf16(m3u, true, true) << QStringLiteral("\u00c9t\u00e9");
    QTest::newRow("M3U in UTF-16 BE without a mark")
        << "nomark.m3u" << utf16(m3u, false, false)
        << "The playlist %1 is UTF-16 without a byte-order mark text, which is not read: save it as UTF-8.";
}

void TestTrackListBounds::encodings()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, outcome);
    const QString p = write(QStringLiteral("enc/") + name, bytes);
    const ReadResult r = ReadSource({p});
    if (outcome.contains(u'%')) {
        QVERIFY(r.tracks.isEmpty());
        QCOMPARE(r.error, outcome.arg(p));
        return;
    }
    QCOMPARE(r.tracks.size(), 1);
    QCOMPARE(r.tracks[0].title, outcome);
}

// A track whose INDEX 01 lies in the next file (after a pregap at the end of the first file)
// belongs to that file: no length is taken across the boundary.
void TestTrackListBounds::cueFilesKeepTheirLengths()
{
    for (const char *f : {"cd/a.wav", "cd/b.wav"})
        QVERIFY(wav(f, f[3] == 'a' ? 5000 : 7000));
    const ReadResult r = ReadCueSheet(write("cd/sheet.cue", "FILE \"a.wav\" WAVE\n"
                                                            "TRACK 01 AUDIO\nINDEX 01 00:00:00\n"
                                                            "TRACK 02 AUDIO\nINDEX 00 00:04:00\n"
                                                            "FILE \"b.wav\" WAVE\n"
                                                            "INDEX 01 00:00:00\n"
                                                            "TRACK 03 AUDIO\nINDEX 01 00:03:00\n"));
    QCOMPARE(r.tracks.size(), 3);
    QCOMPARE(r.tracks[0].durationMs, 5000); // the whole of a.wav, pregap of track 2 included
    QCOMPARE(r.tracks[1].durationMs, 3000);
    QCOMPARE(r.tracks[2].durationMs, 4000);
    QCOMPARE(QFileInfo(r.tracks[1].sourcePath).fileName(), "b.wav");
    QVERIFY(r.skipped.isEmpty());
}

// What a user is told about entries that gave no track: a loop is no missing file, a sheet's
// missing audio file costs only a length, and a long list ends in a count.
void TestTrackListBounds::reasonsAndLines()
{
    QVERIFY(QDir().mkpath(dir.filePath("loop")));
    QVERIFY(QFile::link(dir.filePath("loop/b.mp3"), dir.filePath("loop/a.mp3")));
    QVERIFY(QFile::link(dir.filePath("loop/a.mp3"), dir.filePath("loop/b.mp3")));
    const ReadResult loop = ReadSource({write("loop/list.m3u", "a.mp3\n"), dir.filePath("loop/a.mp3")});
    QCOMPARE(loop.skipped.size(), 2);
    QCOMPARE(loop.skipped[1].reason, "a loop of symbolic links");
    const ReadResult listed = ReadSource({dir.filePath("loop/list.m3u")});
    QCOMPARE(SkippedLines(listed.skipped), QStringList{"a.mp3 is skipped: a loop of symbolic links"});

    const ReadResult cue =
        ReadSource({write("gone/sheet.cue", "FILE \"gone.wav\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n")});
    QCOMPARE(cue.tracks.size(), 1);
    QCOMPARE(SkippedLines(cue.skipped),
             QStringList{"gone.wav: length of the last track unknown: file not found"});

    QStringList missing;
    for (int i = 1; i <= 12; ++i)
        missing << dir.filePath(QStringLiteral("none/%1.mp3").arg(i));
    const ReadResult none = ReadSource(missing);
    QVERIFY(none.tracks.isEmpty());
    const QStringList lines = SkippedLines(none.skipped);
    QCOMPARE(lines.size(), 10);
    QCOMPARE(lines[0], missing[0] + " is skipped: file not found");
    QCOMPARE(lines[9], "and 3 more");
    QCOMPARE(SkippedLines(none.skipped.mid(0, 10)).size(), 10);
    QCOMPARE(SkippedLines(none.skipped.mid(0, 10)).last(), missing[9] + " is skipped: file not found");
}

void TestTrackListBounds::unreadableSubfolder()
{
    if (::geteuid() == 0)
        QSKIP("root reads every folder");
    QVERIFY(wav("locked/CD1/01.wav", 1000));
    QVERIFY(QDir().mkpath(dir.filePath("locked/CD2")));
    QVERIFY(QFile::setPermissions(dir.filePath("locked/CD2"), QFileDevice::WriteOwner));
    const ReadResult r = ReadSource({dir.filePath("locked")});
    QFile::setPermissions(dir.filePath("locked/CD2"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(r.tracks.size(), 1);
    QCOMPARE(r.skipped.size(), 1);
    QCOMPARE(r.skipped[0].entry, dir.filePath("locked/CD2"));
    QVERIFY2(r.skipped[0].reason.startsWith("cannot read the folder: "), qPrintable(r.skipped[0].reason));
}

QTEST_GUILESS_MAIN(TestTrackListBounds)
#include "test_tracklist_bounds.moc"
