// sleeveindex on the command line: a PDF made without a display, exit codes
// and one-line reasons.
#include <QtTest>

#include <QProcess>

#include "layouts.h"
#include "scriptrun.h"
#include "tree.h"

class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void exportPdf_data();
    void exportPdf();
    void helpAndVersion();
    void foreignWorkingFolder_data();
    void foreignWorkingFolder();
    void folderNotUtf8();

private:
    Tree tree_;
};

void TestCommandLine::initTestCase()
{
    // Four levels down (/tmp/X/a/many): deeper than the shortest folder list holds.
    QVERIFY(tree_.mkdir("a") && tree_.mkdir("a/many") && tree_.mkdir("a/many/sub1") &&
            tree_.mkdir("a/many/sub2"));
    QVERIFY(tree_.mkdir("few") && tree_.mkdir("out"));
    for (int i = 0; i < 318; ++i)
        QVERIFY(tree_.touch("a/many/f" + QByteArray::number(i) + ".txt"));
    QVERIFY(tree_.touch("few/alpha.txt") && tree_.touch("few/beta.txt"));
    // A working folder whose names must never reach a page of another folder.
    QVERIFY(tree_.mkdir("foreign") && tree_.mkdir("foreign/zzforeigndir") &&
            tree_.mkdir("foreign/zzforeigndir2") && tree_.touch("foreign/zzforeignfile.txt"));
    QVERIFY(tree_.mkdir("bad\xFF"
                        "dir") &&
            tree_.touch("bad\xFF"
                        "dir/inner.txt"));
}

void TestCommandLine::exportPdf_data()
{
    QTest::addColumn<QStringList>("arguments"); // OUT: the PDF; DIR: the tree
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");   // the line on stderr: a pattern, "" for none
    QTest::addColumn<QStringList>("words"); // on the page, each as many times as listed
    QTest::addColumn<bool>("keepFlowing");  // the window's saved setting
    QTest::newRow("default layout") << QStringList{"--export-pdf", "OUT", "DIR/few"} << 0 << QString()
                                    << QStringList{"alpha.txt", "alpha.txt", "beta.txt", "beta.txt"} << false;
    QTest::newRow("flowed, not all fit")
        << QStringList{"--export-pdf=OUT", "--layout", "4", "--flow", "DIR/a/many"} << 0
        << "^\\d+ files and the \\d+ folders above \"many\" do not fit the columns and are not shown$"
        << QStringList{"f0.txt", "f150.txt"} << false;
    QTest::newRow("not flowed, whatever the window keeps")
        << QStringList{"--export-pdf", "OUT", "--layout", "4", "DIR/a/many"} << 0
        << "^\\d+ files and the \\d+ folders above \"many\" do not fit the columns and are not shown$"
        << QStringList(6, QStringLiteral("f0.txt")) << true;
    QTest::newRow("layout out of range")
        << QStringList{"--export-pdf", "OUT", "--layout", "21", "DIR/few"} << 1
        << "layout must be a number from 1 to 20" << QStringList() << false;
    QTest::newRow("no folder") << QStringList{"--export-pdf", "OUT"} << 1 << "needs the folder"
                               << QStringList() << false;
    QTest::newRow("two folders") << QStringList{"--export-pdf", "OUT", "DIR/few", "DIR/a/many"} << 1
                                 << "one folder" << QStringList() << false;
    QTest::newRow("missing folder") << QStringList{"--export-pdf", "OUT", "DIR/absent"} << 2
                                    << "cannot read the folder .*absent.*: No such file" << QStringList()
                                    << false;
    QTest::newRow("folder not readable")
        << QStringList{"--export-pdf", "OUT", "DIR/few/alpha.txt"} << 2
        << "cannot read the folder .*alpha.txt.*: Not a directory" << QStringList() << false;
    QTest::newRow("two kinds of output")
        << QStringList{"--export-pdf", "OUT", "--export-png", "DIR/out/b.png", "DIR/few"} << 1
        << "one at a time" << QStringList() << false;
    QTest::newRow("layout 0") << QStringList{"--export-pdf", "OUT", "--layout", "0", "DIR/few"} << 1
                              << "from 1 to 20, not \"0\"" << QStringList() << false;
    QTest::newRow("layout below 0") << QStringList{"--export-pdf", "OUT", "--layout", "-3", "DIR/few"} << 1
                                    << "from 1 to 20, not \"-3\"" << QStringList() << false;
    QTest::newRow("dpi over 600") << QStringList{"--export-png", "OUT", "--dpi", "601", "DIR/few"} << 1
                                  << "from 1 to 600" << QStringList() << false;
    QTest::newRow("dpi without png") << QStringList{"--export-pdf", "OUT", "--dpi", "96", "DIR/few"} << 1
                                     << "goes with --export-png" << QStringList() << false;
    QTest::newRow("png at 96 dpi") << QStringList{"--export-png", "OUT", "--dpi", "96", "DIR/few"} << 0
                                   << QString() << QStringList{"96"} << false;
    QTest::newRow("png at 300 dpi unless told")
        << QStringList{"--export-png", "OUT", "DIR/few"} << 0 << QString() << QStringList{"300"} << false;
    QTest::newRow("cannot write") << QStringList{"--export-pdf", "DIR/absent/out.pdf", "DIR/few"} << 3
                                  << "cannot write .*absent/out.pdf" << QStringList() << false;
}

void TestCommandLine::exportPdf()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QFETCH(QStringList, words);
    QFETCH(bool, keepFlowing);
    // Settings of our own: the window's saved choice, or none.
    QTemporaryDir config;
    QVERIFY(QDir(config.path()).mkpath(QStringLiteral("sleeve")));
    if (keepFlowing) {
        QFile conf(config.filePath(QStringLiteral("sleeve/sleeveindex.conf")));
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write("[flow]\nkeep=true\n");
    }
    // A PDF that is there already stays whole unless a new one replaces it.
    const QString out = tree_.qpath("out/kept.pdf");
    {
        QFile f(out);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    for (QString &a : arguments) {
        a.replace(QStringLiteral("OUT"), out);
        a.replace(QStringLiteral("DIR"), tree_.qpath(""));
    }
    QProcessEnvironment env = scriptrun::WithoutDisplay();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    const scriptrun::Result run = scriptrun::Run(QStringLiteral(SLEEVEINDEX), arguments, {}, env);
    const QString &err = run.err;
    QVERIFY2(run.exitCode == exitCode, qPrintable(err));
    if (message.isEmpty()) {
        QCOMPARE(err, QString());
    } else {
        QVERIFY2(err.count(u'\n') == 1 && err.startsWith(QStringLiteral("sleeveindex: ")), qPrintable(err));
        QVERIFY2(err.mid(13).trimmed().contains(QRegularExpression(message)), qPrintable(err));
    }
    QFile f(out);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    if (exitCode != 0) {
        QCOMPARE(bytes, QByteArray("old"));
        return;
    }
    if (arguments.contains(QStringLiteral("--export-png"))) { // words: the resolution
        QImage png;
        QVERIFY(png.loadFromData(bytes, "PNG"));
        const int dpi = words.constFirst().toInt();
        QCOMPARE(png.size(), QSize((445 * dpi + 95) / 96, (436 * dpi + 95) / 96)); // layout 1's page
        QCOMPARE(png.dotsPerMeterX(), qRound(dpi / 0.0254));
        return;
    }
    QVERIFY(bytes.startsWith("%PDF"));
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        return;
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {out, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(20000));
    const QStringList printed =
        QString::fromUtf8(text.readAllStandardOutput()).split(QRegularExpression("\\s+"));
    for (const QString &w : words)
        QVERIFY2(printed.count(w) == words.count(w),
                 qPrintable(QStringLiteral("%1 printed %2 times").arg(w).arg(printed.count(w))));
}

void TestCommandLine::helpAndVersion()
{
    const scriptrun::Result help = scriptrun::Run(QStringLiteral(SLEEVEINDEX), {QStringLiteral("--help")});
    QCOMPARE(help.exitCode, 0);
    // The codes the designer gives the same meanings.
    for (const char *code : {"0  done", "1  the command line was not understood", "2  the folder is missing",
                             "3  the PDF or PNG could not be written"})
        QVERIFY2(help.out.contains(QLatin1String(code)), code);
    for (const char *option : {"--export-png", "--dpi", "--export-catalog", "--paper", "--version"})
        QVERIFY2(help.out.contains(QLatin1String(option)), option);
    const scriptrun::Result version =
        scriptrun::Run(QStringLiteral(SLEEVEINDEX), {QStringLiteral("--version")});
    QCOMPARE(version.exitCode, 0);
    QVERIFY2(version.out.contains(QRegularExpression(QStringLiteral("^sleeveindex \\d+\\.\\d+\\.\\d+\n$"))),
             qPrintable(version.out));
}

void TestCommandLine::foreignWorkingFolder_data()
{
    QTest::addColumn<int>("layout");
    for (int n = 1; n <= 20; ++n)
        QTest::addRow("layout %d", n) << n;
}

// Run from a working folder of its own, every layout lists only the folder
// given; and says how many of its files and folders the page leaves out.
void TestCommandLine::foreignWorkingFolder()
{
    QFETCH(int, layout);
    const QString out = tree_.qpath("out/foreign.pdf");
    const scriptrun::Result run =
        scriptrun::Run(QStringLiteral(SLEEVEINDEX),
                       {QStringLiteral("--export-pdf"), out, QStringLiteral("--layout"),
                        QString::number(layout), tree_.qpath("a/many")},
                       tree_.qpath("foreign"));
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {out, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(20000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY2(!printed.contains(QStringLiteral("zzforeign")), qPrintable(printed));
    QSet<QString> shown;
    for (const auto &m : QRegularExpression(QStringLiteral("\\bf\\d+\\.txt\\b")).globalMatch(printed))
        shown.insert(m.captured());
    const auto said = QRegularExpression(QStringLiteral("(\\d+) files")).match(run.err);
    // A layout of folder lists alone leaves no file out: it lists none.
    const unsigned lists = layouts::Get(layout).shown & layouts::FileLists;
    const int left = lists ? 318 - int(shown.size()) : 0;
    // A row cut by a list's bottom edge is printed in part and counted as left out.
    const int said_ = said.hasMatch() ? said.captured(1).toInt() : 0;
    QVERIFY2(said_ >= left && said_ <= left + int(qPopulationCount(lists)),
             qPrintable(QStringLiteral("%1 said, %2 left out").arg(said_).arg(left)));
    // The page names the folder and shows its subfolders; a layout without a folder list says so.
    if (layouts::Get(layout).shown & layouts::FolderLists)
        QVERIFY2(printed.contains(QRegularExpression("\\bmany\\s+sub1\\s+sub2\\s")), qPrintable(printed));
    else
        QVERIFY2(run.err.contains("no folder list to name \"many\""), qPrintable(run.err));
}

void TestCommandLine::folderNotUtf8()
{
    // The folder's bytes as the shell passes them, not as text.
    const QString out = tree_.qpath("out/bad.pdf");
    QProcess p;
    p.setProcessEnvironment(scriptrun::WithoutDisplay());
    p.start(QStringLiteral("/bin/sh"),
            {QStringLiteral("-c"),
             QStringLiteral("exec \"$0\" --export-pdf \"$1\" \"$2$(printf '\\377')dir\""),
             QStringLiteral(SLEEVEINDEX), out, tree_.qpath("bad")});
    QVERIFY(p.waitForFinished(60000));
    QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {out, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(20000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY2(printed.contains(QStringLiteral("inner.txt")) && printed.contains(QStringLiteral("bad\\xFFdir")),
             qPrintable(printed));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_commandline.moc"
