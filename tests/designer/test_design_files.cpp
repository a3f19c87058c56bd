#include <QtTest>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app_setup.h"
#include "colors.h"
#include "design.h"
#include "designfile.h"
#include "records.h"
#include "scripteddialog.h"
#include "secondary_windows.h"
#include "textnumber.h"
#include "titles.h"

// Save, Open and New through the design window, with the dialogs answered by a script.
class TestDesignFiles : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void defaultDesignIsByteExact();
    void defaultDesignReopens_data();
    void defaultDesignReopens();
    void openIgnoresWhatCameBefore_data();
    void openIgnoresWhatCameBefore();
    void everyPropertyRoundTrips();
    void saveDialogSettings();
    void failedSaveKeepsOldFile();
    void saveThroughLinks_data();
    void saveThroughLinks();
    void openBackLayoutKeepsStoredPositions();
    void openCentreFlags();
    void openMissingPicture();
    void openShortAndOddFile_data();
    void openShortAndOddFile();
    void markupInFileIsText_data();
    void markupInFileIsText();
    void unreadableFileChangesNothing();
    void cancelledOpenChangesNothing();
    void applyRecords();
    void newResetsDefaults();
    void newIgnoresWhatCameBefore();
    void promptMatrix_data();
    void promptMatrix();

private:
    QString path(const QString &name) const { return tmp.filePath(name); }
    QString picture(const QString &name, QSize size);
    void save(Design &d, const QString &file);
    void open(Design &d, const QString &file);
    void editEverything(Design &d);
    std::unique_ptr<Design> d;
    ScriptedDialogBackend dialogs;
    QTemporaryDir tmp;
};

void TestDesignFiles::initTestCase()
{
    SetupDesignerApplication();
    QVERIFY(tmp.isValid());
}

void TestDesignFiles::init()
{
    dialogs = ScriptedDialogBackend();
    CommonDialog::SetBackend(&dialogs);
    d = std::make_unique<Design>();
}

void TestDesignFiles::cleanup()
{
    d.reset();
    CommonDialog::SetBackend(nullptr);
}

QString TestDesignFiles::picture(const QString &name, QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::darkCyan);
    const QString p = path(name);
    return img.save(p) ? p : QString();
}

void TestDesignFiles::save(Design &w, const QString &file)
{
    dialogs.push(ScriptedDialogBackend::choose(file));
    w.Command2_Click();
}

void TestDesignFiles::open(Design &w, const QString &file)
{
    dialogs.push(ScriptedDialogBackend::choose(file));
    w.Command1_Click();
}

void TestDesignFiles::defaultDesignIsByteExact()
{
    const QString file = path("default.qwd");
    save(*d, file);
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QVERIFY(bytes.endsWith("\r\n"));
    QCOMPARE(bytes.count("\r\n"), 75);
    QCOMPARE(bytes.count('\n'), 75);
    const QList<QByteArray> lines = bytes.left(bytes.size() - 2).split('\n');
    QCOMPARE(lines.size(), 75);
    auto line = [&lines](int n) { return QString::fromLatin1(lines.at(n - 1)).chopped(n == 75 ? 0 : 1); };
    QCOMPARE(line(1), QString()); // empty headline
    QCOMPARE(line(2), QStringLiteral("MS Sans Serif"));
    QCOMPARE(line(3), QStringLiteral(" 18 "));
    QCOMPARE(line(4), QStringLiteral("-2147483640 ")); // window-text colour
    QCOMPARE(line(7), QStringLiteral(" 13.5 "));
    QCOMPARE(line(9), QStringLiteral(" 16777215 "));
    QCOMPARE(line(10), QStringLiteral(" 4 "));
    QCOMPARE(line(11), QStringLiteral(" 0 "));
    QCOMPARE(line(12), QStringLiteral(" 0 "));
    QCOMPARE(line(15), QStringLiteral(" 289 "));
    QCOMPARE(line(16), QStringLiteral(" 393 "));
    QCOMPARE(line(20), QStringLiteral("2"));
    QCOMPARE(line(23), QStringLiteral(" 1 "));
    QCOMPARE(line(52), QStringLiteral("8"));
    QCOMPARE(line(53), QStringLiteral("104"));
    QCOMPARE(line(59), textnum::YearText()); // the year with its blank
    QCOMPARE(line(61), QStringLiteral(" 1 "));
    QCOMPARE(line(64), QStringLiteral("True"));
    QCOMPARE(line(65), QStringLiteral("False"));
    QCOMPARE(line(68), QStringLiteral("True"));
    QCOMPARE(line(75), QStringLiteral("False"));
}

// What a design shows: every cover element (by name, so the stacking order does not count)
// with its geometry, text, font and colours, the controls' values and the panel width. (The
// headlines' centring flags after an Open depend on the boxes before it: openCentreFlags.)
static QStringList snapshot(const Design &d)
{
    QStringList out;
    for (const auto &e : d.Elements()) {
        QString s = e->name() + (e->Visible() ? " shown" : " hidden");
        if (const auto *b = dynamic_cast<const BoxElement *>(e))
            s += QStringLiteral(" at %1,%2 %3x%4")
                     .arg(b->Left())
                     .arg(b->Top())
                     .arg(b->Width())
                     .arg(b->Height());
        if (const auto *l = dynamic_cast<const CoverLabel *>(e))
            s += QStringLiteral(" \"%1\" %2 %3pt b%4i%5s%6u%7 colour %8 border %9 align %10")
                     .arg(l->Caption(), l->FontName())
                     .arg(double(l->FontSize()))
                     .arg(l->FontBold())
                     .arg(l->FontItalic())
                     .arg(l->FontStrikethru())
                     .arg(l->FontUnderline())
                     .arg(l->ForeColor())
                     .arg(int(l->BorderStyle()))
                     .arg(int(l->Alignment()));
        if (const auto *l = dynamic_cast<const CoverLine *>(e))
            s += QStringLiteral(" %1,%2-%3,%4 width %5 colour %6")
                     .arg(l->X1())
                     .arg(l->Y1())
                     .arg(l->X2())
                     .arg(l->Y2())
                     .arg(l->BorderWidth())
                     .arg(l->BorderColor());
        if (const auto *sh = dynamic_cast<const CoverShape *>(e))
            s += QStringLiteral(" fill %1 border %2 colour %3")
                     .arg(sh->BackColor())
                     .arg(sh->BorderWidth())
                     .arg(sh->BorderColor());
        if (const auto *i = dynamic_cast<const CoverImage *>(e))
            s += QStringLiteral(" picture %1x%2").arg(i->SourceSize().width()).arg(i->SourceSize().height());
        out << s;
    }
    out.sort();
    for (const QCheckBox *c : d.findChildren<QCheckBox *>())
        out << QStringLiteral("%1 %2 %3").arg(c->objectName()).arg(c->isChecked()).arg(c->isVisibleTo(&d));
    // Open sets the rules from their record but leaves the thickness field as it was.
    for (const QLineEdit *t : d.findChildren<QLineEdit *>())
        if (t != d.Text3)
            out << QStringLiteral("%1 \"%2\"").arg(t->objectName(), t->text());
    for (const QLabel *l : {d.PIXFLN, d.Label30, d.LOGO2FLN})
        out << QStringLiteral("%1 \"%2\"").arg(l->objectName(), l->text());
    out << QStringLiteral("front %1 back %2 panel %3")
               .arg(d.Option1->isChecked())
               .arg(d.Option4->isChecked())
               .arg(double(d.Document().layout.panelWidth));
    return out;
}

// Changes to stored values all over the window (the picture size included, the layout not:
// a switch there and back leaves the outer box 3 pixels wider than at start-up).
void TestDesignFiles::editEverything(Design &w)
{
    w.Text1->setText(QStringLiteral("Edited top"));
    w.Text2->setText(QStringLiteral("Edited bottom"));
    Design::SetValue(w.Check13, 0);
    w.Text6->setText(QStringLiteral("40"));
    Design::SetValue(w.Check3, 1);
    Design::SetValue(w.Check1, 1);
    w.Text3->setText(QStringLiteral("6"));
    Design::SetValue(w.Check5, 1);
    w.Text10->setText(QStringLiteral("5"));
    Design::SetValue(w.Check7, 1);
    Design::SetValue(w.Check6, 0);
    Design::SetValue(w.Check8, 1);
    Design::SetValue(w.Check15, 1);
    w.Label10->setFontSize(11);
    w.Label10->setForeColor(colors::Red);
    w.Label3->setForeColor(colors::Rgb(0, 0, 200));
    w.Label7->setCaption(QStringLiteral("a title"));
    w.Text7->setText(QStringLiteral("200"));
    w.Text8->setText(QStringLiteral("120"));
}

void TestDesignFiles::defaultDesignReopens_data()
{
    QTest::addColumn<bool>("editFirst");
    QTest::newRow("into a fresh window") << false;
    QTest::newRow("into an edited window") << true;
}

// The default design saved and opened again shows exactly what start-up shows: every record
// and every element's place, size, font and colour.
void TestDesignFiles::defaultDesignReopens()
{
    QFETCH(bool, editFirst);
    const QStringList records = d->DesignRecords();
    const QStringList shown = snapshot(*d);
    save(*d, path("default.qwd"));
    Design b;
    if (editFirst)
        editEverything(b);
    Design::SetValue(b.Check12, 0); // no save prompt in between
    open(b, path("default.qwd"));
    Design::SetValue(b.Check12, 1);
    QCOMPARE(b.DesignRecords(), records);
    QCOMPARE(snapshot(b), shown);
}

void TestDesignFiles::openIgnoresWhatCameBefore_data()
{
    QTest::addColumn<QString>("before");
    QTest::newRow("fresh window") << "fresh";
    QTest::newRow("the same file open already") << "same";
    QTest::newRow("edited window") << "edited";
    QTest::newRow("a design with the boxes the other way") << "opposite";
}

// Opening a design gives the same window whatever it showed before: the same file again (no
// control changes, so no reaction runs), or one whose controls all change.
void TestDesignFiles::openIgnoresWhatCameBefore()
{
    QFETCH(QString, before);
    {
        Design a;
        editEverything(a);
        Design::SetValue(a.Option4, true);
        Design::SetValue(a.Check14, 0);
        Design::SetValue(a.Check4, 1);
        Design::SetValue(a.Check9, 1);
        a.Text12->setText(QStringLiteral("Owner"));
        save(a, path("edited.qwd"));
    }
    Design fresh;
    Design::SetValue(fresh.Check12, 0); // no save prompt in between
    open(fresh, path("edited.qwd"));
    const QStringList expected = snapshot(fresh);
    const QStringList records = fresh.DesignRecords();

    Design b;
    Design::SetValue(b.Check12, 0); // no save prompt in between
    if (before == "same") {
        open(b, path("edited.qwd"));
    } else if (before == "edited") {
        editEverything(b);
        Design::SetValue(b.Option4, true);
    } else if (before == "opposite") {
        for (QCheckBox *c : {b.Check1, b.Check2, b.Check3, b.Check4, b.Check5, b.Check6, b.Check7, b.Check8,
                             b.Check9, b.Check10, b.Check11, b.Check13, b.Check14, b.Check15})
            c->toggle();
    }
    open(b, path("edited.qwd"));
    QCOMPARE(b.DesignRecords(), records);
    QCOMPARE(snapshot(b), expected);
}

void TestDesignFiles::everyPropertyRoundTrips()
{
    const QString main = picture("main.png", {600, 300});
    const QString logo1 = picture("logo1.png", {32, 32});
    const QString logo2 = picture("logo2 ü.png", {48, 32});
    Design &a = *d;
    Design::SetValue(a.Option4, true);
    Design::SetValue(a.Check13, 0);
    Design::SetValue(a.Check14, 0);
    a.Text1->setText(QStringLiteral("  Top headline  "));
    a.Text2->setText(QStringLiteral("Bottom \u00e9\u20ac"));
    a.Text5->setText(QStringLiteral("12px"));
    a.Text6->setText(QStringLiteral("33"));
    a.Text4->setText(QStringLiteral("400"));
    a.Text9->setText(QStringLiteral("-5"));
    a.Label2->setFontName(QStringLiteral("Times New Roman"));
    a.Label2->setFontSize(20.25f);
    a.Label2->setFontBold(false);
    a.Label2->setFontItalic(true);
    a.Label3->setFontStrikethru(true);
    a.Label3->setFontUnderline(true);
    a.Label3->setForeColor(colors::Red);
    a.Shape1->setBackColor(colors::Rgb(10, 20, 30));
    a.Text3->setText(QStringLiteral("6"));
    a.Line1->setBorderColor(colors::Rgb(0, 128, 0));
    a.Line2->setBorderColor(colors::Rgb(0, 128, 0));
    Design::SetValue(a.Check1, 1);
    Design::SetValue(a.Check3, 1);
    Design::SetValue(a.Check5, 1);
    a.Text10->setText(QStringLiteral("5"));
    a.Shape2->setBorderColor(colors::Rgb(1, 2, 3));
    a.Label10->setFontName(QStringLiteral("Arial"));
    a.Label10->setFontSize(11);
    a.Label10->setForeColor(colors::White);
    for (int n = 4; n <= 27; ++n)
        a.CoverLabelN(n)->setCaption(QStringLiteral("Line %1").arg(n));
    Design::SetValue(a.Check7, 1);
    Design::SetValue(a.Check6, 0);
    Design::SetValue(a.Check8, 1);
    Design::SetValue(a.Check15, 1);
    Design::SetValue(a.Check9, 1);
    Design::SetValue(a.Check10, 1);
    Design::SetValue(a.Check11, 1);
    a.Text11->setText(QStringLiteral("1999"));
    a.Text12->setText(QStringLiteral("Owner"));
    dialogs.push(ScriptedDialogBackend::choose(main));
    a.Command8->click();
    dialogs.push(ScriptedDialogBackend::choose(logo1));
    a.Command9->click();
    dialogs.push(ScriptedDialogBackend::choose(logo2));
    a.Command12->click();
    a.Text7->setText(QStringLiteral("300"));
    a.Text8->setText(QStringLiteral("150"));
    const QStringList before = a.DesignRecords();

    const QString file = path("everything.qwd");
    save(a, file);
    // The non-ASCII logo path fits Windows-1252 and stays one byte a character.
    QFile raw(file);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    QVERIFY(raw.readAll().contains("logo2 \xfc.png"));

    Design b;
    open(b, file);
    QCOMPARE(b.DesignRecords(), before);
    QVERIFY(Design::Value(b.Option4));
    QCOMPARE(d->Document().layout.panelWidth, 519.0f);
    QCOMPARE(b.Label2->Top(), 12.0);
    QCOMPARE(b.Text5->text(), QStringLiteral("12px"));
    QCOMPARE(b.Label2->Left(), 33.0);
    QCOMPARE(b.Label3->Left(), -5.0);
    QVERIFY(b.Image1->HasPicture() && b.Image2->HasPicture() && b.Image3->HasPicture());
    QCOMPARE(b.Image1->Left(), (519.0 - 300) / 2);
    QCOMPARE(b.Image1->Top(), (456.0 - 150) / 2);
    QCOMPARE(b.Label28->Top(), 439.0 - 3);
    QVERIFY(b.Image4->Visible());
    QVERIFY(!b.WaitForm()->isVisible());
    QVERIFY(!b.ErrorLoaded());
    QCOMPARE(d->DesignPath(), file);
    QVERIFY(!b.IsModified());
}

void TestDesignFiles::saveDialogSettings()
{
    dialogs.push(ScriptedDialogBackend::choose(path("bare")));
    d->Command2_Click();
    QCOMPARE(dialogs.seenFileName, QStringLiteral("Untitled"));
    QCOMPARE(dialogs.seenFilter, QStringLiteral("Quirewell Files|*.qwd"));
    QCOMPARE(dialogs.seenFlags, 2);
    QVERIFY(dialogs.seenCancelError);
    QVERIFY(QFile::exists(path("bare.qwd")));
    // The next save proposes the file just written, not "Untitled" again.
    save(*d, path("other.txt"));
    QVERIFY(QFile::exists(path("other.txt")));
    QCOMPARE(dialogs.seenFileName, path("bare.qwd"));
    // Ctrl+S on a design that has a file writes it there without asking.
    d->Text1->setText(QStringLiteral("quick"));
    dialogs.seenFileName.clear();
    d->findChild<QAction *>(QStringLiteral("SaveAction"))->trigger();
    QCOMPARE(dialogs.seenFileName, QString());
    QCOMPARE(designfile::Text(*designfile::Read(path("other.txt")), 1), QStringLiteral("quick"));
    QVERIFY(!d->IsModified());
    // The picture chooser proposes the slot's own picture, never the design's name.
    dialogs.push(ScriptedDialogBackend::cancel());
    d->Command8_Click();
    QCOMPARE(dialogs.seenFileName, QString());
    // After an Open, the opened file is proposed.
    open(*d, path("bare.qwd"));
    save(*d, path("bare.qwd"));
    QCOMPARE(dialogs.seenFileName, path("bare.qwd"));
    // Only a save that wrote the file leaves nothing unsaved.
    QVERIFY(!d->IsModified());
    d->Text2->setText(QStringLiteral("more"));
    dialogs.push(ScriptedDialogBackend::cancel());
    d->Command2_Click();
    QVERIFY(d->IsModified());
}

void TestDesignFiles::failedSaveKeepsOldFile()
{
    const QString file = path("keep.qwd");
    save(*d, file);
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray old = f.readAll();
    f.close();
    d->Text1->setText(QStringLiteral("changed"));
    // A file-size limit makes the write fail part-way, as a full disk would,
    // even for root.
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 100;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
    save(*d, file);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), old);
    QVERIFY(d->LastProblem().contains(file));
    QCOMPARE(QDir(tmp.path()).entryList({"keep.qwd*"}, QDir::Files | QDir::Hidden).size(), 1);
}

void TestDesignFiles::saveThroughLinks_data()
{
    QTest::addColumn<QString>("link"); // "dangling" or "planted" (another user's, in a shared sticky folder)
    QTest::addColumn<int>("answer");   // to the question; -1 when none is expected
    QTest::newRow("dangling, create it") << "dangling" << 1;
    QTest::newRow("dangling, do not") << "dangling" << 0;
    QTest::newRow("planted in a shared folder") << "planted" << -1;
}

// Save asks before a link makes a file appear where it points, and refuses, saying
// why, a link that another user planted in a shared folder.
void TestDesignFiles::saveThroughLinks()
{
    QFETCH(QString, link);
    QFETCH(int, answer);
    if (link == "planted" && ::geteuid() != 0)
        QSKIP("a link of another user needs root to make");
    QTemporaryDir dir;
    const QString shared = dir.filePath("shared");
    QVERIFY(QDir().mkdir(shared));
    const QString target = dir.filePath("target.qwd");
    if (link == "planted") {
        QCOMPARE(::chmod(QFile::encodeName(shared).constData(), 01777), 0);
        QFile precious(target);
        QVERIFY(precious.open(QIODevice::WriteOnly) && precious.write("precious") == 8);
    }
    const QString name = shared + "/cover.qwd";
    QVERIFY(QFile::link(target, name));
    if (link == "planted")
        QCOMPARE(::lchown(QFile::encodeName(name).constData(), 65534, 65534), 0);
    dialogs.push(ScriptedDialogBackend::choose(name));
    if (answer >= 0)
        dialogs.push([answer](CommonDialog &) { return answer == 1; });
    d->Command2_Click();
    QCOMPARE(dialogs.calls(ScriptedDialogBackend::Question), answer >= 0 ? 1 : 0);
    QVERIFY(QFileInfo(name).isSymLink());
    QFile f(target);
    if (link == "dangling") {
        QVERIFY(dialogs.seenQuestion.contains(name) && dialogs.seenQuestion.contains(target));
        QCOMPARE(f.exists(), answer == 1);
        QCOMPARE(d->LastProblem(), QString()); // a "no" is not a failure to report
        return;
    }
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("precious"));
    QVERIFY2(d->LastProblem().contains(name) && d->LastProblem().contains("shared folder"),
             qPrintable(d->LastProblem()));
}

void TestDesignFiles::openBackLayoutKeepsStoredPositions()
{
    Design a;
    Design::SetValue(a.Check14, 0);
    Design::SetValue(a.Option4, true);
    a.Text9->setText(QStringLiteral("20"));
    a.Text4->setText(QStringLiteral("380"));
    save(a, path("back.qwd"));

    open(*d, path("back.qwd"));
    QVERIFY(Design::Value(d->Option4));
    QCOMPARE(d->Label3->Left(), 20.0); // the stored Left wins over the switch's shift
    QCOMPARE(d->Label3->Top(), 380.0);
    QCOMPARE(d->Shape2->Width(), 507.0);
    QCOMPARE(d->Image3->Left(), 453.0);
}

void TestDesignFiles::openCentreFlags()
{
    Design a;
    a.Text6->setText(QStringLiteral("40"));
    save(a, path("centred.qwd"));
    // "Center" ticked in the file: the stored Left stands, and the next change of text
    // centres the headline again, whatever the box said before the file was opened.
    open(*d, path("centred.qwd"));
    QVERIFY(!d->Document().top.free);
    QVERIFY(!d->Document().bottom.free);
    QCOMPARE(d->Label2->Left(), 40.0);
    d->Text1->setText(QStringLiteral("something"));
    QCOMPARE(d->Label2->Left(),
             d->Document().Centred(d->Label2->Width(), CoverDocument::Centring::TruncatedAbsolute));

    // A file with "Center" unchecked loaded while it is checked keeps the stored Left.
    Design b;
    Design::SetValue(b.Check13, 0);
    b.Text6->setText(QStringLiteral("77"));
    save(b, path("free.qwd"));
    Design c;
    open(c, path("free.qwd"));
    QCOMPARE(Design::Value(c.Check13), 0);
    QCOMPARE(c.Label2->Left(), 77.0);
}

void TestDesignFiles::openMissingPicture()
{
    const QString main = picture("gone.png", {40, 40});
    const QString logo = picture("logo.png", {40, 40});
    Design a;
    using S = CoverDocument::Slot;
    QVERIFY(a.LoadPictureFile(S::Main, main) && a.LoadPictureFile(S::Logo1, logo) &&
            a.LoadPictureFile(S::Logo2, logo));
    a.Label12->setCaption(QStringLiteral("title nine"));
    Design::SetValue(a.Check9, 1);
    a.Label10->setForeColor(colors::Red);
    save(a, path("moved.qwd"));
    QVERIFY(QFile::remove(main));

    open(*d, path("moved.qwd"));
    QVERIFY(d->ErrorLoaded() && d->ErrorForm()->isVisible());
    QVERIFY(!d->Image1->HasPicture() && !d->Image2->HasPicture() && !d->Image3->HasPicture());
    QCOMPARE(d->PIXFLN->text(), QString());
    QCOMPARE(d->Label30->text(), QString());
    QCOMPARE(d->Label12->Caption(), QStringLiteral("title nine"));
    QCOMPARE(d->Label10->ForeColor(), colors::Red);
    QVERIFY(d->Label29->Visible());
    QVERIFY(!d->WaitForm()->isVisible());
    QVERIFY(!d->IsModified());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void TestDesignFiles::openShortAndOddFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("headline");
    QTest::newRow("empty file") << QByteArray() << QString();
    QTest::newRow("two lines") << QByteArray("Hi\r\nArial\r\n") << "Hi";
    QByteArray letters;
    for (int i = 0; i < 75; ++i)
        letters += "xyz\r\n";
    QTest::newRow("letters everywhere") << letters << "xyz";
    QByteArray noBreaks(3 * 1024 * 1024, 'A');
    QTest::newRow("no line breaks") << noBreaks << QString(64 * 1024, u'A');
    QTest::newRow("binary") << QByteArray("\x00\xff\xfe\r\n\x01\x02", 7)
                            << QString::fromLatin1("\x00\xff\xfe", 3);
}

void TestDesignFiles::openShortAndOddFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, headline);
    const QString file = path("odd.qwd");
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
    f.close();
    open(*d, file);
    QCOMPARE(d->Text1->text(), headline);
    QCOMPARE(d->Label2->Caption(), headline);
    QVERIFY(!d->WaitForm()->isVisible());
    QVERIFY(!d->IsModified()); // what it shows is what there is
    // The window stays consistent: a save writes 75 records again.
    save(*d, path("again.qwd"));
    const auto back = designfile::Read(path("again.qwd"));
    QVERIFY(back.has_value());
    QVERIFY((*back)[74].has_value());
}

void TestDesignFiles::markupInFileIsText_data()
{
    QTest::addColumn<int>("record"); // 0: the name of a file that cannot be opened
    QTest::addColumn<QString>("text");
    QTest::newRow("logo 1 naming a FIFO") << 17 << "<img src=\"FIFO\">";
    QTest::newRow("logo 2 naming /dev/zero") << 18 << "<img src=\"/dev/zero\">";
    QTest::newRow("logo 1 in red") << 17 << "<font color=red>RED RED RED</font>";
    QTest::newRow("file name naming a FIFO") << 0 << "<img src=\"FIFO\">";
}

// Paths from a design file, and file names in messages, are shown as they are: markup there
// would load what an <img> names (a FIFO blocks for good, /dev/zero never ends) or restyle it.
void TestDesignFiles::markupInFileIsText()
{
    QFETCH(int, record);
    QFETCH(QString, text);
    const QString fifo = path("fifo");
    QFile::remove(fifo);
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    text.replace("FIFO", fifo);
    QStringList r = d->DesignRecords();
    QLabel *shown = nullptr;
    Design::SetValue(d->Check12, 0);
    if (record > 0) {
        r[record - 1] = text;
        designfile::WriteOptions again; // read by the row before
        again.replacesDesign = true;
        QVERIFY(designfile::Write(path("markup.qwd"), r, nullptr, again));
        open(*d, path("markup.qwd"));
        shown = record == 17 ? d->Label30 : d->LOGO2FLN;
    } else {
        open(*d, tmp.filePath(text + ".qwd"));
        QVERIFY(d->LastProblem().contains(text));
        auto *box = d->findChild<QMessageBox *>(QStringLiteral("problem"));
        QVERIFY(box);
        QCOMPARE(box->textFormat(), Qt::PlainText);
        shown = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
    }
    QVERIFY(shown);
    QCOMPARE(shown->text().contains(text), true);
    const QImage seen = shown->grab().toImage(); // laid out and painted: nothing is loaded
    for (int y = 0; y < seen.height(); ++y)
        for (int x = 0; x < seen.width(); ++x) {
            const QColor c = seen.pixelColor(x, y);
            QVERIFY2(!(c.red() > 150 && c.green() < 80 && c.blue() < 80), "text painted red");
        }
}

void TestDesignFiles::unreadableFileChangesNothing()
{
    const QString pic = picture("keep.png", {30, 30});
    QVERIFY(d->LoadPictureFile(CoverDocument::Slot::Main, pic));
    d->Text1->setText(QStringLiteral("keep me"));
    Design::SetValue(d->Check12, 0);
    open(*d, path("does-not-exist.qwd"));
    QVERIFY(d->Image1->HasPicture());
    QCOMPARE(d->PIXFLN->text(), pic);
    QCOMPARE(d->Label2->Caption(), QStringLiteral("keep me"));
    QCOMPARE(d->DesignPath(), QString());
    QVERIFY(!d->LastProblem().isEmpty());
    QVERIFY(!d->WaitLoaded() || !d->WaitForm()->isVisible());
    open(*d, tmp.path()); // a folder
    QCOMPARE(d->Label2->Caption(), QStringLiteral("keep me"));
}

void TestDesignFiles::cancelledOpenChangesNothing()
{
    Design::SetValue(d->Check12, 0);
    d->Text1->setText(QStringLiteral("stay"));
    Design::SetValue(d->Check5, 1);
    d->Text10->setText(QStringLiteral("6"));
    QCOMPARE(d->Label28->Top(), 435.0);
    dialogs.push(ScriptedDialogBackend::cancel());
    d->Command1_Click();
    QCOMPARE(dialogs.seenFilter, QStringLiteral("Jewel Case Files|*.qwd"));
    QCOMPARE(dialogs.seenFileName, QString());
    QCOMPARE(d->Label2->Caption(), QStringLiteral("stay"));
    QCOMPARE(d->Label28->Top(), 435.0); // the notice row stays above the box
    QVERIFY(d->IsModified());
    QCOMPARE(d->PendingAction(), Design::Pending::Open);
}

// Applying records goes Open's way without its windows, leaves the last saved state as the
// reference for changes, and keeps pictures whose path stays (not read again).
void TestDesignFiles::applyRecords()
{
    const QString main = picture("apply-main.png", {60, 40});
    const QString logo = picture("apply-logo.png", {20, 20});
    dialogs.push(ScriptedDialogBackend::choose(main));
    d->Command8->click();
    dialogs.push(ScriptedDialogBackend::choose(logo));
    d->Command9->click();
    d->Text1->setText(QStringLiteral("before"));
    save(*d, path("apply.qwd"));
    const QStringList saved = d->DesignRecords();
    d->Text1->setText(QStringLiteral("after"));
    dialogs.push(ScriptedDialogBackend::choose(picture("apply-other.png", {30, 30})));
    d->Command12->click();
    QVERIFY(d->Image3->HasPicture());
    const QStringList edited = d->DesignRecords();
    // The files change on disk: only a picture that is read again shows it.
    QVERIFY(!picture("apply-main.png", {90, 10}).isEmpty());
    QVERIFY(!picture("apply-logo.png", {10, 90}).isEmpty());

    d->ApplyRecords(*designfile::Read(path("apply.qwd")), QStringLiteral("/some/design.qwd"));
    QCOMPARE(d->DesignRecords(), saved);
    QVERIFY(!d->IsModified());
    QCOMPARE(d->Image1->SourceSize(), QSize(60, 40)); // kept
    QCOMPARE(d->Image2->SourceSize(), QSize(20, 20));
    QVERIFY(!d->Image3->HasPicture()); // no path: removed
    QCOMPARE(d->DesignPath(), QStringLiteral("/some/design.qwd"));
    QVERIFY(!d->WaitLoaded());

    designfile::Records back;
    for (int i = 0; i < designfile::RecordCount; ++i)
        back[size_t(i)] = edited.at(i);
    d->ApplyRecords(back, QString());
    QCOMPARE(d->DesignRecords(), edited);
    QVERIFY(d->IsModified());
    QVERIFY(d->Image3->HasPicture());

    Design::SetValue(d->Check12, 0);
    open(*d, path("apply.qwd")); // Open reads every picture again
    QCOMPARE(d->Image1->SourceSize(), QSize(90, 10));
    QCOMPARE(d->Image2->SourceSize(), QSize(10, 90));
}

void TestDesignFiles::newResetsDefaults()
{
    Design::SetValue(d->Option4, true);
    d->Text1->setText(QStringLiteral("Old"));
    d->Text12->setText(QStringLiteral("Owner"));
    d->Label2->setFontItalic(true);
    d->Shape1->setBackColor(colors::Red);
    d->Text3->setText(QStringLiteral("9"));
    Design::SetValue(d->Check5, 1);
    d->Label7->setCaption(QStringLiteral("gone"));
    QVERIFY(!d->TitlesLoaded());
    Design::SetValue(d->Check12, 0);
    d->Command4->click();
    QVERIFY(!d->SaveLoaded() || !d->SaveForm()->isVisible());
    QCOMPARE(d->Label2->Caption(), QString());
    QCOMPARE(d->Text12->text(), QString());
    QCOMPARE(d->Label29->Caption(), textnum::YearText() + QStringLiteral("  All Rights Reserved."));
    QCOMPARE(d->Shape1->BackColor(), colors::White);
    QCOMPARE(d->Line1->BorderWidth(), 4);
    QCOMPARE(d->Text3->text(), QStringLiteral("4"));
    QVERIFY(!d->Shape2->Visible());
    QCOMPARE(d->Label7->Caption(), QString());
    QVERIFY(d->Label7->Visible());      // titles block shown, empty
    QVERIFY(Design::Value(d->Option4)); // layout kept
    QVERIFY(d->Label2->FontItalic());   // styles kept
    QCOMPARE(d->Label2->FontName(), d->Document().defaults.fontName);
    QCOMPARE(d->Label2->FontSize(), d->Document().defaults.fontSize);
    QCOMPARE(d->Label3->ForeColor(), 0);
    QVERIFY(d->TitlesLoaded());
    QVERIFY(!d->TitlesForm()->isVisible()); // made for the reset, not shown
    QVERIFY(!d->IsModified());
    QCOMPARE(d->PendingAction(), Design::Pending::New);
    QCOMPARE(d->DesignPath(), QString());
}

// New gives the same window whatever came before, as long as what New keeps is the same:
// here after a design whose rules are 6 pixels while the thickness field still reads 4 (Open
// does not fill it), with its titles shown and pictures loaded.
void TestDesignFiles::newIgnoresWhatCameBefore()
{
    const QString pic = picture("new.png", {40, 30});
    {
        Design a;
        Design::SetValue(a.Check7, 1);
        Design::SetValue(a.Check6, 0);
        Design::SetValue(a.Check8, 1);
        Design::SetValue(a.Check1, 1);
        Design::SetValue(a.Check5, 1);
        a.Text3->setText(QStringLiteral("6"));
        a.Label7->setCaption(QStringLiteral("a title"));
        for (auto [button, label] : {std::pair{a.Command8, a.PIXFLN}, std::pair{a.Command9, a.Label30}}) {
            dialogs.push(ScriptedDialogBackend::choose(pic));
            button->click();
            QCOMPARE(label->text(), pic);
        }
        save(a, path("before-new.qwd"));
    }
    Design fresh;
    fresh.Command4_Click();
    const QStringList expected = snapshot(fresh);

    Design b;
    open(b, path("before-new.qwd"));
    QCOMPARE(b.Line1->BorderWidth(), 6);
    QCOMPARE(b.Text3->text(), QStringLiteral("4"));
    Design::SetValue(b.Check12, 0);
    b.Command4_Click();
    Design::SetValue(b.Check12, 1);
    QCOMPARE(snapshot(b), expected);
}

void TestDesignFiles::promptMatrix_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<QString>("answer");
    for (const char *action : {"close", "new", "open"}) {
        for (bool ticked : {false, true})
            for (bool modified : {false, true})
                if (!ticked || !modified)
                    QTest::addRow("%s, %s, %s", action, ticked ? "ticked" : "unticked",
                                  modified ? "modified" : "changed back")
                        << action << ticked << modified << QString();
        for (const char *answer : {"yes", "yes, save cancelled", "yes, save failed", "no", "close box"})
            QTest::addRow("%s, ticked, modified: %s", action, answer) << action << true << true << answer;
    }
}

// "Save It...?" comes exactly when Save Prompt is ticked and the design differs from the one
// last opened; "Yes" saves and then goes on, "No" goes on, the close box answers nothing, and
// a save that did not happen keeps the window and the work.
void TestDesignFiles::promptMatrix()
{
    QFETCH(QString, action);
    QFETCH(bool, ticked);
    QFETCH(bool, modified);
    QFETCH(QString, answer);
    {
        Design other;
        other.Text1->setText(QStringLiteral("other"));
        save(other, path("other.qwd"));
    }
    d->show();
    save(*d, path("first.qwd"));
    open(*d, path("first.qwd"));
    Design::SetValue(d->Check12, ticked ? 1 : 0);
    QTest::keyClicks(d->Text1, "work");
    if (!modified)
        d->Text1->clear();
    QCOMPARE(d->IsModified(), modified);

    const auto act = [&] {
        if (action == "close")
            d->close();
        else if (action == "new")
            d->Command4->click();
        else
            d->Command1->click();
    };
    const auto done = [&] {
        if (action == "close")
            return !d->isVisible();
        if (action == "new")
            return d->DesignPath().isEmpty() && d->Label2->Caption().isEmpty();
        return d->DesignPath() == path("other.qwd") && d->Label2->Caption() == "other";
    };
    const auto answerOpenDialog = [&] {
        if (action == "open")
            dialogs.push(ScriptedDialogBackend::choose(path("other.qwd")));
    };

    if (!ticked || !modified) {
        answerOpenDialog();
        act();
        QVERIFY(!d->SaveLoaded() || !d->SaveForm()->isVisible());
        QVERIFY(done());
        return;
    }
    act();
    Save *prompt = d->SaveForm();
    QVERIFY(prompt->isVisible());
    QCOMPARE(prompt->Label1->text().contains("closing"), action == "close");
    QVERIFY(!done());
    QCOMPARE(d->Label2->Caption(), QStringLiteral("work"));
    if (answer == "close box") {
        prompt->close();
        QVERIFY(!done());
        QVERIFY(d->IsModified());
        act(); // asks again
        QVERIFY(prompt->isVisible());
        return;
    }
    const int saves = dialogs.calls(ScriptedDialogBackend::Save);
    if (answer.startsWith("yes")) {
        QVERIFY(QDir(tmp.path()).mkpath("folder.qwd"));
        dialogs.push(answer == "yes, save cancelled"
                         ? ScriptedDialogBackend::cancel()
                         : ScriptedDialogBackend::choose(path(answer == "yes" ? "saved.qwd" : "folder.qwd")));
        if (answer == "yes")
            answerOpenDialog();
        prompt->Command1->click();
        QCOMPARE(dialogs.calls(ScriptedDialogBackend::Save), saves + 1);
        if (answer != "yes") {
            QVERIFY(d->isVisible());
            QVERIFY(!done());
            QCOMPARE(d->Label2->Caption(), QStringLiteral("work"));
            QVERIFY(d->IsModified());
            return;
        }
        const auto saved = designfile::Read(path("saved.qwd"));
        QVERIFY(saved);
        QCOMPARE(designfile::Text(*saved, records::TopHeadlineText), QStringLiteral("work"));
    } else {
        answerOpenDialog();
        prompt->Command2->click();
        QCOMPARE(dialogs.calls(ScriptedDialogBackend::Save), saves);
    }
    QVERIFY(!prompt->isVisible()); // no second question
    QVERIFY(done());
}

QTEST_MAIN(TestDesignFiles)
#include "test_design_files.moc"
