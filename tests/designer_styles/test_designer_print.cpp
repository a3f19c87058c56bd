// Printing the cover: the hide-print-restore bracket, the page it makes on a
// PDF printer, failures, and the printer set-up that later prints use.
#include <QtTest>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>

#include "app_setup.h"
#include "colors.h"
#include "design.h"
#include "pages.h"
#include "scripteddialog.h"
#include "titles.h"

namespace {

// The editing controls that printing hides and brings back.
const char *const EditingControls[] = {
    "Check1",    "Check2",    "Check3",    "Check4",    "Check5",    "Check6",    "Check7",    "Check8",
    "Check9",    "Check10",   "Check11",   "Check12",   "Check13",   "Check14",   "Check15",   "Command1",
    "Command2",  "Command3",  "Command4",  "Command5",  "Command6",  "Command7",  "Command8",  "Command9",
    "Command10", "Command11", "Command12", "Command13", "Command14", "Command15", "Command16", "Text1",
    "Text2",     "Text3",     "Text4",     "Text5",     "Text6",     "Text7",     "Text8",     "Text9",
    "Text10",    "Text11",    "Text12",    "Option1",   "Option4",   "Label1",    "LTHICK",    "TLUD",
    "TLLR",      "BLUD",      "BLLR",      "PIXW",      "PIXH",      "PIXFLN",    "Label30",   "LOGO2FLN"};

// Shown with the copyright notice only.
bool isNoticeDetail(const QString &name)
{
    return name == QLatin1String("Check10") || name == QLatin1String("Check11") ||
           name == QLatin1String("Text11") || name == QLatin1String("Text12");
}

} // namespace

class TestDesignerPrint : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void bracketRestoresTheWindow_data();
    void bracketRestoresTheWindow();
    void pageIsTheCoverTrueToSize_data();
    void pageIsTheCoverTrueToSize();
    void failureRestoresAndSaysSo_data();
    void failureRestoresAndSaysSo();
    void setUpChoicesHoldForPrint();
    void picturesOnPaper_data();
    void picturesOnPaper();

private:
    QString pdfPath(const QString &name) const { return tmp.filePath(name); }
    QTemporaryDir tmp;
    ScriptedDialogBackend dialogs;
    std::unique_ptr<Design> d;
};

void TestDesignerPrint::initTestCase()
{
    SetupDesignerApplication();
    QVERIFY(tmp.isValid());
}

void TestDesignerPrint::init()
{
    dialogs = ScriptedDialogBackend();
    CommonDialog::SetBackend(&dialogs);
    d = std::make_unique<Design>();
    d->CommonDialog1.Printer().setOutputFileName(pdfPath(QStringLiteral("cover.pdf")));
    QFile::remove(pdfPath(QStringLiteral("cover.pdf")));
}

void TestDesignerPrint::cleanup()
{
    d.reset();
    CommonDialog::SetBackend(nullptr);
}

void TestDesignerPrint::bracketRestoresTheWindow_data()
{
    QTest::addColumn<bool>("notice");
    QTest::addColumn<bool>("back");
    QTest::addColumn<bool>("titlesShown");
    QTest::newRow("front, plain") << false << false << false;
    QTest::newRow("front, notice") << true << false << false;
    QTest::newRow("back, notice, titles window") << true << true << true;
    QTest::newRow("back, no notice, titles window") << false << true << true;
}

void TestDesignerPrint::bracketRestoresTheWindow()
{
    QFETCH(bool, notice);
    QFETCH(bool, back);
    QFETCH(bool, titlesShown);
    d->show();
    QVERIFY(QTest::qWaitForWindowExposed(d.get()));
    d->Text1->setText(QStringLiteral("Night Drive"));
    Design::SetValue(d->Check9, notice ? 1 : 0);
    if (back)
        Design::SetValue(d->Option4, true);
    if (titlesShown) {
        d->Command14->click();
        Design::SetValue(d->TitlesForm()->Check1, 1);
    }
    const double headlineLeft = d->Label2->Left();
    const QStringList records = d->DesignRecords();
    d->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(d.get()));
    d->Text2->setFocus();
    QVERIFY(d->Text2->hasFocus());

    d->Command7->click();

    QVERIFY(QFileInfo(pdfPath(QStringLiteral("cover.pdf"))).size() > 0);
    QVERIFY(!d->findChild<QMessageBox *>());
    for (const char *name : EditingControls) {
        auto *w = d->findChild<QWidget *>(QString::fromLatin1(name));
        QVERIFY2(w, name);
        const bool expected = !isNoticeDetail(QString::fromLatin1(name)) || notice;
        QVERIFY2(w->isVisible() == expected, name);
    }
    QCOMPARE(d->BackColor(), colors::LightGrey);
    QCOMPARE(Design::Value(d->Option1), !back);
    QCOMPARE(Design::Value(d->Option4), back);
    QCOMPARE(d->Document().layout.panelWidth, back ? 519.0f : 456.0f);
    QCOMPARE(d->Shape1->Width(), back ? 519.0 : 456.0);
    QCOMPARE(d->Label2->Left(), headlineLeft);
    QCOMPARE(d->DesignRecords(), records); // printing changes nothing of the design
    QVERIFY(d->Text2->hasFocus());         // hiding the field did not lose the user's place
    if (titlesShown) {
        QVERIFY(d->TitlesLoaded());
        QVERIFY(!d->TitlesForm()->isVisible());
        // It comes back as it was with "Enter Title Names".
        d->Command14->click();
        QVERIFY(d->TitlesForm()->isVisible());
        QCOMPARE(Design::Value(d->TitlesForm()->Check1), 1);
    } else {
        QVERIFY(!d->TitlesLoaded()); // printing does not make the window
    }
}

void TestDesignerPrint::pageIsTheCoverTrueToSize_data()
{
    QTest::addColumn<bool>("back");
    QTest::addColumn<int>("panelWidth");
    QTest::newRow("front cover") << false << 456;
    QTest::newRow("back cover") << true << 519;
}

void TestDesignerPrint::pageIsTheCoverTrueToSize()
{
    QFETCH(bool, back);
    QFETCH(int, panelWidth);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("pdftocairo")).isEmpty())
        QSKIP("poppler-utils (pdftotext, pdftocairo) are not installed");
    if (back)
        Design::SetValue(d->Option4, true);
    d->Text1->setText(QStringLiteral("Northbound"));
    d->Text2->setText(QStringLiteral("Coastline"));
    d->Label4->setCaption(QStringLiteral("Harbour"));
    d->Label14->setCaption(QStringLiteral("Lighthouse"));
    Design::SetValue(d->Check7, 1);
    const QString pdf = pdfPath(QStringLiteral("cover.pdf"));
    d->Command7->click();
    QVERIFY(QFileInfo::exists(pdf));

    // Text is text, each word where the cover shows it: points = pixels x 0.75
    // from the printable area's corner.
    const QPointF origin = d->CommonDialog1.Printer().pageRect(QPrinter::Point).topLeft();
    const QList<pages::Word> words = pages::Words(pdf);
    const struct {
        const char *word;
        const CoverLabel *label;
    } expected[] = {{"Northbound", d->Label2},
                    {"Coastline", d->Label3},
                    {"Harbour", d->Label4},
                    {"Lighthouse", d->Label14}};
    for (const auto &e : expected) {
        auto it = std::find_if(words.begin(), words.end(),
                               [&](const pages::Word &w) { return w.text == QLatin1String(e.word); });
        QVERIFY2(it != words.end(), e.word);
        QVERIFY2(std::abs(it->box.left() - (origin.x() + e.label->Left() * 0.75)) < 1.0, e.word);
        QVERIFY2(std::abs(it->box.top() - (origin.y() + e.label->Top() * 0.75)) < 3.0, e.word);
    }
    for (const pages::Word &w : words)
        QVERIFY2(w.text != QLatin1String("Print") && w.text != QLatin1String("Font"),
                 "a control's caption reached the page");

    // The window was white while it printed, and the dashed outline is the
    // panel's width at 96 per inch.
    const QImage page = pages::Rasterise(pdf, pdfPath(QStringLiteral("page")));
    QVERIFY(!page.isNull());
    const QPointF o96 = origin * (96.0 / 72.0);
    const QPoint beside = (o96 + QPointF(600, 300)).toPoint();
    QCOMPARE(qGray(page.pixel(beside)), 255);
    const QRect ink = pages::InkBox(page);
    QVERIFY2(std::abs(ink.left() - o96.x()) <= 1.5, qPrintable(QString::number(ink.left())));
    QVERIFY2(std::abs(ink.top() - o96.y()) <= 1.5, qPrintable(QString::number(ink.top())));
    QVERIFY2(std::abs(ink.width() - panelWidth) <= 1, qPrintable(QString::number(ink.width())));
    QVERIFY2(std::abs(ink.height() - 456) <= 1, qPrintable(QString::number(ink.height())));
}

void TestDesignerPrint::failureRestoresAndSaysSo_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("no printer at all") << QString();
    QTest::newRow("file that cannot be written") << QStringLiteral("/nonexistent-folder/cover.pdf");
}

void TestDesignerPrint::failureRestoresAndSaysSo()
{
    QFETCH(QString, target);
    QPrinter &printer = d->CommonDialog1.Printer();
    printer.setPrinterName(QString());
    printer.setOutputFileName(target);
    Design::SetValue(d->Option4, true);
    d->show();
    QVERIFY(QTest::qWaitForWindowExposed(d.get()));

    for (int attempt = 0; attempt < 2; ++attempt)
        d->Command7->click();

    // One message, and the window as it was.
    const auto boxes = d->findChildren<QMessageBox *>();
    QCOMPARE(boxes.size(), 1);
    QMessageBox *box = boxes.constFirst();
    QVERIFY(box->isVisible());
    QVERIFY(box->text().startsWith(QStringLiteral("Nothing was printed.")));
    QVERIFY(box->informativeText().contains(QStringLiteral("\"Print Set Up\"")));
    QVERIFY(box->informativeText().contains(QStringLiteral("PDF file")));
    QCOMPARE(d->BackColor(), colors::LightGrey);
    QVERIFY(d->Command7->isVisible());
    QVERIFY(d->Text1->isVisible());
    QVERIFY(!d->Text11->isVisible());
    QVERIFY(Design::Value(d->Option4));
    QCOMPARE(d->Document().layout.panelWidth, 519.0f);
    box->button(QMessageBox::Ok)->click();
    QTRY_VERIFY(d->findChildren<QMessageBox *>().isEmpty());
}

void TestDesignerPrint::setUpChoicesHoldForPrint()
{
    const QString chosen = pdfPath(QStringLiteral("chosen.pdf"));
    // Cancelling changes nothing.
    dialogs.push(ScriptedDialogBackend::cancel());
    d->Command11->click();
    QCOMPARE(dialogs.calls(ScriptedDialogBackend::Printer), 1);
    QCOMPARE(d->CommonDialog1.Printer().outputFileName(), pdfPath(QStringLiteral("cover.pdf")));

    dialogs.push([chosen](CommonDialog &dlg) {
        dlg.Printer().setOutputFileName(chosen);
        dlg.Printer().setPageOrientation(QPageLayout::Landscape);
        return true;
    });
    d->Command11->click();
    QCOMPARE(dialogs.calls(ScriptedDialogBackend::Printer), 2);
    d->Command7->click();
    d->Command7->click(); // a second print in the same run keeps the choice
    QVERIFY(QFileInfo(chosen).size() > 0);
    QVERIFY(!QFileInfo::exists(pdfPath(QStringLiteral("cover.pdf"))));
    QCOMPARE(d->CommonDialog1.Printer().pageLayout().orientation(), QPageLayout::Landscape);
}

void TestDesignerPrint::picturesOnPaper_data()
{
    QTest::addColumn<QString>("afterLoading"); // what happens to the picture's file
    QTest::addColumn<double>("boxSize");
    QTest::newRow("same file") << QString() << 0.0;
    QTest::newRow("file replaced") << QStringLiteral("replace") << 0.0;
    QTest::newRow("file deleted") << QStringLiteral("delete") << 0.0;
    QTest::newRow("largest box, same file") << QString() << 32767.0;
}

// Paper gets the picture's file at the printer's resolution up to 600 dpi, but
// never more than the page holds; a file that changed since it was loaded is not
// printed in its place: the screen copy is, and the user is told.
void TestDesignerPrint::picturesOnPaper()
{
    QFETCH(QString, afterLoading);
    QFETCH(double, boxSize);
    // A name that would be markup if it were read as such.
    const QString file = pdfPath(QStringLiteral("<b>photo &amp; co.png"));
    // Four quarters, so that the page shows where each part of the picture went.
    QImage photo(2600, 1900, QImage::Format_RGB32);
    const QColor quarters[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow};
    {
        QPainter p(&photo);
        for (int q = 0; q < 4; ++q)
            p.fillRect(QRect((q % 2) * 1300, (q / 2) * 950, 1300, 950), quarters[q]);
    }
    QVERIFY(photo.save(file, "PNG"));
    dialogs.push(ScriptedDialogBackend::choose(file));
    d->Command8->click();
    QVERIFY(d->Image1->HasPicture());
    if (boxSize > 0) {
        d->Text7->setText(QString::number(boxSize));
        d->Text8->setText(QString::number(boxSize));
    }
    if (afterLoading == QLatin1String("replace")) {
        QVERIFY(QFile::remove(file));
        QImage other(1000, 700, QImage::Format_RGB32);
        other.fill(Qt::yellow);
        QVERIFY(other.save(file, "JPG"));
    } else if (afterLoading == QLatin1String("delete")) {
        QVERIFY(QFile::remove(file));
    }
    if (!afterLoading.isEmpty()) {
        // A box grown past its decoded copy does not read in the file's new picture either.
        d->Text7->setText(QStringLiteral("400"));
        QImage window(Design::ClientWidth, Design::ClientHeight, QImage::Format_RGB32);
        QPainter p(&window);
        d->PaintClientArea(p, false);
    }

    d->Command7->click();
    const QString pdf = pdfPath(QStringLiteral("cover.pdf"));
    QVERIFY(QFileInfo(pdf).size() > 0);
    // Whatever the box, its centre is the panel's (228, 228): the picture's four
    // quarters meet there on paper, the file's or the screen copy's (looked at a
    // little away from the edges, which the PDF's own compression blurs). The
    // largest box covers the whole client area, corners included.
    if (!QStandardPaths::findExecutable(QStringLiteral("pdftocairo")).isEmpty()) {
        const QImage page = pages::Rasterise(pdf, pdfPath(QStringLiteral("page")));
        QVERIFY(!page.isNull());
        const QPointF origin = d->CommonDialog1.Printer().pageRect(QPrinter::Point).topLeft() * (96.0 / 72.0);
        QList<std::pair<QPointF, QColor>> looks;
        for (int q = 0; q < 4; ++q)
            looks.push_back({QPointF(q % 2 ? 288 : 168, q / 2 ? 288 : 168), quarters[q]});
        if (boxSize > 0)
            looks += {{QPointF(3, 3), quarters[0]},
                      {QPointF(Design::ClientWidth - 3, Design::ClientHeight - 3), quarters[3]}};
        for (const auto &[at, want] : looks) {
            const QColor c = page.pixelColor((origin + at).toPoint());
            QVERIFY2(std::abs(c.red() - want.red()) < 40 && std::abs(c.green() - want.green()) < 40 &&
                         std::abs(c.blue() - want.blue()) < 40,
                     qPrintable(QStringLiteral("%1 at %2,%3").arg(c.name()).arg(at.x()).arg(at.y())));
        }
    }
    const QSize copy = d->Image1->PrintCopySize();
    auto *note = d->findChild<QMessageBox *>();
    if (!afterLoading.isEmpty()) {
        QVERIFY(note);
        QVERIFY(note->isVisible());
        QCOMPARE(note->textFormat(), Qt::PlainText);
        QVERIFY2(note->text().contains(file) && note->text().contains(QStringLiteral("screen copy")),
                 qPrintable(note->text()));
        QCOMPARE(copy, d->Image1->DecodedSize());
        return;
    }
    QVERIFY(!note);
    const double dots = 600.0 / 96.0;
    if (boxSize == 0) {
        // The whole box at 600 per inch (the printer here has 1200).
        QVERIFY2(copy.width() >= std::ceil(393 * dots) && copy.height() >= std::ceil(289 * dots),
                 qPrintable(QStringLiteral("%1x%2").arg(copy.width()).arg(copy.height())));
    } else {
        // Only the part of the picture that the page shows of the box (with a few
        // pixels for the smoothing at its edges), never more than the page holds.
        const QSizeF page = d->CommonDialog1.Printer().pageRect(QPrinter::Inch).size() * 96.0;
        const QSizeF part = page * (photo.width() / boxSize) + QSizeF(10, 10);
        QVERIFY2(copy.width() <= part.width() && copy.height() <= part.height() && !copy.isEmpty(),
                 qPrintable(QStringLiteral("%1x%2").arg(copy.width()).arg(copy.height())));
    }
}

int main(int argc, char *argv[])
{
    // No print server whatever the machine runs: the only printers are the
    // PDF files the tests name, and "no printer" means none.
    qputenv("CUPS_SERVER", "/nonexistent/cups.sock");
    QApplication app(argc, argv);
    TestDesignerPrint test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_designer_print.moc"
