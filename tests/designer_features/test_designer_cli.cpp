// The command line: exports and prints without a display, their exit codes
// and one-line reasons, and the same pages from the same design.
#include <QtTest>

#include <QLabel>
#include <QLineEdit>
#include <QtEndian>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

#include "app_setup.h"
#include "design.h"
#include "pages.h"
#include "pdfpaths.h"
#include "scripteddialog.h"
#include "scriptrun.h"

namespace {

// sleevedesk as from a script, and with no print server whatever the machine runs.
scriptrun::Result sleevedesk(const QStringList &args, const QString &dir)
{
    QProcessEnvironment env = scriptrun::WithoutDisplay();
    env.insert(QStringLiteral("CUPS_SERVER"), QStringLiteral("/nonexistent/cups.sock"));
    return scriptrun::Run(QStringLiteral(SLEEVEDESK), args, dir, env);
}

// sleevedesk with its standard output as bytes, and optionally a full disk: writes past
// `fileLimit` bytes fail (EFBIG), as when the disk fills up.
struct RawRun {
    int exitCode = -1;
    QByteArray out;
    QString err;
};
RawRun sleevedeskRaw(const QStringList &args, const QString &dir, rlim_t fileLimit)
{
    QProcessEnvironment env = scriptrun::WithoutDisplay();
    env.insert(QStringLiteral("CUPS_SERVER"), QStringLiteral("/nonexistent/cups.sock"));
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(dir);
    if (fileLimit > 0)
        p.setChildProcessModifier([fileLimit] {
            std::signal(SIGXFSZ, SIG_IGN);
            struct rlimit limit = {fileLimit, fileLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        });
    p.start(QStringLiteral(SLEEVEDESK), args);
    if (!p.waitForFinished(60000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            QString::fromUtf8(p.readAllStandardError())};
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

} // namespace

class TestDesignerCli : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void commandLine_data();
    void commandLine();
    void outputs_data();
    void outputs();
    void outputIsAnInput_data();
    void outputIsAnInput();
    void windowExportKeepsItsDesign();
    void version();
    void sameDesignSamePages();
    void as_data();
    void as();

private:
    QTemporaryDir tmp;
    QString design;     // a cover with a headline and a picture
    QString brokenLink; // one whose picture is gone
};

void TestDesignerCli::initTestCase()
{
    SetupDesignerApplication();
    QVERIFY(tmp.isValid());
    ScriptedDialogBackend dialogs;
    CommonDialog::SetBackend(&dialogs);
    QImage img(300, 200, QImage::Format_RGB32);
    img.fill(Qt::red);
    const QString pic = tmp.filePath(QStringLiteral("pic.png"));
    QVERIFY(img.save(pic));
    QVERIFY(img.save(tmp.filePath(QStringLiteral("gone.png"))));
    {
        Design d;
        d.Text1->setText(QStringLiteral("Northbound"));
        dialogs.push(ScriptedDialogBackend::choose(pic));
        d.Command8_Click();
        design = tmp.filePath(QStringLiteral("cover.qwd"));
        dialogs.push(ScriptedDialogBackend::choose(design));
        d.Command2_Click();
        dialogs.push(ScriptedDialogBackend::choose(tmp.filePath(QStringLiteral("gone.png"))));
        d.Command9_Click(); // logo 1
        brokenLink = tmp.filePath(QStringLiteral("broken.qwd"));
        dialogs.push(ScriptedDialogBackend::choose(brokenLink));
        d.Command2_Click();
    }
    QVERIFY(QFile::remove(tmp.filePath(QStringLiteral("gone.png"))));
    // The design again, its picture cut short after the header: the size reads, the pixels do not.
    QVERIFY(QFile::copy(pic, tmp.filePath("cut.png")) &&
            QFile::resize(tmp.filePath("cut.png"), fileBytes(pic).indexOf("IDAT") + 8));
    QFile cut(tmp.filePath(QStringLiteral("cut.qwd")));
    QVERIFY(cut.open(QIODevice::WriteOnly) && cut.write(fileBytes(design).replace("pic.png", "cut.png")) > 0);
    CommonDialog::SetBackend(nullptr);
    // Files given by mistake for a design: a text file of a few lines, and 75 lines of noise.
    QFile passwd(tmp.filePath(QStringLiteral("passwd")));
    QVERIFY(passwd.open(QIODevice::WriteOnly));
    passwd.write("root:x:0:0:root:/root:/bin/bash\ndaemon:x:1:1:daemon:/usr/sbin:/usr/sbin/nologin\n");
    passwd.close();
    QFile noise(tmp.filePath(QStringLiteral("noise.qwd")));
    QVERIFY(noise.open(QIODevice::WriteOnly));
    for (int i = 0; i < 80; ++i)
        noise.write(QByteArray::number(i * 7919, 36) + "\xC3\x28\x01\r\n");
}

void TestDesignerCli::commandLine_data()
{
    QTest::addColumn<QStringList>("args"); // DESIGN, BROKEN, FOLDER and OUT stand for files
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("err");   // what stderr's one line holds ("" for silence)
    QTest::addColumn<QSize>("pngSize"); // the PNG written; empty for a PDF or nothing
    QTest::newRow("pdf") << QStringList{"--export-pdf", "OUT.pdf", "DESIGN"} << 0 << "" << QSize();
    QTest::newRow("png at 300 dpi by default")
        << QStringList{"DESIGN", "--export-png", "OUT.png"} << 0 << "" << QSize(1500, 1500);
    QTest::newRow("png at 96 dpi, option=value")
        << QStringList{"--export-png=OUT.png", "--dpi=96", "DESIGN"} << 0 << "" << QSize(480, 480);
    QTest::newRow("unreadable picture: written without it")
        << QStringList{"--export-png", "OUT.png", "--dpi", "96", "BROKEN"} << 5
        << "sleevedesk: warning: the picture %1/gone.png is left out: The file does not exist."
        << QSize(480, 480);
    QTest::newRow("missing design") << QStringList{"--export-pdf", "OUT.pdf", "nowhere.qwd"} << 2
                                    << "sleevedesk: cannot read the design nowhere.qwd: " << QSize();
    QTest::newRow("a folder for a design")
        << QStringList{"--export-pdf", "OUT.pdf", "FOLDER"} << 2
        << "sleevedesk: cannot read the design %1: %1 is a folder." << QSize();
    QTest::newRow("output cannot be written")
        << QStringList{"--export-pdf", "no/such/dir/OUT.pdf", "DESIGN"} << 3
        << "sleevedesk: cannot write no/such/dir/OUT.pdf: " << QSize();
    QTest::newRow("printer does not exist")
        << QStringList{"--print", "DESIGN", "--printer", "NOPE"} << 4
        << "sleevedesk: nothing was printed: The printer \"NOPE\" does not exist." << QSize();
    QTest::newRow("no default printer")
        << QStringList{"--print", "DESIGN"} << 4 << "sleevedesk: nothing was printed: No printer was chosen"
        << QSize();
    QTest::newRow("dpi out of range") << QStringList{"--export-png", "OUT.png", "--dpi", "601", "DESIGN"} << 1
                                      << "sleevedesk: --dpi takes a whole number from 1 to 600" << QSize();
    QTest::newRow("dpi without png") << QStringList{"--export-pdf", "OUT.pdf", "--dpi", "96", "DESIGN"} << 1
                                     << "sleevedesk: --dpi goes with --export-png" << QSize();
    QTest::newRow("two at once") << QStringList{"--export-pdf", "OUT.pdf", "--print", "DESIGN"} << 1
                                 << "sleevedesk: --export-pdf, --export-png and --print go one at a time"
                                 << QSize();
    QTest::newRow("not a design: a few lines of text")
        << QStringList{"--export-pdf", "OUT.pdf", "FOLDER/passwd"} << 2
        << "sleevedesk: cannot read the design %1/passwd: not a design file: it has 2 lines" << QSize();
    QTest::newRow("not a design: 75 lines of noise")
        << QStringList{"--export-pdf", "OUT.pdf", "FOLDER/noise.qwd"} << 2
        << "sleevedesk: cannot read the design %1/noise.qwd: not a design file: line 4 should hold the top "
           "headline colour."
        << QSize();
}

void TestDesignerCli::commandLine()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, err);
    QFETCH(QSize, pngSize);
    QTemporaryDir work;
    const bool png = args.join(u' ').contains(QStringLiteral("OUT.png"));
    for (QString &a : args) {
        a.replace(QStringLiteral("BROKEN"), brokenLink)
            .replace(QStringLiteral("DESIGN"), design)
            .replace(QStringLiteral("FOLDER"), tmp.path());
    }
    const scriptrun::Result run = sleevedesk(args, work.path());
    QCOMPARE(run.exitCode, exitCode);
    if (err.isEmpty()) {
        QCOMPARE(run.err, QString());
    } else {
        QVERIFY2(run.err.startsWith(err.contains(QLatin1String("%1")) ? err.arg(tmp.path()) : err),
                 qPrintable(run.err));
        QCOMPARE(run.err.count(u'\n'), 1); // one line
    }
    const QString out = work.filePath(png ? QStringLiteral("OUT.png") : QStringLiteral("OUT.pdf"));
    QCOMPARE(QFileInfo::exists(out), exitCode == 0 || exitCode == 5);
    if (png && QFileInfo::exists(out)) {
        const QImage img(out);
        QCOMPARE(img.size(), pngSize);
        QCOMPARE(img.pixelColor(img.width() / 2, img.height() / 2), QColor(Qt::red)); // the main picture
    } else if (exitCode == 0 && pages::PopplerInstalled()) {
        const QList<pages::Word> words = pages::Words(out);
        const pages::Word *w = pages::Find(words, QStringLiteral("Northbound"));
        QVERIFY(w);
        QVERIFY(std::abs(w->box.top() - (Design::ExportMargin + 8) * 0.75) < 3.0);
    }
}

void TestDesignerCli::outputs_data()
{
    // OUT is the output; DESIGN the test's design; TITLES a track list.
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("before"); // what OUT is first: "old", "fifo", "design", "titles"
    QTest::addColumn<bool>("fullDisk");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("err"); // how stderr's one line starts ("" for silence)
    const QString notWritten = QStringLiteral("sleevedesk: cannot write OUT: ");
    QTest::newRow("pdf, full disk") << QStringList{"--export-pdf", "OUT", "DESIGN"} << "old" << true << 3
                                    << notWritten;
    QTest::newRow("png, full disk") << QStringList{"--export-png", "OUT", "--dpi", "96", "DESIGN"} << "old"
                                    << true << 3 << notWritten;
    QTest::newRow("save, full disk") << QStringList{"--import-tracks", "TITLES", "--save", "OUT"} << "old"
                                     << true << 3 << notWritten;
    QTest::newRow("pdf into a FIFO") << QStringList{"--export-pdf", "OUT", "DESIGN"} << "fifo" << false << 3
                                     << notWritten;
    QTest::newRow("pdf over its own design")
        << QStringList{"--export-pdf", "OUT", "OUT"} << "design" << false << 3 << notWritten;
    QTest::newRow("png over its own design")
        << QStringList{"--export-png", "OUT", "OUT"} << "design" << false << 3 << notWritten;
    QTest::newRow("save over its own design")
        << QStringList{"--import-tracks", "TITLES", "OUT", "--save", "OUT"} << "design" << false << 3
        << notWritten;
    QTest::newRow("save over its track list")
        << QStringList{"--import-tracks", "OUT", "--save", "OUT"} << "titles" << false << 3 << notWritten;
    QTest::newRow("pdf to standard output")
        << QStringList{"--export-pdf", "-", "DESIGN"} << "old" << false << 0 << "";
    QTest::newRow("png to standard output")
        << QStringList{"--export-png", "-", "--dpi", "96", "DESIGN"} << "old" << false << 0 << "";
    QTest::newRow("save to standard output")
        << QStringList{"--import-tracks", "TITLES", "--save", "-"} << "old" << false << 0 << "";
}

// A failed or refused write is exit 3 with one line and the old file as it was; "-" is
// standard output.
void TestDesignerCli::outputs()
{
    QFETCH(QStringList, args);
    QFETCH(QString, before);
    QFETCH(bool, fullDisk);
    QFETCH(int, exitCode);
    QFETCH(QString, err);
    QTemporaryDir work;
    const QString out = work.filePath(QStringLiteral("out.txt")); // readable as a track list too
    const QString titles = work.filePath(QStringLiteral("titles.txt"));
    {
        QFile t(titles);
        QVERIFY(t.open(QIODevice::WriteOnly) && t.write("Alderney\nBrecqhou\n") > 0);
    }
    QByteArray old = "old output\n";
    if (before == "design")
        old = fileBytes(design);
    else if (before == "titles")
        old = fileBytes(titles);
    if (before == "fifo") {
        QCOMPARE(::mkfifo(QFile::encodeName(out).constData(), 0644), 0);
    } else {
        QFile f(out);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(old) == old.size());
    }
    for (QString &a : args)
        a.replace(QStringLiteral("DESIGN"), design).replace(QStringLiteral("TITLES"), titles);
    args.replaceInStrings(QStringLiteral("OUT"), out);

    const RawRun run = sleevedeskRaw(args, work.path(), fullDisk ? 200 : 0);
    QCOMPARE(run.exitCode, exitCode);
    if (err.isEmpty()) {
        QCOMPARE(run.err, QString());
    } else {
        QVERIFY2(run.err.startsWith(QString(err).replace(QStringLiteral("OUT"), out)), qPrintable(run.err));
        QCOMPARE(run.err.count(u'\n'), 1);
    }
    // Nothing but OUT and the track list in the folder: no temporary, no file named "-".
    QCOMPARE(QDir(work.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
             (QStringList{"out.txt", "titles.txt"}));
    struct stat st;
    QCOMPARE(::lstat(QFile::encodeName(out).constData(), &st), 0);
    if (before == "fifo")
        QVERIFY(S_ISFIFO(st.st_mode));
    else
        QCOMPARE(fileBytes(out), old);
    if (args.contains(QStringLiteral("-"))) {
        if (args.contains(QStringLiteral("--export-pdf")))
            QVERIFY(run.out.startsWith("%PDF-") && run.out.trimmed().endsWith("%%EOF"));
        else if (args.contains(QStringLiteral("--export-png")))
            QCOMPARE(QImage::fromData(run.out, "PNG").size(), QSize(480, 480));
        else
            QVERIFY(run.out.count("\r\n") == designfile::RecordCount && run.out.contains("Alderney"));
    } else {
        QCOMPARE(run.out, QByteArray());
    }
}

void TestDesignerCli::outputIsAnInput_data()
{
    // album/song.wav, read by way of a playlist, the folder or a CUE sheet; or the design's
    // main picture (hard links and links: test_safewrite).
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("out");
    QTest::newRow("pdf over a playlist's track")
        << QStringList{"--import-tracks", "list.m3u", "--export-pdf", "OUT", "DESIGN"} << "album/song.wav";
    QTest::newRow("save over a track of the folder imported")
        << QStringList{"--import-tracks", "album", "--save", "OUT"} << "album/song.wav";
    QTest::newRow("pdf over the file a CUE sheet names")
        << QStringList{"--import-tracks", "sheet.cue", "--export-pdf", "OUT", "DESIGN"} << "album/song.wav";
    QTest::newRow("png over the design's picture")
        << QStringList{"--export-png", "OUT", "--dpi", "96", "DESIGN"} << "PICTURE";
}

// Whatever surface read a file, no output of the run replaces it: exit 3, the file kept.
void TestDesignerCli::outputIsAnInput()
{
    QFETCH(QStringList, args);
    QFETCH(QString, out);
    QTemporaryDir work;
    QVERIFY(QDir(work.path()).mkdir("album"));
    QByteArray wav = "RIFF    WAVEfmt " + QByteArray::fromHex("1000000001000100401f0000401f000001000800") +
                     "data" + QByteArray::fromHex("401f0000") + QByteArray(8000, char(0x80)); // 1 s, silent
    qToLittleEndian<quint32>(quint32(wav.size() - 8), wav.data() + 4);
    for (const auto &[name, bytes] :
         {std::pair<QString, QByteArray>{"album/song.wav", wav},
          {"list.m3u", "album/song.wav\n"},
          {"sheet.cue", "FILE \"album/song.wav\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"}}) {
        QFile f(work.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }
    args.replaceInStrings(QStringLiteral("DESIGN"), design);
    const QString target = out == "PICTURE" ? tmp.filePath("pic.png") : work.filePath(out);
    const QByteArray kept = fileBytes(target);
    args.replaceInStrings(QStringLiteral("OUT"), target);
    const QStringList before =
        QDir(work.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

    const RawRun run = sleevedeskRaw(args, work.path(), 0);
    QVERIFY2(run.exitCode == 3 && run.err.contains("a file this run reads"), qPrintable(run.err));
    QCOMPARE(fileBytes(target), kept);
    QCOMPARE(QDir(work.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
}

// The window's design counts as read even when it was not (saved under a new name): neither of
// its exports replaces it.
void TestDesignerCli::windowExportKeepsItsDesign()
{
    QTemporaryDir work;
    const QString saved = work.filePath("new.qwd");
    ScriptedDialogBackend dialogs;
    CommonDialog::SetBackend(&dialogs);
    {
        Design d;
        for (int i = 0; i < 3; ++i)
            dialogs.push(ScriptedDialogBackend::choose(saved));
        d.Command2_Click();
        const QByteArray before = fileBytes(saved);
        d.ExportPdf();
        QCOMPARE(fileBytes(saved), before);
        d.ExportAs(casepages::Output::Tray);
        QCOMPARE(fileBytes(saved), before);
    }
    CommonDialog::SetBackend(nullptr);
}

// Without a display, as --help (test_trackimport_cli): neither needs a window.
void TestDesignerCli::version()
{
    QTemporaryDir work;
    const scriptrun::Result run = sleevedesk({QStringLiteral("--version")}, work.path());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QStringLiteral("sleevedesk " SLEEVE_VERSION "\n"));
    QCOMPARE(run.err, QString());
    QVERIFY(QDir(work.path()).isEmpty());
}

void TestDesignerCli::sameDesignSamePages()
{
    QTemporaryDir work;
    for (const QString &name : {QStringLiteral("a"), QStringLiteral("b")}) {
        QCOMPARE(sleevedesk({"--export-pdf", name + ".pdf", design}, work.path()).exitCode, 0);
        QCOMPARE(sleevedesk({"--export-png", name + ".png", design}, work.path()).exitCode, 0);
    }
    QFile a(work.filePath(QStringLiteral("a.pdf"))), b(work.filePath(QStringLiteral("b.pdf")));
    QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    QCOMPARE(pages::WithoutDateAndId(a.readAll()), pages::WithoutDateAndId(b.readAll()));
    QCOMPARE(QImage(work.filePath(QStringLiteral("a.png"))), QImage(work.filePath(QStringLiteral("b.png"))));
}

void TestDesignerCli::as_data()
{
    QTest::addColumn<QStringList>("args"); // OUT stands for the output file
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("err");
    QTest::addColumn<QList<QSizeF>>("pages"); // millimetres; a PNG's pixels at 96 dpi
    const double margin = 2 * 12 * 25.4 / 96;
    QTest::newRow("cover by default") << QStringList{"--export-pdf", "OUT.pdf", "--as", "cover"} << 0 << ""
                                      << QList<QSizeF>{{456 * 25.4 / 96 + margin, 456 * 25.4 / 96 + margin}};
    QTest::newRow("tray card") << QStringList{"--export-pdf", "OUT.pdf", "--as", "tray"} << 0 << ""
                               << QList<QSizeF>{{150.8 + margin, 117.5 + margin}};
    QTest::newRow("set on two A4 sheets") << QStringList{"--as=set", "--export-pdf", "OUT.pdf"} << 0 << ""
                                          << QList<QSizeF>{{210, 297}, {210, 297}};
    QTest::newRow("disc as PNG") << QStringList{"--export-png", "OUT.png", "--dpi", "96", "--as", "disc"} << 0
                                 << "" << QList<QSizeF>{{470, 470}};
    QTest::newRow("track list imported, tray card")
        << QStringList{"--import-tracks", "TITLES", "--export-pdf", "OUT.pdf", "--as", "tray"} << 0 << ""
        << QList<QSizeF>{{150.8 + margin, 117.5 + margin}};
    QTest::newRow("not an output") << QStringList{"--export-pdf", "OUT.pdf", "--as", "sleeve"} << 1
                                   << "sleevedesk: --as takes cover, tray, disc or set, not \"sleeve\""
                                   << QList<QSizeF>{};
    QTest::newRow("nothing to make")
        << QStringList{"--as", "tray"} << 1
        << "sleevedesk: --as goes with one of --export-pdf, --export-png and --print" << QList<QSizeF>{};
    QTest::newRow("printed set, no printer")
        << QStringList{"--print", "--as", "set", "--printer", "NOPE"} << 4
        << "sleevedesk: nothing was printed: The printer \"NOPE\" does not exist." << QList<QSizeF>{};
    // Made without a picture that cannot be read: each piece says so, as the cover does.
    const QString cut = "sleevedesk: warning: the picture " + tmp.filePath("cut.png") + " is left out";
    QTest::newRow("cut picture: tray card") << QStringList{"--export-pdf", "OUT.pdf", "--as", "tray", "CUT"}
                                            << 5 << cut << QList<QSizeF>{{150.8 + margin, 117.5 + margin}};
    QTest::newRow("cut picture: disc as PNG")
        << QStringList{"--export-png", "OUT.png", "--dpi", "96", "--as", "disc", "CUT"} << 5 << cut
        << QList<QSizeF>{{470, 470}};
}

// --as chooses the output: each at its size, on its pages; a wrong word is exit 1 and one line.
void TestDesignerCli::as()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, err);
    QFETCH(QList<QSizeF>, pages);
    QTemporaryDir work;
    args.replaceInStrings(QStringLiteral("OUT"), work.filePath(QStringLiteral("out")));
    const QString titles = tmp.filePath(QStringLiteral("titles.txt"));
    QFile list(titles);
    QVERIFY(list.open(QIODevice::WriteOnly) && list.write("Alderney\nBrecqhou\n") > 0);
    list.close();
    args.replaceInStrings(QStringLiteral("TITLES"), titles);
    args << (args.removeOne(QStringLiteral("CUT")) ? tmp.filePath(QStringLiteral("cut.qwd")) : design);
    QProcessEnvironment env = scriptrun::WithoutDisplay();
    env.insert(QStringLiteral("CUPS_SERVER"), QStringLiteral("/nonexistent/cups.sock"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C")); // A4
    const scriptrun::Result run = scriptrun::Run(QStringLiteral(SLEEVEDESK), args, work.path(), env);
    QCOMPARE(run.exitCode, exitCode);
    // libpng's own line comes first for a picture it cannot read.
    QVERIFY2(err.isEmpty() ? run.err.isEmpty() : run.err.contains(err), qPrintable(run.err));
    const QStringList written = QDir(work.path()).entryList(QDir::Files);
    QCOMPARE(written.size(), pages.isEmpty() ? 0 : 1);
    if (pages.isEmpty())
        return;
    const QString out = work.filePath(written.constFirst());
    if (out.endsWith(QLatin1String(".png"))) {
        QCOMPARE(QSizeF(QImage(out).size()), pages.constFirst());
        return;
    }
    const QList<pdfpaths::Page> read = pdfpaths::Read(out);
    QCOMPARE(read.size(), pages.size());
    for (qsizetype i = 0; i < pages.size(); ++i)
        QVERIFY2(std::abs(read[i].size.width() - pages[i].width()) < 0.5 &&
                     std::abs(read[i].size.height() - pages[i].height()) < 0.5,
                 qPrintable(QStringLiteral("%1 x %2").arg(read[i].size.width()).arg(read[i].size.height())));
}

QTEST_MAIN(TestDesignerCli)
#include "test_designer_cli.moc"
