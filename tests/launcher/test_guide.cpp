// sleeveguide: the user guide is built in, complete, and its links and
// contents list lead to its sections.

#include <QtTest>

#include "fonts.h"
#include "guideviewer.h"

#include <QAbstractTextDocumentLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextLayout>

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class TestGuide : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void guideIsTheDocsPage();
    void topics_data();
    void topics();
    void contentsListsEveryHeading();
    void linksLeadSomewhere();
    void contentsScrollsToSection();
    void followLink();
    void findGoesRound();
    void slug_data();
    void slug();
    void picturesOnlyBuiltIn_data();
    void picturesOnlyBuiltIn();
    void guidePictureShows_data();
    void guidePictureShows();
    void picturesDecodeInView();
    void firstPageFirst();
};

namespace {
// The names of the pictures the guide's Markdown shows, in order.
QStringList guidePictureLinks()
{
    QFile source(QStringLiteral(SLEEVE_GUIDE_SOURCE));
    source.open(QIODevice::ReadOnly); // an empty list fails the test
    QStringList names;
    static const QRegularExpression link(QStringLiteral("!\\[[^\\]]*\\]\\(([^)\\s]+)"));
    for (auto it = link.globalMatch(QString::fromUtf8(source.readAll())); it.hasNext();)
        names << it.next().captured(1);
    return names;
}

// The pictures of the viewer's page, as the document holds them.
QList<QTextImageFormat> pagePictures(const GuideViewer &viewer)
{
    QList<QTextImageFormat> found;
    for (QTextBlock b = viewer.browser()->document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().objectType() == GuideViewer::PictureObject)
                found << it.fragment().charFormat().toImageFormat();
    return found;
}
} // namespace

void TestGuide::initTestCase()
{
    fonts::InstallSubstitutions();
}

void TestGuide::guideIsTheDocsPage()
{
    // The viewer shows the very page the README links to.
    QFile source(QStringLiteral(SLEEVE_GUIDE_SOURCE));
    QVERIFY(source.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(source.readAll());
    QVERIFY(text.size() > 4000);
    QCOMPARE(GuideViewer::GuideText(), text);
    GuideViewer viewer;
    QVERIFY(viewer.browser()->toPlainText().contains(QLatin1String("jewel case")));
    QCOMPARE(viewer.windowTitle(), QStringLiteral("Quirewell Instructions"));
    QVERIFY(viewer.windowIcon().availableSizes().contains(QSize(32, 32)));
}

void TestGuide::topics_data()
{
    // The guide covers what the issue asks of it.
    QTest::addColumn<QString>("anchor");
    QTest::newRow("launcher") << "starting-the-suite";
    QTest::newRow("designing") << "designing-a-cover";
    QTest::newRow("layouts") << "front-and-back-covers";
    QTest::newRow("headlines") << "headlines";
    QTest::newRow("titles") << "titles-credits-and-notes";
    QTest::newRow("pictures") << "pictures-and-logos";
    QTest::newRow("saving") << "saving-and-opening-designs";
    QTest::newRow("printing") << "printing-and-cutting-out";
    QTest::newRow("index") << "making-a-disc-index";
    QTest::newRow("index layouts") << "the-twenty-index-layouts";
}

void TestGuide::topics()
{
    QFETCH(QString, anchor);
    GuideViewer viewer;
    QVERIFY2(viewer.Anchors().contains(anchor), qPrintable(viewer.Anchors().join(QLatin1Char(' '))));
}

void TestGuide::contentsListsEveryHeading()
{
    GuideViewer viewer;
    int headings = 0;
    for (QTextBlock b = viewer.browser()->document()->begin(); b.isValid(); b = b.next())
        if (b.blockFormat().headingLevel() > 0)
            ++headings;
    QVERIFY(headings >= 10);
    QCOMPARE(viewer.contents()->count(), headings);
    QCOMPARE(viewer.Anchors().size(), headings);
    QCOMPARE(viewer.Anchors().removeDuplicates(), 0);
}

void TestGuide::linksLeadSomewhere()
{
    GuideViewer viewer;
    int internal = 0;
    for (QTextBlock b = viewer.browser()->document()->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QString href = it.fragment().charFormat().anchorHref();
            if (href.isEmpty())
                continue;
            const QUrl url(href);
            if (href.startsWith(QLatin1Char('#'))) {
                QVERIFY2(viewer.Anchors().contains(url.fragment()), qPrintable(href));
                ++internal;
            } else {
                QVERIFY2(url.scheme() == QLatin1String("https"), qPrintable(href));
            }
        }
    }
    QVERIFY(internal >= 3);
}

void TestGuide::contentsScrollsToSection()
{
    GuideViewer viewer;
    viewer.resize(700, 400);
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    QScrollBar *bar = viewer.browser()->verticalScrollBar();
    QVERIFY(bar->value() < 20); // at the top
    const int last = viewer.contents()->count() - 1;
    QTest::mouseClick(viewer.contents()->viewport(), Qt::LeftButton, {},
                      viewer.contents()->visualItemRect(viewer.contents()->item(0)).center());
    viewer.contents()->scrollToItem(viewer.contents()->item(last));
    QTest::mouseClick(viewer.contents()->viewport(), Qt::LeftButton, {},
                      viewer.contents()->visualItemRect(viewer.contents()->item(last)).center());
    QCOMPARE(viewer.contents()->currentRow(), last);
    QVERIFY(bar->value() > 0);
    const int atLast = bar->value();
    viewer.contents()->setCurrentRow(1);
    QVERIFY(bar->value() < atLast);
}

void TestGuide::followLink()
{
    GuideViewer viewer;
    viewer.resize(700, 400);
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    QVERIFY(viewer.FollowLink(QUrl(QStringLiteral("#the-twenty-index-layouts"))));
    QVERIFY(viewer.browser()->verticalScrollBar()->value() > 0);
    QCOMPARE(viewer.contents()->currentRow(),
             viewer.Anchors().indexOf(QStringLiteral("the-twenty-index-layouts")));
    QVERIFY(!viewer.FollowLink(QUrl(QStringLiteral("#no-such-section"))));
    QVERIFY(!viewer.FollowLink(QUrl(QStringLiteral("README.md"))));
    QVERIFY(!viewer.FollowLink(QUrl(QStringLiteral("file:///etc/passwd"))));
}

void TestGuide::findGoesRound()
{
    GuideViewer viewer;
    viewer.findField()->setText(QStringLiteral("jewel case"));
    QVERIFY(viewer.FindNext());
    const int first = viewer.browser()->textCursor().position();
    int guard = 0;
    // Round to the first match again.
    while (viewer.FindNext() && viewer.browser()->textCursor().position() != first && guard < 1000)
        ++guard;
    QCOMPARE(viewer.browser()->textCursor().position(), first);
    QCOMPARE(viewer.browser()->textCursor().selectedText().toLower(), QStringLiteral("jewel case"));

    viewer.findField()->setText(QStringLiteral("zqxzqx"));
    QVERIFY(!viewer.FindNext());
    QCOMPARE(viewer.browser()->textCursor().position(), first);
    viewer.findField()->clear();
    QVERIFY(!viewer.FindNext());
}

void TestGuide::slug_data()
{
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QString>("anchor");
    QTest::newRow("plain") << "Saving a design"
                           << "saving-a-design";
    QTest::newRow("punctuation") << "Titles, credits and notes"
                                 << "titles-credits-and-notes";
    QTest::newRow("apostrophe") << "What's on it?"
                                << "whats-on-it";
    QTest::newRow("digits") << "The 20 layouts"
                            << "the-20-layouts";
    QTest::newRow("dash kept") << "Front- and back"
                               << "front--and-back";
}

void TestGuide::slug()
{
    QFETCH(QString, heading);
    QFETCH(QString, anchor);
    QCOMPARE(GuideViewer::Slug(heading), anchor);
}

void TestGuide::picturesOnlyBuiltIn_data()
{
    // DIR is a folder holding outside.png and a FIFO; the working folder is
    // DIR. picture.png is built into the test beside the guide.
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("src");
    QTest::addColumn<bool>("shown");
    QTest::newRow("built in") << "![a picture](picture.png)"
                              << "picture.png" << true;
    QTest::newRow("absolute path") << "<img src=\"DIR/outside.png\">"
                                   << "DIR/outside.png" << false;
    QTest::newRow("file URL") << "![x](file://DIR/outside.png)"
                              << "file://DIR/outside.png" << false;
    QTest::newRow("working folder") << "![x](outside.png)"
                                    << "outside.png" << false;
    QTest::newRow("FIFO") << "<img src=\"DIR/fifo\">"
                          << "DIR/fifo" << false;
}

void TestGuide::picturesOnlyBuiltIn()
{
    QFETCH(QString, text);
    QFETCH(QString, src);
    QFETCH(bool, shown);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QFile::copy(QStringLiteral(":/guide/picture.png"), dir.filePath("outside.png")));
    QFile built(QStringLiteral(":/guide/picture.png"));
    QVERIFY(built.open(QIODevice::ReadOnly));
    const QByteArray png = built.readAll();
    const QByteArray fifo = dir.filePath("fifo").toLocal8Bit();
    QVERIFY(mkfifo(fifo.constData(), 0600) == 0);
    const QString kept = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));

    // Whoever opens the FIFO to read it gets a picture at once rather than a
    // hang; the writer notes that it was read.
    std::atomic<bool> stop{false};
    std::atomic<bool> read{false};
    std::thread writer([&] {
        while (!stop) {
            const int fd = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                read = ::write(fd, png.constData(), size_t(png.size())) == png.size();
                ::close(fd);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });

    GuideViewer viewer;
    viewer.Load(text.replace(QLatin1String("DIR"), dir.path()));
    QTextDocument *doc = viewer.browser()->document();
    doc->documentLayout()->documentSize(); // lays the page out, pictures and all
    const QVariant resource =
        doc->resource(QTextDocument::ImageResource, QUrl(src.replace("DIR", dir.path())));
    stop = true;
    writer.join();
    QVERIFY(QDir::setCurrent(kept));

    QVERIFY(!read);
    QCOMPARE(!resource.value<QPixmap>().isNull(), shown);
}

void TestGuide::guidePictureShows_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");
    const QStringList names = guidePictureLinks();
    QVERIFY(names.size() >= 5);
    for (int i = 0; i < names.size(); ++i)
        QTest::newRow(qPrintable(names.at(i))) << i << names.at(i);
}

void TestGuide::guidePictureShows()
{
    // Each picture the guide links is on the page at its place, built in, and
    // decodes at the size the page gives it, no wider than the browser.
    QFETCH(int, index);
    QFETCH(QString, name);
    GuideViewer viewer;
    const QList<QTextImageFormat> pictures = pagePictures(viewer);
    QCOMPARE(pictures.size(), guidePictureLinks().size());
    const QTextImageFormat format = pictures.at(index);
    QCOMPARE(format.name(), name);
    const QString builtIn = GuideViewer::BuiltInPicture(QUrl(name));
    QVERIFY(!builtIn.isEmpty());
    const QImage image =
        viewer.browser()->document()->resource(QTextDocument::ImageResource, QUrl(name)).value<QImage>();
    QVERIFY(!image.isNull());
    QCOMPARE(image.size(), QSizeF(format.width(), format.height()).toSize());
    QVERIFY(image.width() <= 600);
    const QSize full = QImage(builtIn).size();
    QVERIFY(qAbs(image.height() - full.height() * image.width() / full.width()) <= 1);
}

void TestGuide::picturesDecodeInView()
{
    // Opening decodes no picture off the page; scrolling to one decodes it.
    GuideViewer viewer;
    viewer.resize(700, 400);
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    QTest::qWait(50);
    QCOMPARE(viewer.PicturesShown(), QStringList());
    const QList<QTextImageFormat> pictures = pagePictures(viewer);
    const QTextCursor first = viewer.browser()->document()->find(QString(QChar::ObjectReplacementCharacter));
    QVERIFY(!first.isNull());
    viewer.browser()->setTextCursor(first);
    viewer.browser()->ensureCursorVisible();
    QTRY_VERIFY(viewer.PicturesShown().contains(pictures.constFirst().name()));
    QVERIFY(viewer.PicturesShown().size() < pictures.size());
}

void TestGuide::firstPageFirst()
{
    // The program's viewer opens on the guide's first page and has the whole
    // guide, contents and all, once that page has been painted.
    const GuideViewer whole;
    GuideViewer viewer(GuideViewer::Opening::FirstPageFirst);
    const QString first = viewer.browser()->toPlainText();
    QVERIFY(first.size() < whole.browser()->toPlainText().size() / 4);
    QVERIFY(whole.browser()->toPlainText().startsWith(first.left(first.size() - 1)));
    QCOMPARE(viewer.contents()->count(), 0);
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    QTRY_COMPARE(viewer.Anchors(), whole.Anchors());
    QCOMPARE(viewer.browser()->toPlainText(), whole.browser()->toPlainText());
    // Laid out to its end: a section far down shows its text.
    QVERIFY(viewer.ShowSection(viewer.Anchors().constLast()));
    for (QTextBlock b = viewer.browser()->document()->begin(); b.isValid(); b = b.next())
        QVERIFY2(b.text().isEmpty() || b.layout()->lineCount() > 0, qPrintable(b.text()));
}

QTEST_MAIN(TestGuide)
#include "test_guide.moc"
