// The design's history: every kind of change undone and redone exactly, typing
// kept as one step per field, Open and New as steps, pictures taken back
// without reading their files, and the keys and menu entries that reach it.
#include <QtTest>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QUndoStack>

#include "app_setup.h"
#include "coverformat.h"
#include "design.h"
#include "scripteddialog.h"
#include "titles.h"

#include <functional>

namespace {

using Change = std::function<void(Design &, const QString &dir)>;

QString writePicture(const QString &path, QSize size, QColor colour)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    return img.save(path) ? path : QString();
}

// A picture that compresses badly, so that reading it shows in the bytes read.
QString writeNoisyPicture(const QString &path, QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    quint32 x = 2463534242u;
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<quint32 *>(img.scanLine(y));
        for (int i = 0; i < size.width(); ++i) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            line[i] = 0xFF000000u | (x & 0xFFFFFFu);
        }
    }
    return img.save(path) ? path : QString();
}

// Bytes this process has read through read() so far (Linux), or -1.
qint64 bytesReadSoFar()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : io.readAll().split('\n'))
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    return -1;
}

QList<QSize> pictureSizes(const Design &d)
{
    return {d.Image1->SourceSize(), d.Image2->SourceSize(), d.Image3->SourceSize()};
}

} // namespace

class TestUndo : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void eachKindOfChange_data();
    void eachKindOfChange();
    void typingIsOneStepPerField_data();
    void typingIsOneStepPerField();
    void openAndNewAreSteps();
    void centringSurvivesUndo();
    void savedDesignIsTheMeasure();
    void picturesComeBackWithoutReading();
    void changedPictureIsReadAgain();
    void hundredsOfSteps();
    void importIsOneStep();
    void keysAndMenu_data();
    void keysAndMenu();

private:
    QString path(const QString &name) const { return tmp.filePath(name); }
    void showActive();
    QTemporaryDir tmp;
    ScriptedDialogBackend dialogs;
    std::unique_ptr<Design> d;
};

void TestUndo::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    SetupDesignerApplication();
    QVERIFY(tmp.isValid());
    QVERIFY(!writePicture(path("red.png"), {300, 200}, Qt::red).isEmpty());
    QVERIFY(!writePicture(path("blue.png"), {120, 90}, Qt::blue).isEmpty());
}

void TestUndo::init()
{
    dialogs = ScriptedDialogBackend();
    CommonDialog::SetBackend(&dialogs);
    d = std::make_unique<Design>();
}

void TestUndo::cleanup()
{
    QSettings("Sleeve", "sleevedesk").remove("Pictures/FitBoxToPicture");
    d.reset();
    CommonDialog::SetBackend(nullptr);
}

void TestUndo::showActive()
{
    d->show();
    d->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(d.get()));
}

// ---------------------------------------------------------------- every kind of change

void TestUndo::eachKindOfChange_data()
{
    QTest::addColumn<Change>("change");
    QTest::newRow("top headline") << Change([](Design &x, const QString &) { x.Text1->setText("Ebb"); });
    QTest::newRow("bottom headline") << Change([](Design &x, const QString &) { x.Text2->setText("Flow"); });
    QTest::newRow("title in the titles window")
        << Change([](Design &x, const QString &) { x.TitlesForm()->Text(7)->setText("Undertow"); });
    QTest::newRow("headline position") << Change([](Design &x, const QString &) { x.Text4->setText("40"); });
    QTest::newRow("headline font") << Change([](Design &x, const QString &) {
        x.Label2->setFontName("DejaVu Serif");
        x.Label2->setFontSize(30);
    });
    QTest::newRow("titles colour") << Change([](Design &x, const QString &) {
        x.Label10->setForeColor(0x0000C0);
        for (CoverLabel *l : {x.Label4, x.Label5})
            l->setForeColor(0x0000C0);
    });
    QTest::newRow("background colour")
        << Change([](Design &x, const QString &) { x.Shape1->setBackColor(0x336699); });
    QTest::newRow("back cover layout")
        << Change([](Design &x, const QString &) { Design::SetValue(x.Option4, true); });
    QTest::newRow("hide top line") << Change(
        [](Design &x, const QString &) { Design::SetValue(x.Check1, 1); });
    QTest::newRow("line width") << Change([](Design &x, const QString &) { x.Text3->setText("9"); });
    QTest::newRow("copyright owner") << Change([](Design &x, const QString &) {
        Design::SetValue(x.Check9, 1);
        x.Text12->setText("Pier Records");
    });
    QTest::newRow("main picture") << Change([](Design &x, const QString &dir) {
        x.LoadPictureFile(CoverDocument::Slot::Main, dir + "/blue.png");
    });
    QTest::newRow("main picture and its box") << Change([this](Design &x, const QString &dir) {
        QSettings("Sleeve", "sleevedesk").setValue("Pictures/FitBoxToPicture", true); // ticked last time
        dialogs.push(ScriptedDialogBackend::choose(dir + "/blue.png"));
        x.Command8_Click();
        QCOMPARE(x.Text8->text(), QStringLiteral("295"));
    });
    QTest::newRow("logo") << Change([](Design &x, const QString &dir) {
        x.LoadPictureFile(CoverDocument::Slot::Logo1, dir + "/blue.png");
    });
    QTest::newRow("picture size") << Change([](Design &x, const QString &) { x.Text7->setText("200"); });
    QTest::newRow("new design") << Change([](Design &x, const QString &) {
        Design::SetValue(x.Check12, 0); // no save question
        x.Command4_Click();
    });
}

void TestUndo::eachKindOfChange()
{
    QFETCH(Change, change);
    // A design with something of everything, so that every change has something to change.
    d->Text1->setText("Harbour");
    d->Text2->setText("Lights");
    d->TitlesForm()->Text(1)->setText("Quay");
    QVERIFY(d->LoadPictureFile(CoverDocument::Slot::Main, path("red.png")));
    d->FlushUndo();
    const QStringList before = d->DesignRecords();
    const QList<QSize> picturesBefore = pictureSizes(*d);
    const int steps = d->UndoStack()->count();

    change(*d, tmp.path());
    QCoreApplication::processEvents(); // the step is taken once the event loop is reached
    const QStringList after = d->DesignRecords();
    const QList<QSize> picturesAfter = pictureSizes(*d);
    QVERIFY(after != before);
    QCOMPARE(d->UndoStack()->count(), steps + 1);

    d->Undo();
    QCOMPARE(d->DesignRecords(), before);
    QCOMPARE(pictureSizes(*d), picturesBefore);
    // The titles window shows the titles put back.
    for (int n = 1; n <= CoverDocument::TitleLines; ++n)
        QCOMPARE(d->TitlesForm()->Text(n)->text(), d->Document().titleLine(n).Caption());
    d->Redo();
    QCOMPARE(d->DesignRecords(), after);
    QCOMPARE(pictureSizes(*d), picturesAfter);
    // Applying a step is not itself a change.
    QCoreApplication::processEvents();
    QCOMPARE(d->UndoStack()->count(), steps + 1);
    QVERIFY(!d->UndoStack()->canRedo());
}

// ---------------------------------------------------------------- typing

void TestUndo::typingIsOneStepPerField_data()
{
    QTest::addColumn<QString>("second"); // what happens between two runs of typing in Text1
    QTest::addColumn<int>("steps");
    QTest::addColumn<QStringList>("undone"); // Text1 after each undo
    QTest::newRow("nothing") << "" << 1 << QStringList{""};
    QTest::newRow("typing elsewhere") << "Text2" << 3 << QStringList{"Tide", "Tide", ""};
    QTest::newRow("a box ticked") << "Check1" << 3 << QStringList{"Tide", "Tide", ""};
    QTest::newRow("erased again") << "erase" << 1 << QStringList{""};
    // A separate edit of the same field is a step of its own.
    QTest::newRow("left and came back") << "leave" << 2 << QStringList{"Tide", ""};
    QTest::newRow("typed after an undo") << "undo" << 2 << QStringList{"Tide", ""};
}

void TestUndo::typingIsOneStepPerField()
{
    QFETCH(QString, second);
    QFETCH(int, steps);
    QFETCH(QStringList, undone);
    showActive();
    const auto type = [](QLineEdit *field, const QString &text) {
        field->setFocus();
        for (QChar c : text) {
            QTest::keyClick(field, c.toLatin1());
            QCoreApplication::processEvents(); // as between real keystrokes
        }
    };
    type(d->Text1, "Tide");
    if (second == "Text2") {
        type(d->Text2, "Pier");
    } else if (second == "Check1" || second == "undo") {
        d->Check1->click(); // the focus stays in Text1
        QCoreApplication::processEvents();
        if (second == "undo")
            d->Undo();
    } else if (second == "leave") {
        d->Text2->setFocus();
        QCoreApplication::processEvents();
    }
    if (second == "erase") {
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(d->Text1, Qt::Key_Backspace);
            QCoreApplication::processEvents();
        }
    } else {
        type(d->Text1, " Pool");
    }
    d->FlushUndo();
    QCOMPARE(d->UndoStack()->count(), steps);
    for (const QString &text : undone) {
        d->Undo();
        QCOMPARE(d->Text1->text(), text);
        QCOMPARE(d->Label2->Caption(), text);
    }
    QVERIFY(!d->UndoStack()->canUndo());
}

// ---------------------------------------------------------------- Open, New and Save

void TestUndo::openAndNewAreSteps()
{
    Design other;
    other.Text1->setText("Alpha");
    dialogs.push(ScriptedDialogBackend::choose(path("alpha.qwd")));
    QVERIFY(other.SaveDesign());

    d->Text1->setText("Draft");
    d->FlushUndo();
    QVERIFY(d->OpenDesignFile(path("alpha.qwd")));
    d->FlushUndo();
    d->Command4_Click();
    d->FlushUndo();
    QCOMPARE(d->DesignPath(), QString());

    d->Undo(); // New
    QCOMPARE(d->Text1->text(), QString("Alpha"));
    QCOMPARE(d->DesignPath(), path("alpha.qwd"));
    QVERIFY(!d->IsModified());
    d->Undo(); // Open
    QCOMPARE(d->Text1->text(), QString("Draft"));
    QCOMPARE(d->DesignPath(), QString());
    QVERIFY(d->IsModified()); // the draft was never saved
    d->Redo();
    QCOMPARE(d->Text1->text(), QString("Alpha"));
    QCOMPARE(d->DesignPath(), path("alpha.qwd"));
    QVERIFY(!d->IsModified());
}

// Undo brings back the whole document, centring included: the headline typed on after an Undo
// is centred again, not left to run past the panel.
void TestUndo::centringSurvivesUndo()
{
    QTest::keyClicks(d->Text1, "Harbour");
    d->FlushUndo();
    d->Check1->click();
    d->FlushUndo();
    d->Undo();
    QVERIFY(!Design::Value(d->Check1));
    QTest::keyClicks(d->Text1, " Lights Forever and Ever");
    QCOMPARE(d->Label2->Caption(), QString("Harbour Lights Forever and Ever"));
    QCOMPARE(d->Label2->Left(),
             d->Document().Centred(d->Label2->Width(), CoverDocument::Centring::TruncatedAbsolute));
    QVERIFY(d->Label2->rect().right() <= 456);
    QVERIFY(Design::Value(d->Check13));
}

void TestUndo::savedDesignIsTheMeasure()
{
    // Undo after a Save compares with what was saved, not with what was opened.
    d->Text1->setText("First");
    dialogs.push(ScriptedDialogBackend::choose(path("saved.qwd")));
    QVERIFY(d->SaveDesign());
    d->FlushUndo();
    d->Text1->setText("Second");
    d->FlushUndo();
    dialogs.push(ScriptedDialogBackend::choose(path("saved.qwd")));
    QVERIFY(d->SaveDesign());
    d->Undo();
    QCOMPARE(d->Text1->text(), QString("First"));
    QVERIFY(d->IsModified());
    d->Redo();
    QVERIFY(!d->IsModified());
}

// ---------------------------------------------------------------- pictures

void TestUndo::picturesComeBackWithoutReading()
{
    const QString big = writeNoisyPicture(path("noise.png"), {1200, 900});
    QVERIFY(!big.isEmpty());
    QVERIFY(d->LoadPictureFile(CoverDocument::Slot::Main, big));
    d->FlushUndo();
    QVERIFY(d->LoadPictureFile(CoverDocument::Slot::Main, path("blue.png")));
    d->FlushUndo();
    Design::SetValue(d->Check12, 0); // no save question
    d->Command4_Click();             // clears every picture
    d->FlushUndo();

    const qint64 readBefore = bytesReadSoFar();
    if (readBefore < 0)
        QSKIP("no /proc/self/io to count the bytes read");
    d->Undo(); // New: back to blue
    QCOMPARE(d->Image1->SourceSize(), QSize(120, 90));
    d->Undo(); // blue: back to the noise
    QCOMPARE(d->Image1->SourceSize(), QSize(1200, 900));
    QCOMPARE(d->PIXFLN->text(), big);
    // Neither file was read again (the noise alone is megabytes).
    QVERIFY2(bytesReadSoFar() - readBefore < QFileInfo(big).size() / 4,
             qPrintable(QString::number(bytesReadSoFar() - readBefore)));
}

void TestUndo::changedPictureIsReadAgain()
{
    const QString file = writePicture(path("changing.png"), {64, 48}, Qt::green);
    QVERIFY(d->LoadPictureFile(CoverDocument::Slot::Main, file));
    d->FlushUndo();
    QVERIFY(d->LoadPictureFile(CoverDocument::Slot::Main, path("blue.png")));
    d->FlushUndo();
    QFile::remove(file);
    QVERIFY(!writePicture(file, {80, 60}, Qt::yellow).isEmpty());
    d->Undo();
    // The picture as the file now is, as Open would show it.
    QCOMPARE(d->Image1->SourceSize(), QSize(80, 60));
}

void TestUndo::hundredsOfSteps()
{
    const QStringList first = d->DesignRecords();
    for (int i = 1; i <= 150; ++i) {
        d->Text3->setText(QString::number(i % 9 + 1));
        d->Text2->setText(QString::number(i));
        d->FlushUndo();
    }
    QCOMPARE(d->UndoStack()->count(), 150);
    for (int i = 0; i < 150; ++i)
        d->Undo();
    QCOMPARE(d->DesignRecords(), first);
}

void TestUndo::importIsOneStep()
{
    d->Text1->setText("Kept");
    d->FlushUndo();
    const QStringList before = d->DesignRecords();
    const int steps = d->UndoStack()->count();
    tracklist::CoverTexts texts;
    texts.titles = {QStringLiteral("1. Anchor"), QStringLiteral("2. Buoy")};
    texts.bottomHeadline = QStringLiteral("The Moorings");
    d->ApplyTrackImport(texts);
    QCoreApplication::processEvents();
    QCOMPARE(d->UndoStack()->count(), steps + 1);
    d->Undo();
    QCOMPARE(d->DesignRecords(), before);
}

// ---------------------------------------------------------------- keys and menu

void TestUndo::keysAndMenu_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("expected"); // Text1 afterwards
    QTest::addColumn<bool>("boxTicked");   // Check1 afterwards
    // The box was ticked after "Tide" was typed into Text1.
    QTest::newRow("Ctrl+Z on the window") << "key"
                                          << "Tide" << false;
    QTest::newRow("Ctrl+Z in the titles window") << "titles"
                                                 << "Tide" << false;
    QTest::newRow("Ctrl+Z twice, Ctrl+Shift+Z") << "redo"
                                                << "Tide" << false;
    QTest::newRow("Ctrl+Z in a field is the field's") << "field"
                                                      << "" << true;
    QTest::newRow("Undo in the cover menu") << "menu"
                                            << "Tide" << false;
    QTest::newRow("Ctrl+Z after clicking the cover") << "cover"
                                                     << "Tide" << false;
}

void TestUndo::keysAndMenu()
{
    QFETCH(QString, how);
    QFETCH(QString, expected);
    QFETCH(bool, boxTicked);
    showActive();
    d->Text1->setFocus();
    QTest::keyClicks(d->Text1, "Tide");
    QCoreApplication::processEvents();
    d->Check1->setFocus();
    Design::SetValue(d->Check1, 1);
    QCoreApplication::processEvents();

    const QKeySequence undoKey(Qt::CTRL | Qt::Key_Z);
    if (how == "key") {
        QTest::keySequence(d.get(), undoKey);
    } else if (how == "titles") {
        Titles *t = d->TitlesForm();
        t->show();
        t->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(t));
        QTest::keySequence(t, undoKey);
    } else if (how == "redo") {
        QTest::keySequence(d.get(), undoKey);
        QTest::keySequence(d.get(), undoKey);
        QCOMPARE(d->Text1->text(), QString());
        QTest::keySequence(d.get(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    } else if (how == "field") {
        d->Text1->setFocus();
        QTest::keySequence(d->Text1, undoKey);
    } else if (how == "cover") {
        d->Text1->setFocus();
        QTest::mouseClick(d.get(), Qt::LeftButton, {}, QPoint(200, 200));
        QVERIFY(!qobject_cast<QLineEdit *>(QApplication::focusWidget()));
        QTest::keySequence(QApplication::focusWidget(), undoKey);
    } else if (how == "menu") {
        QMenu *menu = d->CoverMenu();
        QCOMPARE(menu->actions().constFirst()->text(), QString("Undo Hide Top Line")); // named after the step
        QVERIFY(menu->actions().constFirst()->isEnabled());
        QVERIFY(!menu->actions().at(1)->isEnabled()); // nothing to redo yet
        menu->actions().constFirst()->trigger();
        delete menu;
    }
    QCOMPARE(d->Text1->text(), expected);
    QCOMPARE(Design::Value(d->Check1) == 1, boxTicked);
}

QTEST_MAIN(TestUndo)
#include "test_undo.moc"
