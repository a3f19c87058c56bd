// The case set in the window: the cover menu's new entries after the old ones, the spine and
// disc dialogs with their named undo steps, Print As on the chosen printer, the preview's choice.
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

#include "app_setup.h"
#include "calibration.h"
#include "calibrationdialog.h"
#include "design.h"
#include "pdfpaths.h"
#include "printqueue.h"
#include "scripteddialog.h"

namespace {

struct NoPrinters : printqueue::PrintSystem {
    QString defaultQueue() override { return {}; }
    printqueue::QueueState state(const QString &) override { return {}; }
    // Listed, but none exists: what the calibration dialog offers.
    QStringList queues() override { return {QStringLiteral("Office"), QStringLiteral("<b>PDF</b>")}; }
};

void clickOk(QDialog *dialog)
{
    dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
}

} // namespace

class TestDesignerCaseSet : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void spineDialog_data();
    void spineDialog();
    void discDialog();
    void printAs_data();
    void printAs();
    void previewChoice();
    void pictureLeftOutSaid_data();
    void pictureLeftOutSaid();
    void calibrationDialog_data();
    void calibrationDialog();

private:
    QString path(const QString &name) const { return tmp.filePath(name); }
    QTemporaryDir tmp;
    ScriptedDialogBackend dialogs;
    NoPrinters printers;
    std::unique_ptr<Design> d;
};

void TestDesignerCaseSet::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    SetupDesignerApplication();
    QVERIFY(tmp.isValid());
}

void TestDesignerCaseSet::init()
{
    QSettings("Sleeve", "sleevedesk").clear();
    dialogs = ScriptedDialogBackend();
    CommonDialog::SetBackend(&dialogs);
    printqueue::SetPrintSystem(&printers);
    d = std::make_unique<Design>();
    d->CommonDialog1.Printer().setOutputFileName(path("printed.pdf"));
    QFile::remove(path("printed.pdf"));
    d->Text1->setText(QStringLiteral("Northbound"));
    d->Text2->setText(QStringLiteral("Coastline"));
}

void TestDesignerCaseSet::cleanup()
{
    d.reset();
    CommonDialog::SetBackend(nullptr);
    printqueue::SetPrintSystem(nullptr);
}

void TestDesignerCaseSet::spineDialog_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("up");
    QTest::addColumn<QStringList>("steps"); // the undo steps made, the last first
    QTest::addColumn<QString>("note");      // said under the field as it is typed
    QTest::newRow("markup kept as typed") << "<b>Side</b>" << false << QStringList{"Undo Spine Text"} << "";
    QTest::newRow("direction only") << "" << true << QStringList{"Undo Spine Direction"} << "";
    QTest::newRow("both: two steps") << "Side" << true
                                     << QStringList{"Undo Spine Direction", "Undo Spine Text"} << "";
    QTest::newRow("130 characters: kept, said to be cut short")
        << QStringLiteral("Wide ").repeated(26) << false << QStringList{"Undo Spine Text"}
        << "The spine text is cut short: ";
    QTest::newRow("too long: refused")
        << QString(300, u'x') << true << QStringList{} << "The spine text is longer than 255 characters.";
}

void TestDesignerCaseSet::spineDialog()
{
    QFETCH(QString, typed);
    QFETCH(bool, up);
    QFETCH(QStringList, steps);
    d->FlushUndo();
    const CoverDocument before = d->Document();
    const int base = d->UndoStack()->index();
    d->EditSpine();
    auto *dialog = d->findChild<QDialog *>("SpineDialog");
    QVERIFY(dialog && dialog->isVisible());
    auto *field = dialog->findChild<QLineEdit *>("SpineText");
    // An empty field follows the headlines, which it shows.
    QCOMPARE(field->placeholderText(), QStringLiteral("Northbound \u00B7 Coastline"));
    field->setText(typed);
    QFETCH(QString, note);
    auto *said = dialog->findChild<QLabel *>("SpineNote");
    QCOMPARE(said->isVisible(), !note.isEmpty());
    QCOMPARE(said->text().left(note.size()), note);
    dialog->findChild<QRadioButton *>(up ? "SpineUp" : "SpineDown")->setChecked(true);
    clickOk(dialog);
    QCOMPARE(d->UndoStack()->index() - base, steps.size());
    if (steps.isEmpty()) {
        QVERIFY(d->Document() == before);
        QVERIFY(d->LastNotice().contains(QLatin1String("longer than 255")));
        return;
    }
    QCOMPARE(d->Document().caseSet.spineText, typed);
    QCOMPARE(d->Document().caseSet.spineUpward, up);
    QVERIFY(d->IsModified());
    for (const QString &step : steps) {
        QCOMPARE(QStringLiteral("Undo ") + d->UndoStack()->undoText(), step);
        d->Undo();
    }
    QVERIFY(d->Document() == before);
}

void TestDesignerCaseSet::discDialog()
{
    d->FlushUndo();
    d->EditDisc();
    auto *dialog = d->findChild<QDialog *>("DiscDialog");
    QVERIFY(dialog);
    auto *diameter = dialog->findChild<QDoubleSpinBox *>("DiscDiameter");
    auto *hole = dialog->findChild<QDoubleSpinBox *>("DiscHole");
    QCOMPARE(diameter->value(), 118.0);
    QCOMPARE(hole->value(), 41.0);
    // The boxes hold no value the design would refuse.
    diameter->setValue(150);
    hole->setValue(5);
    QCOMPARE(diameter->value(), 120.0);
    QCOMPARE(hole->value(), 15.0);
    clickOk(dialog);
    QCOMPARE(d->UndoStack()->undoText(), QStringLiteral("Disc Size"));
    QVERIFY(d->Document().Settings().contains(QStringLiteral("disc.diameter=120")));
    QVERIFY(d->Document().Settings().contains(QStringLiteral("disc.hole=15")));
}

void TestDesignerCaseSet::printAs_data()
{
    QTest::addColumn<int>("output");
    QTest::addColumn<int>("sheets");
    QTest::addColumn<QSizeF>("cut"); // a cut line on the sheets, in millimetres
    QTest::newRow("tray card") << int(casepages::Output::Tray) << 1 << QSizeF(150.8, 117.5);
    QTest::newRow("disc face") << int(casepages::Output::Disc) << 1 << QSizeF(118, 118);
    QTest::newRow("complete set") << int(casepages::Output::Set) << 2 << QSizeF(150.8, 117.5);
}

// On the printer Print uses, at true size.
void TestDesignerCaseSet::printAs()
{
    QFETCH(int, output);
    QFETCH(int, sheets);
    QFETCH(QSizeF, cut);
    d->PrintAs(casepages::Output(output));
    const QList<pdfpaths::Page> pages = pdfpaths::Read(path("printed.pdf"));
    QCOMPARE(pages.size(), sheets);
    bool found = false;
    for (const pdfpaths::Page &page : pages)
        for (const pdfpaths::Stroke &s : page.strokes) {
            const QSizeF edge = s.outerEdge().size();
            found |= s.dashed && std::abs(edge.width() - cut.width()) < 0.2 &&
                     std::abs(edge.height() - cut.height()) < 0.2;
        }
    QVERIFY(found);
}

void TestDesignerCaseSet::previewChoice()
{
    d->PrintPreview();
    auto *preview = d->findChild<QPrintPreviewDialog *>("PrintPreview");
    QVERIFY(preview);
    auto *choice = preview->findChild<QComboBox *>("PrintAsChoice");
    QVERIFY(choice);
    QCOMPARE(choice->count(), 4);
    auto *widget = preview->findChild<QPrintPreviewWidget *>();
    QTRY_COMPARE(widget->pageCount(), 1);
    choice->setCurrentIndex(3); // Complete Set
    QTRY_COMPARE(widget->pageCount(), 2);
    preview->close();
}

void TestDesignerCaseSet::pictureLeftOutSaid_data()
{
    QTest::addColumn<int>("output");
    QTest::addColumn<bool>("print"); // else exported
    QTest::newRow("tray card printed") << int(casepages::Output::Tray) << true;
    QTest::newRow("disc face exported") << int(casepages::Output::Disc) << false;
    QTest::newRow("complete set exported") << int(casepages::Output::Set) << false;
}

// A picture cut short since it was loaded: each piece goes out with its screen copy, and says so.
void TestDesignerCaseSet::pictureLeftOutSaid()
{
    QFETCH(int, output);
    QFETCH(bool, print);
    QImage img(60, 40, QImage::Format_RGB32);
    img.fill(Qt::blue);
    // Cut short after it was loaded, then chosen again whole: said, then not.
    for (const bool cut : {true, false}) {
        QVERIFY(img.save(path("pic.png")));
        dialogs.push(ScriptedDialogBackend::choose(path("pic.png")));
        d->Command8_Click();
        QVERIFY(!cut || QFile::resize(path("pic.png"), 60));
        if (!print)
            dialogs.push(ScriptedDialogBackend::choose(path("out.pdf")));
        print ? d->PrintAs(casepages::Output(output)) : d->ExportAs(casepages::Output(output));
        const std::unique_ptr<QMessageBox> box(d->findChild<QMessageBox *>("PrintedFromScreenCopy"));
        QCOMPARE(box && box->text().contains(path("pic.png")), cut);
    }
}

void TestDesignerCaseSet::calibrationDialog_data()
{
    // The origin mark and the square as measured; what the chosen queue then keeps.
    QTest::addColumn<QString>("queue");
    QTest::addColumn<QList<double>>("measured"); // origin x, y; square width, height
    QTest::addColumn<QString>("note");
    QTest::newRow("each box its own axis") << "<b>PDF</b>" << QList<double>{21.5, 17, 101, 98} << "Kept. ";
    QTest::newRow("no square: nothing kept")
        << "Office" << QList<double>{21.5, 17, 0, 98} << "The square cannot measure nothing";
    QTest::newRow("reset") << "Office" << QList<double>{} << "The printer prints without";
}

void TestDesignerCaseSet::calibrationDialog()
{
    QFETCH(QString, queue);
    QFETCH(QList<double>, measured);
    const calibration::Correction before{1, 1, 1, 1};
    calibration::Save(queue, before);
    CalibrationDialog dialog(d.get(), queue);
    QCOMPARE(dialog.printer(), queue);
    auto *said = dialog.findChild<QLabel *>("CalibrationNote");
    QCOMPARE(said->textFormat(), Qt::PlainText);
    calibration::Correction kept;
    if (measured.isEmpty()) {
        dialog.findChild<QPushButton *>("CalibrationReset")->click();
    } else {
        const char *boxes[] = {"OriginX", "OriginY", "SquareWidth", "SquareHeight"};
        for (int i = 0; i < 4; ++i)
            dialog.findChild<QDoubleSpinBox *>(boxes[i])->setValue(measured[i]);
        dialog.findChild<QPushButton *>("CalibrationKeep")->click();
        kept = calibration::Clamped(
            calibration::FromMeasured(before, {measured[0], measured[1]}, {measured[2], measured[3]})
                .value_or(before));
    }
    QCOMPARE(calibration::Load(queue), kept);
    QCOMPARE(calibration::Load(queue == "Office" ? "<b>PDF</b>" : "Office"), calibration::Correction{});
    QFETCH(QString, note);
    QVERIFY2(said->text().startsWith(note), qPrintable(said->text()));
    // A queue that went away: said with its name as it is.
    dialog.findChild<QPushButton *>("CalibrationPrint")->click();
    QCOMPARE(said->text(),
             QStringLiteral("Nothing was printed: The printer \"%1\" does not exist.").arg(queue));
}

QTEST_MAIN(TestDesignerCaseSet)
#include "test_designer_caseset.moc"
