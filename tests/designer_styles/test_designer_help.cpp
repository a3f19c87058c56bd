// Title-bar help of the design window and of the titles window, through
// real pointer moves.
#include <QtTest>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app_setup.h"
#include "design.h"
#include "titles.h"

namespace {

struct HelpRow {
    const char *control;
    const char *text;
};

// The design window's sentences, word for word.
const HelpRow DesignHelp[] = {
    {"Text1", "Top headline of text for your software, artist, album name, etc."},
    {"Check3", "Enclose top line of text in a thin outline that is ALWAYS BLACK in color."},
    {"Command5", "Change font face, size or color of top line of text."},
    {"Check13", "When checked top line of text centers.  Unchecked it stays where you put it."},
    {"TLUD", "Adjust the UP and DOWN position of your top line of text in pixels."},
    {"Text5", "Adjust the UP and DOWN position of your top line of text in pixels."},
    {"TLLR", "Adjust the LEFT to RIGHT centering of your top line of text in pixels."},
    {"Text6", "Adjust the LEFT to RIGHT position of your top line of text in pixels when the 'Center' "
              "check box is NOT CHECKED!"},
    {"Check1", "Hides the top, thick line if you do not want to use this element in your design."},
    {"Check2", "Hides the lower, thick line if you do not want to use this element in your design."},
    {"Command6", "Changes the color of BOTH top and bottom line.  Default is black."},
    {"LTHICK", "Changes the thickness of BOTH top and bottom lines."},
    {"Text3", "Changes the thickness of BOTH top and bottom lines."},
    {"Command3", "Changes the background color of the design (remember this will use more of your ink "
                 "supply plus increase printing time)."},
    {"Command8", "Select a JPG, GIF or BMP image from your drive for the center of the design."},
    {"PIXW", "Adjust the WIDTH of your picture in pixels to either FIT the form or normalize "
             "stretched images."},
    {"Text7", "Adjust the WIDTH of your picture in pixels to either FIT the form or normalize "
              "stretched images."},
    {"PIXH", "Adjust the HEIGHT of your picture in pixels to either FIT the form or normalize "
             "stretched images."},
    {"Text8", "Adjust the HEIGHT of your picture in pixels to either FIT the form or normalize "
              "stretched images."},
    {"Command16", "Pressing this button lets you clear one or more of the current picture images or logos."},
    {"PIXFLN", "This is the path location and file name of your picture."},
    {"Command9", "Places a JPG, GIF or BMP small image or logo at lower left corner."},
    {"Label30", "This is the path location and file name of your left logo"},
    {"Command12", "Places a JPG, GIF or BMP small image or logo at lower right corner."},
    {"LOGO2FLN", "This is the file path and name of your lower right logo or image."},
    {"Text2", "Lower, centered headline of text for your software, artist or album name, etc."},
    {"Check4", "Enclose bottom line of text in a thin outline that is ALWAYS BLACK in color."},
    {"Command10", "Change font face, size or color of lower line of text."},
    {"Check14", "When checked bottom line of text centers.  Unchecked it stays where you put it."},
    {"BLUD", "Adjust the UP and DOWN position of your lower line of text in pixels."},
    {"Text4", "Adjust the UP and DOWN position of your lower line of text in pixels."},
    {"BLLR", "Adjust the LEFT to RIGHT position of your bottom line of text in pixels when the "
             "'Center' check box is NOT CHECKED!"},
    {"Text9", "Adjust the LEFT to RIGHT position of your bottom line of text in pixels when the "
              "'Center' check box is NOT CHECKED!"},
    {"Check5", "Places a rectangle around the outside of the design."},
    {"Command13", "Selects a color for your outer box.  Default is black."},
    {"Label1", "Changes the thickness of the outer box in pixels."},
    {"Text10", "Changes the thickness of the outer box in pixels."},
    {"Check9", "Displays a default copyright notice at the bottom of the cover (you can modify date or "
               "add name)."},
    {"Check10", "Putting a check mark here will add a 'Circle P' Phonorecord symbol for musical "
                "recordings (a BMP image)."},
    {"Check11", "If this is checked the Copyright notice will be black.  If UNCHECKED same color as "
                "titles."},
    {"Text11", "Shows the current time-clock year or you can manually change this to any other year."},
    {"Text12", "The name or initials of the legal Copyright owner/author goes here."},
    {"Check7", "Displays optional 25 areas for song titles or software features plus misc. information."},
    {"Command14", "Calls up a new form on which you enter and edit song titles or software feature list, "
                  "etc."},
    {"Command15", "Changes font face, color and size of the titles and producer text.  Note: White shows "
                  "good over most images!"},
    {"Check8", "Lower misc. information will be shown in BLACK if checked or in TITLE color if not "
               "checked."},
    {"Check6", "When check the lower box of misc. info stays at 6 point type.  Unchecked uses same "
               "size at titles.  Font face is fixed."},
    {"Check15", "When checked this centers the lower paragraph of misc. information.  Unchecked it is "
                "flush left."},
    {"Check12", "If CHECKED a 'SAVE WORK?' prompt appears when OPEN, NEW or CLOSE is clicked. UNCHECKED "
                "no prompt."},
    {"Option1", "Sets up a square smaller area for the front or inside front jewel case cover."},
    {"Option4", "Sets up a wider design for the larger back (underneath) side of the jewel case."},
    {"Command1", "Opens a previously saved design and text layout."},
    {"Command2", "Lets you save your design layout and text elements for re-use."},
    {"Command4", "Starts a brand new design from default settings."},
    {"Command7", "Prints design to paper in most ink and laser jet printers.  Outside line is CUT zone "
                 "to fit case.  Also see: Print Set Up."},
    {"Command11", "Lets you set up your printer for PORTRAIT, LANDSCAPE and PRINT QUALITY (must be set "
                  "each new time)."},
};

const QString SongTitle = QStringLiteral("Enter your CD song titles or features of your software, etc.");

QPoint centreIn(const QWidget *window, const QWidget *control)
{
    return control->mapTo(window, control->rect().center());
}

QPoint centreOf(const CoverElement *e)
{
    if (auto *b = dynamic_cast<const BoxElement *>(e))
        return b->rect().center().toPoint();
    return {};
}

} // namespace

class TestDesignerHelp : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { SetupDesignerApplication(); }
    void init();
    void cleanup() { d.reset(); }

    void titleEmptyAtStart();
    void everyControlExplainsItself_data();
    void everyControlExplainsItself();
    void neighboursSharingOrNot();
    void backgroundShowsCreditLine_data();
    void backgroundShowsCreditLine();
    void coverElementsLeaveTitle_data();
    void coverElementsLeaveTitle();
    void titlesWindowTexts_data();
    void titlesWindowTexts();
    void titlesWindowBackgroundAndDesignUntouched();
    void freshTitlesWindowHasItsHelp();

private:
    // Straight to the window: top-level windows may overlap offscreen.
    void move(QWidget *window, QPoint pos) { QTest::mouseMove(window->windowHandle(), pos); }
    // A grey spot beside the panel with no control on it.
    static QPoint greyArea() { return {490, 240}; }
    std::unique_ptr<Design> d;
};

void TestDesignerHelp::init()
{
    d = std::make_unique<Design>();
    d->show();
    QVERIFY(QTest::qWaitForWindowExposed(d.get()));
}

void TestDesignerHelp::titleEmptyAtStart()
{
    QCOMPARE(d->windowTitle(), QString());
}

void TestDesignerHelp::everyControlExplainsItself_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    for (const HelpRow &row : DesignHelp)
        QTest::newRow(row.control) << QString::fromLatin1(row.control) << QString::fromLatin1(row.text);
}

void TestDesignerHelp::everyControlExplainsItself()
{
    QFETCH(QString, control);
    QFETCH(QString, text);
    // The copyright details are shown only with the notice.
    Design::SetValue(d->Check9, 1);
    auto *w = d->findChild<QWidget *>(control);
    QVERIFY(w);
    QVERIFY(w->isVisible());
    move(d.get(), greyArea());
    QCOMPARE(d->windowTitle(), Design::CreditLine());
    move(d.get(), centreIn(d.get(), w));
    QCOMPARE(d->windowTitle(), text);
}

void TestDesignerHelp::neighboursSharingOrNot()
{
    move(d.get(), centreIn(d.get(), d->Text5));
    const QString upDown = d->windowTitle();
    move(d.get(), centreIn(d.get(), d->TLUD));
    QCOMPARE(d->windowTitle(), upDown);
    move(d.get(), centreIn(d.get(), d->TLLR));
    QVERIFY(d->windowTitle() != upDown);
    QVERIFY(d->windowTitle().contains(QStringLiteral("centering")));
    move(d.get(), centreIn(d.get(), d->Text6));
    QVERIFY(d->windowTitle().contains(QStringLiteral("'Center' check box")));
}

void TestDesignerHelp::backgroundShowsCreditLine_data()
{
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<QString>("setup");
    QTest::newRow("grey beside the panel") << greyArea() << QString();
    QTest::newRow("grey below the panel") << QPoint(20, 470) << QString();
    QTest::newRow("bare panel") << QPoint(12, 200) << QString();
    QTest::newRow("on the top rule") << QPoint(200, 64) << QString();
    QTest::newRow("on the outer box") << QPoint(7, 300) << QStringLiteral("box");
    QTest::newRow("hidden title line") << QPoint(55, 81) << QStringLiteral("hidden title");
    QTest::newRow("hidden copyright year field") << QPoint(720, 356) << QString();
}

void TestDesignerHelp::backgroundShowsCreditLine()
{
    QFETCH(QPoint, pos);
    QFETCH(QString, setup);
    if (setup == QLatin1String("box"))
        Design::SetValue(d->Check5, 1);
    if (setup == QLatin1String("hidden title"))
        d->Label4->setCaption(QStringLiteral("A hidden title line"));
    QVERIFY(!d->Check10->isVisible());
    move(d.get(), centreIn(d.get(), d->Command7));
    QVERIFY(d->windowTitle() != Design::CreditLine());
    move(d.get(), pos);
    QCOMPARE(d->windowTitle(), Design::CreditLine());
}

void TestDesignerHelp::coverElementsLeaveTitle_data()
{
    QTest::addColumn<QString>("element");
    QTest::newRow("top headline") << QStringLiteral("Label2");
    QTest::newRow("bottom headline") << QStringLiteral("Label3");
    QTest::newRow("title line 1") << QStringLiteral("Label4");
    QTest::newRow("information paragraph") << QStringLiteral("Label27");
    QTest::newRow("notice") << QStringLiteral("Label29");
    QTest::newRow("main picture") << QStringLiteral("Image1");
    QTest::newRow("logo 1") << QStringLiteral("Image2");
}

void TestDesignerHelp::coverElementsLeaveTitle()
{
    QFETCH(QString, element);
    d->Text1->setText(QStringLiteral("TOP HEADLINE"));
    d->Text2->setText(QStringLiteral("BOTTOM HEADLINE"));
    d->Label4->setCaption(QStringLiteral("First title"));
    d->Label27->setCaption(QStringLiteral("Information"));
    Design::SetValue(d->Check7, 1);
    Design::SetValue(d->Check9, 1);
    CoverElement *e = d->Element(element);
    QVERIFY(e && e->Visible());
    move(d.get(), centreIn(d.get(), d->Command7));
    const QString printHelp = d->windowTitle();
    QVERIFY(printHelp.startsWith(QStringLiteral("Prints design")));
    move(d.get(), centreOf(e));
    QCOMPARE(d->windowTitle(), printHelp);
    move(d.get(), greyArea());
    QCOMPARE(d->windowTitle(), Design::CreditLine());
}

void TestDesignerHelp::titlesWindowTexts_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text"); // "" = no text: the title stays
    for (int n = 1; n <= 20; ++n)
        QTest::addRow("Text%d", n) << n << (n == 1 || (n >= 10 && n <= 15) ? SongTitle : QString());
    QTest::newRow("Text21")
        << 21 << QStringLiteral("Enter publisher name, etc., in this place.  Option to show as small font.");
    QTest::newRow("Text22") << 22
                            << QStringLiteral(
                                   "Enter producer or programmer name here.  Option to show as small font.");
    QTest::newRow("Text23") << 23
                            << QStringLiteral(
                                   "Enter engineer or programmer name here.  Option to show as small font.");
    QTest::newRow("Text24")
        << 24 << QStringLiteral("Enter misc. information here (you can show this as small or normal size).");
}

void TestDesignerHelp::titlesWindowTexts()
{
    QFETCH(int, field);
    QFETCH(QString, text);
    d->Command14->click();
    Titles *t = d->TitlesForm();
    QVERIFY(QTest::qWaitForWindowExposed(t));
    // Start from a sentence that differs from the field's own.
    move(t, QPoint(240, 120));
    QCOMPARE(t->windowTitle(), QStringLiteral("List of Titles"));
    move(t, centreIn(t, t->Text(field == 21 ? 22 : 21)));
    const QString start = t->windowTitle();
    QVERIFY2(start.startsWith(QStringLiteral("Enter p")), qPrintable(start));
    move(t, centreIn(t, t->Text(field)));
    QCOMPARE(t->windowTitle(), text.isEmpty() ? start : text);
}

void TestDesignerHelp::titlesWindowBackgroundAndDesignUntouched()
{
    move(d.get(), centreIn(d.get(), d->Command14));
    d->Command14->click();
    const QString designTitle = d->windowTitle();
    Titles *t = d->TitlesForm();
    QVERIFY(QTest::qWaitForWindowExposed(t));
    move(t, centreIn(t, t->Text(21)));
    QVERIFY(t->windowTitle().startsWith(QStringLiteral("Enter publisher")));
    move(t, centreIn(t, t->Text(5)));
    QVERIFY(t->windowTitle().startsWith(QStringLiteral("Enter publisher")));
    move(t, centreIn(t, t->Check1));
    QVERIFY(t->windowTitle().startsWith(QStringLiteral("Enter publisher")));
    move(t, QPoint(240, 120)); // between the two columns
    QCOMPARE(t->windowTitle(), QStringLiteral("List of Titles"));
    QCOMPARE(d->windowTitle(), designTitle);
}

void TestDesignerHelp::freshTitlesWindowHasItsHelp()
{
    d->Command14->click();
    QPointer<Titles> first = d->TitlesForm();
    first->close();
    QTRY_VERIFY(first.isNull());
    d->Command14->click();
    Titles *t = d->TitlesForm();
    QVERIFY(QTest::qWaitForWindowExposed(t));
    QCOMPARE(t->windowTitle(), QStringLiteral("List of Titles"));
    move(t, centreIn(t, t->Text(24)));
    QVERIFY(t->windowTitle().startsWith(QStringLiteral("Enter misc. information")));
}

QTEST_MAIN(TestDesignerHelp)
#include "test_designer_help.moc"
