// Font and colour commands of the design window, and the font dialog with
// its colour choice.
#include <QtTest>

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include "app_setup.h"
#include "colors.h"
#include "commondialog.h"
#include "design.h"
#include "fontcolordialog.h"
#include "scripteddialog.h"

namespace {

// What a font answer wants the dialog to say; unset fields stay as preset.
struct FontAnswer {
    std::optional<QString> name = {};
    std::optional<float> size = {};
    std::optional<qint32> color = {};
    std::optional<bool> bold = {}, italic = {}, strike = {}, underline = {};
};

ScriptedDialogBackend::Answer answer(const FontAnswer &a)
{
    return [a](CommonDialog &dlg) {
        if (a.name)
            dlg.FontName = *a.name;
        if (a.size)
            dlg.FontSize = *a.size;
        if (a.color)
            dlg.Color = *a.color;
        if (a.bold)
            dlg.FontBold = *a.bold;
        if (a.italic)
            dlg.FontItalic = *a.italic;
        if (a.strike)
            dlg.FontStrikethru = *a.strike;
        if (a.underline)
            dlg.FontUnderline = *a.underline;
        return true;
    };
}

// Everything a font or colour command could change on the cover.
QStringList coverSnapshot(const Design &d)
{
    QStringList out;
    for (const auto &e : d.Elements()) {
        QString s = e->name() + (e->Visible() ? QStringLiteral(" shown") : QStringLiteral(" hidden"));
        if (auto *l = dynamic_cast<const CoverLabel *>(e))
            s += QStringLiteral(" %1 %2 %3 %4%5%6%7 at %8,%9 w %10")
                     .arg(l->FontName())
                     .arg(double(l->FontSize()))
                     .arg(l->ForeColor())
                     .arg(l->FontBold())
                     .arg(l->FontItalic())
                     .arg(l->FontStrikethru())
                     .arg(l->FontUnderline())
                     .arg(l->Left())
                     .arg(l->Top())
                     .arg(l->Width());
        else if (auto *ln = dynamic_cast<const CoverLine *>(e))
            s += QStringLiteral(" colour %1").arg(ln->BorderColor());
        else if (auto *sh = dynamic_cast<const CoverShape *>(e))
            s += QStringLiteral(" fill %1 border %2").arg(sh->BackColor()).arg(sh->BorderColor());
        out << s;
    }
    return out;
}

// A caption and size of `face` that make a headline exactly `width` pixels
// wide in the given style, found by measuring (sizes snap to whole pixels,
// so the caption varies too); size 0 when there is none.
std::pair<QString, float> captionForWidth(const QString &face, bool bold, bool italic, double width)
{
    CoverLabel probe(QStringLiteral("probe"), {});
    probe.setFontName(face);
    probe.setFontBold(bold);
    probe.setFontItalic(italic);
    for (int extra = 0; extra <= 40; ++extra) {
        probe.setCaption(QStringLiteral("Midnight Orchestra ") + QString(extra, u'i'));
        for (int quarters = 40; quarters <= 400; ++quarters) {
            probe.setFontSize(static_cast<float>(quarters) / 4.0f);
            if (probe.Width() == width)
                return {probe.Caption(), probe.FontSize()};
            if (probe.Width() > width)
                break;
        }
    }
    return {QString(), 0.0f};
}

} // namespace

class TestDesignerStyles : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void firstTopFontMakesBoldHeadlineRegular();
    void styleOfTopShowsPreselectedForBottom();
    void recentringUsesNewFontAndStyle_data();
    void recentringUsesNewFontAndStyle();
    void freeHeadlineKeepsItsLeft();
    void titlesFont_data();
    void titlesFont();
    void colourCommands_data();
    void colourCommands();
    void cancelChangesNothing_data();
    void cancelChangesNothing();
    void refusedSizeStopsTheCommand();
    void windowsFacesLookAlike_data();
    void windowsFacesLookAlike();

    void dialogStartsFromThePreset();
    void dialogKeepsPresetNameAndSizeWhenUntouched();
    void dialogReturnsChangedFontAndColour();
    void dialogOffersColourOnlyWithEffects();
    void fontDialogThroughTheService_data();
    void fontDialogThroughTheService();
    void fileDialogThroughTheService_data();
    void fileDialogThroughTheService();

private:
    ScriptedDialogBackend dialogs;
    std::unique_ptr<Design> d;
};

void TestDesignerStyles::initTestCase()
{
    SetupDesignerApplication();
}

void TestDesignerStyles::init()
{
    dialogs = ScriptedDialogBackend();
    CommonDialog::SetBackend(&dialogs);
    d = std::make_unique<Design>();
}

void TestDesignerStyles::cleanup()
{
    d.reset();
    CommonDialog::SetBackend(nullptr);
}

void TestDesignerStyles::firstTopFontMakesBoldHeadlineRegular()
{
    QVERIFY(d->Label2->FontBold());
    CommonDialog shown(nullptr);
    shown.FontBold = true;
    dialogs.push([&](CommonDialog &dlg) {
        shown.FontName = dlg.FontName;
        shown.FontSize = dlg.FontSize;
        shown.Color = dlg.Color;
        shown.FontBold = dlg.FontBold;
        shown.Flags = dlg.Flags;
        return true; // confirmed untouched
    });
    d->Command5->click();
    QCOMPARE(dialogs.calls(ScriptedDialogBackend::Font), 1);
    QCOMPARE(shown.FontName, QStringLiteral("MS Sans Serif"));
    QCOMPARE(shown.FontSize, 18.0f);
    QCOMPARE(shown.Color, colors::WindowText);
    QCOMPARE(shown.FontBold, false);
    QCOMPARE(shown.Flags, 259);
    QCOMPARE(d->Label2->FontBold(), false);
    QCOMPARE(d->Label2->FontName(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(d->Label2->FontSize(), 18.0f);
}

void TestDesignerStyles::styleOfTopShowsPreselectedForBottom()
{
    dialogs.push(answer({.bold = true, .underline = true}));
    bool boldShown = false, underlineShown = false;
    dialogs.push([&](CommonDialog &dlg) {
        boldShown = dlg.FontBold;
        underlineShown = dlg.FontUnderline;
        return true;
    });
    d->Command5->click();
    QVERIFY(d->Label2->FontBold());
    QVERIFY(d->Label2->FontUnderline());
    d->Command10->click();
    QVERIFY(boldShown);
    QVERIFY(underlineShown);
    QVERIFY(d->Label3->FontBold());
    QVERIFY(d->Label3->FontUnderline());

    // The real dialog shows what the service holds, not what the label has.
    d->Label3->setFontBold(false);
    FontColorDialog dlg(d->CommonDialog1);
    QVERIFY(dlg.chooser()->currentFont().bold());
    QVERIFY(dlg.chooser()->currentFont().underline());
}

void TestDesignerStyles::recentringUsesNewFontAndStyle_data()
{
    QTest::addColumn<bool>("top");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<int>("expectedLeft");
    QTest::newRow("top regular") << true << false << false << 10;
    QTest::newRow("top bold italic") << true << true << true << 10;
    QTest::newRow("bottom regular") << false << false << false << -10;
    QTest::newRow("bottom bold") << false << true << false << -10;
}

void TestDesignerStyles::recentringUsesNewFontAndStyle()
{
    QFETCH(bool, top);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(int, expectedLeft);
    const QString face = QStringLiteral("Arial");
    const auto [caption, size] = captionForWidth(face, bold, italic, 477);
    QVERIFY2(size > 0, "no caption and size give 477 pixels");

    CoverLabel *headline = top ? d->Label2 : d->Label3;
    QLineEdit *field = top ? d->Text1 : d->Text2;
    QLineEdit *leftField = top ? d->Text6 : d->Text9;
    field->setText(caption);
    const QString leftBefore = leftField->text();
    const double topBefore = headline->Top();

    dialogs.push(answer(
        {.name = face, .size = size, .bold = bold, .italic = italic, .strike = false, .underline = false}));
    (top ? d->Command5 : d->Command10)->click();

    QCOMPARE(headline->Width(), 477.0);
    QCOMPARE(headline->Left(), double(expectedLeft));
    QCOMPARE(headline->Top(), topBefore);
    QCOMPARE(leftField->text(), leftBefore);
    QCOMPARE(headline->FontBold(), bold);
    QCOMPARE(headline->FontItalic(), italic);
}

void TestDesignerStyles::freeHeadlineKeepsItsLeft()
{
    d->Text1->setText(QStringLiteral("Left Alone"));
    Design::SetValue(d->Check13, 0);
    QVERIFY(d->Document().top.free);
    d->Text6->setText(QStringLiteral("33"));
    dialogs.push(answer({.name = QStringLiteral("Times New Roman"), .size = 30}));
    d->Command5->click();
    QCOMPARE(d->Label2->FontName(), QStringLiteral("Times New Roman"));
    QCOMPARE(d->Label2->FontSize(), 30.0f);
    QCOMPARE(d->Label2->Left(), 33.0);
}

void TestDesignerStyles::titlesFont_data()
{
    QTest::addColumn<int>("copyrightBlack");
    QTest::newRow("notice follows the titles") << 0;
    QTest::newRow("notice stays black") << 1;
}

void TestDesignerStyles::titlesFont()
{
    QFETCH(int, copyrightBlack);
    Design::SetValue(d->Check9, 1);
    Design::SetValue(d->Check11, copyrightBlack);
    const qint32 noticeBefore = d->Label28->ForeColor();
    d->Label5->setFontItalic(true);
    d->Label24->setFontSize(7);
    const QString misc = QStringList{d->Label27->FontName(), QString::number(double(d->Label27->FontSize())),
                                     QString::number(d->Label27->ForeColor())}
                             .join(u' ');

    const qint32 red = colors::Rgb(200, 0, 0);
    bool presetSeen = false;
    dialogs.push([&](CommonDialog &dlg) {
        presetSeen = dlg.FontName == d->Label10->FontName() && dlg.FontSize == d->Label10->FontSize() &&
                     dlg.Color == d->Label10->ForeColor() && dlg.Flags == 259;
        dlg.FontName = QStringLiteral("Times New Roman");
        dlg.FontSize = 11.5f;
        dlg.Color = red;
        dlg.FontBold = true; // ignored by the titles
        dlg.FontUnderline = true;
        return true;
    });
    d->Command15->click();
    QVERIFY(presetSeen);

    for (int n = 4; n <= 26; ++n) {
        const CoverLabel *l = d->CoverLabelN(n);
        QCOMPARE(l->FontName(), QStringLiteral("Times New Roman"));
        QCOMPARE(l->FontSize(), 11.5f);
        QCOMPARE(l->ForeColor(), red);
        QVERIFY(!l->FontBold());
        QVERIFY(!l->FontUnderline());
    }
    QVERIFY(d->Label5->FontItalic());
    QCOMPARE(QStringList({d->Label27->FontName(), QString::number(double(d->Label27->FontSize())),
                          QString::number(d->Label27->ForeColor())})
                 .join(u' '),
             misc);
    const qint32 noticeAfter = copyrightBlack ? noticeBefore : red;
    QCOMPARE(d->Label28->ForeColor(), noticeAfter);
    QCOMPARE(d->Label29->ForeColor(), noticeAfter);
    // The notice row keeps its own face and size.
    QCOMPARE(d->Label29->FontName(), QStringLiteral("Arial"));
}

void TestDesignerStyles::colourCommands_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("element"); // painted in the chosen colour afterwards
    QTest::newRow("Background color") << QStringLiteral("Command3") << QStringLiteral("Shape1");
    QTest::newRow("Line Color") << QStringLiteral("Command6") << QStringLiteral("Line2");
    QTest::newRow("Box Color") << QStringLiteral("Command13") << QStringLiteral("Shape2");
    QTest::newRow("Top Font") << QStringLiteral("Command5") << QStringLiteral("Label2");
    QTest::newRow("Bottom Font") << QStringLiteral("Command10") << QStringLiteral("Label3");
    QTest::newRow("Titles Font") << QStringLiteral("Command15") << QStringLiteral("Label4");
}

void TestDesignerStyles::colourCommands()
{
    QFETCH(QString, button);
    QFETCH(QString, element);
    // Rules of different colours must both end in the chosen one.
    d->Line2->setBorderColor(colors::Rgb(0, 128, 0));
    d->Shape2->setBorderColor(colors::Rgb(1, 2, 3));
    Design::SetValue(d->Check5, 1); // the outer box shows
    d->Text1->setText(QStringLiteral("Harbour Lights"));
    d->Text2->setText(QStringLiteral("Live at the Quay"));
    Design::SetValue(d->Check7, 1); // the titles show, in a size with solid strokes
    d->Label4->setCaption(QStringLiteral("Harbour Lights"));
    d->Label10->setFontSize(20);
    const qint32 chosen = colors::Rgb(10, 20, 250);
    qint32 preset = -1;
    int flags = 0;
    dialogs.push([&](CommonDialog &dlg) {
        preset = dlg.Color;
        flags = dlg.Flags;
        dlg.Color = chosen;
        return true;
    });
    d->findChild<QPushButton *>(button)->click();
    const bool font = element.startsWith(QLatin1String("Label"));
    QCOMPARE(dialogs.calls(font ? ScriptedDialogBackend::Font : ScriptedDialogBackend::Color), 1);
    QCOMPARE(flags, font ? 259 : 1);
    if (button == QLatin1String("Command3")) {
        QCOMPARE(preset, colors::White);
        QCOMPARE(d->Shape1->BackColor(), chosen);
        QCOMPARE(d->BackColor(), colors::LightGrey); // the window's own colour is not the panel's
    } else if (button == QLatin1String("Command6")) {
        QCOMPARE(preset, 0);
        QCOMPARE(d->Line1->BorderColor(), chosen);
        QCOMPARE(d->Line2->BorderColor(), chosen);
    } else if (button == QLatin1String("Command13")) {
        QCOMPARE(preset, colors::Rgb(1, 2, 3));
        QCOMPARE(d->Shape2->BorderColor(), chosen);
        QCOMPARE(d->Shape1->BorderColor(), colors::WindowText);
    } else {
        QCOMPARE(preset, colors::WindowText);
    }

    // The colour reaches the window's pixels where the element is painted.
    QImage window(Design::ClientWidth, Design::ClientHeight, QImage::Format_RGB32);
    QPainter p(&window);
    d->PaintClientArea(p, false);
    p.end();
    QRectF where;
    for (const auto &e : d->Elements())
        if (e->name() == element) {
            if (auto *box = dynamic_cast<const BoxElement *>(e))
                where = box->rect();
            else if (auto *line = dynamic_cast<const CoverLine *>(e))
                where = QRectF(QPointF(line->X1(), line->Y1()), QPointF(line->X2(), line->Y2()))
                            .normalized()
                            .adjusted(0, -line->BorderWidth(), 0, line->BorderWidth());
        }
    QVERIFY(!where.isEmpty());
    const QColor want = colors::ToQColor(chosen);
    int inked = 0;
    const QRect pixels = where.toAlignedRect() & window.rect();
    for (int y = pixels.top(); y <= pixels.bottom(); ++y)
        for (int x = pixels.left(); x <= pixels.right(); ++x) {
            const QColor c = window.pixelColor(x, y);
            inked += std::abs(c.red() - want.red()) < 24 && std::abs(c.green() - want.green()) < 24 &&
                     std::abs(c.blue() - want.blue()) < 24;
        }
    QVERIFY2(inked >= 20, qPrintable(QString::number(inked)));
}

void TestDesignerStyles::cancelChangesNothing_data()
{
    QTest::addColumn<QString>("button");
    for (const char *b : {"Command3", "Command5", "Command6", "Command10", "Command13", "Command15"})
        QTest::newRow(b) << QString::fromLatin1(b);
}

void TestDesignerStyles::cancelChangesNothing()
{
    QFETCH(QString, button);
    d->Text1->setText(QStringLiteral("Top"));
    d->Text2->setText(QStringLiteral("Bottom"));
    Design::SetValue(d->Check7, 1);
    const QStringList before = coverSnapshot(*d);
    // The dialog's own answer is thrown away with the cancel.
    dialogs.push([](CommonDialog &dlg) {
        dlg.FontName = QStringLiteral("Times New Roman");
        dlg.FontSize = 40;
        dlg.Color = colors::Red;
        dlg.FontItalic = true;
        return false;
    });
    d->findChild<QPushButton *>(button)->click();
    QCOMPARE(dialogs.calls(ScriptedDialogBackend::Color) + dialogs.calls(ScriptedDialogBackend::Font), 1);
    QCOMPARE(coverSnapshot(*d), before);
}

void TestDesignerStyles::refusedSizeStopsTheCommand()
{
    // A size the label refuses ends the command: the face already applied
    // stays, the colour and style are not applied and nothing is re-centred.
    d->Text1->setText(QStringLiteral("Some Words"));
    const double left = d->Label2->Left();
    dialogs.push(answer(
        {.name = QStringLiteral("Times New Roman"), .size = -3, .color = colors::Red, .italic = true}));
    d->Command5->click();
    QCOMPARE(d->Label2->FontName(), QStringLiteral("Times New Roman"));
    QCOMPARE(d->Label2->FontSize(), 18.0f);
    QCOMPARE(d->Label2->ForeColor(), colors::WindowText);
    QVERIFY(!d->Label2->FontItalic());
    QCOMPARE(d->Label2->Left(), left);
}

void TestDesignerStyles::windowsFacesLookAlike_data()
{
    QTest::addColumn<QString>("face");
    QTest::addColumn<QString>("alike"); // the installed face drawn the same
    for (const char *face : {"MS Sans Serif", "Microsoft Sans Serif", "Arial", "Helvetica"})
        QTest::newRow(face) << QString::fromLatin1(face) << QStringLiteral("Liberation Sans");
    for (const char *face : {"MS Serif", "Times New Roman", "Times"})
        QTest::newRow(face) << QString::fromLatin1(face) << QStringLiteral("Liberation Serif");
    for (const char *face : {"Courier New", "Courier"})
        QTest::newRow(face) << QString::fromLatin1(face) << QStringLiteral("Liberation Mono");
}

// The Windows faces that designs name are drawn in an installed face of the same
// kind and width, so a serif headline stays serif and keeps its length: the
// metric twin we name, or the real face (or its own twin) where fontconfig has one.
void TestDesignerStyles::windowsFacesLookAlike()
{
    QFETCH(QString, face);
    QFETCH(QString, alike);
    if (!QFontDatabase::hasFamily(alike))
        QSKIP("fonts-liberation is not installed");
    const QString caption = QStringLiteral("Midnight Orchestra, 1998 - WAVE jumpy quiz");
    // The face a label draws in, and the advances of its glyphs: metric-compatible
    // faces share these (their kerning may differ), large enough to show 1/1000 em.
    auto measured = [&](const QString &name) {
        CoverLabel label(QStringLiteral("probe"), {});
        label.setFontName(name);
        label.setFontSize(18);
        QFont f = label.font();
        f.setKerning(false);
        f.setPixelSize(500);
        return std::pair{QFontInfo(label.font()), QFontMetricsF(f).horizontalAdvance(caption)};
    };
    const auto [shown, width] = measured(face);
    const auto [twin, twinWidth] = measured(alike);
    QCOMPARE(twin.family(), alike);
    QCOMPARE(shown.fixedPitch(), twin.fixedPitch());
    QVERIFY2(std::abs(width - twinWidth) <= twinWidth * 0.001,
             qPrintable(QStringLiteral("%1 drawn in %2: %3 wide, %4 in %5")
                            .arg(face, shown.family())
                            .arg(width)
                            .arg(twinWidth)
                            .arg(alike)));
}

// ---------------------------------------------------------------- the dialog

void TestDesignerStyles::dialogStartsFromThePreset()
{
    CommonDialog svc(nullptr);
    svc.FontName = QStringLiteral("Liberation Serif");
    svc.FontSize = 20;
    svc.Color = colors::Rgb(0, 0, 255);
    svc.FontBold = true;
    svc.FontStrikethru = true;
    svc.Flags = 259;
    FontColorDialog dlg(svc);
    const QFont shown = dlg.chooser()->currentFont();
    QCOMPARE(shown.family(), QStringLiteral("Liberation Serif"));
    QCOMPARE(shown.pointSize(), 20);
    QVERIFY(shown.bold());
    QVERIFY(!shown.italic());
    QVERIFY(shown.strikeOut());
    QVERIFY(!shown.underline());
    QCOMPARE(dlg.color(), colors::Rgb(0, 0, 255));
    QVERIFY(dlg.colorOffered());
}

void TestDesignerStyles::dialogKeepsPresetNameAndSizeWhenUntouched()
{
    CommonDialog svc(nullptr);
    svc.FontName = QStringLiteral("MS Sans Serif"); // not installed: shown as its substitute
    svc.FontSize = 13.5f;
    svc.Color = colors::WindowText;
    svc.Flags = 259;
    FontColorDialog dlg(svc);
    dlg.applyTo(svc);
    QCOMPARE(svc.FontName, QStringLiteral("MS Sans Serif"));
    QCOMPARE(svc.FontSize, 13.5f);
    QCOMPARE(svc.Color, colors::WindowText);
    QVERIFY(!svc.FontBold);
}

void TestDesignerStyles::dialogReturnsChangedFontAndColour()
{
    CommonDialog svc(nullptr);
    svc.FontName = QStringLiteral("MS Sans Serif");
    svc.FontSize = 13.5f;
    svc.Flags = 259;
    FontColorDialog dlg(svc);
    QFont f(QStringLiteral("Liberation Serif"));
    f.setPointSize(24);
    f.setItalic(true);
    f.setUnderline(true);
    dlg.chooser()->setCurrentFont(f);
    dlg.setColor(colors::Rgb(0, 160, 0));
    dlg.applyTo(svc);
    QCOMPARE(svc.FontName, QStringLiteral("Liberation Serif"));
    QCOMPARE(svc.FontSize, 24.0f);
    QVERIFY(svc.FontItalic);
    QVERIFY(svc.FontUnderline);
    QVERIFY(!svc.FontStrikethru);
    QCOMPARE(svc.Color, colors::Rgb(0, 160, 0));
}

void TestDesignerStyles::dialogOffersColourOnlyWithEffects()
{
    CommonDialog svc(nullptr);
    svc.FontName = QStringLiteral("Arial");
    svc.FontSize = 10;
    svc.Color = colors::Red;
    svc.Flags = 3; // screen and printer fonts, no effects
    FontColorDialog plain(svc);
    QVERIFY(!plain.colorOffered());
    plain.applyTo(svc);
    QCOMPARE(svc.Color, colors::Red);
}

void TestDesignerStyles::fontDialogThroughTheService_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::newRow("OK") << true;
    QTest::newRow("Cancel") << false;
}

void TestDesignerStyles::fontDialogThroughTheService()
{
    QFETCH(bool, confirm);
    CommonDialog::SetBackend(nullptr); // Qt's dialogs, with our font chooser
    d->Text2->setText(QStringLiteral("Bottom Line"));
    const QStringList before = coverSnapshot(*d);
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto *dlg = qobject_cast<FontColorDialog *>(QApplication::activeModalWidget());
        if (!dlg)
            return;
        seen = true;
        QFont f = dlg->chooser()->currentFont();
        f.setStyleName(QString()); // the chooser names its style; let italic decide
        f.setItalic(true);
        dlg->chooser()->setCurrentFont(f);
        dlg->setColor(colors::Rgb(0, 0, 200));
        confirm ? dlg->accept() : dlg->reject();
    });
    d->Command10_Click();
    QVERIFY(seen);
    if (!confirm) {
        QCOMPARE(coverSnapshot(*d), before);
        return;
    }
    QVERIFY(d->Label3->FontItalic());
    QCOMPARE(d->Label3->ForeColor(), colors::Rgb(0, 0, 200));
    QCOMPARE(d->Label3->FontName(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(d->Label3->FontSize(), 13.5f);
}

void TestDesignerStyles::fileDialogThroughTheService_data()
{
    QTest::addColumn<bool>("saving");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("picture") << false << QStringLiteral("Image Files|*.jpg;*.gif;*.bmp")
                             << QStringList{QStringLiteral("Image Files (*.jpg *.gif *.bmp)")} << QString();
    QTest::newRow("open a design") << false << QStringLiteral("Jewel Case Files|*.qwd")
                                   << QStringList{QStringLiteral("Jewel Case Files (*.qwd)")} << QString();
    QTest::newRow("save a design") << true << QStringLiteral("Quirewell Files|*.qwd")
                                   << QStringList{QStringLiteral("Quirewell Files (*.qwd)")}
                                   << QStringLiteral("qwd");
    QTest::newRow("two entries") << false << QStringLiteral("Pictures|*.jpg;*.bmp|All|*.*")
                                 << QStringList{QStringLiteral("Pictures (*.jpg *.bmp)"),
                                                QStringLiteral("All (*.*)")}
                                 << QString();
}

// Qt's own file dialog, as the programs show it: the filter lists every pattern.
void TestDesignerStyles::fileDialogThroughTheService()
{
    QFETCH(bool, saving);
    QFETCH(QString, filter);
    QFETCH(QStringList, shown);
    QFETCH(QString, suffix);
    CommonDialog::SetBackend(nullptr);
    CommonDialog svc(nullptr);
    svc.Filter = filter;
    svc.DefaultExt = saving ? QStringLiteral(".qwd") : QString();
    svc.Flags = saving ? 2 : 0;
    QStringList filters;
    QString defaultSuffix;
    bool asksBeforeOverwriting = false;
    QTimer::singleShot(0, [&] {
        auto *dlg = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dlg)
            return;
        filters = dlg->nameFilters();
        defaultSuffix = dlg->defaultSuffix();
        asksBeforeOverwriting = !dlg->testOption(QFileDialog::DontConfirmOverwrite);
        dlg->reject();
    });
    QVERIFY(!(saving ? svc.ShowSave() : svc.ShowOpen()));
    QCOMPARE(filters, shown);
    QCOMPARE(defaultSuffix, suffix);
    if (saving)
        QVERIFY(asksBeforeOverwriting);
}

QTEST_MAIN(TestDesignerStyles)
#include "test_designer_styles.moc"
