// The command line: exports and prints without a display, their exit codes
// and one-line reasons, and the same pages from the same design.
#include <QtTest>

#include <QLabel>
#include <QLineEdit>

#include "app_setup.h"
#include "design.h"
#include "pages.h"
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

} // namespace

class TestDesignerCli : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void commandLine_data();
    void commandLine();
    void version();
    void sameDesignSamePages();

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
    CommonDialog::SetBackend(nullptr);
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
    QTest::newRow("unknown option") << QStringList{"--export-svg", "OUT.svg", "DESIGN"} << 1
                                    << "sleevedesk: Unknown option" << QSize();
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

QTEST_MAIN(TestDesignerCli)
#include "test_designer_cli.moc"
