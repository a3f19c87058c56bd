// Each program's --help lists its exit codes as the README's table does, code for code.
#include <QtTest>

class TestExitCodes : public QObject
{
    Q_OBJECT
private slots:
    void helpMatchesReadme_data();
    void helpMatchesReadme();
};

void TestExitCodes::helpMatchesReadme_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<int>("column"); // the README table's
    QTest::newRow("sleevedesk") << QStringLiteral(SLEEVEDESK) << 2;
    QTest::newRow("sleeveindex") << QStringLiteral(SLEEVEINDEX) << 3;
    QTest::newRow("sleevegate") << QStringLiteral(SLEEVEGATE) << 4;
}

void TestExitCodes::helpMatchesReadme()
{
    QFETCH(QString, program);
    QFETCH(int, column);
    QProcess help;
    help.start(program, {QStringLiteral("--help")});
    QVERIFY(help.waitForFinished(30000) && help.exitCode() == 0);
    const QString out = QString::fromUtf8(help.readAllStandardOutput());
    const QStringList given = out.mid(out.indexOf(QLatin1String("\nExit codes:\n"))).split(u'\n').mid(2);
    QFile readme(QStringLiteral(SLEEVE_README));
    QVERIFY(readme.open(QIODevice::ReadOnly));
    QStringList documented;
    for (const QString &line : QString::fromUtf8(readme.readAll()).split(u'\n')) {
        const QStringList cells = line.split(u'|');
        const QString cell = cells.value(column).trimmed();
        if (line.contains(QRegularExpression(QStringLiteral("^\\| \\d \\|"))) && cells.size() == 6 &&
            cell != QStringLiteral("—"))
            documented << QStringLiteral("  %1  %2").arg(cells[1].trimmed(), cell);
    }
    QVERIFY(!documented.isEmpty());
    QCOMPARE(given.mid(0, documented.size()), documented);
    QVERIFY2(given.value(documented.size()).isEmpty(), qPrintable(out)); // and no other code
}

QTEST_GUILESS_MAIN(TestExitCodes)
#include "test_exitcodes.moc"
