// The offscreen platform is chosen for command-line runs without a display, and only then.
// Which options make a run the command line's is the parser's (test_options).
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
    QTest::addColumn<QByteArray>("chosen");   // QT_QPA_PLATFORM after
    QTest::newRow("no display") << QByteArray() << QByteArray() << QByteArray() << QByteArray("offscreen");
    QTest::newRow("X display") << QByteArray(":0") << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("Wayland display") << QByteArray() << QByteArray("wayland-0") << QByteArray()
                                     << QByteArray();
    QTest::newRow("platform chosen") << QByteArray() << QByteArray() << QByteArray("minimal")
                                     << QByteArray("minimal");
}

void TestHeadless::choice()
{
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, wayland);
    QFETCH(QByteArray, platform);
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
    QCOMPARE(headless::Displayed(), chosen != "offscreen");
    headless::OffscreenWithoutDisplay();
    QCOMPARE(qgetenv("QT_QPA_PLATFORM"), chosen);
}

QTEST_APPLESS_MAIN(TestHeadless)
#include "test_headless.moc"
