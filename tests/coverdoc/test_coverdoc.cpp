// The cover document without any window: its operations, records, copies and painting. Built
// without QtWidgets, so QTEST_MAIN runs it under a QGuiApplication.
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <functional>

#include "colors.h"
#include "coverdocument.h"
#include "coverpage.h"
#include "fonts.h"
#include "picturecache.h"
#include "records.h"
#include "textnumber.h"

using C = CoverDocument::Centring;
using Op = std::function<void(CoverDocument &)>;
Q_DECLARE_METATYPE(Op)
using Check = std::function<bool(CoverDocument &)>;
Q_DECLARE_METATYPE(Check)
using Step = std::function<void(CoverDocument &live, CoverDocument &undo, const QString &file)>;
Q_DECLARE_METATYPE(Step)

namespace {

QStringList numbered(int count, const QString &pattern = QStringLiteral("Track%1"))
{
    QStringList list;
    for (int i = 1; i <= count; ++i)
        list << pattern.arg(i);
    return list;
}

designfile::Records asRecords(const QStringList &lines)
{
    designfile::Records r;
    for (qsizetype i = 0; i < lines.size() && i < qsizetype(r.size()); ++i)
        r[size_t(i)] = lines[i];
    return r;
}

} // namespace

class TestCoverDoc : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void startUp();
    void centringRule_data();
    void centringRule();
    void headlineText_data();
    void headlineText();
    void stylesReachTheirParts_data();
    void stylesReachTheirParts();
    void freeHeadlineKeepsPlaceButRewritesField();
    void positionFields_data();
    void positionFields();
    void layoutRoundTrip();
    void layoutOnlyOnChange();
    void freeBottomHeadlineMoves();
    void ruleThickness_data();
    void ruleThickness();
    void boxThicknessAndNoticeRow_data();
    void boxThicknessAndNoticeRow();
    void symbolToggle();
    void noticeRowLayout();
    void postingNotice();
    void titlesOptions();
    void pictureFields_data();
    void pictureFields();
    void fitBoxToPicture_data();
    void fitBoxToPicture();

    void everyOperationChangesAndCopies_data();
    void everyOperationChangesAndCopies();
    void assignmentKeepsPartsInPlace();
    void picturesSharedByCopies_data();
    void picturesSharedByCopies();
    void recordsRoundTrip_data();
    void recordsRoundTrip();
    void recordsAsOpenReadsThem_data();
    void recordsAsOpenReadsThem();
    void settings_data();
    void settings();
    void settingsTravelWithTheFile();
    void titleList_data();
    void titleList();
    void twentyTitlesAsTyped();
    void longListFitted_data();
    void longListFitted();
    void linesEndInsideTheCutLine_data();
    void linesEndInsideTheCutLine();
    void openCentring_data();
    void openCentring();
    void newDesignIsTheStartingOne();
    void paintsWithoutWidgets();
    void largePictureDecodedAsTheReaderDoes_data();
    void largePictureDecodedAsTheReaderDoes();
    void pictureDecodedAtTheSizeNeeded_data();
    void pictureDecodedAtTheSizeNeeded();

private:
    QString writeImage(int w, int h, const QString &name);
    QTemporaryDir tmp;
};

void TestCoverDoc::initTestCase()
{
    QVERIFY(tmp.isValid());
    fonts::InstallSubstitutions();
    QGuiApplication::setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    QVERIFY(!QCoreApplication::instance()->inherits("QApplication"));
}

QString TestCoverDoc::writeImage(int w, int h, const QString &name)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(QColor(200, 30, 30));
    const QString path = tmp.filePath(name);
    return img.save(path, "PNG") ? path : QString();
}

// The fields start filled, each with its reaction: the picture centred at 31.5.
void TestCoverDoc::startUp()
{
    const CoverDocument d;
    QCOMPARE(d.notice.year, textnum::YearText());
    QCOMPARE(d.top.topTyped, QStringLiteral("8"));
    QCOMPARE(d.top.leftTyped, QStringLiteral("104"));
    QCOMPARE(d.bottom.topTyped, QStringLiteral("408"));
    QCOMPARE(d.bottom.leftTyped, QStringLiteral("96"));
    QCOMPARE(d.pictures.widthTyped, QStringLiteral("393"));
    QCOMPARE(d.image(CoverDocument::MainPicture).rect(), QRectF(31.5, 83.5, 393, 289));
    QCOMPARE(d.layout.panelWidth, 456.0f);
    QVERIFY(d.top.centred && !d.top.free && d.titles.lowerSmall && d.layout.front && !d.layout.back);
    QCOMPARE(d.defaults.fontName, QGuiApplication::font().family());
    QCOMPARE(d.titlesStyle().FontSize(), d.defaults.fontSize);
    QCOMPARE(d.topHeadline().ForeColor(), colors::WindowText);
    QCOMPARE(d.PaintingOrder().back()->name(), QStringLiteral("Label2"));
    QCOMPARE(d.part(CoverDocument::OuterBox).Visible(), false);
    for (int n = 1; n <= CoverDocument::TitleLines; ++n)
        QVERIFY(!d.titleLine(n).Visible());
}

void TestCoverDoc::centringRule_data()
{
    QTest::addColumn<float>("panel");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("truncated");
    QTest::addColumn<double>("absolute");
    QTest::addColumn<double>("exact");
    QTest::newRow("101 on front") << 456.f << 101.0 << 177.0 << 177.0 << 177.5;
    QTest::newRow("477 on front") << 456.f << 477.0 << -10.0 << 10.0 << -10.5;
    QTest::newRow("393 on front") << 456.f << 393.0 << 31.0 << 31.0 << 31.5;
    QTest::newRow("393 on back") << 519.f << 393.0 << 63.0 << 63.0 << 63.0;
    QTest::newRow("wider by one") << 456.f << 457.0 << 0.0 << 0.0 << -0.5;
}

void TestCoverDoc::centringRule()
{
    QFETCH(float, panel);
    QFETCH(double, width);
    CoverDocument d;
    d.layout.panelWidth = panel;
    QTEST(d.Centred(width, C::Truncated), "truncated");
    QTEST(d.Centred(width, C::TruncatedAbsolute), "absolute");
    QTEST(d.Centred(width, C::Exact), "exact");
}

// The top headline centres with the absolute variant and comes to the front; the bottom one
// keeps plain truncation, so a headline wider than the panel goes left of it.
void TestCoverDoc::headlineText_data()
{
    QTest::addColumn<bool>("top");
    QTest::addColumn<QString>("text");
    QTest::newRow("top") << true << "Night Songs";
    QTest::newRow("top, wider than the panel") << true << QString(80, u'W');
    QTest::newRow("bottom") << false << "Night Songs";
    QTest::newRow("bottom, wider than the panel") << false << QString(80, u'W');
}

void TestCoverDoc::headlineText()
{
    QFETCH(bool, top);
    QFETCH(QString, text);
    CoverDocument d;
    top ? d.setTopText(text) : d.setBottomText(text);
    const CoverLabel &l = top ? d.topHeadline() : d.bottomHeadline();
    QCOMPARE(l.Caption(), text);
    QCOMPARE(l.Width(), std::ceil(l.Width()));
    QCOMPARE(l.Left(), d.Centred(l.Width(), top ? C::TruncatedAbsolute : C::Truncated));
    QCOMPARE(top ? d.top.leftTyped : d.bottom.leftTyped, textnum::PositionText(l.Left()));
    QCOMPARE(l.Top(), top ? 8.0 : 408.0);
    QCOMPARE(d.PaintingOrder().back() == &l, top);
    // Moved, then "Center" ticked again: centred once more, now the top with plain truncation
    // and the bottom with the absolute variant (a wide one goes right of the panel), and the
    // field says where.
    top ? d.setTopCentred(false) : d.setBottomCentred(false);
    top ? d.setTopLeftTyped(QStringLiteral("5")) : d.setBottomLeftTyped(QStringLiteral("5"));
    top ? d.setTopCentred(true) : d.setBottomCentred(true);
    QCOMPARE(l.Left(), d.Centred(l.Width(), top ? C::Truncated : C::TruncatedAbsolute));
    QCOMPARE(top ? d.top.leftTyped : d.bottom.leftTyped, textnum::PositionText(l.Left()));
}

// Each style command reaches every part it names, and only those.
void TestCoverDoc::stylesReachTheirParts_data()
{
    using D = CoverDocument;
    QTest::addColumn<Op>("op");
    QTest::addColumn<Check>("reached");
    const D::Font font{QStringLiteral("Arial"), 20, colors::Red, true, true, true, true};
    const auto styled = [font](const CoverLabel &l) {
        return l.FontName() == font.name && l.FontSize() == font.size && l.ForeColor() == font.color &&
               l.FontBold() && l.FontItalic() && l.FontStrikethru() && l.FontUnderline();
    };
    QTest::newRow("top font") << Op([font](D &d) { d.setTopFont(font); }) << Check([styled](D &d) {
        return styled(d.topHeadline()) && !styled(d.bottomHeadline());
    });
    QTest::newRow("bottom font") << Op([font](D &d) { d.setBottomFont(font); }) << Check([styled](D &d) {
        return styled(d.bottomHeadline()) && !styled(d.topHeadline());
    });
    QTest::newRow("rule colour") << Op([](D &d) { d.setRuleColor(colors::Red); }) << Check([](D &d) {
        return d.topRule().BorderColor() == colors::Red && d.bottomRule().BorderColor() == colors::Red &&
               d.outerBox().BorderColor() != colors::Red;
    });
    QTest::newRow("box colour") << Op([](D &d) { d.setBoxColor(colors::Red); }) << Check([](D &d) {
        return d.outerBox().BorderColor() == colors::Red && d.topRule().BorderColor() != colors::Red;
    });
}

void TestCoverDoc::stylesReachTheirParts()
{
    QFETCH(Op, op);
    QFETCH(Check, reached);
    CoverDocument d;
    op(d);
    QVERIFY(reached(d));
}

void TestCoverDoc::freeHeadlineKeepsPlaceButRewritesField()
{
    CoverDocument d;
    d.setTopCentred(false);
    QVERIFY(d.top.free);
    d.setTopLeftTyped(QStringLiteral("12px"));
    QCOMPARE(d.topHeadline().Left(), 12.0);
    d.setTopText(QStringLiteral("Hello"));
    QCOMPARE(d.topHeadline().Left(), 12.0);
    QCOMPARE(d.top.leftTyped, QStringLiteral("12"));
    QVERIFY(d.setTopFont({QStringLiteral("Arial"), 30}));
    QCOMPARE(d.topHeadline().Left(), 12.0);
    d.setTopCentred(true);
    QVERIFY(!d.top.free);
    QCOMPARE(d.topHeadline().Left(), d.Centred(d.topHeadline().Width(), C::Truncated));
    // A typed Left lasts only until the next text change while centred.
    d.setTopLeftTyped(QStringLiteral("3"));
    QCOMPARE(d.topHeadline().Left(), 3.0);
    d.setTopText(QStringLiteral("Hello!"));
    QCOMPARE(d.topHeadline().Left(), d.Centred(d.topHeadline().Width(), C::TruncatedAbsolute));
}

void TestCoverDoc::positionFields_data()
{
    QTest::addColumn<Op>("type");
    QTest::addColumn<bool>("top");
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<double>("expected");
    const auto op = [](void (CoverDocument::*set)(const QString &), const char *text) {
        return Op([set, text](CoverDocument &d) { (d.*set)(QString::fromUtf8(text)); });
    };
    QTest::newRow("top of top headline")
        << op(&CoverDocument::setTopTopTyped, "120") << true << true << 120.0;
    QTest::newRow("letters give 0") << op(&CoverDocument::setTopTopTyped, "abc") << true << true << 0.0;
    QTest::newRow("empty gives 0") << op(&CoverDocument::setTopLeftTyped, "") << true << false << 0.0;
    QTest::newRow("unit suffix") << op(&CoverDocument::setBottomTopTyped, "12px") << false << true << 12.0;
    QTest::newRow("fraction") << op(&CoverDocument::setBottomLeftTyped, "10.5") << false << false << 10.5;
    QTest::newRow("negative") << op(&CoverDocument::setBottomLeftTyped, "-7") << false << false << -7.0;
    // A value the panel cannot hold leaves the headline where it was.
    QTest::newRow("too large") << op(&CoverDocument::setTopTopTyped, "1E30") << true << true << 8.0;
    QTest::newRow("overflow") << op(&CoverDocument::setBottomTopTyped, "1E999") << false << true << 408.0;
}

void TestCoverDoc::positionFields()
{
    QFETCH(Op, type);
    QFETCH(bool, top);
    QFETCH(bool, vertical);
    CoverDocument d;
    type(d);
    const CoverLabel &l = top ? d.topHeadline() : d.bottomHeadline();
    QTEST(vertical ? l.Top() : l.Left(), "expected");
}

void TestCoverDoc::layoutRoundTrip()
{
    CoverDocument d;
    d.setNoticePosted(true); // the row has real widths
    const double l28 = d.noticeLeft().Left(), l29 = d.noticeRight().Left();
    const double i4 = d.noticeSymbol().Left(), i3 = d.logo2().Left();
    d.setBack(true);
    QVERIFY(!d.layout.front);
    QCOMPARE(d.layout.panelWidth, 519.0f);
    QCOMPARE(d.noticeLeft().Left(), l28 + 31);
    QCOMPARE(d.noticeRight().Left(), l29 + 31);
    QCOMPARE(d.noticeSymbol().Left(), i4 + 31);
    QCOMPARE(d.logo2().Left(), 453.0);
    QCOMPARE(d.panel().Width(), 519.0);
    QCOMPARE(d.outerBox().Width(), 507.0);
    QCOMPARE(d.topRule().X2(), 495.0);
    QCOMPARE(d.bottomRule().X2(), 495.0);
    QCOMPARE(d.titleLine(24).Width(), 422.0);
    QCOMPARE(d.mainPicture().Left(), 63.0);
    for (int n = 11; n <= 20; ++n)
        QCOMPARE(d.titleLine(n).Left(), 300.0);
    QCOMPARE(d.titleLine(23).Left(), 300.0);
    QCOMPARE(d.titleLine(10).Left(), 50.0); // the left column stays
    QCOMPARE(d.logo1().Left(), 25.0);

    d.setFront(true);
    QVERIFY(!d.layout.back);
    QCOMPARE(d.layout.panelWidth, 456.0f);
    QCOMPARE(d.noticeLeft().Left(), l28);
    QCOMPARE(d.noticeRight().Left(), l29);
    QCOMPARE(d.noticeSymbol().Left(), i4);
    QCOMPARE(d.logo2().Left(), i3);
    QCOMPARE(d.topRule().X2(), 432.0);
    QCOMPARE(d.titleLine(24).Width(), 360.0);
    QCOMPARE(d.mainPicture().Left(), 31.5);
    QCOMPARE(d.titleLine(11).Left(), 250.0);
    // The box keeps the back width less 12: 444, not the 441 it started with.
    QCOMPARE(d.outerBox().rect(), QRectF(6, 6, 444, 443));
}

// The shifts are relative: selecting the selected layout again, or clearing one, moves nothing.
void TestCoverDoc::layoutOnlyOnChange()
{
    CoverDocument d;
    const CoverDocument start = d;
    d.setFront(true);
    QVERIFY(d == start);
    d.setBack(true);
    const CoverDocument back = d;
    d.setBack(true);
    QVERIFY(d == back);
    d.setBack(false); // a file may say neither: nothing moves
    QCOMPARE(d.logo2().Left(), 453.0);
    QVERIFY(!d.layout.front && !d.layout.back);
}

void TestCoverDoc::freeBottomHeadlineMoves()
{
    CoverDocument d;
    d.setBottomCentred(false);
    d.setTopCentred(false);
    d.setBack(true);
    QCOMPARE(d.bottomHeadline().Left(), 159.0);
    QCOMPARE(d.topHeadline().Left(), 104.0); // a free top headline stays
    QCOMPARE(d.bottom.leftTyped, QStringLiteral("159"));
    d.setFront(true);
    QCOMPARE(d.bottomHeadline().Left(), 96.0);
    // Centred headlines are centred again in the new panel.
    d.setTopCentred(true);
    d.setBottomCentred(true);
    d.setTopText(QStringLiteral("Top"));
    d.setBottomText(QStringLiteral("Bottom"));
    d.setBack(true);
    QCOMPARE(d.topHeadline().Left(), d.Centred(d.topHeadline().Width(), C::TruncatedAbsolute));
    QCOMPARE(d.bottomHeadline().Left(), d.Centred(d.bottomHeadline().Width(), C::TruncatedAbsolute));
    QCOMPARE(d.top.leftTyped, textnum::PositionText(d.topHeadline().Left()));
}

void TestCoverDoc::ruleThickness_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("kept");
    QTest::newRow("empty") << "" << 1 << "1";
    QTest::newRow("zero") << "0" << 1 << "1";
    QTest::newRow("negative") << "-3" << 1 << "1";
    QTest::newRow("letters") << "abc" << 1 << "1";
    QTest::newRow("2.5 to even") << "2.5" << 2 << "2.5";
    QTest::newRow("3.5 to even") << "3.5" << 4 << "3.5";
    QTest::newRow("plain") << "7" << 7 << "7";
    QTest::newRow("beyond the line's limit") << "9000" << 1 << "1";
    QTest::newRow("16-bit overflow") << "40000" << 1 << "1";
    QTest::newRow("exponent overflow") << "1E999" << 1 << "1";
}

// The thickness is kept as typed; one the rules refuse puts "1" back.
void TestCoverDoc::ruleThickness()
{
    QFETCH(QString, typed);
    CoverDocument d;
    d.setRuleThicknessTyped(typed);
    QTEST(d.topRule().BorderWidth(), "width");
    QTEST(d.bottomRule().BorderWidth(), "width");
    QTEST(d.rules.thicknessTyped, "kept");
}

void TestCoverDoc::boxThicknessAndNoticeRow_data()
{
    QTest::addColumn<bool>("boxShown");
    QTest::addColumn<QString>("thickness");
    QTest::addColumn<int>("border");
    QTest::addColumn<double>("rowTop");
    QTest::newRow("shown 6") << true << "6" << 6 << 435.0;
    QTest::newRow("hidden 6") << false << "6" << 6 << 439.0;
    QTest::newRow("shown 1") << true << "1" << 1 << 440.0;
    QTest::newRow("shown 3.5") << true << "3.5" << 4 << 437.5;
    QTest::newRow("shown refused") << true << "0" << 1 << 440.0;
    QTest::newRow("shown 2") << true << "2" << 2 << 439.0;
}

void TestCoverDoc::boxThicknessAndNoticeRow()
{
    QFETCH(bool, boxShown);
    QFETCH(QString, thickness);
    QFETCH(int, border);
    QFETCH(double, rowTop);
    CoverDocument d;
    d.setBoxShown(boxShown);
    d.setBoxThicknessTyped(thickness);
    QCOMPARE(d.outerBox().BorderWidth(), border);
    QCOMPARE(d.outerBox().Visible(), boxShown);
    for (const BoxElement *e :
         std::initializer_list<const BoxElement *>{&d.noticeLeft(), &d.noticeRight(), &d.noticeSymbol()})
        QCOMPARE(e->Top(), rowTop);
    if (boxShown) {
        // Toggling the box puts the row back on its base line and raises it again.
        d.setBoxShown(false);
        QCOMPARE(d.noticeLeft().Top(), 439.0);
        d.setBoxShown(true);
        QCOMPARE(d.noticeLeft().Top(), rowTop);
    }
}

void TestCoverDoc::symbolToggle()
{
    CoverDocument d;
    d.noticeLeft().setLeft(200);
    d.setSymbolAdded(true);
    QCOMPARE(d.noticeRight().Left(), 233.0);
    QCOMPARE(d.noticeSymbol().Width(), 6.0);
    QVERIFY(d.noticeSymbol().Visible());
    QCOMPARE(d.noticeLeft().Left(), 200.0);
    d.setSymbolAdded(false);
    QCOMPARE(d.noticeRight().Left(), 230.0);
    QCOMPARE(d.noticeSymbol().Width(), 1.0);
    QVERIFY(!d.noticeSymbol().Visible());
}

void TestCoverDoc::noticeRowLayout()
{
    CoverDocument d;
    // Fixed widths make the row's arithmetic visible.
    d.noticeLeft().setAutoSize(false);
    d.noticeRight().setAutoSize(false);
    d.noticeLeft().setWidth(29);
    d.noticeRight().setWidth(100);
    d.noticeSymbol().setWidth(6);
    d.setNoticeYear(QStringLiteral("1999")); // lays the row out again
    QCOMPARE(d.noticeLeft().Left(), 160.5);
    QCOMPARE(d.noticeSymbol().Left(), 189.5);
    QCOMPARE(d.noticeRight().Left(), 193.5);
    d.noticeSymbol().setWidth(1);
    d.setNoticeOwner(QStringLiteral("Ann"));
    QCOMPARE(d.noticeLeft().Left(), 163.0);
    QCOMPARE(d.noticeRight().Left(), 163.0 + 28);
}

void TestCoverDoc::postingNotice()
{
    CoverDocument d;
    d.setNoticePosted(true);
    const QString year = textnum::YearText();
    QCOMPARE(d.noticeRight().Caption(), year + QStringLiteral("  All Rights Reserved."));
    QCOMPARE(d.noticeLeft().Caption(), QStringLiteral("Copyright \u00A9"));
    QVERIFY(d.noticeLeft().Visible() && d.noticeRight().Visible() && !d.noticeSymbol().Visible());
    d.setNoticeOwner(QStringLiteral("Ann Lee"));
    QCOMPARE(d.noticeRight().Caption(), year + QStringLiteral(" Ann Lee All Rights Reserved."));
    const double w = d.noticeLeft().Width() + d.noticeSymbol().Width() + d.noticeRight().Width();
    QCOMPARE(d.noticeLeft().Left(), (456.0 - w) / 2);
    QCOMPARE(d.noticeRight().Left(), d.noticeLeft().Left() + 29 + 1 - 2);
    d.setSymbolAdded(true);
    d.setNoticePosted(false);
    QVERIFY(!d.noticeLeft().Visible() && !d.noticeSymbol().Visible() && !d.noticeRight().Visible());
    d.setNoticePosted(true);
    QVERIFY(d.noticeSymbol().Visible());
    QCOMPARE(d.noticeSymbol().Left(), d.noticeLeft().Left() + 29);
    // Copyright Black: black, or the titles' colour.
    d.titleLine(7).setForeColor(colors::White);
    d.setNoticeBlack(true);
    QCOMPARE(d.noticeLeft().ForeColor(), 0);
    d.setNoticeBlack(false);
    QCOMPARE(d.noticeRight().ForeColor(), colors::White);
}

void TestCoverDoc::titlesOptions()
{
    CoverDocument d;
    d.setTitle(2, QStringLiteral("Second"));
    d.setTitlesShown(true);
    for (int n = 1; n <= CoverDocument::TitleLines; ++n)
        QVERIFY(d.titleLine(n).Visible());
    d.setTitlesShown(false);
    QVERIFY(!d.titleLine(2).Visible());
    QCOMPARE(d.titleLine(2).Caption(), QStringLiteral("Second"));

    d.titleLine(7).setFontSize(10);
    d.setLowerSmall(false);
    for (int n : {21, 22, 23, 24})
        QCOMPARE(d.titleLine(n).FontSize(), 10.0f);
    QCOMPARE(d.titleLine(24).FontName(), QStringLiteral("Arial"));
    d.setLowerSmall(true);
    QCOMPARE(d.titleLine(21).FontSize(), 7.0f);
    QCOMPARE(d.titleLine(24).FontSize(), 6.0f);

    d.bottomHeadline().setForeColor(colors::Red);
    const qint32 first = d.titleLine(21).ForeColor();
    d.setLowerBlack(true);
    QCOMPARE(d.titleLine(22).ForeColor(), colors::Red);
    QCOMPARE(d.titleLine(24).ForeColor(), colors::Red);
    QCOMPARE(d.titleLine(21).ForeColor(), first);
    d.titleLine(7).setForeColor(colors::White);
    d.setLowerBlack(false);
    QCOMPARE(d.titleLine(23).ForeColor(), colors::White);

    const QRectF box = d.titleLine(24).rect();
    d.setLowerCentred(true);
    QCOMPARE(d.titleLine(24).Alignment(), CoverLabel::Align::Centre);
    QCOMPARE(d.titleLine(24).rect(), box);
}

void TestCoverDoc::pictureFields_data()
{
    QTest::addColumn<bool>("width");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("size");
    QTest::addColumn<double>("position");
    QTest::newRow("width fills the panel") << true << "456" << 456.0 << 0.0;
    QTest::newRow("width 200") << true << "200" << 200.0 << 128.0;
    QTest::newRow("height cleared") << false << "" << 0.0 << 228.0;
    QTest::newRow("height 100") << false << "100" << 100.0 << 178.0;
    QTest::newRow("negative width refused") << true << "-20" << 393.0 << 31.5;
    QTest::newRow("largest width") << true << "32767" << 32767.0 << -16155.5;
    QTest::newRow("largest height") << false << "32767" << 32767.0 << -16155.5;
}

void TestCoverDoc::pictureFields()
{
    QFETCH(bool, width);
    QFETCH(QString, typed);
    CoverDocument d;
    QString error;
    QVERIFY2(
        d.loadPicture(CoverDocument::Slot::Main, writeImage(50, 40, QStringLiteral("fields.png")), &error),
        qPrintable(error));
    width ? d.setPictureWidthTyped(typed) : d.setPictureHeightTyped(typed);
    const CoverImage &image = d.mainPicture();
    QTEST(width ? image.Width() : image.Height(), "size");
    QTEST(width ? image.Left() : image.Top(), "position");
    QCOMPARE(width ? d.pictures.widthTyped : d.pictures.heightTyped, typed);
}

// The box keeps its width and takes the picture's proportions in whole pixels, as typed into W
// and H, inside the panel and centred there.
void TestCoverDoc::fitBoxToPicture_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QRectF>("box");
    QTest::newRow("square") << QSize(500, 500) << "393" << QRectF(31.5, 31.5, 393, 393);
    QTest::newRow("wide, rounded") << QSize(1000, 333) << "393" << QRectF(31.5, 162.5, 393, 131);
    QTest::newRow("tall: the panel's height") << QSize(300, 600) << "393" << QRectF(114, 0, 228, 456);
    QTest::newRow("wider than the panel") << QSize(100, 50) << "600" << QRectF(0, 114, 456, 228);
}

void TestCoverDoc::fitBoxToPicture()
{
    QFETCH(QSize, picture);
    QFETCH(QRectF, box);
    CoverDocument d;
    QVERIFY(!d.fitBoxToPicture());
    QVERIFY(d.loadPicture(CoverDocument::Slot::Main, writeImage(picture.width(), picture.height(), "fit.png"),
                          nullptr));
    QFETCH(QString, width);
    d.setPictureWidthTyped(width);
    QVERIFY(d.fitBoxToPicture());
    QCOMPARE(d.mainPicture().rect(), box);
    QCOMPARE(d.pictures.heightTyped, QString::number(box.height()));
}

// Each operation changes the document; a copy taken before stays as it was and compares unequal,
// a copy taken after compares equal, and assigning the earlier copy back undoes the change.
void TestCoverDoc::everyOperationChangesAndCopies_data()
{
    QTest::addColumn<Op>("op");
    using D = CoverDocument;
    QTest::newRow("top text") << Op([](D &d) { d.setTopText(QStringLiteral("Harbour")); });
    QTest::newRow("bottom text") << Op([](D &d) { d.setBottomText(QStringLiteral("Lights")); });
    QTest::newRow("top centred off") << Op([](D &d) { d.setTopCentred(false); });
    QTest::newRow("bottom boxed") << Op([](D &d) { d.setBottomBoxed(true); });
    QTest::newRow("rule hidden") << Op([](D &d) { d.setTopRuleHidden(true); });
    QTest::newRow("rule thickness") << Op([](D &d) { d.setRuleThicknessTyped(QStringLiteral("6")); });
    QTest::newRow("box shown") << Op([](D &d) { d.setBoxShown(true); });
    QTest::newRow("box thickness") << Op([](D &d) { d.setBoxThicknessTyped(QStringLiteral("5")); });
    QTest::newRow("background") << Op([](D &d) { d.setBackgroundColor(colors::Red); });
    QTest::newRow("title") << Op([](D &d) { d.setTitle(3, QStringLiteral("Three")); });
    QTest::newRow("titles shown") << Op([](D &d) { d.setTitlesShown(true); });
    QTest::newRow("lower small off") << Op([](D &d) { d.setLowerSmall(false); });
    QTest::newRow("notice owner") << Op([](D &d) { d.setNoticeOwner(QStringLiteral("Ann")); });
    QTest::newRow("back layout") << Op([](D &d) { d.setBack(true); });
    QTest::newRow("picture width") << Op([](D &d) { d.setPictureWidthTyped(QStringLiteral("200")); });
    QTest::newRow("titles font") << Op(
        [](D &d) { d.setTitlesFont(QStringLiteral("Arial"), 11, colors::Red); });
    QTest::newRow("top font") << Op([](D &d) {
        d.setTopFont({QStringLiteral("Arial"), 20, 0, false, true, false, false});
    });
}

void TestCoverDoc::everyOperationChangesAndCopies()
{
    QFETCH(Op, op);
    CoverDocument d;
    const CoverDocument before = d;
    QVERIFY(before == d);
    op(d);
    QVERIFY(!(d == before));
    const CoverDocument after = d;
    QVERIFY(after == d);
    QCOMPARE(after.Records(), d.Records());
    d = before;
    QVERIFY(d == before);
    QCOMPARE(d.Records(), before.Records());
    d = after;
    QVERIFY(d == after);
}

// The window points at the parts: assignment changes their values, never their addresses, and a
// copy shares the picture's pixels rather than decoding or duplicating them.
void TestCoverDoc::assignmentKeepsPartsInPlace()
{
    CoverDocument d;
    QVERIFY(d.loadPicture(CoverDocument::Slot::Main, writeImage(300, 200, QStringLiteral("shared.png")),
                          nullptr));
    const CoverElement *headline = &d.topHeadline();
    int notices = 0;
    d.setChangeNotice([&notices] { ++notices; });
    const CoverDocument before = d;
    d.setTopText(QStringLiteral("Harbour")); // brings the headline to the front
    d.setBack(true);
    QVERIFY(notices > 0);
    notices = 0;
    d = before;
    QVERIFY(notices > 0); // the window hears of it
    QCOMPARE(&d.topHeadline(), headline);
    QVERIFY(d == before);
    QCOMPARE(d.PaintingOrder().back(), &d.topHeadline());
    QVERIFY(d.mainPicture().HasPicture());
    QCOMPARE(d.mainPicture().SourceSize(), QSize(300, 200));
}

// The main picture painted on paper at twice the screen's detail: finer than its screen copy.
static void printPicture(const CoverDocument &d)
{
    const CoverImage &image = d.image(CoverDocument::MainPicture);
    QImage page((image.rect().size() * 2).toSize() + QSize(2, 2), QImage::Format_ARGB32_Premultiplied);
    QPainter p(&page);
    p.scale(2, 2);
    p.translate(-image.rect().topLeft());
    image.paint(p, true);
}

void TestCoverDoc::picturesSharedByCopies_data()
{
    QTest::addColumn<Step>("step");
    QTest::addColumn<int>("decodes");
    QTest::addColumn<int>("held"); // pictures held after the step
    using D = CoverDocument;
    QTest::newRow("an undo copy prints from the same copies")
        << Step([](D &, D &undo, const QString &) { printPicture(undo); }) << 0 << 1;
    QTest::newRow("another part shows the same file")
        << Step([](D &live, D &, const QString &f) { live.loadPicture(D::Slot::Logo1, f, nullptr); }) << 0
        << 1;
    QTest::newRow("the file written since is read afresh") << Step([](D &live, D &, const QString &f) {
        QFile file(f);
        file.open(QIODevice::ReadWrite);
        file.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime);
        live.loadPicture(D::Slot::Main, f, nullptr);
    }) << 1 << 2;
    QTest::newRow("the last holder gone frees it") << Step([](D &live, D &undo, const QString &) {
        live.clearPicture(D::Slot::Main);
        undo = D();
    }) << 0 << 0;
}

// Copies of a document share the pictures decoded for it; a picture goes with its last holder.
void TestCoverDoc::picturesSharedByCopies()
{
    QFETCH(Step, step);
    CoverDocument live;
    const int held = Picture::Held();
    const QString file = writeImage(800, 600, QStringLiteral("shared-%1.png").arg(QTest::currentDataTag()));
    QVERIFY(live.loadPicture(CoverDocument::Slot::Main, file, nullptr));
    printPicture(live);
    CoverDocument undo(live);
    const int decodes = Picture::Decodes();
    step(live, undo, file);
    QTEST(Picture::Decodes() - decodes, "decodes");
    QTEST(Picture::Held() - held, "held");
}

void TestCoverDoc::recordsRoundTrip_data()
{
    QTest::addColumn<Op>("op");
    using D = CoverDocument;
    QTest::newRow("start-up") << Op([](D &) {});
    QTest::newRow("edited front") << Op([](D &d) {
        d.setTopText(QStringLiteral("Harbour Lights"));
        d.setBottomText(QStringLiteral("Ann Lee"));
        d.setTopBoxed(true);
        d.setBoxShown(true);
        d.setBoxThicknessTyped(QStringLiteral("4"));
        d.setTitlesShown(true);
        for (int n = 1; n <= 24; ++n)
            d.setTitle(n, QStringLiteral("line %1").arg(n));
        d.setNoticePosted(true);
        d.setSymbolAdded(true);
        d.setNoticeOwner(QStringLiteral("Ann Lee"));
    });
    QTest::newRow("back, free headlines") << Op([](D &d) {
        d.setBack(true);
        d.setTopCentred(false);
        d.setTopLeftTyped(QStringLiteral("33"));
        d.setBottomCentred(false);
        d.setBottomTopTyped(QStringLiteral("400.5"));
        d.setLowerSmall(false);
        d.setLowerBlack(true);
    });
}

// Records out, into a fresh document, and out again: the same 75 lines, and the same document
// where the records hold all of it (not so the thickness as typed, the field's alone, nor the
// titles font, which Open gives to every line but the third credit line).
void TestCoverDoc::recordsRoundTrip()
{
    QFETCH(Op, op);
    CoverDocument d;
    op(d);
    const QStringList lines = d.Records();
    QCOMPARE(lines.size(), designfile::RecordCount);
    CoverDocument e;
    QVERIFY(e.applyRecords(asRecords(lines)));
    QCOMPARE(e.Records(), lines);
    QVERIFY(e == d);
    CoverDocument f;
    QVERIFY(f.applyRecords(designfile::Decode(designfile::Encode(lines))));
    QCOMPARE(f.Records(), lines);
}

// Values other programs may have written: a box is ticked by any number but 0 (a grey box is
// 2, a true -1), and an empty face leaves the font as it was.
void TestCoverDoc::recordsAsOpenReadsThem_data()
{
    QTest::addColumn<int>("record");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Check>("check");
    using D = CoverDocument;
    QTest::newRow("box 2") << int(records::OuterBoxShown) << " 2 " << Check([](D &d) { return d.box.shown; });
    QTest::newRow("box -1") << int(records::OuterBoxShown) << "-1 "
                            << Check([](D &d) { return d.box.shown; });
    QTest::newRow("box 0") << int(records::OuterBoxShown) << " 0 "
                           << Check([](D &d) { return !d.box.shown; });
    QTest::newRow("empty face") << int(records::TopHeadlineFont) << ""
                                << Check([](D &d) { return d.topHeadline().FontName() == u"MS Sans Serif"; });
}

void TestCoverDoc::recordsAsOpenReadsThem()
{
    QFETCH(int, record);
    QFETCH(QString, text);
    QFETCH(Check, check);
    QStringList lines = CoverDocument().Records();
    lines[record - 1] = text;
    CoverDocument d;
    QVERIFY(d.applyRecords(asRecords(lines)));
    QVERIFY(check(d));
}

// Settings after the records: valid ones taken, anything else left at its default, and a
// default never written (so such a design stays byte-for-byte the records alone).
void TestCoverDoc::settings_data()
{
    QTest::addColumn<QStringList>("in");
    QTest::addColumn<QStringList>("out");
    QTest::newRow("none") << QStringList() << QStringList();
    QStringList valid{"spine.text=Harbour · Lights", "spine.direction=up", "disc.diameter=117.5",
                      "disc.hole=15"};
    QStringList longList;
    for (int i = 1; i <= 21; ++i)
        longList << (i == 2 ? QStringLiteral("title=") : QStringLiteral("title=T%1").arg(i));
    valid += longList;
    QTest::newRow("each valid") << valid << valid;
    // The title lines hold 20 already: a list no longer is not kept apart.
    QTest::newRow("20 titles") << longList.mid(0, 20) << QStringList();
    QTest::newRow("limits") << QStringList{"disc.diameter=100", "disc.hole=46"}
                            << QStringList{"disc.diameter=100", "disc.hole=46"};
    QTest::newRow("defaults spelled out")
        << QStringList{"spine.direction=down", "disc.diameter=118", "disc.hole=41.0", "spine.text="}
        << QStringList();
    QTest::newRow("out of range or unreadable")
        << QStringList{"disc.diameter=99.9",       "disc.hole=46.01",   "disc.diameter=nan",
                       "disc.hole=1e400",          "disc.diameter=",    "disc.hole=4 1",
                       "spine.direction=sideways", "spine.direction=UP"}
        << QStringList();
    QTest::newRow("spine text with a control character")
        << QStringList{QStringLiteral("spine.text=a\tb"), QStringLiteral("spine.text=\x1b[2J")}
        << QStringList();
    QTest::newRow("last one wins") << QStringList{"disc.hole=20", "disc.hole=30"}
                                   << QStringList{"disc.hole=30"};
    QTest::newRow("unknown keys") << QStringList{"future.key=1", "titles=2", "spinetext=x"} << QStringList();
    QStringList many, kept;
    for (int i = 1; i <= 150; ++i) {
        many << QStringLiteral("title=%1").arg(i);
        if (i <= CoverDocument::MaxTitles)
            kept << many.last();
    }
    QTest::newRow("titles past the bound") << many << kept;
    const QString astral = QStringLiteral("😀");
    QTest::newRow("long title cut whole, controls made blanks")
        << QStringList{"title=" + QString(CoverDocument::MaxTitleLength - 1, u'x') + astral,
                       QStringLiteral("title=a\tb") + QChar(0) + u'c'} +
               longList.mid(2)
        << QStringList{"title=" + QString(CoverDocument::MaxTitleLength - 1, u'x'), "title=a b c"} +
               longList.mid(2);
}

void TestCoverDoc::settings()
{
    QFETCH(QStringList, in);
    QFETCH(QStringList, out);
    CoverDocument d;
    d.applySettings(in);
    QCOMPARE(d.Settings(), out);
    // What was read back is what was written.
    CoverDocument e;
    e.applySettings(out);
    QVERIFY(e == d);
}

// Settings go out with Save and come back with Open; a file without them resets them, as do New.
void TestCoverDoc::settingsTravelWithTheFile()
{
    CoverDocument d;
    d.setTopText(QStringLiteral("Harbour"));
    d.caseSet.spineText = QStringLiteral("Harbour · Lights");
    d.caseSet.discHole = 20;
    QStringList list;
    for (int i = 1; i <= 30; ++i)
        list << QStringLiteral("Title %1").arg(i);
    d.setTitleList(list);
    const QByteArray bytes = designfile::Encode(d.Records(), d.Settings());
    CoverDocument e;
    QVERIFY(e.applyRecords(designfile::Decode(bytes)));
    QVERIFY(e == d);

    QVERIFY(e.applyRecords(asRecords(CoverDocument().Records())));
    QCOMPARE(e.caseSet, CoverDocument::CaseSet());
    QVERIFY(e.titles.list.isEmpty());

    d.newDesign(textnum::YearText());
    QVERIFY(d.Settings().isEmpty());
}

// The whole list: 20 or fewer in the title lines only, more kept whole with the first 20 in the
// lines too; the credit lines and the note never take a title.
void TestCoverDoc::titleList_data()
{
    QTest::addColumn<Op>("steps");
    QTest::addColumn<int>("listSize");      // the long list kept (0: none)
    QTest::addColumn<QStringList>("lines"); // title lines 1, 5, 20
    const auto set = [](QStringList list, qsizetype leftOut = 0) {
        return Op([list, leftOut](CoverDocument &d) { QCOMPARE(d.setTitleList(list), leftOut); });
    };
    QTest::newRow("30") << set(numbered(30)) << 30 << QStringList{"Track1", "Track5", "Track20"};
    QTest::newRow("21") << set(numbered(21)) << 21 << QStringList{"Track1", "Track5", "Track20"};
    QTest::newRow("12: the lines past it emptied")
        << set(numbered(12)) << 0 << QStringList{"Track1", "Track5", ""};
    QTest::newRow("150: 51 left out")
        << set(numbered(150), 51) << 99 << QStringList{"Track1", "Track5", "Track20"};
    QTest::newRow("typing in line 5 edits the list") << Op([set](CoverDocument &d) {
        set(numbered(40))(d);
        d.setTitle(5, QStringLiteral("Typed"));
        d.setTitle(21, QStringLiteral("Credit"));
        QCOMPARE(d.titles.list.value(4), QStringLiteral("Typed"));
        QCOMPARE(d.titles.list.value(20), QStringLiteral("Track21"));
        d.setTitle(21, QStringLiteral("Publisher"));
    }) << 40 << QStringList{"Track1", "Typed", "Track20"};
    QTest::newRow("back to 20: the 20 lines") << Op([set](CoverDocument &d) {
        set(numbered(40))(d);
        set(numbered(20, QStringLiteral("New%1")))(d);
    }) << 0 << QStringList{"New1", "New5", "New20"};
    QTest::newRow("hostile: 10,000 lines of 64 KiB, markup and NULs") << Op([set](CoverDocument &d) {
        QStringList list;
        const QString big = QStringLiteral("<b>x</b>") + QChar(0) + QString(64 * 1024, u'y');
        for (int i = 0; i < 10000; ++i)
            list << big;
        set(list, 10000 - CoverDocument::MaxTitles)(d);
        for (const QString &t : std::as_const(d.titles.list)) {
            QCOMPARE(t.size(), CoverDocument::MaxTitleLength);
            QVERIFY(t.startsWith(QStringLiteral("<b>x</b> y")));
        }
        QVERIFY(d.Settings().join(QString()).indexOf(QChar(0)) < 0);
    }) << 99 << QStringList{};
}

void TestCoverDoc::titleList()
{
    QFETCH(Op, steps);
    QFETCH(int, listSize);
    QFETCH(QStringList, lines);
    CoverDocument d;
    for (int n = 1; n <= 20; ++n)
        d.setTitle(n, QStringLiteral("old"));
    d.setTitle(21, QStringLiteral("Publisher"));
    d.setTitle(24, QStringLiteral("Note"));
    steps(d);
    QCOMPARE(d.titles.list.size(), listSize);
    QCOMPARE(d.LongList(), listSize > 0);
    if (!lines.isEmpty())
        QCOMPARE((QStringList{d.titleLine(1).Caption(), d.titleLine(5).Caption(), d.titleLine(20).Caption()}),
                 lines);
    for (int n = 1; n <= 20 && listSize > 0; ++n)
        QCOMPARE(d.titleLine(n).Caption(), d.titles.list[n - 1]);
    QCOMPARE(d.titleLine(21).Caption(), QStringLiteral("Publisher"));
    QCOMPARE(d.titleLine(24).Caption(), QStringLiteral("Note"));
    // Through the file and back, exactly.
    CoverDocument e;
    QVERIFY(e.applyRecords(designfile::Decode(designfile::Encode(d.Records(), d.Settings()))));
    QCOMPARE(e.TitleList(), d.TitleList());
    QCOMPARE(e.Records(), d.Records());
    QString why;
    QVERIFY2(records::LooksLikeDesign(asRecords(d.Records()), &why), qPrintable(why));
}

// 20 titles set as a list are the 20 lines typed: the same records, no settings, the same page.
void TestCoverDoc::twentyTitlesAsTyped()
{
    CoverDocument typed, listed;
    for (CoverDocument *d : {&typed, &listed})
        d->setTitlesShown(true);
    for (int n = 1; n <= 20; ++n)
        typed.setTitle(n, QStringLiteral("Track%1").arg(n));
    listed.setTitleList(numbered(20));
    QVERIFY(listed == typed);
    QVERIFY(listed.Settings().isEmpty());
    QImage a(456, 456, QImage::Format_RGB32), b(456, 456, QImage::Format_RGB32);
    for (auto [doc, image] : {std::pair{&typed, &a}, std::pair{&listed, &b}}) {
        QPainter p(image);
        coverpage::PaintPage(*doc, p);
    }
    QCOMPARE(a, b);
}

// A long list fills the area of the 20 lines, down to the first credit line, in 2 to 4 columns
// at the largest size up to the titles' own, never below 6 pt; nothing is drawn outside it.
void TestCoverDoc::longListFitted_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("back");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("columns");
    QTest::addColumn<bool>("atTitlesSize");
    QTest::newRow("21") << 21 << false << "Track%1" << 2 << true;
    QTest::newRow("30") << 30 << false << "Track%1" << 2 << true;
    QTest::newRow("40") << 40 << false << "Track%1" << 3 << true;
    QTest::newRow("60") << 60 << false << "Track%1" << 4 << true;
    QTest::newRow("99") << 99 << false << "Track%1" << 4 << false;
    QTest::newRow("99, back cover") << 99 << true << "Track%1" << 4 << false;
    QTest::newRow("40 wide titles") << 40 << false << "A rather long title number %1" << 3 << false;
}

void TestCoverDoc::longListFitted()
{
    QFETCH(int, count);
    QFETCH(bool, back);
    QFETCH(QString, pattern);
    QFETCH(int, columns);
    QFETCH(bool, atTitlesSize);
    CoverDocument d;
    d.setBack(back);
    d.setTitlesShown(true);
    d.setTitlesFont(QStringLiteral("Arial"), 8, colors::Rgb(255, 0, 0));
    d.setTitleList(numbered(count, pattern));
    const CoverDocument::ListLayout l = d.LayOutList();
    QCOMPARE(l.area, QRectF(50, 80, d.layout.panelWidth - 100, 200));
    QCOMPARE(l.shown, count);
    QCOMPARE(l.columns, columns);
    QVERIFY(l.points >= CoverDocument::MinListPoints);
    QCOMPARE(l.points == 8.0f, atTitlesSize);
    QVERIFY(l.rows * l.pitch <= l.area.height() + 1e-6);
    QVERIFY(l.columns * l.columnWidth <= l.area.width());
    QCOMPARE(l.cut, 0);

    // Red ink only inside the area, and in every column.
    QImage page(int(d.layout.panelWidth), 456, QImage::Format_RGB32);
    {
        QPainter p(&page);
        coverpage::PaintPage(d, p);
    }
    QList<int> inkInColumn(columns, 0);
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            if (c.red() < 200 || c.green() > 120)
                continue;
            QVERIFY2(l.area.adjusted(-1, -1, 1, 1).contains(QPointF(x + 0.5, y + 0.5)),
                     qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            ++inkInColumn[std::min(columns - 1, int((x - l.area.left()) / (l.columnWidth + 8)))];
        }
    for (int ink : inkInColumn)
        QVERIFY(ink > 0);
}

// A title or credit line that would run past the cut line ends in "…" inside it and is counted,
// its whole text kept; the paragraph wraps in its box, and a long list stands in for the 20 lines.
void TestCoverDoc::linesEndInsideTheCutLine_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<bool>("back");
    QTest::addColumn<bool>("longList");
    QTest::addColumn<int>("atEdge");
    QTest::newRow("title 9, front") << 9 << false << false << 1;
    QTest::newRow("third credit line, back") << 23 << true << false << 1;
    QTest::newRow("the paragraph wraps") << 24 << false << false << 0;
    QTest::newRow("credit line beside a long list") << 22 << false << true << 1;
    QTest::newRow("title under a long list") << 5 << false << true << 0;
}

void TestCoverDoc::linesEndInsideTheCutLine()
{
    QFETCH(int, line);
    QFETCH(bool, back);
    QFETCH(bool, longList);
    QFETCH(int, atEdge);
    CoverDocument d;
    d.setBack(back);
    d.setTitlesShown(true);
    d.setTitlesFont(QStringLiteral("Arial"), 10, colors::Red);
    if (longList)
        d.setTitleList(numbered(30));
    const QString whole = QStringLiteral("A title far too long for the line it stands in (0:01)").repeated(2);
    d.setTitle(line, whole);
    d.titleLine(line).setForeColor(colors::Red);
    QCOMPARE(d.TitlesCutShort().atEdge, atEdge);
    CoverDocument reopened;
    QVERIFY(reopened.applyRecords(asRecords(d.Records())));
    QCOMPARE(reopened.titleLine(line).Caption(), whole);
    // Red ink up to the cut line and not past it, on a page wider than the panel (left out).
    QImage page(int(d.layout.panelWidth) + 200, 456, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter p(&page);
    d.paint(p, true, false);
    const int edge = int(d.layout.panelWidth) - 1; // inside the 1-pixel cut line
    QList<int> inkAt;
    for (int y = 0; y < page.height(); ++y)
        for (int x = edge - 12; x < page.width(); ++x)
            if (QColor c = page.pixelColor(x, y); c.red() > 200 && c.green() < 150)
                inkAt << x;
    QCOMPARE(!inkAt.isEmpty(), atEdge > 0);
    QVERIFY(std::all_of(inkAt.begin(), inkAt.end(), [edge](int x) { return x < edge; }));
}

// After Open a headline is free exactly when its "Center" box, as loaded, is clear, whatever the
// box said before; the file's positions stand either way.
void TestCoverDoc::openCentring_data()
{
    QTest::addColumn<bool>("before");
    QTest::addColumn<bool>("inFile");
    QTest::newRow("ticked, file ticked") << true << true;
    QTest::newRow("ticked, file clear") << true << false;
    QTest::newRow("clear, file ticked") << false << true;
    QTest::newRow("clear, file clear") << false << false;
}

void TestCoverDoc::openCentring()
{
    QFETCH(bool, before);
    QFETCH(bool, inFile);
    CoverDocument saved;
    saved.setTopCentred(inFile);
    saved.setTopLeftTyped(QStringLiteral("40"));
    CoverDocument d;
    d.setTopCentred(before);
    QVERIFY(d.applyRecords(asRecords(saved.Records())));
    QCOMPARE(d.top.centred, inFile);
    QCOMPARE(d.top.free, !inFile);
    QCOMPARE(d.topHeadline().Left(), 40.0);
    d.setTopText(QStringLiteral("Harbour"));
    if (inFile)
        QCOMPARE(d.topHeadline().Left(), d.Centred(d.topHeadline().Width(), C::TruncatedAbsolute));
    else
        QCOMPARE(d.topHeadline().Left(), 40.0);
}

void TestCoverDoc::newDesignIsTheStartingOne()
{
    const CoverDocument start;
    CoverDocument d;
    d.setBack(true);
    d.setTopText(QStringLiteral("Old"));
    d.setNoticeOwner(QStringLiteral("Owner"));
    d.topHeadline().setFontItalic(true);
    d.setBackgroundColor(colors::Red);
    d.setRuleThicknessTyped(QStringLiteral("0"));
    d.newDesign(textnum::YearText());
    QCOMPARE(d.topHeadline().Caption(), QString());
    QCOMPARE(d.panel().BackColor(), colors::White);
    QCOMPARE(d.topRule().BorderWidth(), 4);
    QCOMPARE(d.rules.thicknessTyped, QStringLiteral("4"));
    QCOMPARE(d.topHeadline().FontName(), start.defaults.fontName);
    QCOMPARE(d.notice.owner, QString());
    QVERIFY(d.titles.shown); // shown, now empty
    QVERIFY(d.layout.back);  // New keeps the layout
}

// The page paints from the document alone, on any device.
void TestCoverDoc::paintsWithoutWidgets()
{
    CoverDocument d;
    d.setBackgroundColor(colors::Rgb(0, 0, 255));
    d.setTopText(QStringLiteral("Harbour"));
    QImage page(int(coverpage::ClientWidth), int(coverpage::ClientHeight), QImage::Format_RGB32);
    QPainter p(&page);
    coverpage::PaintPage(d, p);
    p.end();
    QCOMPARE(page.pixelColor(200, 200), QColor(0, 0, 255)); // the panel
    QCOMPARE(page.pixelColor(600, 200), QColor(Qt::white)); // beyond it, paper
    QCOMPARE(coverpage::PanelRect(d), QRectF(0, 0, 456, 456));

    // The circle-P symbol is drawn only when first shown, in a copy made before as well.
    d.setNoticePosted(true);
    d.setSymbolAdded(true);
    CoverDocument copy = d;
    for (CoverDocument *doc : {&d, &copy}) {
        QImage big(int(coverpage::ClientWidth) * 4, int(coverpage::ClientHeight) * 4, QImage::Format_RGB32);
        QPainter q(&big);
        q.scale(4, 4);
        coverpage::PaintPage(*doc, q);
        q.end();
        const QRectF r = doc->noticeSymbol().rect();
        int dark = 0;
        for (int y = int(r.top() * 4); y < int(r.bottom() * 4); ++y)
            for (int x = int(r.left() * 4); x < int(r.right() * 4); ++x)
                dark += qBlue(big.pixel(x, y)) < 60; // black on the blue panel
        QVERIFY2(dark > 50, qPrintable(QString::number(dark)));
    }
    QVERIFY(copy == d);
    const QString pdf = tmp.filePath(QStringLiteral("page.pdf"));
    QString error;
    QVERIFY2(coverpage::Export(d, pdf, pageexport::Format::Pdf, 0, coverpage::Title({}), &error),
             qPrintable(error));
    QVERIFY(QFileInfo(pdf).size() > 0);
}

void TestCoverDoc::largePictureDecodedAsTheReaderDoes_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QImage::Format>("pixels");
    QTest::addColumn<QSize>("source"); // above bigimage::MinBytes even at a byte a pixel, odd widths
    QTest::addColumn<QSize>("bound");  // the whole picture when invalid
    QTest::addColumn<QRect>("area");   // a part of it, decoded at its own size, when not empty
    const QSize size(1301, 3303), whole;
    QTest::newRow("jpeg, whole") << "JPG" << QImage::Format_RGB32 << size << whole << QRect();
    QTest::newRow("jpeg, half") << "JPG" << QImage::Format_RGB32 << QSize(2602, 2006) << QSize(1301, 1003)
                                << QRect();
    QTest::newRow("jpeg, a part") << "JPG" << QImage::Format_RGB32 << size << whole
                                  << QRect(13, 7, 1201, 900);
    QTest::newRow("grey jpeg") << "JPG" << QImage::Format_Grayscale8 << size << whole << QRect();
    QTest::newRow("png with alpha") << "PNG" << QImage::Format_ARGB32 << size << whole << QRect();
    QTest::newRow("png, a part") << "PNG" << QImage::Format_RGB32 << size << whole << QRect(0, 1, 1300, 1000);
}

// Large pictures are decoded into memory of our own: what comes out is what
// the reader alone makes of the file, pixel for pixel, to the last line.
void TestCoverDoc::largePictureDecodedAsTheReaderDoes()
{
    QFETCH(QString, format);
    QFETCH(QImage::Format, pixels);
    QFETCH(QSize, source);
    QFETCH(QSize, bound);
    QFETCH(QRect, area);
    QImage img(source, pixels);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y,
                         pixels == QImage::Format_Grayscale8
                             ? uint((x * 7 + y * 3) % 256)
                             : qRgba((x * 7) % 256, (y * 5) % 256, (x ^ y) % 256, 128 + (x + y) % 128));
    const QString path = tmp.filePath(QStringLiteral("large.") + format.toLower());
    QVERIFY(img.save(path, qPrintable(format)));

    QImageReader reader(path);
    reader.setAutoTransform(true);
    QImage ours;
    if (area.isEmpty()) {
        if (bound.isValid())
            reader.setScaledSize(bound);
        ours = DecodePicture(path, bound, nullptr, nullptr);
    } else {
        reader.setClipRect(area);
        ours = DecodePictureArea(path, area, area.size());
    }
    const QImage theirs = reader.read();
    QVERIFY(!theirs.isNull());
    QCOMPARE(ours.size(), theirs.size());
    QCOMPARE(ours.format(), theirs.format());
    QCOMPARE(ours, theirs);
    // Still whole once shared, written to and let go of.
    QImage copy = ours;
    copy.setPixel(0, copy.height() - 1, 0);
    ours = QImage();
    QCOMPARE(copy.pixel(1, copy.height() - 1), theirs.pixel(1, theirs.height() - 1));
}

void TestCoverDoc::pictureDecodedAtTheSizeNeeded_data()
{
    QTest::addColumn<QImage::Format>("pixels");
    QTest::addColumn<QSize>("source");
    QTest::addColumn<QSize>("bound"); // the whole picture when invalid
    QTest::addColumn<QRect>("area");  // a part of it, decoded at half its size, when not empty
    QTest::addColumn<bool>("loads");
    // Under an allocation limit of 8 MB: 16-bit pixels are 8 bytes, 8-bit ones 4.
    const QSize big(1600, 1400), box(393, 289), whole;
    QTest::newRow("16-bit, for the box") << QImage::Format_RGBA64 << big << box << QRect() << true;
    QTest::newRow("16-bit grey, for the box") << QImage::Format_Grayscale16 << big << box << QRect() << true;
    QTest::newRow("16-bit, whole") << QImage::Format_RGBA64 << QSize(1100, 1000) << whole << QRect() << true;
    QTest::newRow("16-bit, a part") << QImage::Format_RGBA64 << big << whole << QRect(600, 100, 400, 900)
                                    << true;
    QTest::newRow("8-bit huge, for the box")
        << QImage::Format_ARGB32 << QSize(2400, 2400) << box << QRect() << true;
    QTest::newRow("16-bit, whole past the limit")
        << QImage::Format_RGBA64 << big << whole << QRect() << false;
}

// A picture is decoded at the size its box needs, whatever its depth; only
// that decoded size is held to the allocation limit.
void TestCoverDoc::pictureDecodedAtTheSizeNeeded()
{
    QFETCH(QImage::Format, pixels);
    QFETCH(QSize, source);
    QFETCH(QSize, bound);
    QFETCH(QRect, area);
    QFETCH(bool, loads);
    // Left half opaque red, right half half-transparent blue (in grey, two shades).
    QImage img(source, pixels);
    const int half = source.width() / 2;
    QPainter p(&img);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(0, 0, half, source.height(), QColor(255, 0, 0));
    p.fillRect(half, 0, source.width() - half, source.height(), QColor(0, 0, 255, 128));
    p.end();
    const QColor wantLeft = img.pixelColor(0, 0), wantRight = img.pixelColor(source.width() - 1, 0);
    const QString path = tmp.filePath(QStringLiteral("deep.png"));
    QVERIFY(img.save(path, "PNG"));
    img = QImage();

    const int limit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(8);
    QSize src;
    QString why;
    QImage out = area.isEmpty() ? DecodePicture(path, bound, &src, &why)
                                : DecodePictureArea(path, area, area.size() / 2);
    QImageReader::setAllocationLimit(limit);
    if (!loads) {
        QVERIFY(out.isNull());
        QVERIFY(!why.isEmpty());
        return;
    }
    QVERIFY2(!out.isNull(), qPrintable(why));
    const QRect shown = area.isEmpty() ? QRect(QPoint(0, 0), source) : area;
    QCOMPARE(out.size(), area.isEmpty() ? (bound.isValid() ? bound : source) : area.size() / 2);
    if (area.isEmpty())
        QCOMPARE(src, source);
    // Each half where it lies in the decoded copy, away from the seam.
    const double k = double(out.width()) / shown.width();
    const int seam = int((half - shown.left()) * k), y = out.height() / 2;
    for (const auto &[x, want] : {std::pair{seam - 4, wantLeft}, std::pair{seam + 4, wantRight}}) {
        const QColor got = out.pixelColor(x, y);
        QVERIFY2(std::abs(got.red() - want.red()) <= 2 && std::abs(got.green() - want.green()) <= 2 &&
                     std::abs(got.blue() - want.blue()) <= 2 && std::abs(got.alpha() - want.alpha()) <= 2,
                 qPrintable(got.name(QColor::HexArgb) + " for " + want.name(QColor::HexArgb)));
    }
}

QTEST_MAIN(TestCoverDoc)
#include "test_coverdoc.moc"
