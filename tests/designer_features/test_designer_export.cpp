// Export (PDF, PNG), print preview and the printer a print goes to.
#include <QtTest>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>

#include "app_setup.h"
#include "colors.h"
#include "design.h"
#include "module1.h"
#include "pages.h"
#include "printqueue.h"
#include "titles.h"

namespace {

// A print system with one queue whose state each test sets.
class FakePrintSystem : public printqueue::PrintSystem
{
public:
    QString defaultName;
    QString queue;
    printqueue::QueueState queueState;
    QString defaultQueue() override { return defaultName; }
    printqueue::QueueState state(const QString &name) override
    {
        return name == queue ? queueState : printqueue::QueueState{};
    }
};

QString writePicture(const QString &path, QSize size, QColor colour)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    return img.save(path) ? path : QString();
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestDesignerExport : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void pdfIsThePanelTrueToSize_data();
    void pdfIsThePanelTrueToSize();
    void pngAtChosenResolution_data();
    void pngAtChosenResolution();
    void sameDesignSamePages();
    void failureSaysWhyAndKeepsFile();
    void previewShowsWhatPrintSends();
    void printerThatCannotPrint_data();
    void printerThatCannotPrint();

private:
    QString path(const QString &name) const { return tmp.filePath(name); }
    void fillCover(bool back);
    QTemporaryDir tmp;
    ScriptedDialogBackend dialogs;
    FakePrintSystem printers;
    std::unique_ptr<Design> d;
};

void TestDesignerExport::initTestCase()
{
    SetupDesignerApplication();
    QVERIFY(tmp.isValid());
}

void TestDesignerExport::init()
{
    dialogs = ScriptedDialogBackend();
    CommonDialog::SetBackend(&dialogs);
    printers = FakePrintSystem();
    printqueue::SetPrintSystem(&printers);
    d = std::make_unique<Design>();
}

void TestDesignerExport::cleanup()
{
    d.reset();
    CommonDialog::SetBackend(nullptr);
    printqueue::SetPrintSystem(nullptr);
}

void TestDesignerExport::fillCover(bool back)
{
    if (back)
        Design::SetValue(d->Option4, true);
    d->Text1->setText(QStringLiteral("Northbound"));
    d->Text2->setText(QStringLiteral("Coastline"));
    d->Label4->setCaption(QStringLiteral("Harbour"));
    d->Label14->setCaption(QStringLiteral("Lighthouse"));
    Design::SetValue(d->Check7, 1);
}

void TestDesignerExport::pdfIsThePanelTrueToSize_data()
{
    QTest::addColumn<bool>("back");
    QTest::addColumn<int>("panelWidth");
    QTest::newRow("front cover") << false << 456;
    QTest::newRow("back cover") << true << 519;
}

void TestDesignerExport::pdfIsThePanelTrueToSize()
{
    QFETCH(bool, back);
    QFETCH(int, panelWidth);
    if (!pages::PopplerInstalled())
        QSKIP("poppler-utils (pdftotext, pdftocairo) are not installed");
    fillCover(back);
    Module1::DesignFileName = path(QStringLiteral("night.qwd"));
    const QString pdf = path(QStringLiteral("night.pdf"));
    dialogs.push(ScriptedDialogBackend::choose(pdf));
    d->CommonDialog1.Filter = QStringLiteral("Jewel Case Files|*.qwd");
    d->ExportPdf();
    QCOMPARE(dialogs.calls(ScriptedDialogBackend::Save), 1);
    QCOMPARE(dialogs.seenFilter, QStringLiteral("PDF document|*.pdf"));
    QCOMPARE(dialogs.seenFileName, pdf); // the design's name, beside it
    QCOMPARE(dialogs.seenDefaultExt, QStringLiteral(".pdf"));
    QCOMPARE(dialogs.seenFlags, 2);
    QCOMPARE(d->CommonDialog1.Filter, QStringLiteral("Jewel Case Files|*.qwd")); // left as it was

    const QByteArray bytes = readAll(pdf);
    const QRegularExpression mediaBox(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"));
    const auto box = mediaBox.match(QString::fromLatin1(bytes));
    QVERIFY(box.hasMatch());
    const double margin = Design::ExportMargin;
    QCOMPARE(box.captured(1).toDouble(), std::ceil((panelWidth + 2 * margin) * 0.75));
    QCOMPARE(box.captured(2).toDouble(), std::ceil((456 + 2 * margin) * 0.75));
    QVERIFY(bytes.contains("/FontFile2")); // text is text, fonts embedded

    const QList<pages::Word> words = pages::Words(pdf);
    for (const CoverLabel *l : {d->Label2, d->Label3, d->Label4, d->Label14}) {
        const pages::Word *w = pages::Find(words, l->Caption());
        QVERIFY2(w, qPrintable(l->Caption()));
        QVERIFY2(std::abs(w->box.left() - (margin + l->Left()) * 0.75) < 1.0, qPrintable(l->Caption()));
        QVERIFY2(std::abs(w->box.top() - (margin + l->Top()) * 0.75) < 3.0, qPrintable(l->Caption()));
    }
    QVERIFY(!pages::Find(words, QStringLiteral("Print")));
    // The dashed cut line is the panel's outline, one margin in from the page's edges.
    const QRect ink = pages::InkBox(pages::Rasterise(pdf, path(QStringLiteral("page"))));
    QVERIFY2(std::abs(ink.left() - margin) <= 1 && std::abs(ink.top() - margin) <= 1,
             qPrintable(QStringLiteral("%1,%2").arg(ink.left()).arg(ink.top())));
    QVERIFY2(std::abs(ink.width() - panelWidth) <= 1, qPrintable(QString::number(ink.width())));
    QVERIFY2(std::abs(ink.height() - 456) <= 1, qPrintable(QString::number(ink.height())));
}

void TestDesignerExport::pngAtChosenResolution_data()
{
    QTest::addColumn<int>("fileType"); // the dialog's PNG entry
    QTest::addColumn<int>("dpi");
    QTest::addColumn<bool>("back");
    QTest::newRow("96 dpi, front") << 1 << 96 << false;
    QTest::newRow("300 dpi, back") << 2 << 300 << true;
    QTest::newRow("600 dpi, front") << 3 << 600 << false;
}

void TestDesignerExport::pngAtChosenResolution()
{
    QFETCH(int, fileType);
    QFETCH(int, dpi);
    QFETCH(bool, back);
    if (back)
        Design::SetValue(d->Option4, true);
    // A blue picture wider than the panel: what lies beyond the cut line is not on the page.
    dialogs.push(ScriptedDialogBackend::choose(writePicture(path("blue.png"), {40, 30}, Qt::blue)));
    d->Command8_Click();
    d->Text7->setText(QStringLiteral("700"));
    d->Shape1->setBackColor(colors::FromQColor(QColor(Qt::yellow)));
    const QString png = path(QStringLiteral("cover.png"));
    dialogs.push([&](CommonDialog &dlg) {
        dlg.FileName = png;
        dlg.FilterIndex = fileType;
        return true;
    });
    d->ExportPng();
    QCOMPARE(dialogs.seenFilterIndex, 2); // 300 dpi is offered first
    const QImage img(png);
    const double w = back ? 519 : 456, m = Design::ExportMargin, k = dpi / 96.0;
    QCOMPARE(img.size(), QSize(int(std::ceil((w + 2 * m) * k)), int(std::ceil((456 + 2 * m) * k))));
    QCOMPARE(qRound(img.dotsPerMeterX() * 0.0254), dpi);
    const auto at = [&](double x, double y) { return img.pixelColor(int((m + x) * k), int((m + y) * k)); };
    QCOMPARE(at(w / 2, 228), QColor(Qt::blue));      // the picture
    QCOMPARE(at(w / 2, 40), QColor(Qt::yellow));     // the panel's background
    QCOMPARE(at(w + m / 2, 228), QColor(Qt::white)); // the margin, though the picture goes on
    QCOMPARE(at(-m / 2, 228), QColor(Qt::white));
    QVERIFY(qGray(at(2, 0.5).rgb()) < 100); // the cut line's first dash
    // The next PNG export offers the resolution chosen this time.
    d->ExportPng();
    QCOMPARE(dialogs.seenFilterIndex, fileType);
}

void TestDesignerExport::sameDesignSamePages()
{
    fillCover(false);
    dialogs.push(ScriptedDialogBackend::choose(writePicture(path("red.jpg"), {600, 400}, Qt::red)));
    d->Command8_Click();
    QString error;
    for (const QString &name : {QStringLiteral("a"), QStringLiteral("b")}) {
        QVERIFY2(d->ExportCover(path(name + ".pdf"), Design::ExportFormat::Pdf, 0, &error),
                 qPrintable(error));
        QVERIFY2(d->ExportCover(path(name + ".png"), Design::ExportFormat::Png, 300, &error),
                 qPrintable(error));
    }
    QCOMPARE(pages::WithoutDateAndId(readAll(path("a.pdf"))),
             pages::WithoutDateAndId(readAll(path("b.pdf"))));
    QCOMPARE(QImage(path("a.png")), QImage(path("b.png")));
}

void TestDesignerExport::failureSaysWhyAndKeepsFile()
{
    const QString folder = path(QStringLiteral("cover <b>folder.pdf"));
    QVERIFY(QDir().mkpath(folder));
    dialogs.push(ScriptedDialogBackend::choose(folder));
    d->ExportPdf();
    auto *box = d->findChild<QMessageBox *>(QStringLiteral("Notice"));
    QVERIFY(box && box->isVisible());
    QCOMPARE(box->textFormat(), Qt::PlainText);
    QVERIFY2(box->text().startsWith(QStringLiteral("The cover was not exported to %1: ").arg(folder)),
             qPrintable(box->text()));
    QVERIFY(box->text().length() > folder.length() + 32); // and why
    QVERIFY(QFileInfo(folder).isDir());
}

void TestDesignerExport::previewShowsWhatPrintSends()
{
    fillCover(true);
    QPrinter &printer = d->CommonDialog1.Printer();
    printer.setOutputFileName(path(QStringLiteral("printed.pdf")));
    d->PrintPreview();
    auto *preview = d->findChild<QPrintPreviewDialog *>(QStringLiteral("PrintPreview"));
    QVERIFY(preview && preview->isVisible());
    preview->resize(1200, 1200);
    auto *widget = preview->findChild<QPrintPreviewWidget *>();
    QTRY_COMPARE(widget->pageCount(), 1);
    widget->fitInView();
    const QImage shot = widget->grab().toImage();

    // The sheet is the white area around the middle; the cover the ink on it.
    const int midY = shot.height() / 2;
    int left = 0, right = shot.width() - 1;
    while (left < right && shot.pixel(left, midY) != qRgb(255, 255, 255))
        ++left;
    while (right > left && shot.pixel(right, midY) != qRgb(255, 255, 255))
        --right;
    int top = midY, bottom = midY;
    while (top > 0 && shot.pixel(left + 2, top - 1) == qRgb(255, 255, 255))
        --top;
    while (bottom + 1 < shot.height() && shot.pixel(left + 2, bottom + 1) == qRgb(255, 255, 255))
        ++bottom;
    QRect ink;
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x)
            if (qGray(shot.pixel(x, y)) < 200)
                ink |= QRect(x, y, 1, 1);
    // Where Print puts the cover: the printable area's corner, 96 pixels per inch.
    const QRectF paper = printer.pageLayout().fullRect(QPageLayout::Point);
    const QPointF corner = printer.pageLayout().paintRect(QPageLayout::Point).topLeft();
    const double k = (right - left + 1) / paper.width();
    const QRectF expected(left + corner.x() * k, top + corner.y() * k, 519 * 0.75 * k, 456 * 0.75 * k);
    const auto near = [](double a, double b) { return std::abs(a - b) <= 2.5; };
    QVERIFY2(near(ink.left(), expected.left()) && near(ink.top(), expected.top()) &&
                 near(ink.width(), expected.width()) && near(ink.height(), expected.height()),
             qPrintable(QStringLiteral("ink %1,%2 %3x%4, expected %5,%6 %7x%8")
                            .arg(ink.left())
                            .arg(ink.top())
                            .arg(ink.width())
                            .arg(ink.height())
                            .arg(expected.left())
                            .arg(expected.top())
                            .arg(expected.width())
                            .arg(expected.height())));

    // Its Print button is the window's Print, bracket and printer check included.
    auto *print = preview->findChild<QAction *>(QStringLiteral("PreviewPrintAction"));
    QVERIFY(print);
    print->trigger();
    QVERIFY(QFileInfo(path(QStringLiteral("printed.pdf"))).size() > 0);
    QTRY_VERIFY(!d->findChild<QPrintPreviewDialog *>());
    QVERIFY(Design::Value(d->Option4));
}

void TestDesignerExport::printerThatCannotPrint_data()
{
    QTest::addColumn<QString>("defaultQueue");
    QTest::addColumn<QString>("named"); // on a command line
    QTest::addColumn<int>("state");     // 0 missing, 1 refusing, 2 stopped
    QTest::addColumn<QString>("reason");
    QTest::newRow("default does not exist") << "NOPE"
                                            << "" << 0 << "The printer \"NOPE\" does not exist.";
    QTest::newRow("default refuses jobs") << "Office"
                                          << "" << 1 << "The printer \"Office\" is not accepting jobs.";
    QTest::newRow("default stopped") << "Office"
                                     << "" << 2 << "The printer \"Office\" is stopped.";
    QTest::newRow("no default at all") << ""
                                       << "" << 0 << "No printer was chosen and there is no default printer.";
    QTest::newRow("named one does not exist") << "Office"
                                              << "Gone" << 0 << "The printer \"Gone\" does not exist.";
}

void TestDesignerExport::printerThatCannotPrint()
{
    QFETCH(QString, defaultQueue);
    QFETCH(QString, named);
    QFETCH(int, state);
    QFETCH(QString, reason);
    printers.defaultName = defaultQueue;
    printers.queue = named.isEmpty() ? defaultQueue : named;
    printers.queueState = {state > 0, state == 2, state == 2};
    QPrinter &printer = d->CommonDialog1.Printer();
    printer.setOutputFileName(QString());
    const QString before = printer.printerName();

    QString error;
    QVERIFY(!d->PrintCover(named, &error));
    QCOMPARE(error, reason);
    if (!named.isEmpty())
        return;
    // From the window: said at once, and nothing moved.
    d->show();
    d->Command14_Click();
    d->Command7_Click();
    auto *box = d->findChild<QMessageBox *>(QStringLiteral("PrintFailed"));
    QVERIFY(box && box->isVisible());
    QCOMPARE(box->text(), QStringLiteral("Nothing was printed. ") + reason);
    QCOMPARE(box->textFormat(), Qt::PlainText);
    QVERIFY(d->TitlesForm()->isVisible());
    QCOMPARE(d->BackColor(), colors::LightGrey);
    QCOMPARE(printer.printerName(), before);
}

QTEST_MAIN(TestDesignerExport)
#include "test_designer_export.moc"
