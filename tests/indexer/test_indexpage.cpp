// The index page without a window: the command line's page equals the one
// the window prints, and making it makes no widget.
#include <QtTest>

#include <QProcess>

#include "commandline.h"
#include "form1.h"
#include "indexpage.h"
#include "tree.h"

class TestIndexPage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void pageEqualsWindow_data();
    void pageEqualsWindow();
    void exportMakesNoWidget();

private:
    Tree tree_;
};

namespace {

QByteArray run(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    return p.waitForFinished(60000) && p.exitCode() == 0 ? p.readAllStandardOutput() : QByteArray("failed");
}

// The words of a PDF with their boxes.
QByteArray wordBoxes(const QString &pdf)
{
    QByteArray words;
    for (const QByteArray &line :
         run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, "-"}).split('\n'))
        if (line.trimmed().startsWith("<word"))
            words += line.trimmed() + '\n';
    return words;
}

QImage rendered(const QString &pdf)
{
    const QString stem = pdf + QStringLiteral(".r");
    run(QStringLiteral("pdftoppm"), {"-r", "96", "-png", "-singlefile", pdf, stem});
    return QImage(stem + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

// Counts every event a widget receives: making one sends it some at once.
class WidgetWatch : public QObject
{
public:
    int events = 0;
    bool eventFilter(QObject *o, QEvent *) override
    {
        events += o->isWidgetType() ? 1 : 0;
        return false;
    }
};

} // namespace

void TestIndexPage::initTestCase()
{
    QVERIFY(tree_.mkdir("a") && tree_.mkdir("a/many") && tree_.mkdir("a/many/sub1") &&
            tree_.mkdir("a/many/sub2") && tree_.mkdir("few") && tree_.mkdir("out"));
    for (int i = 0; i < 318; ++i)
        QVERIFY(tree_.touch("a/many/f" + QByteArray::number(i) + ".txt"));
    QVERIFY(tree_.touch("few/alpha.txt") && tree_.touch("few/a rather long name that the column cuts.txt"));
    for (int i = 0; i < 40; ++i)
        QVERIFY(tree_.mkdir("few/d" + QByteArray::number(i)));
}

void TestIndexPage::pageEqualsWindow_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<bool>("flow");
    QTest::addColumn<QByteArray>("folder");
    QTest::newRow("1, few") << 1 << false << QByteArray("few");
    QTest::newRow("3, many flowed") << 3 << true << QByteArray("a/many");
    QTest::newRow("4, many flowed") << 4 << true << QByteArray("a/many");
    QTest::newRow("4, many not flowed") << 4 << false << QByteArray("a/many");
    QTest::newRow("12, many") << 12 << true << QByteArray("a/many");
    QTest::newRow("13, few") << 13 << false << QByteArray("few");
    QTest::newRow("17, many flowed") << 17 << true << QByteArray("a/many");
    QTest::newRow("19, few flowed") << 19 << true << QByteArray("few");
    QTest::newRow("20, few") << 20 << false << QByteArray("few");
}

void TestIndexPage::pageEqualsWindow()
{
    QFETCH(int, layout);
    QFETCH(bool, flow);
    QFETCH(QByteArray, folder);
    indexcli::Options o;
    o.layout = layout;
    o.flow = flow;
    o.folder = tree_.path(folder);
    const QString window = tree_.qpath("out/window.pdf"), page = tree_.qpath("out/page.pdf");
    {
        Form1 f;
        f.SetKeepFlowing(false, false);
        f.setAttribute(Qt::WA_DontShowOnScreen);
        f.show();
        int error = 0;
        QVERIFY(indexcli::Apply(o, f, &error));
        f.ShowCurrentFolders();
        QVERIFY(f.ExportPdf(window));
    }
    o.exportPdf = page;
    QCOMPARE(int(indexcli::Export(o)), int(Exit::Ok));
    const QByteArray words = wordBoxes(window);
    QVERIFY(words.count('\n') > 2);
    QCOMPARE(wordBoxes(page), words);
    const QImage a = rendered(window), b = rendered(page);
    QVERIFY(!a.isNull());
    QCOMPARE(b.size(), a.size());
    // The scroll bars' arrows are drawn by the style's own pixmaps, which the
    // window's render of a widget smooths differently: they alone may differ.
    IndexPage model;
    int error = 0;
    QVERIFY(indexcli::Build(o, &model, &error));
    QRegion arrows;
    for (int i = 0; i < IndexPage::Lists; ++i) {
        if (!model.list(i).shown || !model.ScrollBarShown(i))
            continue;
        const QRect g = model.list(i).geometry, view = model.ViewportRect(i).translated(g.topLeft());
        const int w = g.right() - view.right();
        arrows += QRect(view.right() + 1, view.top(), w, w);
        arrows += QRect(view.right() + 1, view.bottom() - w, w, w + 1);
    }
    int differ = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            differ += a.pixel(x, y) != b.pixel(x, y) && !arrows.contains(QPoint(x, y)) ? 1 : 0;
    QCOMPARE(differ, 0);
}

void TestIndexPage::exportMakesNoWidget()
{
    WidgetWatch watch;
    qApp->installEventFilter(&watch);
    indexcli::Options o;
    o.layout = 4;
    o.flow = true;
    o.folder = tree_.path("a/many");
    o.exportPng = tree_.qpath("out/page.png");
    o.dpi = 96;
    const Exit done = indexcli::Export(o);
    qApp->removeEventFilter(&watch);
    QCOMPARE(int(done), int(Exit::Ok));
    QVERIFY(!QImage(o.exportPng).isNull());
    QCOMPARE(watch.events, 0);
    QCOMPARE(QApplication::allWidgets().size(), 0);
}

QTEST_MAIN(TestIndexPage)
#include "test_indexpage.moc"
