// sleeveindex on the command line: a PDF made without a display, exit codes
// and one-line reasons.
#include <QtTest>

#include <QProcess>

#include "scriptrun.h"
#include "tree.h"

class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void exportPdf_data();
    void exportPdf();

private:
    Tree tree_;
};

void TestCommandLine::initTestCase()
{
    QVERIFY(tree_.mkdir("many") && tree_.mkdir("few") && tree_.mkdir("out"));
    for (int i = 0; i < 318; ++i)
        QVERIFY(tree_.touch("many/f" + QByteArray::number(i) + ".txt"));
    QVERIFY(tree_.touch("few/alpha.txt") && tree_.touch("few/beta.txt"));
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
        << QStringList{"--export-pdf=OUT", "--layout", "4", "--flow", "DIR/many"} << 0
        << "^\\d+ files( and \\d+ folders)? do not fit the columns and are not shown$" << QStringList{"f0.txt", "f150.txt"}
        << false;
    QTest::newRow("not flowed, whatever the window keeps")
        << QStringList{"--export-pdf", "OUT", "--layout", "4", "DIR/many"} << 0
        << "^\\d+ files( and \\d+ folders)? do not fit the columns and are not shown$"
        << QStringList(6, QStringLiteral("f0.txt")) << true;
    QTest::newRow("layout out of range")
        << QStringList{"--export-pdf", "OUT", "--layout", "21", "DIR/few"} << 1
        << "layout must be a number from 1 to 20" << QStringList() << false;
    QTest::newRow("unknown option") << QStringList{"--export-pdf", "OUT", "--fast", "DIR/few"} << 1 << "fast"
                                    << QStringList() << false;
    QTest::newRow("no folder") << QStringList{"--export-pdf", "OUT"} << 1 << "needs the folder"
                               << QStringList() << false;
    QTest::newRow("two folders") << QStringList{"--export-pdf", "OUT", "DIR/few", "DIR/many"} << 1
                                 << "one folder" << QStringList() << false;
    QTest::newRow("missing folder") << QStringList{"--export-pdf", "OUT", "DIR/absent"} << 2
                                    << "cannot read the folder .*absent.*: No such file" << QStringList()
                                    << false;
    QTest::newRow("folder not readable")
        << QStringList{"--export-pdf", "OUT", "DIR/few/alpha.txt"} << 2
        << "cannot read the folder .*alpha.txt.*: Not a directory" << QStringList() << false;
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

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_commandline.moc"
