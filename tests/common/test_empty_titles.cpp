// Windows whose title is empty read empty in the window manager's title too
// (Qt would show the program's name). Needs an X server: tests/e2e/titles_e2e.sh
// runs it under Xvfb; elsewhere it is skipped.
#include <QtTest>

#include <QProcess>

#include "app_setup.h"
#include "design.h"
#include "form1.h"
#include "form5.h"

class TestEmptyTitles : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void titles_data();
    void titles();
};

namespace {

// What xprop says of the window's two names, in order: _NET_WM_NAME, WM_NAME.
QStringList xprop(const QWidget *w)
{
    QProcess p;
    p.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(w->winId()),
                                      QStringLiteral("_NET_WM_NAME"), QStringLiteral("WM_NAME")});
    if (!p.waitForFinished(10000))
        return {};
    QStringList names;
    for (const QString &line : QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts))
        names << line.section(QStringLiteral(" = "), 1).remove(u'"');
    return names;
}

} // namespace

void TestEmptyTitles::initTestCase()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs an X server (tests/e2e/titles_e2e.sh runs this under Xvfb)");
    if (QStandardPaths::findExecutable(QStringLiteral("xprop")).isEmpty())
        QSKIP("xprop is not installed");
    SetupDesignerApplication();
}

void TestEmptyTitles::titles_data()
{
    QTest::addColumn<QString>("window");
    QTest::newRow("drive error") << QStringLiteral("Form5");
    QTest::newRow("designer at start") << QStringLiteral("Design");
}

void TestEmptyTitles::titles()
{
    QFETCH(QString, window);
    std::unique_ptr<QWidget> owned;
    QWidget *w = nullptr;
    if (window == QLatin1String("Form5")) {
        w = &Form1::DriveError();
    } else {
        owned = std::make_unique<Design>();
        w = owned.get();
    }
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QCOMPARE(w->windowTitle(), QString());
    QTRY_COMPARE(xprop(w), QStringList({QString(), QString()}));
    // A title set later shows; emptied, it reads empty again, also after hiding and showing.
    w->setWindowTitle(QStringLiteral("Helping"));
    QTRY_COMPARE(xprop(w), QStringList({QStringLiteral("Helping"), QStringLiteral("Helping")}));
    w->setWindowTitle(QString());
    w->hide();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QTRY_COMPARE(xprop(w), QStringList({QString(), QString()}));
    w->hide();
}

QTEST_MAIN(TestEmptyTitles)
#include "test_empty_titles.moc"
