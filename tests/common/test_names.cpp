// Names are bytes: a name that is not UTF-8 goes from the command line to open() as it was, in
// both directions; what reaches a terminal or the import preview shows control characters and
// bidirectional controls as escapes.

#include <QtTest>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "app_setup.h"
#include "design.h"
#include "designfile.h"
#include "names.h"
#include "options.h"
#include "trackimportdialog.h"

#include "../tracklist/fixtures.h"
#include "scriptrun.h"

namespace {

struct Run {
    int exitCode = -1;
    QByteArray err; // as the terminal would receive it
};

// Runs sleevedesk (or `program`) in `dir` with arguments given as bytes: QProcess would pass
// them through QFile::encodeName, which is the very loss under test, so a shell's printf makes them.
Run sleevedesk(const QList<QByteArray> &args, const QString &dir, const char *program = SLEEVEDESK)
{
    QByteArray script = "cd \"$1\" && exec \"$0\"";
    for (const QByteArray &arg : args) {
        script += " \"$(printf '";
        for (const char c : arg)
            script += '\\' + QByteArray::number(static_cast<unsigned char>(c), 8).rightJustified(3, '0');
        script += "')\"";
    }
    QProcess p;
    p.setProcessEnvironment(scriptrun::WithoutDisplay());
    p.start(QStringLiteral("/bin/sh"),
            {QStringLiteral("-c"), QString::fromLatin1(script), QString::fromLocal8Bit(program), dir});
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return {};
    return {p.exitCode(), p.readAllStandardError()};
}

bool exists(const QString &dir, const QByteArray &name)
{
    struct stat st {};
    return ::stat((QFile::encodeName(dir) + '/' + name).constData(), &st) == 0 && st.st_size > 0;
}

} // namespace

class TestNames : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void roundTrip_data();
    void roundTrip();
    void readable_data();
    void readable();
    void previewShowsControls();
    void commandLine_data();
    void commandLine();
    void terminalEscapes_data();
    void terminalEscapes();

private:
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
};

void TestNames::initTestCase()
{
    SetupDesignerApplication();
    QVERIFY(dir.isValid());
    const QByteArray root = QFile::encodeName(dir.path());
    Design d;
    d.Text1->setText(QStringLiteral("Northbound"));
    QVERIFY(designfile::Write(path("cover.qwd"), d.DesignRecords()));
    QVERIFY(::rename((root + "/cover.qwd").constData(), (root + "/bad\xffname.qwd").constData()) == 0);
    // A folder and a song whose names are not UTF-8.
    QVERIFY(QDir().mkpath(path("album")));
    QVERIFY(fixtures::makeAudio(path("album/song.wav"), fixtures::Kind::Wav, fixtures::titled("Sark"),
                                dir.path(), 1000));
    QVERIFY(::rename((root + "/album/song.wav").constData(), (root + "/album/song\xff.wav").constData()) ==
            0);
    QVERIFY(::rename((root + "/album").constData(), (root + "/alb\xffum").constData()) == 0);
    QVERIFY(fixtures::writeBytes(path("urls.m3u"),
                                 "file://" + root.toPercentEncoding("/") + "/alb%FFum/song%FF.wav\n"));
    // A design whose picture path, and a playlist whose entries, talk to the terminal.
    d.Document().pictures.mainPath = QStringLiteral("/nowhere/\x1b]0;pwned\x07\x1b[2Jpic.png");
    QVERIFY(designfile::Write(path("talking.qwd"), d.DesignRecords()));
    QVERIFY(
        fixtures::makeAudio(path("ok.wav"), fixtures::Kind::Wav, fixtures::titled("Herm"), dir.path(), 1000));
    QVERIFY(fixtures::writeBytes(path("talking.m3u"),
                                 "ok.wav\n\x1b]0;pwned\x07gone.mp3\n\x1b[2J\xe2\x80\xaegone.mp3\n"));
    // An output that is a link to a name that talks.
    QVERIFY(::symlink("\x1b]0;pwned\x07\x1b[31mgone.pdf", (root + "/link.pdf").constData()) == 0);
}

void TestNames::cleanupTestCase()
{
    // QDir cannot see the names that are not UTF-8, so it could not remove them.
    std::error_code ec;
    std::filesystem::remove_all(QFile::encodeName(dir.path()).toStdString(), ec);
}

void TestNames::roundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << QByteArray("song.mp3");
    QTest::newRow("utf-8") << QByteArray("Caf\xc3\xa9 \xe2\x80\xae \xf0\x9f\x8e\xb5");
    QTest::newRow("latin-1 byte") << QByteArray("song\xff.mp3");
    QTest::newRow("mixed") << QByteArray("\xc3\xa9t\xe9\xc3\xa9");
    QTest::newRow("encoded surrogate") << QByteArray("a\xed\xb3\xbf");
    QTest::newRow("overlong") << QByteArray("\xc0\x80x");
    QTest::newRow("beyond unicode") << QByteArray("\xf4\x90\x80\x80");
    QTest::newRow("cut short") << QByteArray("end\xe2\x82");
    QTest::newRow("every high byte") << [] {
        QByteArray b;
        for (int c = 0x80; c <= 0xff; ++c)
            b += char(c);
        return b;
    }();
}

void TestNames::roundTrip()
{
    QFETCH(QByteArray, bytes);
    const QString text = names::Decode(bytes);
    QCOMPARE(names::Encode(text), bytes);
    if (bytes.isValidUtf8())
        QCOMPARE(text, QString::fromUtf8(bytes));
    else
        QVERIFY(!text.contains(QChar::ReplacementCharacter));
    // Through the command line parser, as a design and as an option's value.
    QByteArray program("sleevedesk"), option("--export-pdf");
    const QByteArray positional = bytes + ".qwd";
    const char *argv[] = {program.constData(), option.constData(), bytes.constData(), positional.constData()};
    const options::Table table{
        "sleevedesk", {}, {}, {{{QStringLiteral("export-pdf")}, QStringLiteral("file"), {}}}, {}, {}};
    options::Parsed parsed;
    QString error;
    QVERIFY(options::Parse(table, names::Arguments(4, argv), &parsed, &error));
    const QString exportPdf = parsed.value(QStringLiteral("export-pdf"));
    QCOMPARE(names::Encode(exportPdf), bytes);
    QCOMPARE(names::Encode(parsed.positional.value(0)), positional);
    // Dropped, or named in a playlist, as a file: URL.
    const QUrl url = QUrl::fromEncoded("file:///x/" + bytes.toPercentEncoding("/"));
    QCOMPARE(names::Encode(names::FromUrl(url)), "/x/" + bytes);
    // Made absolute, still the same bytes.
    QVERIFY(names::Encode(names::Absolute(exportPdf)).endsWith('/' + bytes));
}

void TestNames::readable_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("plain") << QStringLiteral("Caf\u00e9 <b>") << QStringLiteral("Caf\u00e9 <b>");
    QTest::newRow("right-to-left override")
        << QStringLiteral("\u202Elive") << QStringLiteral("\\xE2\\x80\\xAElive");
    QTest::newRow("window title sequence")
        << QStringLiteral("\x1b]0;pwned\x07.png") << QStringLiteral("\\x1B]0;pwned\\x07.png");
    QTest::newRow("clear screen") << QStringLiteral("\x1b[2J") << QStringLiteral("\\x1B[2J");
    QTest::newRow("byte not UTF-8") << names::Decode("song\xff.mp3") << QStringLiteral("song\\xFF.mp3");
}

void TestNames::readable()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(names::Readable(text), shown);
}

void TestNames::previewShowsControls()
{
    tracklist::Track t;
    t.title = QStringLiteral("\u202Eevil");
    t.artist = QStringLiteral("\x1b[2JBand");
    tracklist::ReadResult read;
    read.tracks = {t};
    read.skipped = {{names::Decode("gone\xff\u202e.mp3"), QStringLiteral("file not found")}};
    TrackImportDialog preview(read, QString(), QString());
    const TrackListModel &m = *preview.Model;
    QCOMPARE(m.index(0, TrackListModel::TitleColumn).data().toString(),
             QStringLiteral("\\xE2\\x80\\xAEevil"));
    QVERIFY(m.index(0, TrackListModel::TitleColumn)
                .data(Qt::ToolTipRole)
                .toString()
                .contains("\\xE2\\x80\\xAEevil"));
    QCOMPARE(m.index(0, TrackListModel::ArtistColumn).data().toString(), QStringLiteral("\\x1B[2JBand"));
    QCOMPARE(m.index(0, TrackListModel::CoverColumn).data().toString(),
             QStringLiteral("\\xE2\\x80\\xAEevil"));
    // Edited as it stands; written as it stands.
    QCOMPARE(m.index(0, TrackListModel::TitleColumn).data(Qt::EditRole).toString(), t.title);
    QCOMPARE(preview.Result().titles.value(0), t.title);
    QVERIFY(preview.SkippedList->item(0)->text().startsWith(QStringLiteral("gone\\xFF\\xE2\\x80\\xAE.mp3")));
}

void TestNames::commandLine_data()
{
    QTest::addColumn<QList<QByteArray>>("args");
    QTest::addColumn<QByteArray>("output");
    QTest::newRow("design") << QList<QByteArray>{"--export-pdf", "o1.pdf", "bad\xffname.qwd"}
                            << QByteArray("o1.pdf");
    QTest::newRow("folder") << QList<QByteArray>{"--import-tracks", "alb\xffum", "--save", "o2.qwd"}
                            << QByteArray("o2.qwd");
    QTest::newRow("song") << QList<QByteArray>{"--import-tracks", "alb\xffum/song\xff.wav", "--save",
                                               "o3.qwd"}
                          << QByteArray("o3.qwd");
    QTest::newRow("playlist of URLs")
        << QList<QByteArray>{"--import-tracks", "urls.m3u", "--save", "o4.qwd"} << QByteArray("o4.qwd");
    QTest::newRow("song into design") << QList<QByteArray>{"--import-tracks", "./alb\xffum/song\xff.wav",
                                                           "bad\xffname.qwd", "--save", "o\xff.qwd"}
                                      << QByteArray("o\xff.qwd");
}

void TestNames::commandLine()
{
    QFETCH(QList<QByteArray>, args);
    QFETCH(QByteArray, output);
    const Run r = sleevedesk(args, dir.path());
    QVERIFY2(r.exitCode == 0, r.err.constData());
    QVERIFY(exists(dir.path(), output));
}

void TestNames::terminalEscapes_data()
{
    QTest::addColumn<QList<QByteArray>>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("said");
    QTest::addColumn<bool>("indexer"); // sleeveindex rather than sleevedesk
    QTest::newRow("picture path") << QList<QByteArray>{"--export-pdf", "t.pdf", "talking.qwd"} << 5
                                  << QByteArray("\\x1B]0;pwned\\x07\\x1B[2Jpic.png") << false;
    QTest::newRow("playlist entries")
        << QList<QByteArray>{"--import-tracks", "talking.m3u", "--save", "t.qwd"} << 0
        << QByteArray("\\x1B[2J\\xE2\\x80\\xAEgone.mp3") << false;
    QTest::newRow("design name") << QList<QByteArray>{"--export-pdf", "t.pdf", "\x1b[2Jgone.qwd"} << 2
                                 << QByteArray("\\x1B[2Jgone.qwd") << false;
    const QByteArray option("--lay\x1b[31mout"), optionSaid("lay\\x1B[31mout");
    const QByteArray linkSaid("\\x1B]0;pwned\\x07\\x1B[31mgone.pdf");
    QTest::newRow("designer: unknown option")
        << QList<QByteArray>{option, "talking.qwd"} << 1 << optionSaid << false;
    QTest::newRow("index maker: unknown option") << QList<QByteArray>{option, "."} << 1 << optionSaid << true;
    QTest::newRow("designer: output through a link")
        << QList<QByteArray>{"--export-pdf", "link.pdf", "bad\xffname.qwd"} << 3 << linkSaid << false;
    QTest::newRow("index maker: catalog through a link")
        << QList<QByteArray>{"--export-catalog", "link.pdf", "."} << 3 << linkSaid << true;
}

void TestNames::terminalEscapes()
{
    QFETCH(QList<QByteArray>, args);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, said);
    QFETCH(bool, indexer);
    const Run r = sleevedesk(args, dir.path(), indexer ? SLEEVEINDEX : SLEEVEDESK);
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY2(r.err.contains(said), r.err.constData());
    for (const char c : r.err)
        QVERIFY2(static_cast<unsigned char>(c) >= 0x20 || c == '\n', r.err.toHex(' ').constData());
}

QTEST_MAIN(TestNames)
#include "test_names.moc"
