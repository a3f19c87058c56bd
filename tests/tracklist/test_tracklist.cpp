// Track lists read from audio files, CUE sheets, playlists, text lists and discs, and their
// formatting for the cover's fields. Every audio file is made here (fixtures.h).

#include <QtTest>

#include "audio.h"
#include "cd.h"
#include "coverformat.h"
#include "cue.h"
#include "playlist.h"
#include "source.h"
#include "text.h"
#include "textlist.h"

#include "fixtures.h"

#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

using namespace tracklist;
using fixtures::Kind;
using fixtures::Tags;

Q_DECLARE_METATYPE(fixtures::Kind)

namespace {

QStringList titles(const QList<Track> &tracks)
{
    QStringList out;
    for (const Track &t : tracks)
        out << t.title;
    return out;
}

QStringList durations(const QList<Track> &tracks)
{
    QStringList out;
    for (const Track &t : tracks)
        out << (t.durationMs == -1 ? QStringLiteral("?")
                : t.durationMs < 0 ? QString::number(t.durationMs)
                                   : DurationText(t.durationMs));
    return out;
}

QString reasons(const QList<Skipped> &skipped)
{
    QStringList out;
    for (const Skipped &s : skipped)
        out << QFileInfo(s.entry).fileName() + QStringLiteral(": ") + s.reason;
    return out.join(u'|');
}

} // namespace

class TestTrackList : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void cleanField_data();
    void cleanField();
    void naturalOrder_data();
    void naturalOrder();

    void tagsOfEachFormat_data();
    void tagsOfEachFormat();
    void order_data();
    void order();
    void badAudio_data();
    void badAudio();
    void folders_data();
    void folders();
    void progressAndCancel();

    void cueSheet_data();
    void cueSheet();
    void cueLastTrackFromAudio_data();
    void cueLastTrackFromAudio();
    void playlist_data();
    void playlist();
    void textList_data();
    void textList();
    void disc_data();
    void disc();
    void noDrive();
    void dispatch_data();
    void dispatch();

    void cover_data();
    void cover();
    void headlines_data();
    void headlines();

private:
    static QString rowName() { return QString::fromUtf8(QTest::currentDataTag()).replace(u'/', u'_'); }
    QString path(const QString &name) const { return dir.filePath(name); }
    QString write(const QString &name, const QByteArray &bytes)
    {
        QString p = path(name);
        QDir().mkpath(QFileInfo(p).absolutePath());
        fixtures::writeBytes(p, bytes);
        return p;
    }
    QString audio(const QString &name, const Tags &t, Kind kind = Kind::Wav, int ms = 2000)
    {
        QString p = path(name);
        QDir().mkpath(QFileInfo(p).absolutePath());
        if (!fixtures::makeAudio(p, kind, t, scratch.path(), ms))
            qWarning("cannot make %s", qPrintable(name));
        return p;
    }

    QTemporaryDir scratch; // encoded sources, shared by the cases
    QTemporaryDir work;
    QDir dir;
};

void TestTrackList::initTestCase()
{
    QVERIFY(scratch.isValid() && work.isValid());
    dir = QDir(work.path());
}

// ---------------------------------------------------------------- text

void TestTrackList::cleanField_data()
{
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    const QString a200 = QString(200, u'a');
    QTest::newRow("plain") << "Song"
                           << "Song";
    QTest::newRow("blanks at the ends") << "  Song \t"
                                        << "Song";
    QTest::newRow("NUL and line breaks") << QString::fromUtf16(u"A\0B\r\nC", 6) << "A B  C";
    QTest::newRow("C1 control and separator") << QString::fromUtf16(u"A\u0085B\u2028C") << "A B C";
    QTest::newRow("other spaces at the ends") << QString::fromUtf16(u"\u2003Song\u00a0\u3000") << "Song";
    QTest::newRow("markup stays text") << "<b>Bold</b> &amp;"
                                       << "<b>Bold</b> &amp;";
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) + "x" << QString(QChar(0xFFFD)) + "x";
    QTest::newRow("exactly the limit") << a200 << a200;
    QTest::newRow("limit then blanks") << a200 + "   " << a200;
    QTest::newRow("one over") << a200 + "b" << QString(199, u'a') + QChar(0x2026);
    QTest::newRow("limit, blank, more") << a200 + " b" << QString(199, u'a') + QChar(0x2026);
    QTest::newRow("100 KB") << QString(100 * 1024, u'x') << QString(199, u'x') + QChar(0x2026);
    // An emoji across the cut is not split into half a pair.
    QTest::newRow("pair at the cut") << QString(198, u'a') + QString::fromUtf8("\U0001F600") + "zz"
                                     << QString(198, u'a') + QChar(0x2026);
}

void TestTrackList::cleanField()
{
    QFETCH(QString, in);
    QFETCH(QString, out);
    QCOMPARE(CleanField(in), out);
}

void TestTrackList::naturalOrder_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("sign");
    QTest::newRow("2 before 10") << "2 x"
                                 << "10 x" << -1;
    QTest::newRow("track9 before track10") << "track9.mp3"
                                           << "track10.mp3" << -1;
    QTest::newRow("leading zeros by value") << "007"
                                            << "10" << -1;
    QTest::newRow("case ignored") << "b"
                                  << "C" << -1;
    QTest::newRow("prefix first") << "Song"
                                  << "Song 2" << -1;
    QTest::newRow("long numbers") << "99999999999999999998"
                                  << "99999999999999999999" << -1;
    QTest::newRow("same text") << "a1"
                               << "a1" << 0;
}

void TestTrackList::naturalOrder()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, sign);
    QCOMPARE(NaturalCompare(a, b), sign);
    QCOMPARE(NaturalCompare(b, a), -sign);
}

// ---------------------------------------------------------------- audio files

void TestTrackList::tagsOfEachFormat_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("ext");
    QTest::addColumn<bool>("richTags"); // album artist and disc can be written
    QTest::newRow("WAV") << Kind::Wav << "wav" << true;
    QTest::newRow("AIFF") << Kind::Aiff << "aiff" << true;
    QTest::newRow("MP3 ID3v2") << Kind::Mp3Id3v2 << "mp3" << true;
    QTest::newRow("MP3 ID3v1") << Kind::Mp3Id3v1 << "mp3" << false;
    QTest::newRow("FLAC") << Kind::Flac << "flac" << true;
    QTest::newRow("Ogg Vorbis") << Kind::Ogg << "ogg" << true;
}

void TestTrackList::tagsOfEachFormat()
{
    QFETCH(Kind, kind);
    QFETCH(QString, ext);
    QFETCH(bool, richTags);
    const Tags tags{"Blue Hour", "Ana Ruiz", "Night Songs", "Various", 7, 2};
    const QString p = path(QStringLiteral("format/%1.%2").arg(QTest::currentDataTag(), ext));
    QDir().mkpath(QFileInfo(p).absolutePath());
    if (!fixtures::makeAudio(p, kind, tags, scratch.path()))
        QSKIP("the encoder for this format is not installed");
    const AudioFile f = ReadAudioFile(p);
    QVERIFY2(f.track, qPrintable(f.reason));
    QCOMPARE(f.track->title, tags.title);
    QCOMPARE(f.track->artist, tags.artist);
    QCOMPARE(f.track->album, tags.album);
    QCOMPARE(f.track->number, 7);
    QCOMPARE(f.track->albumArtist, richTags ? tags.albumArtist : QString());
    QCOMPARE(f.track->disc, richTags ? 2 : 0);
    QCOMPARE(f.track->sourcePath, p);
    QVERIFY2(qAbs(f.track->durationMs - 2000) <= 60, qPrintable(QString::number(f.track->durationMs)));

    // Without a title tag the file's name stands in, without its extension.
    const QString bare = path(QStringLiteral("format/01. No Title.v2.%1").arg(ext));
    QVERIFY(fixtures::makeAudio(bare, kind, Tags{}, scratch.path()));
    const AudioFile g = ReadAudioFile(bare);
    QVERIFY(g.track);
    QCOMPARE(g.track->title, QStringLiteral("01. No Title.v2"));
    QVERIFY(!g.hasTitleTag);
}

void TestTrackList::order_data()
{
    QTest::addColumn<QStringList>("files"); // name:track:disc, written in this order
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("by track number") << QStringList{"a.wav:3:0", "b.wav:1:0", "c.wav:2:0"}
                                     << QStringList{"b", "c", "a"};
    QTest::newRow("by disc, then number")
        << QStringList{"a.wav:1:2", "b.wav:2:1", "c.wav:1:1", "d.wav:2:2"} << QStringList{"c", "b", "a", "d"};
    QTest::newRow("one without a number: names")
        << QStringList{"10 z.wav:1:0", "2 y.wav:0:0", "1 x.wav:3:0"} << QStringList{"1 x", "2 y", "10 z"};
    QTest::newRow("numbers repeat: names")
        << QStringList{"b2.wav:1:0", "a1.wav:1:0", "a2.wav:2:0"} << QStringList{"a1", "a2", "b2"};
    QTest::newRow("no numbers: natural names")
        << QStringList{"Track 10.wav:0:0", "Track 9.wav:0:0", "track 1.wav:0:0"}
        << QStringList{"track 1", "Track 9", "Track 10"};
}

void TestTrackList::order()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, expected);
    const QString folder = QStringLiteral("order/%1/").arg(QTest::currentDataTag());
    QStringList paths;
    for (const QString &entry : files) {
        const QStringList p = entry.split(u':');
        paths << audio(folder + p[0], Tags{{}, {}, {}, {}, p[1].toInt(), p[2].toInt()});
    }
    QCOMPARE(titles(ReadAudioFiles(paths).tracks), expected);
    QCOMPARE(titles(ReadAudioFolder(path(folder)).tracks), expected);
}

void TestTrackList::badAudio_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("make");    // how the entry is made
    QTest::addColumn<QString>("outcome"); // a title read, or "skipped: reason"
    QTest::newRow("FLAC cut in its header") << "cut.flac"
                                            << "flac-cut"
                                            << "skipped: not a readable audio file";
    QTest::newRow("MP3 of tag only") << "tag.mp3"
                                     << "id3-only"
                                     << "skipped: not a readable audio file";
    QTest::newRow("Ogg cut in its header") << "cut.ogg"
                                           << "ogg-cut"
                                           << "skipped: not a readable audio file";
    QTest::newRow("random bytes") << "noise.wav"
                                  << "noise"
                                  << "skipped: not a readable audio file";
    QTest::newRow("empty") << "empty.flac"
                           << "empty"
                           << "skipped: empty file";
    QTest::newRow("missing") << "gone.mp3"
                             << "none"
                             << "skipped: file not found";
    QTest::newRow("FIFO") << "pipe.mp3"
                          << "fifo"
                          << "skipped: not a regular file";
    QTest::newRow("link to a device") << "dev.flac"
                                      << "device"
                                      << "skipped: not a regular file";
    QTest::newRow("folder") << "dir.mp3"
                            << "folder"
                            << "skipped: it is a folder";
    QTest::newRow("not audio at all") << "notes.doc"
                                      << "noise"
                                      << "skipped: not an audio file";
    QTest::newRow("100 KB title") << "long.flac"
                                  << "title:long" << QString(199, u'L') + QChar(0x2026);
    // ID3v2 takes a NUL as a separator of values.
    QTest::newRow("NUL in a title") << "nul.mp3"
                                    << "title:nul"
                                    << "A B";
    // Broken encodings never come out as lone surrogates or controls. TagLib drops a Vorbis
    // comment or ID3v2 frame that is not UTF-8: the file's name stands in.
    QTest::newRow("invalid UTF-8 in a FLAC comment") << "bad8.flac"
                                                     << "title:\\xFF"
                                                     << "bad8";
    QTest::newRow("encoded surrogate in ID3v2 UTF-8") << "surrogate.mp3"
                                                      << "title:\\xED\\xA0\\x80"
                                                      << "surrogate";
    QTest::newRow("markup") << "markup.mp3"
                            << "title:<i>x</i>"
                            << "<i>x</i>";
    QTest::newRow("ID3v1 Latin-1 bytes") << "latin.mp3"
                                         << "id3v1-latin" << QString::fromUtf8("Caf\u00e9");
}

void TestTrackList::badAudio()
{
    QFETCH(QString, name);
    QFETCH(QString, make);
    QFETCH(QString, outcome);
    const QString p = path(QStringLiteral("bad/") + name);
    QDir().mkpath(QFileInfo(p).absolutePath());
    if (make == "flac-cut" || make == "ogg-cut") {
        const QByteArray whole =
            make == "flac-cut" ? fixtures::flacBytes(scratch.path()) : fixtures::oggBytes(scratch.path());
        if (whole.isEmpty())
            QSKIP("encoder not installed");
        fixtures::writeBytes(p, whole.left(30));
    } else if (make == "id3-only") {
        QVERIFY(fixtures::makeAudio(p, Kind::Mp3Id3v2, fixtures::titled("T"), scratch.path()));
        QFile f(p);
        QVERIFY(f.open(QIODevice::ReadWrite));
        const QByteArray head = f.read(10);
        const int size = (head[6] << 21) | (head[7] << 14) | (head[8] << 7) | head[9];
        QVERIFY(f.resize(10 + size));
    } else if (make == "noise") {
        QByteArray b;
        for (int i = 0; i < 4096; ++i)
            b.append(char((i * 7919) >> 3));
        fixtures::writeBytes(p, b);
    } else if (make == "empty") {
        fixtures::writeBytes(p, {});
    } else if (make == "fifo") {
        QCOMPARE(::mkfifo(QFile::encodeName(p).constData(), 0600), 0);
    } else if (make == "device") {
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), p));
    } else if (make == "folder") {
        QVERIFY(QDir().mkpath(p));
    } else if (make.startsWith("title:")) {
        QString title = make.mid(6);
        if (title == "long")
            title = QString(100 * 1024, u'L');
        // Bytes that cannot be written through TagLib go in afterwards, in place of a stand-in
        // of the same length.
        QByteArray patch;
        if (title == "nul")
            patch = QByteArray("\0", 1);
        else if (title.startsWith(u'\\'))
            patch = QByteArray::fromHex(title.remove(QStringLiteral("\\x")).toLatin1());
        // A three-byte stand-in outside Latin-1 makes ID3v2 write the frame as UTF-8.
        if (!patch.isEmpty())
            title = QStringLiteral("A") +
                    (patch.size() == 3 ? QString(QChar(0x4E00)) : QString(patch.size(), u'\x01')) +
                    QStringLiteral("B");
        if (!fixtures::makeAudio(p, name.endsWith("mp3") ? Kind::Mp3Id3v2 : Kind::Flac,
                                 fixtures::titled(title), scratch.path()))
            QSKIP("encoder not installed");
        if (!patch.isEmpty()) {
            QFile f(p);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QByteArray bytes = f.readAll();
            const QByteArray standIn = title.toUtf8();
            QCOMPARE(bytes.count(standIn), 1);
            bytes.replace(standIn, "A" + patch + "B");
            QVERIFY(f.seek(0) && f.write(bytes) == bytes.size());
        }
    } else if (make == "id3v1-latin") {
        QVERIFY(fixtures::makeAudio(p, Kind::Mp3Id3v1, fixtures::titled("Cafe"), scratch.path()));
        QFile f(p);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.seek(f.size() - 128 + 3 + 3)); // "TAG", then the title's fourth byte
        f.write("\xE9");
    }

    QElapsedTimer guard; // a FIFO or device that were opened would block or read forever
    guard.start();
    const ReadResult r = ReadAudioFiles({p});
    if (outcome.startsWith("skipped: ")) {
        QVERIFY(r.tracks.isEmpty());
        QCOMPARE(r.skipped.size(), 1);
        QCOMPARE(r.skipped[0].entry, p);
        QVERIFY2(r.skipped[0].reason.startsWith(outcome.mid(9)), qPrintable(r.skipped[0].reason));
    } else {
        QCOMPARE(titles(r.tracks), QStringList{outcome});
    }
}

void TestTrackList::folders_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("expected"); // titles, or "error"
    QTest::newRow("audio only; hidden and other files left out")
        << QStringList{"2.wav", "1.flac.wav", ".hidden.wav", "._1.wav", "cover.jpg", "notes.txt", "sub/9.wav"}
        << QStringList{"1.flac", "2"};
    QTest::newRow("none on top: one level down")
        << QStringList{"CD2/01.wav", "CD1/02.wav", "CD1/01.wav", "CD1/deeper/x.wav", "info.txt"}
        << QStringList{"01", "02", "01"};
    QTest::newRow("nothing to read") << QStringList{"a.txt", "b/c.jpg"} << QStringList{"error"};
}

void TestTrackList::folders()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, expected);
    const QString folder = path(QStringLiteral("folders/%1").arg(rowName()));
    for (const QString &f : files) {
        if (f.endsWith(".wav"))
            audio(QStringLiteral("folders/%1/%2").arg(rowName()).arg(f), Tags{});
        else
            write(QStringLiteral("folders/%1/%2").arg(rowName()).arg(f), "x");
    }
    const ReadResult r = ReadAudioFolder(folder);
    if (expected == QStringList{"error"}) {
        QVERIFY(r.tracks.isEmpty());
        QVERIFY(r.error.contains("no audio files"));
    } else {
        QCOMPARE(titles(r.tracks), expected);
        QVERIFY(r.skipped.isEmpty());
    }
}

void TestTrackList::progressAndCancel()
{
    QStringList paths;
    for (int i = 1; i <= 40; ++i)
        paths << audio(QStringLiteral("progress/%1.wav").arg(i), Tags{}, Kind::Wav, 100);
    QList<std::pair<qsizetype, qsizetype>> seen;
    const ReadResult all = ReadAudioFiles(paths, [&](qsizetype done, qsizetype total) {
        seen.append({done, total});
        return true;
    });
    QCOMPARE(all.tracks.size(), 40);
    QVERIFY(!all.cancelled);
    QCOMPARE(seen.front(), (std::pair<qsizetype, qsizetype>{0, 40}));
    QCOMPARE(seen.back(), (std::pair<qsizetype, qsizetype>{40, 40}));

    int calls = 0;
    const ReadResult stopped =
        ReadAudioFolder(path("progress"), [&](qsizetype, qsizetype) { return ++calls < 2; });
    QVERIFY(stopped.cancelled);
    QVERIFY(stopped.tracks.isEmpty());
    QCOMPARE(calls, 2);

    // A playlist's entries are read with the same callback.
    QByteArray m3u;
    for (const QString &p : paths)
        m3u += QFile::encodeName(p) + "\n";
    const ReadResult list =
        ReadSource({write("progress.m3u", m3u)}, [](qsizetype, qsizetype) { return false; });
    QVERIFY(list.cancelled);
    QVERIFY(list.tracks.isEmpty());
}

// ---------------------------------------------------------------- CUE sheets

void TestTrackList::cueSheet_data()
{
    QTest::addColumn<QByteArray>("sheet");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QStringList>("times");
    QTest::addColumn<QString>("album"); // album / album artist / artist of track 1
    QTest::addColumn<QString>("problems");
    const QByteArray head =
        "REM GENRE Jazz\r\nPERFORMER \"The Quartet\"\r\nTITLE \"Live\"\r\nFILE \"x.wav\" WAVE\r\n";
    QTest::newRow("titles and lengths")
        << head +
               "  TRACK 01 AUDIO\r\n    TITLE \"One\"\r\n    INDEX 00 00:00:00\r\n    INDEX 01 00:02:00\r\n"
               "  TRACK 02 AUDIO\r\n    TITLE \"Two\"\r\n    PERFORMER \"Guest\"\r\n    INDEX 01 03:47:20\r\n"
               "  TRACK 03 AUDIO\r\n    TITLE \"Three\"\r\n    INDEX 01 06:59:40\r\n"
        << QStringList{"One", "Two", "Three"} << QStringList{"3:45", "3:12", "?"}
        << "Live/The Quartet/The Quartet"
        << "x.wav: length of the last track unknown: file not found";
    QTest::newRow("lower case, LF, unquoted")
        << QByteArray("title Album\nfile a.wav wave\ntrack 1 audio\ntitle Song A\nindex 01 00:00:00\n"
                      "track 2 audio\ntitle Song B\nindex 01 01:00:00\n")
        << QStringList{"Song A", "Song B"} << QStringList{"1:00", "?"} << "Album//"
        << "a.wav: length of the last track unknown: file not found"; // the type is no part of the name
    // The last track of a file ends with that file, not where the next file's first track starts.
    QTest::newRow("two files")
        << QByteArray("FILE a.wav WAVE\nTRACK 1 AUDIO\nINDEX 01 00:00:00\nTRACK 2 AUDIO\n"
                      "INDEX 01 01:00:00\nFILE b.wav WAVE\nTRACK 3 AUDIO\nINDEX 01 03:00:00\n")
        << QStringList{"Track 1", "Track 2", "Track 3"} << QStringList{"1:00", "?", "?"} << "//"
        << "*";
    QTest::newRow("Windows-1252")
        << QByteArray("TITLE \"Caf\xE9\"\nPERFORMER \"\xC3\xA9\"\nTRACK 01 AUDIO\nTITLE \"\x93Hi\x94\"\n"
                      "INDEX 01 00:00:00\n")
        << QStringList{QString::fromUtf8("\u201cHi\u201d")} << QStringList{"?"}
        << QString::fromUtf8("Caf\u00e9/\u00c3\u00a9/\u00c3\u00a9") << ""; // the whole sheet decides
    QTest::newRow("UTF-8 with a byte-order mark")
        << QByteArray(
               "\xEF\xBB\xBFTITLE \"Caf\xC3\xA9\"\nTRACK 01 AUDIO\nTITLE \"\xE2\x80\x9CHi\xE2\x80\x9D\"\n")
        << QStringList{QString::fromUtf8("\u201cHi\u201d")} << QStringList{"?"}
        << QString::fromUtf8("Caf\u00e9//") << "";
    // Seconds run to 59 and frames to 74; a track number past 99 gives way to the position.
    QTest::newRow("missing titles; bad times and numbers")
        << QByteArray("TRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nINDEX 01 00:60:00\nTRACK 3 AUDIO\n"
                      "INDEX 01 xx\nTRACK 04 AUDIO\nINDEX 01 00:01:00\nTRACK 105 AUDIO\nINDEX 01 00:05:75\n"
                      "TRACK 06 AUDIO\nINDEX 01 00:10:00\nTRACK 07 AUDIO\nINDEX 01 00:05:00\n")
        << QStringList{"Track 1", "Track 2", "Track 3", "Track 4", "Track 5", "Track 6", "Track 7"}
        << QStringList{"?", "?", "?", "?", "?", "?", "?"} << "//"
        << "";
    QTest::newRow("unclosed quote, markup, NUL")
        << QByteArray("TRACK 01 AUDIO\nTITLE \"<b>A</b>\nPERFORMER \"x") + '\0' + "y\"\n"
        << QStringList{"<b>A</b>"} << QStringList{"?"} << "//x y"
        << "";
    QTest::newRow("huge field") << "TRACK 01 AUDIO\nTITLE \"" + QByteArray(200000, 'z') + "\"\n"
                                << QStringList{QString(199, u'z') + QChar(0x2026)} << QStringList{"?"} << "//"
                                << "";
    QTest::newRow("data track left out")
        << QByteArray("TRACK 01 MODE1/2352\nTITLE \"Data\"\nTRACK 02 AUDIO\nTITLE \"Music\"\n")
        << QStringList{"Music"} << QStringList{"?"} << "//"
        << "track 01: a data track, not audio";
    QByteArray many;
    for (int i = 1; i <= 120; ++i)
        many += "TRACK " + QByteArray::number(i) + " AUDIO\n";
    QTest::newRow("over 99 tracks") << many << QStringList{"99 tracks"} << QStringList{} << "//"
                                    << "tracks after track 99: a disc holds at most 99 tracks";
    QTest::newRow("no tracks") << QByteArray("TITLE \"Only\"\n") << QStringList{} << QStringList{} << ""
                               << "error";
    QTest::newRow("over 1 MiB") << QByteArray(MaxCueBytes + 1, '\n') << QStringList{} << QStringList{} << ""
                                << "error";
}

void TestTrackList::cueSheet()
{
    QFETCH(QByteArray, sheet);
    QFETCH(QStringList, titles);
    QFETCH(QStringList, times);
    QFETCH(QString, album);
    QFETCH(QString, problems);
    const ReadResult r = ReadCueSheet(write(QStringLiteral("cue/%1.cue").arg(rowName()), sheet));
    if (problems == "error") {
        QVERIFY(!r.error.isEmpty());
        QVERIFY(r.tracks.isEmpty());
        return;
    }
    QVERIFY2(r.error.isEmpty(), qPrintable(r.error));
    if (titles.size() == 1 && titles[0] == "99 tracks") {
        QCOMPARE(r.tracks.size(), 99);
        QCOMPARE(r.tracks.back().title, QStringLiteral("Track 99"));
    } else {
        QCOMPARE(::titles(r.tracks), titles);
        QCOMPARE(durations(r.tracks), times);
    }
    const Track &t = r.tracks.front();
    QCOMPARE(QStringList({t.album, t.albumArtist, t.artist}).join(u'/'), album);
    if (problems != "*")
        QCOMPARE(reasons(r.skipped), problems);
    if (QTest::currentDataTag() == QByteArray("titles and lengths"))
        QCOMPARE(r.tracks[1].artist, QStringLiteral("Guest"));
}

void TestTrackList::cueLastTrackFromAudio_data()
{
    QTest::addColumn<QString>("named");  // the FILE line
    QTest::addColumn<QString>("actual"); // the audio file beside the sheet ("" for none)
    QTest::addColumn<QString>("last");
    QTest::newRow("named file") << "album.wav"
                                << "album.wav"
                                << "0:55";
    QTest::newRow("compressed since") << "album.wav"
                                      << "album.aiff"
                                      << "0:55";
    QTest::newRow("missing") << "album.wav"
                             << ""
                             << "?";
    QTest::newRow("unreadable") << "album.wav"
                                << "album.wav:noise"
                                << "?";
}

void TestTrackList::cueLastTrackFromAudio()
{
    QFETCH(QString, named);
    QFETCH(QString, actual);
    QFETCH(QString, last);
    const QString folder = QStringLiteral("cuelast/%1/").arg(rowName());
    if (actual.endsWith(":noise"))
        write(folder + actual.chopped(6), QByteArray(3000, 'n'));
    else if (!actual.isEmpty())
        audio(folder + actual, Tags{}, actual.endsWith("aiff") ? Kind::Aiff : Kind::Wav, 60000);
    const QByteArray sheet =
        "FILE \"" + named.toUtf8() +
        "\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nINDEX 01 00:05:00\n";
    const ReadResult r = ReadCueSheet(write(folder + "sheet.cue", sheet));
    QCOMPARE(durations(r.tracks), (QStringList{"0:05", last}));
    QCOMPARE(r.tracks[1].sourcePath.isEmpty(), false);
}

// ---------------------------------------------------------------- playlists

void TestTrackList::playlist_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("list"); // "@" stands for the playlist's folder
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QStringList>("times");
    QTest::addColumn<QString>("skipped");
    QTest::newRow("tags win over EXTINF")
        << "a.m3u"
        << QByteArray("#EXTM3U\n#EXTINF:61,Playlist Title\ntagged.wav\n#EXTINF:99,Other\nuntagged.wav\n")
        << QStringList{"Tagged", "Other"} << QStringList{"0:02", "0:02"} << "";
    QTest::newRow("EXTINF for a missing file; none: skipped")
        << "b.m3u8"
        << QByteArray(
               "#EXTINF:215,Artist - Gone\ngone.flac\nalso-gone.flac\n"
               "#EXTINF:-1 tvg-name=\"a,b\",Stream\nhttp://radio.example/stream\nhttps://x.example/y.mp3\n")
        << QStringList{"Artist - Gone", "Stream"} << QStringList{"3:35", "?"}
        << "also-gone.flac: file not found|y.mp3: not a local file";
    QTest::newRow("loops and lists are never opened")
        << "c.m3u" << QByteArray("c.m3u\nother.pls\nsheet.cue\n@/c.m3u\ntagged.wav\n")
        << QStringList{"Tagged"} << QStringList{"0:02"}
        << "c.m3u: a track list inside a playlist is not followed|other.pls: a track list inside a playlist "
           "is "
           "not followed|sheet.cue: a track list inside a playlist is not followed|c.m3u: a track list "
           "inside a "
           "playlist is not followed";
    QTest::newRow("devices and FIFOs are never opened")
        << "d.m3u" << QByteArray("#EXTINF:10,Pipe\npipe.wav\ndev.wav\nsub\n") << QStringList{}
        << QStringList{}
        << "pipe.wav: not a regular file (a device or a FIFO)|dev.wav: not a regular file (a device or a "
           "FIFO)|sub: it is a folder";
    QTest::newRow("paths: absolute, URL, backslashes")
        << "e.m3u" << QByteArray("@/tagged.wav\nfile://@/untagged.wav\nsub\\inner.wav\n:colon.wav\n")
        << QStringList{"Tagged", "untagged", "inner", ":colon"} << QStringList{"0:02", "0:02", "0:02", "0:02"}
        << "";
    QTest::newRow("PLS in the order of its numbers")
        << "f.pls"
        << QByteArray(
               "[playlist]\r\nFile2=untagged.wav\r\nTitle2=Second\r\nFile1=gone.wav\r\nTitle1=First\r\n"
               "Length1=62\r\nTitle3=No file\r\nNumberOfEntries=3\r\nVersion=2\r\n")
        << QStringList{"First", "Second"} << QStringList{"1:02", "0:02"} << "entry 3: no File3 line";
    QTest::newRow("Windows-1252 titles")
        << "g.m3u" << QByteArray("#EXTINF:5,Caf\xE9\ngone.wav\n")
        << QStringList{QString::fromUtf8("Caf\u00e9")} << QStringList{"0:05"} << "";
    // Lengths round to the second; more than a day is no track's; the tag's case does not matter.
    QTest::newRow("EXTINF lengths")
        << "h.m3u" << QByteArray("#extinf:215.6,Rounded\ngone.wav\n#EXTINF:90000,Too long\ngone2.wav\n")
        << QStringList{"Rounded", "Too long"} << QStringList{"3:36", "?"} << "";
    QTest::newRow("PLS keys in any case; entry 0 is none")
        << "i.pls" << QByteArray("[playlist]\nfile1=gone.wav\ntitle1=Lower\nFile0=zero.wav\nTitle0=Zero\n")
        << QStringList{"Lower"} << QStringList{"?"} << "";
}

void TestTrackList::playlist()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, list);
    QFETCH(QStringList, titles);
    QFETCH(QStringList, times);
    QFETCH(QString, skipped);
    const QString folder = path("lists");
    if (!QFile::exists(folder + "/tagged.wav")) {
        audio("lists/tagged.wav", fixtures::titled("Tagged"));
        audio("lists/untagged.wav", Tags{});
        audio("lists/sub/inner.wav", Tags{});
        audio("lists/:colon.wav", Tags{});
        QCOMPARE(::mkfifo(QFile::encodeName(folder + "/pipe.wav").constData(), 0600), 0);
        QVERIFY(QFile::link("/dev/zero", folder + "/dev.wav"));
        write("lists/other.pls", "[playlist]\nFile1=c.m3u\n");
    }
    list.replace("@", QFile::encodeName(folder));
    const ReadResult r = ReadSource({write("lists/" + name, list)});
    QCOMPARE(::titles(r.tracks), titles);
    QCOMPARE(durations(r.tracks), times);
    QCOMPARE(reasons(r.skipped), skipped);
}

// ---------------------------------------------------------------- text lists

void TestTrackList::textList_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("blank lines skipped")
        << QByteArray("One\n\n  \nTwo\r\n\r\nThree") << QStringList{"One", "Two", "Three"};
    QTest::newRow("CR only") << QByteArray("A\rB\r") << QStringList{"A", "B"};
    QTest::newRow("Windows-1252") << QByteArray("Caf\xE9\n\x96 dash")
                                  << QStringList{QString::fromUtf8("Caf\u00e9"),
                                                 QString::fromUtf8("\u2013 dash")};
    QTest::newRow("UTF-8, byte-order mark")
        << QByteArray("\xEF\xBB\xBF\xC3\xA9t\xC3\xA9\n") << QStringList{QString::fromUtf8("\u00e9t\u00e9")};
    QTest::newRow("NUL and markup") << QByteArray("a\0b\n<h1>x</h1>\n", 15)
                                    << QStringList{"a b", "<h1>x</h1>"};
    QTest::newRow("long line cut") << QByteArray(100000, 'q') + "\nnext"
                                   << QStringList{QString(199, u'q') + QChar(0x2026), "next"};
}

void TestTrackList::textList()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, titles);
    const ReadResult r = ReadSource(QStringList{write(QStringLiteral("text/%1.txt").arg(rowName()), text)});
    QCOMPARE(::titles(r.tracks), titles);
    for (qsizetype i = 0; i < r.tracks.size(); ++i)
        QCOMPARE(r.tracks[i].number, int(i + 1));
}

// ---------------------------------------------------------------- discs

void TestTrackList::disc_data()
{
    QTest::addColumn<QByteArray>("albumTitle");
    QTest::addColumn<QList<QByteArray>>("trackTitles"); // "!" marks a data track
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("skipped");
    QTest::newRow("CD-Text") << QByteArray("Album") << QList<QByteArray>{"First", "Second"}
                             << QStringList{"First", "Second"} << "";
    QTest::newRow("no CD-Text") << QByteArray() << QList<QByteArray>{"", ""}
                                << QStringList{"Track 1", "Track 2"} << "";
    QTest::newRow("some titles missing")
        << QByteArray() << QList<QByteArray>{"", "Two"} << QStringList{"Track 1", "Two"} << "";
    QTest::newRow("Latin-1 CD-Text") << QByteArray() << QList<QByteArray>{"Caf\xE9"}
                                     << QStringList{QString::fromUtf8("Caf\u00e9")} << "";
    QTest::newRow("enhanced CD") << QByteArray() << QList<QByteArray>{"Song", "!"} << QStringList{"Song"}
                                 << "track 2: a data track, not audio";
    QTest::newRow("data disc") << QByteArray() << QList<QByteArray>{"!"} << QStringList{} << "error";
}

void TestTrackList::disc()
{
    QFETCH(QByteArray, albumTitle);
    QFETCH(QList<QByteArray>, trackTitles);
    QFETCH(QStringList, expected);
    QFETCH(QString, skipped);
    CdInfo disc;
    disc.device = "/dev/sr0";
    disc.title = albumTitle;
    disc.performer = "Band";
    for (int i = 0; i < trackTitles.size(); ++i)
        disc.tracks.append({i + 1, trackTitles[i] != "!", 75 * 60 * (i + 1) + 74, trackTitles[i], {}});
    const ReadResult r = TracksFromCd(disc);
    QCOMPARE(titles(r.tracks), expected);
    if (skipped == "error") {
        QVERIFY(r.error.contains("no audio tracks"));
        return;
    }
    QCOMPARE(reasons(r.skipped), skipped);
    QCOMPARE(r.tracks[0].durationMs, 60986); // 4574 frames of 1/75 s
    QCOMPARE(r.tracks[0].number, 1);
    QCOMPARE(r.tracks[0].artist, QStringLiteral("Band"));
    QCOMPARE(r.tracks[0].album, QString::fromLatin1(albumTitle));
}

void TestTrackList::noDrive()
{
    const QString file = write("not-a-drive", "x");
    QCOMPARE(ReadAudioCd(file).error, file + QStringLiteral(" is not a CD drive."));
    QCOMPARE(ReadAudioCd(path("nothing")).error,
             QStringLiteral("There is no CD drive %1.").arg(path("nothing")));
    QCOMPARE(ReadSource({QStringLiteral("cdda:") + file}).error,
             file + QStringLiteral(" is not a CD drive."));
    if (QFile::exists("/dev/cdrom") || QFile::exists("/dev/sr0"))
        QSKIP("this machine has a CD drive");
    QCOMPARE(ReadSource({QStringLiteral("cdda:")}).error, QStringLiteral("No CD drive was found."));
}

// ---------------------------------------------------------------- the dispatcher

void TestTrackList::dispatch_data()
{
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<bool>("asGiven");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QString>("skipped");
    QTest::newRow("one folder") << QStringList{"src/album"} << false << QStringList{"A1", "A2"} << "";
    QTest::newRow("a CUE sheet") << QStringList{"src/s.cue"} << false << QStringList{"Cue"} << "";
    QTest::newRow("a text list") << QStringList{"src/t.txt"} << true << QStringList{"Text"} << "";
    QTest::newRow("files and a folder, ordered together")
        << QStringList{"src/z.wav", "src/album"} << false << QStringList{"A1", "A2", "Z"} << "";
    QTest::newRow("a list among files") << QStringList{"src/z.wav", "src/t.txt"} << false << QStringList{"Z"}
                                        << "t.txt: a track list is read only on its own";
    // Track numbers would put Z (3) last and 2.wav after 1.wav: as given, the order of the sources
    // wins, and a folder keeps its own inside.
    QTest::newRow("as given: a file, then a folder")
        << QStringList{"src/z.wav", "src/album"} << true << QStringList{"Z", "A1", "A2"} << "";
    QTest::newRow("as given: files") << QStringList{"src/album/2.wav", "src/album/1.wav"} << true
                                     << QStringList{"A2", "A1"} << "";
    QTest::newRow("as given: lists among files") << QStringList{"src/z.wav", "src/t.txt", "src/s.cue"} << true
                                                 << QStringList{"Z", "Text", "Cue"} << "";
    QTest::newRow("as given: a list that cannot be read")
        << QStringList{"src/z.wav", "src/gone.m3u"} << true << QStringList{"Z"}
        << "gone.m3u: Cannot read the playlist";
}

void TestTrackList::dispatch()
{
    QFETCH(QStringList, paths);
    QFETCH(bool, asGiven);
    QFETCH(QStringList, titles);
    QFETCH(QString, skipped);
    if (!QFile::exists(path("src/z.wav"))) {
        audio("src/album/1.wav", Tags{"A1", {}, {}, {}, 1, 0});
        audio("src/album/2.wav", Tags{"A2", {}, {}, {}, 2, 0});
        audio("src/z.wav", Tags{"Z", {}, {}, {}, 3, 0});
        write("src/s.cue", "TRACK 01 AUDIO\nTITLE Cue\n");
        write("src/t.txt", "Text\n");
    }
    for (QString &p : paths)
        p = path(p);
    const ReadResult r = ReadSource(paths, {}, asGiven ? Order::AsGiven : Order::Together);
    QCOMPARE(::titles(r.tracks), titles);
    QCOMPARE(reasons(r.skipped).left(skipped.size()), skipped);
    QCOMPARE(r.skipped.isEmpty(), skipped.isEmpty());
}

// ---------------------------------------------------------------- the cover

void TestTrackList::cover_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("numbered");
    QTest::addColumn<bool>("withTimes");
    QTest::addColumn<QStringList>("expected"); // the first and the last title kept
    QTest::addColumn<int>("kept");
    QTest::addColumn<int>("leftOut");
    QTest::newRow("plain") << 2 << false << false << QStringList{"T1", "T2"} << 2 << 0;
    QTest::newRow("numbered") << 2 << true << false << QStringList{"1. T1", "2. T2"} << 2 << 0;
    QTest::newRow("with times, one unknown")
        << 3 << false << true << QStringList{"T1 (0:01)", "T3"} << 3 << 0;
    QTest::newRow("both") << 1 << true << true << QStringList{"1. T1 (0:01)", "1. T1 (0:01)"} << 1 << 0;
    QTest::newRow("30: none in the credit lines")
        << 30 << false << false << QStringList{"T1", "T30"} << 30 << 0;
    QTest::newRow("99 numbered and timed")
        << 99 << true << true << QStringList{"1. T1 (0:01)", "99. T99"} << 99 << 0;
    QTest::newRow("120: 21 left out") << 120 << true << false << QStringList{"1. T1", "99. T99"} << 99 << 21;
    QTest::newRow("none") << 0 << false << false << QStringList{} << 0 << 0;
}

void TestTrackList::cover()
{
    QFETCH(int, count);
    QFETCH(bool, numbered);
    QFETCH(bool, withTimes);
    QFETCH(QStringList, expected);
    QFETCH(int, kept);
    QFETCH(int, leftOut);
    QList<Track> tracks;
    const qint64 lengths[] = {1499, 59500, -1};
    for (int i = 1; i <= count; ++i) {
        Track t;
        t.title = QStringLiteral("T%1").arg(i);
        t.durationMs = lengths[(i - 1) % 3];
        tracks << t;
    }
    const CoverTexts c = FormatForCover(tracks, CoverOptions{numbered, withTimes, false}, {}, {});
    QCOMPARE(c.titles.size(), kept);
    if (kept > 0)
        QCOMPARE((QStringList{c.titles.front(), c.titles.back()}), expected);
    QCOMPARE(c.leftOut, leftOut);
    QCOMPARE(DurationText(4442000), QStringLiteral("74:02"));
    // To the nearest second, as players show it.
    QCOMPARE(DurationText(225499), QStringLiteral("3:45"));
    QCOMPARE(DurationText(225500), QStringLiteral("3:46"));
}

void TestTrackList::headlines_data()
{
    QTest::addColumn<QStringList>("albums"); // album/albumArtist/artist per track
    QTest::addColumn<QString>("top");        // current headlines
    QTest::addColumn<QString>("bottom");
    QTest::addColumn<bool>("replace");
    QTest::addColumn<QString>("expected"); // new top / new bottom, "-" for unchanged
    const QStringList album{"Night/Band/Singer", "Night/Band/Guest"};
    QTest::newRow("empty headlines filled") << album << ""
                                            << "" << false << "Night/Band";
    QTest::newRow("blanks count as empty") << album << "  "
                                           << " " << false << "Night/Band";
    QTest::newRow("typed headlines kept") << album << "Mine"
                                          << "Me" << false << "-/-";
    QTest::newRow("ticked: replaced") << album << "Mine"
                                      << "Me" << true << "Night/Band";
    QTest::newRow("only the empty one") << album << "Mine"
                                        << "" << false << "-/Band";
    QTest::newRow("common artist") << QStringList{"Night//Ann", "Night//Ann", "//"} << ""
                                   << "" << false << "Night/Ann";
    QTest::newRow("artists differ") << QStringList{"Night//Ann", "Night//Bob"} << ""
                                    << "" << false << "Night/Various Artists";
    QTest::newRow("one album artist among mixed artists")
        << QStringList{"Mix/Ann/Ann", "Mix//Bob", "Mix//Cy"} << ""
        << "" << false << "Mix/Various Artists";
    QTest::newRow("one album artist, one artist") << QStringList{"Mix/Ann/Bob", "Mix//Bob"} << ""
                                                  << "" << false << "Mix/Bob";
    QTest::newRow("every track's album artist wins") << QStringList{"Mix/Band/Ann", "Mix/Band/Bob"} << ""
                                                     << "" << false << "Mix/Band";
    QTest::newRow("album artists differ, no artists") << QStringList{"A/Ann/", "A/Bob/"} << ""
                                                      << "" << false << "A/Various Artists";
    QTest::newRow("albums differ") << QStringList{"A//Ann", "B//Ann"} << ""
                                   << "" << true << "-/Ann";
    QTest::newRow("nothing known, ticked") << QStringList{"//", "//"} << "Mine"
                                           << "Me" << true << "-/-";
}

void TestTrackList::headlines()
{
    QFETCH(QStringList, albums);
    QFETCH(QString, top);
    QFETCH(QString, bottom);
    QFETCH(bool, replace);
    QFETCH(QString, expected);
    QList<Track> tracks;
    for (const QString &a : albums) {
        const QStringList p = a.split(u'/');
        Track t;
        t.title = "x";
        t.album = p[0];
        t.albumArtist = p[1];
        t.artist = p[2];
        tracks << t;
    }
    const CoverTexts c = FormatForCover(tracks, CoverOptions{false, false, replace}, top, bottom);
    QCOMPARE(c.topHeadline.value_or("-") + "/" + c.bottomHeadline.value_or("-"), expected);
}

QTEST_GUILESS_MAIN(TestTrackList)
#include "test_tracklist.moc"
