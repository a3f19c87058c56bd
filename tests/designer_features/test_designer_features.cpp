// The designer beyond its window's controls: export and preview, the printer
// a print goes to, shortcuts, the cover's menu with Open Recent, drag-and-drop
// and the picture dialog's formats.
#include <QtTest>

#include <QAction>
#include <QCheckBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QUndoStack>

#include "app_setup.h"
#include "colors.h"
#include "design.h"
#include "pages.h"
#include "printqueue.h"
#include "recent_designs.h"
#include "scripteddialog.h"
#include "secondary_windows.h"
#include "titles.h"

namespace {

// A print system with one queue whose state each test sets.
struct FakePrintSystem : printqueue::PrintSystem {
    QString defaultName, queue;
    printqueue::QueueState queueState;
    QString defaultQueue() override { return defaultName; }
    printqueue::QueueState state(const QString &name) override
    {
        return name == queue ? queueState : printqueue::QueueState{};
    }
};

QString writePicture(const QString &path, QSize size, QColor colour = Qt::darkCyan)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    return img.save(path) ? path : QString();
}

// Drags `files` over `target` at `pos` and drops them; true when the drop was taken.
bool drop(QWidget *target, QPoint pos, const QStringList &files)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString &f : files)
        urls << QUrl::fromLocalFile(f);
    mime.setUrls(urls);
    mime.setText(files.join(u'\n')); // as file managers offer it to text fields
    QDragEnterEvent enter(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    if (!move.isAccepted())
        return false;
    QDropEvent dropped(QPointF(pos), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropped);
    return dropped.isAccepted();
}

} // namespace

class TestDesignerFeatures : public QObject
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
    void failedExportSaysWhy();
    void exportedPhotographCopy_data();
    void exportedPhotographCopy();
    void previewShowsWhatPrintSends();
    void printerThatCannotPrint_data();
    void printerThatCannotPrint();
    void shortcuts_data();
    void shortcuts();
    void textFieldKeepsItsKeys_data();
    void textFieldKeepsItsKeys();
    void coverMenuOnThePanelOnly_data();
    void coverMenuOnThePanelOnly();
    void openRecent();
    void drops_data();
    void drops();
    void droppedDesignAsksFirst();
    void pictureDialogFormats();

private:
    QString path(const QString &name) const { return tmp.filePath(name); }
    QString saveDesign(const QString &name, const QString &headline);
    void fillCover(bool back);
    void showActive();
    QTemporaryDir tmp;
    ScriptedDialogBackend dialogs;
    FakePrintSystem printers;
    std::unique_ptr<Design> d;
};

void TestDesignerFeatures::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    SetupDesignerApplication();
    QVERIFY(tmp.isValid());
}

void TestDesignerFeatures::init()
{
    QSettings("Sleeve", "sleevedesk").clear();
    dialogs = ScriptedDialogBackend();
    CommonDialog::SetBackend(&dialogs);
    printers = FakePrintSystem();
    printqueue::SetPrintSystem(&printers);
    d = std::make_unique<Design>();
    d->CommonDialog1.Printer().setOutputFileName(path("printed.pdf"));
    QFile::remove(path("printed.pdf"));
}

void TestDesignerFeatures::cleanup()
{
    d.reset();
    CommonDialog::SetBackend(nullptr);
    printqueue::SetPrintSystem(nullptr);
}

void TestDesignerFeatures::fillCover(bool back)
{
    if (back)
        Design::SetValue(d->Option4, true);
    d->Text1->setText("Northbound");
    d->Text2->setText("Coastline");
    d->Label4->setCaption("Harbour");
    d->Label14->setCaption("Lighthouse");
    Design::SetValue(d->Check7, 1);
}

void TestDesignerFeatures::showActive()
{
    d->show();
    d->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(d.get()));
}

QString TestDesignerFeatures::saveDesign(const QString &name, const QString &headline)
{
    Design other;
    other.Text1->setText(headline);
    dialogs.push(ScriptedDialogBackend::choose(path(name)));
    other.Command2_Click();
    return path(name);
}

// ---------------------------------------------------------------- export, preview, printers

void TestDesignerFeatures::pdfIsThePanelTrueToSize_data()
{
    QTest::addColumn<bool>("back");
    QTest::addColumn<int>("panelWidth");
    QTest::newRow("front cover") << false << 456;
    QTest::newRow("back cover") << true << 519;
}

void TestDesignerFeatures::pdfIsThePanelTrueToSize()
{
    QFETCH(bool, back);
    QFETCH(int, panelWidth);
    if (!pages::PopplerInstalled())
        QSKIP("poppler-utils (pdftotext, pdftocairo) are not installed");
    fillCover(back);
    dialogs.push(ScriptedDialogBackend::choose(path("night.qwd")));
    QVERIFY(d->SaveDesign());
    const QString pdf = path("night.pdf");
    dialogs.push(ScriptedDialogBackend::choose(pdf));
    d->CommonDialog1.Filter = "Jewel Case Files|*.qwd";
    d->ExportPdf();
    QCOMPARE(dialogs.seenFilter, QString("PDF document|*.pdf"));
    QCOMPARE(dialogs.seenFileName, pdf);                                  // the design's name, beside it
    QCOMPARE(dialogs.seenFlags, 2);                                       // asks before replacing a file
    QCOMPARE(d->CommonDialog1.Filter, QString("Jewel Case Files|*.qwd")); // left as it was

    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const auto box =
        QRegularExpression("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]").match(QString::fromLatin1(bytes));
    const double margin = Design::ExportMargin;
    QCOMPARE(box.captured(1).toDouble(), std::ceil((panelWidth + 2 * margin) * 0.75));
    QCOMPARE(box.captured(2).toDouble(), std::ceil((456 + 2 * margin) * 0.75));
    QVERIFY(bytes.contains("/FontFile2")); // text is text, fonts embedded

    const QList<pages::Word> words = pages::Words(pdf);
    for (const CoverLabel *l : {d->Label2, d->Label3, d->Label4, d->Label14}) {
        const pages::Word *w = pages::Find(words, l->Caption());
        QVERIFY2(w && std::abs(w->box.left() - (margin + l->Left()) * 0.75) < 1.0 &&
                     std::abs(w->box.top() - (margin + l->Top()) * 0.75) < 3.0,
                 qPrintable(l->Caption()));
    }
    // The dashed cut line is the panel's outline, one margin in from the page's edges.
    const QRect ink = pages::InkBox(pages::Rasterise(pdf, path("page")));
    QVERIFY2(
        std::abs(ink.left() - margin) <= 1 && std::abs(ink.top() - margin) <= 1 &&
            std::abs(ink.width() - panelWidth) <= 1 && std::abs(ink.height() - 456) <= 1,
        qPrintable(QString("%1,%2 %3x%4").arg(ink.left()).arg(ink.top()).arg(ink.width()).arg(ink.height())));
}

void TestDesignerFeatures::pngAtChosenResolution_data()
{
    QTest::addColumn<int>("fileType"); // the dialog's PNG entry
    QTest::addColumn<int>("dpi");
    QTest::addColumn<bool>("back");
    QTest::newRow("96 dpi, front") << 1 << 96 << false;
    QTest::newRow("300 dpi, back") << 2 << 300 << true;
    QTest::newRow("600 dpi, front") << 3 << 600 << false;
}

void TestDesignerFeatures::pngAtChosenResolution()
{
    QFETCH(int, fileType);
    QFETCH(int, dpi);
    QFETCH(bool, back);
    if (back)
        Design::SetValue(d->Option4, true);
    // A blue picture wider than the panel: what lies beyond the cut line is not on the page.
    dialogs.push(ScriptedDialogBackend::choose(writePicture(path("blue.png"), {40, 30}, Qt::blue)));
    d->Command8_Click();
    d->Text7->setText("700");
    d->Shape1->setBackColor(colors::FromQColor(QColor(Qt::yellow)));
    const QString png = path("cover.png");
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
    QCOMPARE(at(w + m / 2, 228), QColor(Qt::white)); // the margins, though the picture goes on
    QCOMPARE(at(-m / 2, 228), QColor(Qt::white));
    QVERIFY(qGray(at(2, 0.5).rgb()) < 100); // the cut line's first dash
    d->ExportPng();                         // the next PNG export offers the resolution chosen this time
    QCOMPARE(dialogs.seenFilterIndex, fileType);
}

void TestDesignerFeatures::failedExportSaysWhy()
{
    const QString folder = path("cover <b>folder.pdf"); // a folder cannot be replaced by a page
    QVERIFY(QDir().mkpath(folder));
    dialogs.push(ScriptedDialogBackend::choose(folder));
    d->ExportPdf();
    auto *box = d->findChild<QMessageBox *>("Notice");
    QVERIFY(box && box->isVisible());
    QCOMPARE(box->textFormat(), Qt::PlainText);
    QVERIFY2(box->text().startsWith(QString("The cover was not exported to %1: ").arg(folder)) &&
                 box->text().length() > folder.length() + 40,
             qPrintable(box->text()));
    QVERIFY(QFileInfo(folder).isDir());
}

void TestDesignerFeatures::exportedPhotographCopy_data()
{
    QTest::addColumn<QSize>("photo");
    QTest::addColumn<QSize>("box");
    QTest::addColumn<QSize>("copy"); // what the PDF gets of the photograph
    // 600 dpi wants 2457 x 1807: the decoder's own half covers it and fits the page.
    QTest::newRow("a camera's photograph") << QSize(6000, 4000) << QSize(393, 289) << QSize(3000, 2000);
    // Nothing smaller covers 2750 x 250, and the whole would outgrow the page:
    // only what the box needs.
    QTest::newRow("a thin box") << QSize(4000, 4000) << QSize(440, 40) << QSize(2750, 250);
}

void TestDesignerFeatures::exportedPhotographCopy()
{
    QFETCH(QSize, photo);
    QFETCH(QSize, box);
    QFETCH(QSize, copy);
    QImage grey(photo, QImage::Format_Grayscale8);
    grey.fill(90);
    const QString file = path("photo.jpg");
    QVERIFY(grey.save(file, "JPG"));
    QVERIFY(d->Image1->LoadPicture(file));
    d->Text7->setText(QString::number(box.width()));
    d->Text8->setText(QString::number(box.height()));
    QString error;
    QVERIFY2(d->ExportCover(path("photo.pdf"), pageexport::Format::Pdf, 0, &error), qPrintable(error));
    QCOMPARE(d->Image1->PrintCopySize(), copy);
}

void TestDesignerFeatures::previewShowsWhatPrintSends()
{
    fillCover(true);
    QPrinter &printer = d->CommonDialog1.Printer();
    d->PrintPreview();
    auto *preview = d->findChild<QPrintPreviewDialog *>("PrintPreview");
    QVERIFY(preview && preview->isVisible());
    preview->resize(1200, 1200);
    auto *widget = preview->findChild<QPrintPreviewWidget *>();
    QTRY_COMPARE(widget->pageCount(), 1);
    widget->fitInView();
    const QImage shot = widget->grab().toImage();

    // The sheet is the white area around the middle; the cover, the ink on it.
    const QRgb white = qRgb(255, 255, 255);
    int left = 0, right = shot.width() - 1, top = shot.height() / 2, bottom = top;
    while (left < right && shot.pixel(left, top) != white)
        ++left;
    while (right > left && shot.pixel(right, top) != white)
        --right;
    while (top > 0 && shot.pixel(left + 2, top - 1) == white)
        --top;
    while (bottom + 1 < shot.height() && shot.pixel(left + 2, bottom + 1) == white)
        ++bottom;
    QRect ink;
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x)
            if (qGray(shot.pixel(x, y)) < 200)
                ink |= QRect(x, y, 1, 1);
    // Where Print puts it: the printable area's corner, at 96 pixels per inch.
    const double k = (right - left + 1) / printer.pageLayout().fullRect(QPageLayout::Point).width();
    const QPointF corner = printer.pageLayout().paintRect(QPageLayout::Point).topLeft() * k;
    const QRectF expected(left + corner.x(), top + corner.y(), 519 * 0.75 * k, 456 * 0.75 * k);
    QVERIFY2(
        std::abs(ink.left() - expected.left()) <= 2.5 && std::abs(ink.top() - expected.top()) <= 2.5 &&
            std::abs(ink.width() - expected.width()) <= 2.5 &&
            std::abs(ink.height() - expected.height()) <= 2.5,
        qPrintable(
            QString("ink %1,%2 %3x%4").arg(ink.left()).arg(ink.top()).arg(ink.width()).arg(ink.height())));

    // Its Print button is the window's Print, bracket and printer check included.
    auto *print = preview->findChild<QAction *>("PreviewPrintAction");
    QVERIFY(print);
    print->trigger();
    QVERIFY(QFileInfo(path("printed.pdf")).size() > 0);
    QTRY_VERIFY(!d->findChild<QPrintPreviewDialog *>());
    QVERIFY(Design::Value(d->Option4));
}

void TestDesignerFeatures::printerThatCannotPrint_data()
{
    QTest::addColumn<QString>("defaultQueue");
    QTest::addColumn<QString>("named"); // on a command line
    QTest::addColumn<int>("state");     // 0 missing, 1 refusing jobs, 2 stopped, 3 ready
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
    // Listed and ready, but not among the printers Qt knows.
    QTest::newRow("ready but unknown to Qt") << "Phantom"
                                             << "" << 3 << "The printer \"Phantom\" cannot be used.";
}

void TestDesignerFeatures::printerThatCannotPrint()
{
    QFETCH(QString, defaultQueue);
    QFETCH(QString, named);
    QFETCH(int, state);
    QFETCH(QString, reason);
    printers.defaultName = defaultQueue;
    printers.queue = named.isEmpty() ? defaultQueue : named;
    printers.queueState = {state > 0, state >= 2, state == 2};
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
    auto *box = d->findChild<QMessageBox *>("PrintFailed");
    QVERIFY(box && box->isVisible());
    QCOMPARE(box->text(), "Nothing was printed. " + reason);
    QCOMPARE(box->textFormat(), Qt::PlainText);
    QVERIFY(d->TitlesForm()->isVisible());
    QCOMPARE(d->BackColor(), colors::LightGrey);
    QCOMPARE(printer.printerName(), before);
}

// ---------------------------------------------------------------- keys and the menu

void TestDesignerFeatures::shortcuts_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<bool>("inField"); // pressed while typing in a headline field
    QTest::addColumn<QString>("effect");
    QTest::newRow("Ctrl+N in a field") << QKeySequence(QKeySequence::New) << true << "new";
    QTest::newRow("Ctrl+O") << QKeySequence(QKeySequence::Open) << false << "open";
    QTest::newRow("Ctrl+S in a field") << QKeySequence(QKeySequence::Save) << true << "save";
    QTest::newRow("Ctrl+P") << QKeySequence(QKeySequence::Print) << false << "print";
    QTest::newRow("Ctrl+E in a field") << QKeySequence(Qt::CTRL | Qt::Key_E) << true << "export";
    QTest::newRow("Ctrl+Q") << QKeySequence(Qt::CTRL | Qt::Key_Q) << false << "close";
    QTest::newRow("Ctrl+W in a field") << QKeySequence(Qt::CTRL | Qt::Key_W) << true << "close";
}

void TestDesignerFeatures::shortcuts()
{
    QFETCH(QKeySequence, keys);
    QFETCH(bool, inField);
    QFETCH(QString, effect);
    showActive();
    if (inField) {
        d->Text1->setFocus();
        QTest::keyClicks(d->Text1, "Tide");
    }
    QTest::keySequence(inField ? static_cast<QWidget *>(d->Text1) : d.get(), keys);
    if (effect == "new") {
        // What was typed is unsaved work: the question first, as the New button asks.
        QVERIFY(d->SaveForm()->isVisible());
        QCOMPARE(d->PendingAction(), Design::Pending::New);
        d->SaveForm()->Command2->click();
        QCOMPARE(d->Label2->Caption(), QString());
    } else if (effect == "print") {
        QVERIFY(QFileInfo(path("printed.pdf")).size() > 0);
    } else if (effect != "close") {
        QCOMPARE(dialogs.calls(effect == "open" ? ScriptedDialogBackend::Open : ScriptedDialogBackend::Save),
                 1);
        QVERIFY(dialogs.seenFilter.endsWith(effect == "export" ? "*.pdf" : "*.qwd"));
    } else {
        if (!inField) {
            // Nothing to save: it closes at once.
            QTRY_VERIFY(!d->isVisible());
            showActive();
            d->Text1->setText("Tide");
            QTest::keySequence(d.get(), keys);
        }
        // With work to save, closing asks first, as the close box does.
        QVERIFY(d->isVisible() && d->SaveForm()->isVisible());
        QCOMPARE(d->PendingAction(), Design::Pending::Close);
        d->SaveForm()->Command2->click();
        QTRY_VERIFY(!d->isVisible());
    }
}

void TestDesignerFeatures::textFieldKeepsItsKeys_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<bool>("undoFirst");
    QTest::addColumn<QString>("expected"); // the field's text afterwards
    QTest::newRow("Ctrl+Z undoes typing") << QKeySequence(Qt::CTRL | Qt::Key_Z) << false << "Harbour";
    QTest::newRow("Ctrl+Shift+Z redoes it")
        << QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z) << true << "Harbour Lights";
}

void TestDesignerFeatures::textFieldKeepsItsKeys()
{
    QFETCH(QKeySequence, keys);
    QFETCH(bool, undoFirst);
    QFETCH(QString, expected);
    showActive();
    d->Text1->setFocus();
    d->Text1->setText("Harbour");
    QTest::keyClicks(d->Text1, " Lights");
    if (undoFirst)
        QTest::keySequence(d->Text1, QKeySequence(Qt::CTRL | Qt::Key_Z));
    QTest::keySequence(d->Text1, keys);
    QCOMPARE(d->Text1->text(), expected);
    QCOMPARE(d->Label2->Caption(), expected); // the cover follows the field
    QCOMPARE(dialogs.calls(ScriptedDialogBackend::Open) + dialogs.calls(ScriptedDialogBackend::Save), 0);
}

void TestDesignerFeatures::coverMenuOnThePanelOnly_data()
{
    QTest::addColumn<bool>("back");
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<bool>("menu");
    QTest::newRow("on a headline") << false << QPoint(110, 14) << true;
    QTest::newRow("grey beside the front panel") << false << QPoint(490, 240) << false;
    QTest::newRow("same place on the back panel") << true << QPoint(490, 240) << true;
    QTest::newRow("a check box") << false << QPoint(560, 316) << false;
}

void TestDesignerFeatures::coverMenuOnThePanelOnly()
{
    QFETCH(bool, back);
    QFETCH(QPoint, pos);
    QFETCH(bool, menu);
    if (back)
        Design::SetValue(d->Option4, true);
    d->Text1->setText("Headline");
    showActive();
    QWidget *target = d->childAt(pos) ? d->childAt(pos) : d.get();
    QContextMenuEvent event(QContextMenuEvent::Mouse, target->mapFrom(d.get(), pos), d->mapToGlobal(pos));
    QApplication::sendEvent(target, &event);
    QMenu *shown = d->findChild<QMenu *>("CoverMenu");
    QCOMPARE(shown != nullptr, menu);
    if (!menu)
        return;
    QTRY_VERIFY(shown->isVisible());
    QStringList texts;
    for (QAction *a : shown->actions())
        if (!a->isSeparator())
            texts << a->text();
    QCOMPARE(
        texts,
        QStringList({"Undo Typing", "Redo", QStringLiteral("Export PDF\u2026"),
                     QStringLiteral("Export PNG\u2026"), QStringLiteral("Print Preview\u2026"), "Open Recent",
                     QStringLiteral("Import Track List\u2026"), QStringLiteral("All Titles\u2026"),
                     "Print As", "Export As", QStringLiteral("Spine\u2026"),
                     QStringLiteral("Disc Face\u2026"), "Fit Box to Picture", "Crop Marks",
                     QStringLiteral("Printer Calibration\u2026"), QStringLiteral("Print On Stock\u2026")}));
    QCOMPARE(shown->actions().at(3)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E));
    shown->close();
}

void TestDesignerFeatures::openRecent()
{
    // Opened and saved designs, most recent first, at most eight.
    QStringList saved;
    for (int i = 1; i <= 9; ++i)
        saved.prepend(saveDesign(QString("r%1.qwd").arg(i), QString("Design%1").arg(i)));
    dialogs.push(ScriptedDialogBackend::choose(saved.at(5)));
    d->Command1_Click();
    QCOMPARE(recentdesigns::List(),
             QStringList({saved[5], saved[0], saved[1], saved[2], saved[3], saved[4], saved[6], saved[7]}));
    QVERIFY(QFile::remove(saved.at(0)));
    std::unique_ptr<QMenu> menu(d->CoverMenu());
    const auto entries = menu->findChild<QMenu *>("OpenRecentMenu")->actions();
    QCOMPARE(entries.size(), 8);
    QCOMPARE(entries.at(0)->data().toString(), saved.at(5));
    QVERIFY(!entries.at(1)->isEnabled()); // gone from the disk
    QVERIFY(entries.at(2)->isEnabled());
    // Choosing one opens it without a dialog (after the save question when armed).
    Design::SetValue(d->Check12, 0);
    entries.at(2)->trigger();
    QCOMPARE(d->Label2->Caption(), QString("Design8"));
    QCOMPARE(dialogs.calls(ScriptedDialogBackend::Open), 1);
    QCOMPARE(recentdesigns::List().constFirst(), saved.at(1));
}

// ---------------------------------------------------------------- drops and pictures

void TestDesignerFeatures::drops_data()
{
    QTest::addColumn<bool>("back");
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<QString>("file"); // "bad" is not a picture; "two" drags two pictures
    QTest::addColumn<QString>("slot"); // the image that takes it, "" for none
    QTest::newRow("on the cover: main picture") << false << QPoint(228, 228) << "pic.png"
                                                << "Image1";
    QTest::newRow("on the panel's corner") << false << QPoint(3, 3) << "pic.JPEG"
                                           << "Image1";
    QTest::newRow("on logo 1's place") << false << QPoint(30, 430) << "pic.png"
                                       << "Image2";
    QTest::newRow("on logo 2's place, back") << true << QPoint(460, 405) << "pic.png"
                                             << "Image3";
    QTest::newRow("beside the panel") << false << QPoint(490, 240) << "pic.png"
                                      << "";
    QTest::newRow("not a picture") << false << QPoint(228, 228) << "bad"
                                   << "";
    QTest::newRow("two at once") << false << QPoint(228, 228) << "two"
                                 << "";
    QTest::newRow("a picture with music: said why not") << false << QPoint(228, 228) << "mixed"
                                                        << "";
}

void TestDesignerFeatures::drops()
{
    QFETCH(bool, back);
    QFETCH(QPoint, pos);
    QFETCH(QString, file);
    QFETCH(QString, slot);
    if (back)
        Design::SetValue(d->Option4, true);
    d->Text7->setText("200");
    const QString pic = writePicture(path(file == "pic.JPEG" ? file : "pic.png"), {30, 20});
    QStringList files = {pic};
    if (file == "two")
        files << pic;
    if (file == "mixed") {
        files << path("song.mp3");
        QFile f(files[1]);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("ID3") > 0);
    }
    if (file == "bad") {
        files = {path("notes <b>draft.dat")};
        QFile f(files[0]);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("not a picture\n") > 0);
    }
    QCOMPARE(drop(d.get(), pos, files), !slot.isEmpty() || file == "bad" || file == "mixed");
    const std::pair<CoverImage *, QLabel *> places[] = {
        {d->Image1, d->PIXFLN}, {d->Image2, d->Label30}, {d->Image3, d->LOGO2FLN}};
    for (const auto &[image, label] : places) {
        QCOMPARE(image->HasPicture(), image->name() == slot);
        QCOMPARE(label->text(), image->name() == slot ? pic : QString());
    }
    if (slot == "Image1")
        QCOMPARE(d->Image1->Left(), (d->Document().layout.panelWidth - 200) / 2.0); // centred as by Picture
    auto *notice = d->findChild<QMessageBox *>("Notice");
    QCOMPARE(notice != nullptr, file == "bad" || file == "mixed");
    if (notice && file == "mixed")
        QVERIFY2(notice->text().startsWith("Pictures and music were dropped together."),
                 qPrintable(notice->text()));
    else if (notice)
        QVERIFY2(notice->textFormat() == Qt::PlainText &&
                     notice->text().startsWith(QString("The picture %1 could not be loaded: ").arg(files[0])),
                 qPrintable(notice->text()));
}

void TestDesignerFeatures::droppedDesignAsksFirst()
{
    const QString design = saveDesign("dropped.qwd", "Dropped");
    // Anywhere on the window, a text field included; at once when nothing asks.
    QVERIFY(drop(d->Text2, QPoint(5, 5), {design}));
    QCOMPARE(d->Label2->Caption(), QString("Dropped"));
    QCOMPARE(d->Text2->text(), QString()); // the path was not typed into the field
    // Armed: the save question first; "No" opens the dropped design, no dialog.
    d->Text1->setText("Unsaved");
    QVERIFY(drop(d.get(), QPoint(700, 470), {design}));
    QCOMPARE(d->Label2->Caption(), QString("Unsaved"));
    QVERIFY(d->SaveForm()->isVisible());
    d->SaveForm()->Command2->click();
    QCOMPARE(d->Label2->Caption(), QString("Dropped"));
    QCOMPARE(dialogs.calls(ScriptedDialogBackend::Open), 0);
    // A press on Open after an unanswered question asks for a file again.
    d->Text1->setText("Unsaved again");
    QVERIFY(drop(d.get(), QPoint(700, 470), {design}));
    QVERIFY(d->SaveForm()->isVisible());
    d->Command1->click();
    d->SaveForm()->Command2->click();
    QCOMPARE(dialogs.calls(ScriptedDialogBackend::Open), 1);
}

void TestDesignerFeatures::pictureDialogFormats()
{
    const QString filter = Design::PictureFilter();
    QVERIFY2(filter.startsWith("Image Files|*.jpg;*.gif;*.bmp;") && filter.endsWith("|All files|*"),
             qPrintable(filter));
    // What the file dialog gets: one entry of blank-separated patterns, then "All files".
    const QStringList entries = CommonDialog::QtFilter(filter).split(";;");
    QCOMPARE(entries.size(), 2);
    QVERIFY(entries[0].startsWith("Image Files (*.jpg *.gif *.bmp "));
    const QStringList patterns = entries[0].section(u'(', 1).chopped(1).split(u' ');
    QStringList wanted = {"x.JPG", "x.jpeg", "x.JPEG", "x.jpe", "x.JPE"};
    for (const QByteArray &format : QImageReader::supportedImageFormats())
        wanted << "x." + QString::fromLatin1(format).toLower()
               << "x." + QString::fromLatin1(format).toUpper();
    for (const QString &name : std::as_const(wanted))
        QVERIFY2(std::any_of(patterns.begin(), patterns.end(),
                             [&name](const QString &p) {
                                 return QRegularExpression(QRegularExpression::wildcardToRegularExpression(p))
                                     .match(name)
                                     .hasMatch();
                             }),
                 qPrintable(name));
    // The Picture button offers it, and a PNG chosen there loads.
    const QString png = writePicture(path("photo.PNG"), {64, 48});
    dialogs.push(ScriptedDialogBackend::choose(png));
    d->Command8_Click();
    QCOMPARE(dialogs.seenFilter, filter);
    QCOMPARE(d->Image1->SourceSize(), QSize(64, 48));
    QCOMPARE(d->PIXFLN->text(), png);

    // Fit Box to Picture, from the cover's menu: one named step.
    QVERIFY(d->LoadPictureFile(CoverDocument::Slot::Main, writePicture(path("square.png"), {300, 300})));
    d->FlushUndo();
    std::unique_ptr<QMenu>(d->CoverMenu())->findChild<QAction *>("FitBoxAction")->trigger();
    QCOMPARE(d->Text8->text(), QStringLiteral("393"));
    QCOMPARE(d->UndoStack()->undoText(), QStringLiteral("Fit Box to Picture"));
}

QTEST_MAIN(TestDesignerFeatures)
#include "test_designer_features.moc"
