// sleevedesk --import-tracks: a track list into a design without a window and without a display,
// saved or exported; its options, warnings, exit codes and one-line reasons.

#include <QtTest>

#include <QCheckBox>
#include <QLineEdit>
#include <QTemporaryDir>

#include "app_setup.h"
#include "cover_elements.h"
#include "design.h"
#include "designfile.h"
#include "titles.h"

#include "fixtures.h"
#include "pages.h"
#include "scriptrun.h"

using fixtures::Kind;
using fixtures::Tags;

namespace {

struct Run {
    int exitCode = -1;
    QStringList errLines;
};

Run sleevedesk(const QStringList &args, const QString &dir)
{
    const scriptrun::Result r = scriptrun::Run(QStringLiteral(SLEEVEDESK), args, dir);
    return {r.exitCode, r.err.split(u'\n', Qt::SkipEmptyParts)};
}

} // namespace

class TestTrackImportCli : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void importAndWrite_data();
    void importAndWrite();
    void helpNamesIt();
    void longListOnPage_data();
    void longListOnPage();

private:
    QString path(const QString &name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

void TestTrackImportCli::initTestCase()
{
    SetupDesignerApplication();
    QVERIFY(dir.isValid());
    QDir().mkpath(path("album"));
    QDir().mkpath(path("empty"));
    const char *names[] = {"One", "Two", "Three"};
    for (int i = 0; i < 3; ++i)
        QVERIFY(fixtures::makeAudio(path(QStringLiteral("album/0%1.wav").arg(i + 1)), Kind::Wav,
                                    Tags{names[i], "Ana Ruiz", "Night Songs", {}, i + 1, 0}, dir.path(),
                                    1000 * (i + 1)));
    QByteArray text;
    for (int i = 1; i <= 30; ++i)
        text += "Line" + QByteArray::number(i) + "\n";
    QVERIFY(fixtures::writeBytes(path("thirty.txt"), text));
    for (int i = 31; i <= 120; ++i)
        text += "Line" + QByteArray::number(i) + "\n";
    QVERIFY(fixtures::writeBytes(path("many.txt"), text));
    QByteArray wide; // 40 titles in three columns, the second too wide for one at 6 pt
    for (int i = 1; i <= 40; ++i)
        wide += (i == 2 ? QByteArray("Wide ").repeated(30) : "Line" + QByteArray::number(i)) + "\n";
    QVERIFY(fixtures::writeBytes(path("wide.txt"), wide));
    QByteArray fourteen; // the ninth too long for its line on the cover
    for (int i = 1; i <= 14; ++i)
        fourteen += (i == 9 ? QByteArray("Nine ").repeated(40) : "Line" + QByteArray::number(i)) + "\n";
    QVERIFY(fixtures::writeBytes(path("fourteen.txt"), fourteen));
    QVERIFY(fixtures::writeBytes(path("sheet.cue"),
                                 "PERFORMER \"Quartet\"\nTITLE \"Live\"\n"
                                 "TRACK 01 AUDIO\nTITLE \"Alderney\"\nINDEX 01 00:00:00\n"
                                 "TRACK 02 AUDIO\nTITLE \"Brecqhou\"\nINDEX 01 03:05:00\n"));
    QVERIFY(fixtures::writeBytes(path("mix.m3u"), "#EXTINF:61,Sark\ngone.mp3\nalso-gone.mp3\n"));
    QVERIFY(fixtures::writeBytes(path("gone.cue"), "FILE \"gone.wav\" WAVE\nTRACK 01 AUDIO\nTITLE \"Herm\"\n"
                                                   "INDEX 01 00:00:00\n"));
    // A sparse M4A of 4 GiB + 160 bytes whose title atom claims 2^32 + 64 bytes.
    const auto be = [](quint64 v, int bytes) {
        QByteArray b;
        for (int i = bytes - 1; i >= 0; --i)
            b.append(char((v >> (8 * i)) & 0xFF));
        return b;
    };
    const quint64 title = (quint64(1) << 32) + 64, ilst = title + 16, meta = ilst + 20, udta = meta + 16;
    QFile m4a(path("over4g.m4a"));
    QVERIFY(m4a.open(QIODevice::WriteOnly));
    m4a.write(be(20, 4) + "ftypM4A " + be(0, 4) + "M4A " + be(8, 4) + "free" + be(1, 4) + "moov" +
              be(udta + 16, 8) + be(1, 4) + "udta" + be(udta, 8) + be(1, 4) + "meta" + be(meta, 8) +
              be(0, 4) + be(1, 4) + "ilst" + be(ilst, 8) + be(1, 4) + "\xA9nam" + be(title, 8));
    QVERIFY(m4a.resize(qint64(title) + 96));
    m4a.close();
    Design d;
    d.Text1->setText("Northbound");
    QVERIFY(designfile::Write(path("cover.qwd"), d.DesignRecords()));
    d.TitlesForm()->Text(21)->setText("PubLine");
    d.TitlesForm()->Text(24)->setText("NoteText");
    QVERIFY(designfile::Write(path("credits.qwd"), d.DesignRecords()));
    QVERIFY(d.Document().setSpineText(QStringLiteral("Wide ").repeated(26)));
    QVERIFY(designfile::Write(path("spine.qwd"), d.Document().Records(), d.Document().Settings()));
}

void TestTrackImportCli::importAndWrite_data()
{
    // SRC stands for the test folder; OUT for the work folder's output.
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("err");    // the start of each stderr line
    QTest::addColumn<QStringList>("titles"); // title lines 1, 2 and 20, field 24, headlines
    QTest::newRow("text list of 30 into a new design: all kept, none in the note")
        << QStringList{"--import-tracks", "SRC/thirty.txt", "--save", "OUT.qwd"} << 0 << QStringList{}
        << QStringList{"Line1", "Line2", "Line20", "", "", "", "Line30"};
    QTest::newRow("120 titles: 99 kept")
        << QStringList{"--import-tracks", "SRC/many.txt", "--save", "OUT.qwd"} << 0
        << QStringList{"sleevedesk: warning: 120 titles read, the first 99 kept, 21 left out"}
        << QStringList{"Line1", "Line2", "Line20", "", "", "", "Line99"};
    QTest::newRow("a title too wide for its column")
        << QStringList{"--import-tracks", "SRC/wide.txt", "--save", "OUT.qwd"} << 0
        << QStringList{"sleevedesk: warning: 1 title is cut short to fit its column"}
        << QStringList{"Line1", QString("Wide ").repeated(30).trimmed(), "Line20", "", "", "", "Line40"};
    QTest::newRow("a title past the cut line")
        << QStringList{"--import-tracks", "SRC/fourteen.txt", "--save", "OUT.qwd"} << 0
        << QStringList{"sleevedesk: warning: 1 title line is cut short to end inside the cut line"}
        << QStringList{"Line1", "Line2", "", "", "", ""};
    QTest::newRow("a spine text too long for the tray card")
        << QStringList{"--import-tracks", "SRC/sheet.cue", "SRC/spine.qwd", "--export-pdf",
                       "OUT.pdf",         "--as",          "tray"}
        << 0 << QStringList{"sleevedesk: warning: the spine text is cut short: "} << QStringList{};
    QTest::newRow("--replace-headlines")
        << QStringList{"--import-tracks",     "SRC/album", "SRC/cover.qwd",
                       "--replace-headlines", "--save",    "OUT.qwd"}
        << 0 << QStringList{} << QStringList{"One", "Two", "", "", "Night Songs", "Ana Ruiz"};
    QTest::newRow("--replace-headlines alone")
        << QStringList{"--replace-headlines", "--export-pdf", "OUT.pdf", "SRC/cover.qwd"} << 1
        << QStringList{"sleevedesk: --replace-headlines goes with --import-tracks"} << QStringList{};
    QTest::newRow("CUE sheet, numbered with lengths, album and performer to headlines")
        << QStringList{"--import-tracks=SRC/sheet.cue", "--numbered", "--durations", "--save", "OUT.qwd"} << 0
        << QStringList{} << QStringList{"1. Alderney (3:05)", "2. Brecqhou", "", "", "Live", "Quartet"};
    QTest::newRow("numbered only") << QStringList{"--import-tracks", "SRC/sheet.cue", "--numbered", "--save",
                                                  "OUT.qwd"}
                                   << 0 << QStringList{}
                                   << QStringList{"1. Alderney", "2. Brecqhou", "", "", "Live", "Quartet"};
    QTest::newRow("folder into a design: its headline stays")
        << QStringList{"--import-tracks", "SRC/album", "SRC/cover.qwd", "--durations", "--save", "OUT.qwd"}
        << 0 << QStringList{} << QStringList{"One (0:01)", "Two (0:02)", "", "", "Northbound", "Ana Ruiz"};
    QTest::newRow("several audio files: in the order given")
        << QStringList{"--import-tracks",  "SRC/album/03.wav", "--import-tracks",
                       "SRC/album/02.wav", "--save",           "OUT.qwd"}
        << 0 << QStringList{} << QStringList{"Three", "Two", "", "", "Night Songs", "Ana Ruiz"};
    QTest::newRow("playlist: a missing entry is warned of")
        << QStringList{"--import-tracks", "SRC/mix.m3u", "--save", "OUT.qwd"} << 0
        << QStringList{"sleevedesk: warning: also-gone.mp3 is skipped: file not found"}
        << QStringList{"Sark", "", "", "", "", ""};
    QTest::newRow("PDF") << QStringList{"--import-tracks", "SRC/sheet.cue", "--numbered", "--export-pdf",
                                        "OUT.pdf"}
                         << 0 << QStringList{} << QStringList{"1. Alderney", "2. Brecqhou"};
    QTest::newRow("CUE sheet whose audio file is missing: its track is kept")
        << QStringList{"--import-tracks", "SRC/gone.cue", "--save", "OUT.qwd"} << 0
        << QStringList{"sleevedesk: warning: gone.wav: length of the last track unknown: file not found"}
        << QStringList{"Herm", "", "", "", "", ""};
    QTest::newRow("M4A of 4 GiB whose title atom claims 2^32 + 64 bytes: nothing written")
        << QStringList{"--import-tracks", "SRC/over4g.m4a", "--save", "OUT.qwd"} << 6
        << QStringList{"sleevedesk: cannot read the track list SRC/over4g.m4a: SRC/over4g.m4a: not a "
                       "readable "
                       "audio file (its tag claims over 64 MiB)."}
        << QStringList{};
    QTest::newRow("nothing read: each entry's reason")
        << QStringList{"--import-tracks", "SRC/over4g.m4a", "--import-tracks",
                       "SRC/nowhere.mp3", "--save",         "OUT.qwd"}
        << 6
        << QStringList{"sleevedesk: cannot read the track list SRC/over4g.m4a, SRC/nowhere.mp3: No track "
                       "could "
                       "be read.",
                       "sleevedesk: SRC/over4g.m4a is skipped: not a readable audio file (its tag claims "
                       "over 64 MiB)",
                       "sleevedesk: SRC/nowhere.mp3 is skipped: file not found"}
        << QStringList{};
    QTest::newRow("missing track list: nothing written")
        << QStringList{"--import-tracks", "SRC/nowhere.cue", "--save", "OUT.qwd"} << 6
        << QStringList{"sleevedesk: cannot read the track list SRC/nowhere.cue: "} << QStringList{};
    QTest::newRow("folder without audio: nothing written")
        << QStringList{"--import-tracks", "SRC/empty", "--export-pdf", "OUT.pdf"} << 6
        << QStringList{"sleevedesk: cannot read the track list SRC/empty: There are no audio files in"}
        << QStringList{};
    QTest::newRow("missing design") << QStringList{"--import-tracks", "SRC/sheet.cue", "nowhere.qwd",
                                                   "--save", "OUT.qwd"}
                                    << 2 << QStringList{"sleevedesk: cannot read the design nowhere.qwd: "}
                                    << QStringList{};
    QTest::newRow("save cannot be written")
        << QStringList{"--import-tracks", "SRC/sheet.cue", "--save", "no/such/OUT.qwd"} << 3
        << QStringList{"sleevedesk: cannot write no/such/OUT.qwd: "} << QStringList{};
    QTest::newRow("no output")
        << QStringList{"--import-tracks", "SRC/sheet.cue", "--numbered"} << 1
        << QStringList{"sleevedesk: --import-tracks goes with one of --save and --export-pdf"}
        << QStringList{};
    QTest::newRow("PNG is not its output")
        << QStringList{"--import-tracks", "SRC/sheet.cue", "--export-png", "OUT.png"} << 1
        << QStringList{"sleevedesk: --import-tracks goes with one of --save and --export-pdf"}
        << QStringList{};
    QTest::newRow("--numbered alone")
        << QStringList{"--numbered", "--export-pdf", "OUT.pdf", "SRC/cover.qwd"} << 1
        << QStringList{"sleevedesk: --numbered goes with --import-tracks"} << QStringList{};
    QTest::newRow("--save alone") << QStringList{"--save", "OUT.qwd", "SRC/cover.qwd"} << 1
                                  << QStringList{"sleevedesk: --save goes with --import-tracks"}
                                  << QStringList{};
}

void TestTrackImportCli::importAndWrite()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QStringList, err);
    QFETCH(QStringList, titles);
    QTemporaryDir work;
    for (QString &a : args)
        a.replace(QStringLiteral("SRC"), dir.path());
    for (QString &e : err)
        e.replace(QStringLiteral("SRC"), dir.path());
    const Run run = sleevedesk(args, work.path());
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.errLines.size(), err.size());
    for (qsizetype i = 0; i < err.size(); ++i)
        QVERIFY2(run.errLines[i].startsWith(err[i]), qPrintable(run.errLines[i]));
    const QStringList written = QDir(work.path()).entryList(QDir::Files);
    QCOMPARE(written.size(), exitCode == 0 ? 1 : 0); // nothing else, no temporary left behind
    if (exitCode != 0)
        return;
    const QString out = work.filePath(written.front());
    if (out.endsWith(".pdf")) {
        if (!pages::PopplerInstalled())
            QSKIP("poppler-utils (pdftotext) are not installed");
        const QList<pages::Word> words = pages::Words(out);
        for (const QString &title : titles) {
            const QStringList parts = title.split(u' ');
            const pages::Word *number = pages::Find(words, parts[0]);
            const pages::Word *name = pages::Find(words, parts[1]);
            QVERIFY2(number && name, qPrintable(title));
            QVERIFY(std::abs(number->box.top() - name->box.top()) < 1.0); // on one line
            QVERIFY(number->box.left() < name->box.left());
        }
        return;
    }
    const auto records = designfile::Read(out);
    QVERIFY(records);
    Design d;
    d.LoadDesign(out, *records);
    QCOMPARE(d.CoverLabelN(4)->Caption(), titles[0]);
    QCOMPARE(d.CoverLabelN(5)->Caption(), titles[1]);
    QCOMPARE(d.CoverLabelN(23)->Caption(), titles[2]);
    QCOMPARE(d.CoverLabelN(27)->Caption(), titles[3]);
    QCOMPARE(d.Text1->text(), titles[4]);
    QCOMPARE(d.Text2->text(), titles[5]);
    QVERIFY(d.Check7->isChecked()); // Show Titles
    // A long list is kept whole after the records; its last title is the one given.
    if (titles.size() > 6)
        QCOMPARE(d.Document().titles.list.value(d.Document().titles.list.size() - 1), titles[6]);
    else
        QVERIFY(d.Document().titles.list.isEmpty());
}

void TestTrackImportCli::helpNamesIt()
{
    const QString help = scriptrun::Run(QStringLiteral(SLEEVEDESK), {QStringLiteral("--help")}).out;
    for (const char *text : {"--import-tracks <source>", "--numbered", "--durations", "--replace-headlines",
                             "--save <file.qwd>", "6  no track could be read"})
        QVERIFY2(help.contains(QLatin1String(text)), text);
}

// Every title once on the exported page, inside the block's area (the 20 lines' place down to the
// first credit line, 12 px of margin around the panel, 0.75 pt a pixel), at 6 pt or more; the
// credit line and the note keep their own texts and places.
void TestTrackImportCli::longListOnPage_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("30") << 30;
    QTest::newRow("40") << 40;
    QTest::newRow("99") << 99;
}

void TestTrackImportCli::longListOnPage()
{
    QFETCH(int, count);
    if (!pages::PopplerInstalled())
        QSKIP("poppler-utils (pdftotext) are not installed");
    QTemporaryDir work;
    QByteArray text;
    for (int i = 1; i <= count; ++i)
        text += "Song" + QByteArray::number(i) + "\n";
    QVERIFY(fixtures::writeBytes(work.filePath("list.txt"), text));
    const Run run = sleevedesk({"--import-tracks", work.filePath("list.txt"), path("credits.qwd"),
                                "--export-pdf", work.filePath("out.pdf")},
                               work.path());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.errLines, QStringList());
    const QList<pages::Word> words = pages::Words(work.filePath("out.pdf"));
    const auto pt = [](double px) { return (px + 12) * 0.75; };
    const QRectF area(QPointF(pt(50), pt(80)), QPointF(pt(406), pt(280)));
    for (int i = 1; i <= count; ++i) {
        const QString title = QStringLiteral("Song%1").arg(i);
        const auto same =
            std::count_if(words.begin(), words.end(), [&](const pages::Word &w) { return w.text == title; });
        QVERIFY2(same == 1, qPrintable(title));
        const pages::Word *w = pages::Find(words, title);
        QVERIFY2(area.adjusted(-1, -1, 1, 1).contains(w->box), qPrintable(title));
        QVERIFY2(w->box.height() >= 6, qPrintable(QStringLiteral("%1: %2").arg(title).arg(w->box.height())));
    }
    const pages::Word *credit = pages::Find(words, "PubLine");
    const pages::Word *note = pages::Find(words, "NoteText");
    QVERIFY(credit && note);
    QVERIFY(credit->box.top() >= area.bottom() - 1);
    QVERIFY(note->box.top() >= credit->box.bottom());
}

QTEST_MAIN(TestTrackImportCli)
#include "test_trackimport_cli.moc"
