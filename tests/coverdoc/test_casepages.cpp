// The tray card, the disc face and the complete set, measured on the PDFs they export.
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cmath>

#include "casepages.h"
#include "colors.h"
#include "coverdocument.h"
#include "fonts.h"
#include "pages.h"
#include "pdfpaths.h"

namespace {

constexpr double Tolerance = 0.2; // mm
constexpr double ExportMarginMm = 12 * 25.4 / 96;

CoverDocument headlined(const QString &top, const QString &bottom)
{
    CoverDocument d;
    d.setTopText(top);
    d.setBottomText(bottom);
    return d;
}

// Dashed strokes that are cut lines (at least a few millimetres across).
QList<pdfpaths::Stroke> cuts(const pdfpaths::Page &page)
{
    QList<pdfpaths::Stroke> out;
    for (const pdfpaths::Stroke &s : page.strokes)
        if (s.dashed && s.bounds().width() > 10 && s.bounds().height() > 10)
            out << s;
    return out;
}

// Vertical dashed lines as tall as `height`: their distances from `left`.
QList<double> folds(const pdfpaths::Page &page, double left, double height)
{
    QList<double> xs;
    for (const pdfpaths::Stroke &s : page.strokes) {
        const QRectF b = s.bounds();
        if (s.dashed && b.width() < 0.01 && std::abs(b.height() - height) < Tolerance)
            xs << b.left() - left;
    }
    std::sort(xs.begin(), xs.end());
    return xs;
}

QImage render(const CoverDocument &doc, bool tray)
{
    const QSizeF size = tray ? casepages::TraySize() : casepages::DiscSize(doc);
    QImage img(qCeil(size.width()), qCeil(size.height()), QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    tray ? casepages::PaintTray(doc, p) : casepages::PaintDisc(doc, p);
    return img;
}

} // namespace

class TestCasePages : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void trayMeasures_data();
    void trayMeasures();
    void trayShowsBackLayoutOfACopy();
    void spinesInTheTopHeadlinesColour();
    void trayShowsTheWholeList();
    void spineLine_data();
    void spineLine();
    void spineFits_data();
    void spineFits();
    void discMeasures_data();
    void discMeasures();
    void discTexts_data();
    void discTexts();
    void discPictureCropped();
    void badValuesChangeNothing_data();
    void badValuesChangeNothing();
    void setSheets_data();
    void setSheets();
    void outputNames();

private:
    QString exportPdf(const CoverDocument &doc, casepages::Output output, const QString &name);
    QTemporaryDir tmp;
};

void TestCasePages::initTestCase()
{
    QVERIFY(tmp.isValid());
    fonts::InstallSubstitutions();
    QGuiApplication::setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
}

QString TestCasePages::exportPdf(const CoverDocument &doc, casepages::Output output, const QString &name)
{
    const QString path = tmp.filePath(name);
    QString error;
    if (!casepages::Export(doc, output, path, pageexport::Format::Pdf, 300, QStringLiteral("t"), &error)) {
        qWarning("%s", qPrintable(error));
        return {};
    }
    return path;
}

void TestCasePages::trayMeasures_data()
{
    QTest::addColumn<bool>("back");
    QTest::addColumn<bool>("upward");
    QTest::newRow("front layout, hinge side down") << false << false;
    QTest::newRow("back layout, hinge side up") << true << true;
}

// 150.8 x 117.5 mm with folds at 6.4 and 144.4 mm, the spine text real text turned on its side.
void TestCasePages::trayMeasures()
{
    QFETCH(bool, back);
    QFETCH(bool, upward);
    CoverDocument doc = headlined(QStringLiteral("Evening"), QStringLiteral("Ensemble"));
    doc.setBack(back);
    doc.setSpineUpward(upward);
    const QString pdf = exportPdf(doc, casepages::Output::Tray, QStringLiteral("tray.pdf"));
    QVERIFY(!pdf.isEmpty());
    const QList<pdfpaths::Page> pages = pdfpaths::Read(pdf);
    QCOMPARE(pages.size(), 1);
    const QList<pdfpaths::Stroke> outline = cuts(pages[0]);
    QCOMPARE(outline.size(), 1);
    const QRectF edge = outline[0].outerEdge();
    QVERIFY2(std::abs(edge.width() - 150.8) <= Tolerance, qPrintable(QString::number(edge.width())));
    QVERIFY2(std::abs(edge.height() - 117.5) <= Tolerance, qPrintable(QString::number(edge.height())));
    QVERIFY(std::abs(edge.left() - ExportMarginMm) <= Tolerance);
    const QList<double> xs = folds(pages[0], edge.left(), edge.height());
    QCOMPARE(xs.size(), 2);
    qInfo("tray card %.3f x %.3f mm, folds at %.3f and %.3f mm", edge.width(), edge.height(), xs[0], xs[1]);
    QVERIFY2(std::abs(xs[0] - 6.4) <= Tolerance && std::abs(xs[1] - 144.4) <= Tolerance,
             qPrintable(QStringLiteral("%1 %2").arg(xs[0]).arg(xs[1])));
    for (const pdfpaths::Stroke &s : pages[0].strokes)
        if (s.bounds().width() < 0.01 && std::abs(s.bounds().height() - edge.height()) < Tolerance)
            QVERIFY(s.width < outline[0].width);

    if (!pages::PopplerInstalled())
        QSKIP("pdftotext is not installed");
    const QList<pages::Word> words = pages::Words(pdf);
    const double pt = 72 / 25.4;
    const QRectF leftSpine(edge.left() * pt, edge.top() * pt, 6.4 * pt, edge.height() * pt);
    const QRectF rightSpine((edge.left() + 144.4) * pt, edge.top() * pt, 6.4 * pt, edge.height() * pt);
    for (const QRectF &spine : {leftSpine, rightSpine}) {
        // The hinge side (right) reads as set, the other the opposite way: top to bottom puts
        // the first word above the second.
        const bool down = (spine == rightSpine) != upward;
        QList<pages::Word> found;
        for (const pages::Word &w : words)
            if (spine.intersects(w.box) && (w.text == u"Evening" || w.text == u"Ensemble")) {
                found << w;
                QVERIFY2(w.box.height() > w.box.width(), qPrintable(w.text));
                QVERIFY2(spine.contains(w.box), qPrintable(w.text));
            }
        QCOMPARE(found.size(), 2);
        const pages::Word &first = found[0].text == u"Evening" ? found[0] : found[1];
        const pages::Word &second = found[0].text == u"Evening" ? found[1] : found[0];
        QCOMPARE(first.box.top() < second.box.top(), down);
    }
}

// The panel shows the design laid out as a back cover, whatever the window shows, and the
// document itself is left as it was.
void TestCasePages::trayShowsBackLayoutOfACopy()
{
    CoverDocument front = headlined(QStringLiteral("Front only"), QString());
    front.setTitlesShown(true);
    front.setTitle(12, QStringLiteral("Right column"));
    const CoverDocument before = front;
    CoverDocument back = front;
    back.setBack(true);
    const QImage fromFront = render(front, true);
    QVERIFY(front == before);
    QVERIFY(front.layout.front);
    QCOMPARE(fromFront, render(back, true));
}

// Both spines carry the line in the top headline's colour.
void TestCasePages::spinesInTheTopHeadlinesColour()
{
    CoverDocument doc = headlined(QStringLiteral("Upper"), QStringLiteral("Lower"));
    CoverDocument::Font font;
    font.name = doc.topHeadline().FontName();
    font.size = 12;
    font.color = colors::Rgb(255, 0, 0);
    QVERIFY(doc.setTopFont(font));
    font.color = colors::Rgb(0, 0, 255);
    QVERIFY(doc.setBottomFont(font));
    const QImage tray = render(doc, true);
    const int spine = int(casepages::SpineMm * casepages::PxPerMm);
    for (int left : {0, tray.width() - spine}) {
        int red = 0, blue = 0;
        for (int y = 0; y < tray.height(); ++y)
            for (int x = left + 2; x < left + spine - 2; ++x) {
                const QColor c = tray.pixelColor(x, y);
                red += c.red() > 200 && c.green() < 100 && c.blue() < 100;
                blue += c.blue() > 200 && c.red() < 100 && c.green() < 100;
            }
        QVERIFY2(red > 20 && blue == 0,
                 qPrintable(QStringLiteral("%1: %2 red, %3 blue").arg(left).arg(red).arg(blue)));
    }
}

// A list past the 20 lines reaches the tray card whole, on its panel, as the cover draws it.
void TestCasePages::trayShowsTheWholeList()
{
    if (!pages::PopplerInstalled())
        QSKIP("pdftotext is not installed");
    CoverDocument doc = headlined(QStringLiteral("Long"), QString());
    doc.setTitlesShown(true);
    QStringList titles;
    for (int n = 1; n <= 40; ++n)
        titles << QStringLiteral("Track%1").arg(n);
    // The last title too wide for any column: it ends in an ellipsis, its tail not drawn.
    QStringList list = titles;
    list.last() += QStringLiteral(" and the words of a title far too long for one column tailword");
    QCOMPARE(doc.setTitleList(list), qsizetype(0));
    const QString pdf = exportPdf(doc, casepages::Output::Tray, QStringLiteral("list.pdf"));
    QVERIFY(!pdf.isEmpty());
    const QList<pages::Word> words = pages::Words(pdf);
    const double pt = 72 / 25.4;
    const QRectF panel((ExportMarginMm + 6.4) * pt, ExportMarginMm * pt, 138 * pt, 117.5 * pt);
    for (const QString &title : titles) {
        int found = 0;
        for (const pages::Word &w : words)
            if (w.text == title) {
                ++found;
                QVERIFY2(panel.contains(w.box), qPrintable(title));
            }
        QVERIFY2(found == 1, qPrintable(QStringLiteral("%1 found %2 times").arg(title).arg(found)));
    }
    QVERIFY(!pages::Find(words, QStringLiteral("tailword")));
    QVERIFY(std::any_of(words.begin(), words.end(),
                        [](const pages::Word &w) { return w.text.endsWith(u'\u2026'); }));
    // Read down each column, then across: each title under the one before, or at the top of
    // the next column to the right.
    for (int n = 1; n < 40; ++n) {
        const pages::Word *a = pages::Find(words, titles[n - 1]);
        const pages::Word *b = pages::Find(words, titles[n]);
        QVERIFY(a && b);
        const bool below = std::abs(b->box.left() - a->box.left()) < 1 && b->box.top() > a->box.top();
        const bool nextColumn = b->box.left() > a->box.right() && b->box.top() < a->box.top();
        QVERIFY2(below || nextColumn, qPrintable(titles[n]));
    }
}

void TestCasePages::spineLine_data()
{
    QTest::addColumn<QString>("top");
    QTest::addColumn<QString>("bottom");
    QTest::addColumn<QString>("own");
    QTest::addColumn<QString>("line");
    QTest::newRow("both headlines") << "Title"
                                    << "Artist"
                                    << "" << QStringLiteral("Title \u00B7 Artist");
    QTest::newRow("top only") << "Title"
                              << ""
                              << ""
                              << "Title";
    QTest::newRow("bottom only") << ""
                                 << "Artist"
                                 << ""
                                 << "Artist";
    QTest::newRow("spaces and breaks folded") << " Harbour  Lights"
                                              << "Ann\tLee "
                                              << "" << QStringLiteral("Harbour Lights \u00B7 Ann Lee");
    QTest::newRow("own text, markup literal") << "Title"
                                              << "Artist"
                                              << "<b>Mine</b> &amp;"
                                              << "<b>Mine</b> &amp;";
}

void TestCasePages::spineLine()
{
    QFETCH(QString, top);
    QFETCH(QString, bottom);
    QFETCH(QString, own);
    QFETCH(QString, line);
    CoverDocument doc = headlined(top, bottom);
    QVERIFY(doc.setSpineText(own));
    QCOMPARE(casepages::SpineLine(doc), line);
    QCOMPARE(casepages::FitSpine(doc).text, line);
}

void TestCasePages::spineFits_data()
{
    QTest::addColumn<float>("size");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("cut");
    QTest::newRow("large headline shrinks") << 48.0f << 12 << false;
    QTest::newRow("small headline kept") << 6.0f << 12 << false;
    QTest::newRow("too long at 5 pt is cut") << 12.0f << 255 << true;
}

// Shrunk to fit the spine, never below 5 pt; what still does not fit is cut with an ellipsis.
void TestCasePages::spineFits()
{
    QFETCH(float, size);
    QFETCH(int, length);
    QFETCH(bool, cut);
    CoverDocument doc;
    CoverDocument::Font font;
    font.name = doc.topHeadline().FontName();
    font.size = size;
    QVERIFY(doc.setTopFont(font));
    const QString text = QString(length, u'W');
    QVERIFY(doc.setSpineText(text));
    const casepages::Fitted f = casepages::FitSpine(doc);
    const QFontMetricsF m(f.font, fonts::Reference96());
    const double mm = 96 / 25.4;
    QVERIFY(f.font.pointSizeF() >= casepages::MinTextPt);
    QVERIFY(f.font.pointSizeF() <= size);
    QVERIFY2(m.height() <= (6.4 - 1.6) * mm || f.font.pointSizeF() == casepages::MinTextPt,
             qPrintable(QString::number(f.font.pointSizeF())));
    QVERIFY(m.horizontalAdvance(f.text) <= (117.5 - 6) * mm);
    QCOMPARE(f.text.endsWith(QChar(0x2026)), cut);
    QCOMPARE(f.text == text, !cut);
    QCOMPARE(f.cut, cut);
    // Said with how much shows: the characters before the ellipsis, of all of them.
    const QString note = casepages::SpineCutNote(doc);
    QCOMPARE(note.isEmpty(), !cut);
    if (cut)
        QVERIFY2(note.contains(QStringLiteral(" %1 of its %2 ").arg(f.text.size() - 1).arg(length)),
                 qPrintable(note));
    if (size == 6.0f)
        QCOMPARE(f.font.pointSizeF(), 6.0);
}

void TestCasePages::discMeasures_data()
{
    QTest::addColumn<double>("diameter");
    QTest::addColumn<double>("hole");
    QTest::newRow("standard") << 118.0 << 41.0;
    QTest::newRow("smallest") << 100.0 << 15.0;
    QTest::newRow("largest") << 120.0 << 46.0;
}

void TestCasePages::discMeasures()
{
    QFETCH(double, diameter);
    QFETCH(double, hole);
    CoverDocument doc = headlined(QStringLiteral("Top"), QStringLiteral("Bottom"));
    QVERIFY(doc.setDiscSize(diameter, hole));
    const QString pdf = exportPdf(doc, casepages::Output::Disc, QStringLiteral("disc.pdf"));
    QVERIFY(!pdf.isEmpty());
    const QList<pdfpaths::Page> pages = pdfpaths::Read(pdf);
    QCOMPARE(pages.size(), 1);
    QList<pdfpaths::Stroke> circles = cuts(pages[0]);
    QCOMPARE(circles.size(), 2);
    std::sort(circles.begin(), circles.end(),
              [](const auto &a, const auto &b) { return a.bounds().width() > b.bounds().width(); });
    const QRectF outer = circles[0].outerEdge();
    const double h = circles[1].width / 2;
    const QRectF inner = circles[1].bounds().adjusted(h, h, -h, -h);
    qInfo("disc %.3f x %.3f mm, hole %.3f x %.3f mm", outer.width(), outer.height(), inner.width(),
          inner.height());
    for (double side : {outer.width(), outer.height()})
        QVERIFY2(std::abs(side - diameter) <= Tolerance, qPrintable(QString::number(side)));
    for (double side : {inner.width(), inner.height()})
        QVERIFY2(std::abs(side - hole) <= Tolerance, qPrintable(QString::number(side)));
    QVERIFY((outer.center() - inner.center()).manhattanLength() < 0.05);
}

// The top headline above the hole, the bottom one below; the notice round the lower rim only
// when posted.
void TestCasePages::discTexts_data()
{
    QTest::addColumn<bool>("posted");
    QTest::newRow("notice posted") << true;
    QTest::newRow("no notice") << false;
}

void TestCasePages::discTexts()
{
    if (!pages::PopplerInstalled())
        QSKIP("pdftotext is not installed");
    QFETCH(bool, posted);
    CoverDocument doc = headlined(QStringLiteral("Upper"), QStringLiteral("Lower"));
    doc.setNoticePosted(posted);
    const QString pdf = exportPdf(doc, casepages::Output::Disc, QStringLiteral("texts.pdf"));
    QVERIFY(!pdf.isEmpty());
    const QList<pages::Word> words = pages::Words(pdf);
    const double pt = 72 / 25.4;
    const double centreY = (ExportMarginMm + doc.caseSet.discDiameter / 2) * pt;
    const pages::Word *upper = pages::Find(words, QStringLiteral("Upper"));
    const pages::Word *lower = pages::Find(words, QStringLiteral("Lower"));
    QVERIFY(upper && lower);
    QVERIFY(upper->box.bottom() < centreY);
    QVERIFY(lower->box.top() > centreY);
    QString rim;
    for (const pages::Word &w : words)
        if (w.box.top() > lower->box.bottom())
            rim += w.text;
    QCOMPARE(rim.contains(QStringLiteral("Reserved")), posted);
}

// The picture fills the ring cut from its middle, not stretched; without one the background does.
void TestCasePages::discPictureCropped()
{
    QImage stripes(600, 200, QImage::Format_RGB32);
    QPainter(&stripes).fillRect(0, 0, 200, 200, Qt::red);
    QPainter(&stripes).fillRect(200, 0, 200, 200, Qt::green);
    QPainter(&stripes).fillRect(400, 0, 200, 200, Qt::blue);
    const QString path = tmp.filePath(QStringLiteral("stripes.png"));
    QVERIFY(stripes.save(path));
    CoverDocument doc;
    doc.setBackgroundColor(0x00FFFF); // yellow, as the records hold colours (BGR)
    QImage plain = render(doc, false);
    const QPoint nearRim(plain.width() / 20, plain.height() / 2);
    QCOMPARE(plain.pixelColor(nearRim), QColor(Qt::yellow));
    QString error;
    QVERIFY2(doc.loadPicture(CoverDocument::Slot::Main, path, &error), qPrintable(error));
    const QImage shown = render(doc, false);
    const QColor c = shown.pixelColor(nearRim);
    QVERIFY2(c.green() > 200 && c.red() < 60 && c.blue() < 60, qPrintable(c.name()));
    // The hole stays clear.
    QCOMPARE(shown.pixelColor(shown.width() / 2 + 5, shown.height() / 2 + 5), QColor(Qt::white));
}

void TestCasePages::badValuesChangeNothing_data()
{
    using Op = std::function<bool(CoverDocument &, QString *)>;
    QTest::addColumn<Op>("op");
    const auto disc = [](double d, double h) {
        return Op([d, h](CoverDocument &doc, QString *e) { return doc.setDiscSize(d, h, e); });
    };
    const auto spine = [](const QString &t) {
        return Op([t](CoverDocument &doc, QString *e) { return doc.setSpineText(t, e); });
    };
    QTest::newRow("disc too small") << disc(99.9, 41);
    QTest::newRow("disc too large") << disc(120.5, 41);
    QTest::newRow("disc not a number") << disc(std::nan(""), 41);
    QTest::newRow("hole too small") << disc(118, 14);
    QTest::newRow("hole too large") << disc(118, 47);
    QTest::newRow("spine of 64 KiB") << spine(QString(64 * 1024, u'x'));
    QTest::newRow("spine of 256 characters") << spine(QString(256, u'x'));
    QTest::newRow("spine with a line break") << spine(QStringLiteral("one\ntwo"));
    QTest::newRow("spine with an escape") << spine(QStringLiteral("a\x1b[2Jb"));
}

void TestCasePages::badValuesChangeNothing()
{
    using Op = std::function<bool(CoverDocument &, QString *)>;
    QFETCH(Op, op);
    CoverDocument doc;
    QVERIFY(doc.setSpineText(QStringLiteral("Kept")));
    QVERIFY(doc.setDiscSize(110, 30));
    const CoverDocument before = doc;
    QString error;
    QVERIFY(!op(doc, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(doc == before);
    QCOMPARE(doc.Settings(), before.Settings());
}

void TestCasePages::setSheets_data()
{
    QTest::addColumn<int>("paper");
    QTest::addColumn<int>("sheets");
    QTest::newRow("A4") << int(QPageSize::A4) << 2;
    QTest::newRow("Letter") << int(QPageSize::Letter) << 2;
    QTest::newRow("A3") << int(QPageSize::A3) << 1;
    QTest::newRow("A6, too small") << int(QPageSize::A6) << 0;
}

// The set at true size on as few sheets as hold it: the pieces measure on the sheets as alone.
void TestCasePages::setSheets()
{
    QFETCH(int, paper);
    QFETCH(int, sheets);
    CoverDocument doc = headlined(QStringLiteral("Set"), QStringLiteral("Pieces"));
    const double margin = 6.35;
    const QSizeF sheetMm =
        QPageSize(QPageSize::PageSizeId(paper)).size(QPageSize::Millimeter) - QSizeF(2 * margin, 2 * margin);
    QString error;
    const QList<casepages::Page> pages = casepages::Sheets(doc, sheetMm * casepages::PxPerMm, &error);
    QCOMPARE(pages.size(), sheets);
    QCOMPARE(error.isEmpty(), sheets > 0);
    if (sheets == 0)
        return;
    const QString pdf = tmp.filePath(QStringLiteral("set.pdf"));
    QVERIFY(pageexport::ExportPdfPages(pdf, QStringLiteral("set"), pages, 0, &error));
    const QList<pdfpaths::Page> read = pdfpaths::Read(pdf);
    QCOMPARE(read.size(), sheets);
    QList<QSizeF> found;
    for (const pdfpaths::Page &page : read)
        for (const pdfpaths::Stroke &s : cuts(page))
            found << s.outerEdge().size();
    const auto has = [&found](double w, double h) {
        return std::any_of(found.begin(), found.end(), [w, h](QSizeF s) {
            return std::abs(s.width() - w) <= Tolerance && std::abs(s.height() - h) <= Tolerance;
        });
    };
    QVERIFY2(has(150.8, 117.5), "tray card");
    QVERIFY2(has(118, 118), "disc");
    QVERIFY2(has(456 * 25.4 / 96, 456 * 25.4 / 96), "booklet front");
}

void TestCasePages::outputNames()
{
    for (auto o :
         {casepages::Output::Cover, casepages::Output::Tray, casepages::Output::Disc, casepages::Output::Set})
        QCOMPARE(casepages::OutputNamed(casepages::Name(o)), o);
    QVERIFY(!casepages::OutputNamed(QStringLiteral("Tray")));
    QVERIFY(!casepages::OutputNamed(QString()));
}

QTEST_MAIN(TestCasePages)
#include "test_casepages.moc"
