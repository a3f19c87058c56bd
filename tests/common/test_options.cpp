// The suite's one command-line parser: the forms of an option, its value's bytes kept, and the
// one-line reason for what it does not understand; --help written from the same table.
#include <QtTest>

#include "names.h"
#include "options.h"

namespace {

const options::Table &table()
{
    static const options::Table t = {
        "prog",
        {QStringLiteral("[options] FOLDER")},
        QStringLiteral("A program."),
        {{{QStringLiteral("out")},
          QStringLiteral("file"),
          QStringLiteral("where to write; a help line long "
                         "enough to be wrapped at the "
                         "seventy-ninth column of a terminal")},
         {{QStringLiteral("f"), QStringLiteral("flow")}, {}, QStringLiteral("flow")},
         {{QStringLiteral("source")}, QStringLiteral("s"), QStringLiteral("read"), true},
         {{QStringLiteral("secret")}, {}, {}}},
        {},
        {{Exit::Ok, QStringLiteral("done")}, {Exit::Unreadable, QStringLiteral("unreadable")}},
    };
    return t;
}

} // namespace

class TestOptions : public QObject
{
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void help();
};

void TestOptions::parse_data()
{
    QTest::addColumn<QList<QByteArray>>("args");
    QTest::addColumn<QByteArray>("asked"); // each option, its value's bytes, [positional]; or the reason
    using L = QList<QByteArray>;
    QTest::newRow("value after") << L{"--out", "a.pdf", "dir"} << QByteArray("out=a.pdf [dir]");
    QTest::newRow("value joined") << L{"--out=a=b.pdf"} << QByteArray("out=a=b.pdf");
    QTest::newRow("empty value joined") << L{"--out=", "dir"} << QByteArray("out= [dir]");
    QTest::newRow("a value like an option") << L{"--out", "--flow"} << QByteArray("out=--flow");
    QTest::newRow("short and one-dash names") << L{"-f", "-flow", "--f"} << QByteArray("flow flow flow");
    QTest::newRow("a dash is a file") << L{"--out", "-", "-"} << QByteArray("out=- [-]");
    QTest::newRow("files after --") << L{"x", "--", "--flow", "-"} << QByteArray("[x] [--flow] [-]");
    QTest::newRow("repeated keeps each")
        << L{"--source", "a", "--source=b"} << QByteArray("source=a source=b");
    QTest::newRow("bytes not UTF-8") << L{"--out", "a\xff.pdf", "--source=\xc3\x28", "b\xed\xb3\xbf",
                                          "\xc0\x80"}
                                     << QByteArray(
                                            "out=a\xff.pdf source=\xc3\x28 [b\xed\xb3\xbf] [\xc0\x80]");
    QTest::newRow("option named like another")
        << L{"--outfile", "x"} << QByteArray("Unknown option 'outfile'.");
    QTest::newRow("unknown, joined") << L{"--fast=1"} << QByteArray("Unknown option 'fast'.");
    QTest::newRow("missing value") << L{"dir", "--out"} << QByteArray("Missing value after '--out'.");
    QTest::newRow("switch given a value")
        << L{"--flow=yes"} << QByteArray("Unexpected value after '--flow'.");
    QTest::newRow("Qt's own, left to Qt")
        << L{"-platform", "xcb", "--style=Fusion", "-reverse", "x"} << QByteArray("[x]");
    QTest::newRow("value given twice")
        << L{"--out", "a", "--out=b"} << QByteArray("--out is given more than once");
}

void TestOptions::parse()
{
    QFETCH(QList<QByteArray>, args);
    QFETCH(QByteArray, asked);
    args.prepend("prog");
    std::vector<const char *> argv;
    for (const QByteArray &a : args)
        argv.push_back(a.constData());
    options::Parsed parsed;
    QString error;
    QByteArray got;
    if (options::Parse(table(), names::Arguments(int(argv.size()), argv.data()), &parsed, &error)) {
        QHash<QString, qsizetype> next;
        for (const QString &key : parsed.given) {
            const QStringList values = parsed.values.value(key);
            got +=
                ' ' + key.toUtf8() + (values.isEmpty() ? "" : '=' + names::Encode(values.value(next[key]++)));
        }
        for (const QString &file : parsed.positional)
            got += " [" + names::Encode(file) + ']';
        got = got.mid(1);
    } else {
        got = error.toUtf8();
    }
    QCOMPARE(got, asked);
}

void TestOptions::help()
{
    const QString help = options::Help(table());
    QVERIFY2(help.startsWith(QStringLiteral("Usage: prog [options] FOLDER\n\nA program.\n\nOptions:\n")),
             qPrintable(help));
    for (const QString &line : help.split(u'\n'))
        QVERIFY2(line.size() <= 79, qPrintable(line));
    for (const char *shown : {"  -h, --help ", "  -v, --version ", "  --out <file> ", "  -f, --flow ",
                              "column of", "\nExit codes:\n  0  done\n  2  unreadable\n"})
        QVERIFY2(help.contains(QLatin1String(shown)), shown);
    QVERIFY(!help.contains(QLatin1String("secret")));
}

QTEST_APPLESS_MAIN(TestOptions)
#include "test_options.moc"
