// The offscreen platform is chosen for command-line runs without a display, and only then.
#include <QtTest>

#include "headless.h"

class TestHeadless : public QObject
{
    Q_OBJECT
private slots:
    void choice_data();
    void choice();
};

void TestHeadless::choice_data()
{
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QByteArray>("wayland");
    QTest::addColumn<QByteArray>("platform"); // QT_QPA_PLATFORM before
    QTest::addColumn<QList<QByteArray>>("args");
    QTest::addColumn<QByteArray>("chosen"); // QT_QPA_PLATFORM after
    const QList<QByteArray> exporting{"prog", "--export-pdf", "out.pdf", "folder"};
    QTest::newRow("no display, exporting")
        << QByteArray() << QByteArray() << QByteArray() << exporting << QByteArray("offscreen");
    QTest::newRow("option=value") << QByteArray() << QByteArray() << QByteArray()
                                  << QList<QByteArray>{"prog", "--export-pdf=out.pdf", "folder"}
                                  << QByteArray("offscreen");
    QTest::newRow("X display") << QByteArray(":0") << QByteArray() << QByteArray() << exporting
                               << QByteArray();
    QTest::newRow("Wayland display") << QByteArray() << QByteArray("wayland-0") << QByteArray() << exporting
                                     << QByteArray();
    QTest::newRow("platform chosen") << QByteArray() << QByteArray() << QByteArray("minimal") << exporting
                                     << QByteArray("minimal");
    QTest::newRow("no option") << QByteArray() << QByteArray() << QByteArray()
                               << QList<QByteArray>{"prog", "folder"} << QByteArray();
    QTest::newRow("option's name as a value")
        << QByteArray() << QByteArray() << QByteArray() << QList<QByteArray>{"prog", "--", "--export-pdf"}
        << QByteArray();
    QTest::newRow("like the option") << QByteArray() << QByteArray() << QByteArray()
                                     << QList<QByteArray>{"prog", "--export-pdfs"} << QByteArray();
}

void TestHeadless::choice()
{
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, wayland);
    QFETCH(QByteArray, platform);
    QFETCH(QList<QByteArray>, args);
    QFETCH(QByteArray, chosen);
    const struct {
        const char *name;
        QByteArray value;
    } env[] = {{"DISPLAY", display}, {"WAYLAND_DISPLAY", wayland}, {"QT_QPA_PLATFORM", platform}};
    for (const auto &e : env) {
        if (e.value.isEmpty())
            qunsetenv(e.name);
        else
            qputenv(e.name, e.value);
    }
    std::vector<char *> argv;
    for (QByteArray &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    headless::ChooseOffscreenWithoutDisplay(int(args.size()), argv.data(), {"--export-pdf"});
    QCOMPARE(qgetenv("QT_QPA_PLATFORM"), chosen);
}

QTEST_APPLESS_MAIN(TestHeadless)
#include "test_headless.moc"
