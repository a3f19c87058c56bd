// Shortcuts, the cover's context menu with Open Recent, drag-and-drop and the
// picture dialog's formats.
#include <QtTest>

#include <QCheckBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>

#include "app_setup.h"
#include "design.h"
#include "module1.h"
#include "recent_designs.h"
#include "secondary_windows.h"

namespace {

QString writePicture(const QString &path, QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::darkCyan);
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

class TestDesignerInput : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

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
    void showActive();
    QTemporaryDir tmp;
    ScriptedDialogBackend dialogs;
    std::unique_ptr<Design> d;
};

void TestDesignerInput::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    SetupDesignerApplication();
    QVERIFY(tmp.isValid());
}

void TestDesignerInput::init()
{
    QSettings(QStringLiteral("Sleeve"), QStringLiteral("sleevedesk")).clear();
    dialogs = ScriptedDialogBackend();
    CommonDialog::SetBackend(&dialogs);
    d = std::make_unique<Design>();
    d->CommonDialog1.Printer().setOutputFileName(path(QStringLiteral("printed.pdf")));
    QFile::remove(path(QStringLiteral("printed.pdf")));
}

void TestDesignerInput::cleanup()
{
    d.reset();
    CommonDialog::SetBackend(nullptr);
}

void TestDesignerInput::showActive()
{
    d->show();
    d->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(d.get()));
}

QString TestDesignerInput::saveDesign(const QString &name, const QString &headline)
{
    Design other;
    other.Text1->setText(headline);
    dialogs.push(ScriptedDialogBackend::choose(path(name)));
    other.Command2_Click();
    return path(name);
}

void TestDesignerInput::shortcuts_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<bool>("inField"); // pressed while typing in a headline field
    QTest::addColumn<QString>("effect");
    QTest::newRow("Ctrl+N") << QKeySequence(QKeySequence::New) << true << "new";
    QTest::newRow("Ctrl+O") << QKeySequence(QKeySequence::Open) << false << "open";
    QTest::newRow("Ctrl+S in a field") << QKeySequence(QKeySequence::Save) << true << "save";
    QTest::newRow("Ctrl+P") << QKeySequence(QKeySequence::Print) << false << "print";
    QTest::newRow("Ctrl+E in a field") << QKeySequence(Qt::CTRL | Qt::Key_E) << true << "export";
    QTest::newRow("Ctrl+Q") << QKeySequence(Qt::CTRL | Qt::Key_Q) << false << "close";
    QTest::newRow("Ctrl+W in a field") << QKeySequence(Qt::CTRL | Qt::Key_W) << true << "close";
}

void TestDesignerInput::shortcuts()
{
    QFETCH(QKeySequence, keys);
    QFETCH(bool, inField);
    QFETCH(QString, effect);
    showActive();
    QWidget *target = d.get();
    if (inField) {
        d->Text1->setFocus();
        QTest::keyClicks(d->Text1, QStringLiteral("Tide"));
        target = d->Text1;
    }
    QTest::keySequence(target, keys);
    if (effect == "new") {
        QCOMPARE(d->Label2->Caption(), QString());
        QCOMPARE(Module1::PendingAction, qint16(2));
    } else if (effect == "open" || effect == "save" || effect == "export") {
        const auto kind = effect == "open" ? ScriptedDialogBackend::Open : ScriptedDialogBackend::Save;
        QCOMPARE(dialogs.calls(kind), 1);
        QCOMPARE(dialogs.seenFilter.endsWith(effect == "export" ? "*.pdf" : "*.qwd"), true);
    } else if (effect == "print") {
        QVERIFY(QFileInfo(path(QStringLiteral("printed.pdf"))).size() > 0);
    } else {
        QTRY_VERIFY(!d->isVisible());
        // With work to save, closing asks first, as the close box does.
        d->show();
        Design::SetValue(d->Check12, 0);
        Design::SetValue(d->Check12, 1);
        showActive();
        QTest::keySequence(d.get(), keys);
        QVERIFY(d->isVisible());
        QVERIFY(d->SaveForm()->isVisible());
        QCOMPARE(Module1::PendingAction, qint16(3));
    }
}

void TestDesignerInput::textFieldKeepsItsKeys_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<bool>("undoFirst");
    QTest::addColumn<QString>("expected"); // the field's text afterwards
    QTest::newRow("Ctrl+Z undoes typing") << QKeySequence(Qt::CTRL | Qt::Key_Z) << false << "Harbour";
    QTest::newRow("Ctrl+Shift+Z redoes it")
        << QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z) << true << "Harbour Lights";
    QTest::newRow("Ctrl+A selects all") << QKeySequence(Qt::CTRL | Qt::Key_A) << false << "x";
    QTest::newRow("Ctrl+Backspace deletes a word")
        << QKeySequence(Qt::CTRL | Qt::Key_Backspace) << false << "Harbour ";
}

void TestDesignerInput::textFieldKeepsItsKeys()
{
    QFETCH(QKeySequence, keys);
    QFETCH(bool, undoFirst);
    QFETCH(QString, expected);
    showActive();
    d->Text1->setFocus();
    d->Text1->setText(QStringLiteral("Harbour"));
    QTest::keyClicks(d->Text1, QStringLiteral(" Lights"));
    if (undoFirst)
        QTest::keySequence(d->Text1, QKeySequence(Qt::CTRL | Qt::Key_Z));
    QTest::keySequence(d->Text1, keys);
    if (keys == QKeySequence(Qt::CTRL | Qt::Key_A))
        QTest::keyClicks(d->Text1, QStringLiteral("x"));
    QCOMPARE(d->Text1->text(), expected);
    QCOMPARE(d->Label2->Caption(), expected); // the cover follows the field
    for (auto kind : {ScriptedDialogBackend::Open, ScriptedDialogBackend::Save})
        QCOMPARE(dialogs.calls(kind), 0);
}

void TestDesignerInput::coverMenuOnThePanelOnly_data()
{
    QTest::addColumn<bool>("back");
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<bool>("menu");
    QTest::newRow("panel's middle") << false << QPoint(228, 228) << true;
    QTest::newRow("on a headline") << false << QPoint(110, 14) << true;
    QTest::newRow("grey beside the front panel") << false << QPoint(490, 240) << false;
    QTest::newRow("same place on the back panel") << true << QPoint(490, 240) << true;
    QTest::newRow("a check box") << false << QPoint(560, 316) << false;
    QTest::newRow("a text field") << false << QPoint(600, 33) << false;
}

void TestDesignerInput::coverMenuOnThePanelOnly()
{
    QFETCH(bool, back);
    QFETCH(QPoint, pos);
    QFETCH(bool, menu);
    if (back)
        Design::SetValue(d->Option4, true);
    d->Text1->setText(QStringLiteral("Headline"));
    showActive();
    QWidget *target = d->childAt(pos) ? d->childAt(pos) : d.get();
    QContextMenuEvent event(QContextMenuEvent::Mouse, target->mapFrom(d.get(), pos), d->mapToGlobal(pos));
    QApplication::sendEvent(target, &event);
    QMenu *shown = d->findChild<QMenu *>(QStringLiteral("CoverMenu"));
    QCOMPARE(shown != nullptr, menu);
    if (!menu)
        return;
    QTRY_VERIFY(shown->isVisible());
    QStringList texts;
    for (QAction *a : shown->actions())
        if (!a->isSeparator())
            texts << a->text();
    QCOMPARE(texts, QStringList({"Export PDF...", "Export PNG...", "Print Preview...", "Open Recent"}));
    QCOMPARE(shown->actions().constFirst()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E));
    shown->close();
}

void TestDesignerInput::openRecent()
{
    // Opened and saved designs, most recent first, at most eight.
    QStringList saved;
    for (int i = 1; i <= 10; ++i)
        saved.prepend(saveDesign(QStringLiteral("r%1.qwd").arg(i), QStringLiteral("Design%1").arg(i)));
    dialogs.push(ScriptedDialogBackend::choose(saved.at(5)));
    d->Command1_Click();
    QStringList expected = saved.mid(0, 8);
    expected.removeAll(saved.at(5));
    expected.prepend(saved.at(5));
    QCOMPARE(recentdesigns::List(), expected.mid(0, 8));
    QVERIFY(QFile::remove(saved.at(0)));

    QMenu *menu = d->CoverMenu();
    QMenu *recent = menu->findChild<QMenu *>(QStringLiteral("OpenRecentMenu"));
    QVERIFY(recent && recent->isEnabled());
    const auto entries = recent->actions();
    QCOMPARE(entries.size(), 8);
    QCOMPARE(entries.at(0)->data().toString(), saved.at(5));
    QCOMPARE(entries.at(1)->data().toString(), saved.at(0));
    QVERIFY(!entries.at(1)->isEnabled()); // gone from the disk
    QVERIFY(entries.at(2)->isEnabled());
    // Choosing one opens it without a dialog (the save question first when armed).
    Design::SetValue(d->Check12, 0);
    entries.at(2)->trigger();
    QCOMPARE(d->Label2->Caption(), QStringLiteral("Design9"));
    QCOMPARE(dialogs.calls(ScriptedDialogBackend::Open), 1);
    QCOMPARE(recentdesigns::List().constFirst(), saved.at(1));
    delete menu;
}

void TestDesignerInput::drops_data()
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
}

void TestDesignerInput::drops()
{
    QFETCH(bool, back);
    QFETCH(QPoint, pos);
    QFETCH(QString, file);
    QFETCH(QString, slot);
    if (back)
        Design::SetValue(d->Option4, true);
    d->Text7->setText(QStringLiteral("200"));
    const QString pic = writePicture(path(file == "pic.JPEG" ? file : QStringLiteral("pic.png")), {30, 20});
    QStringList files = {pic};
    if (file == "two")
        files << pic;
    if (file == "bad") {
        files = {path(QStringLiteral("notes <b>draft.txt"))};
        QFile f(files.constFirst());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a picture\n");
    }
    const std::pair<CoverImage *, QLabel *> places[] = {
        {d->Image1, d->PIXFLN}, {d->Image2, d->Label30}, {d->Image3, d->LOGO2FLN}};
    QCOMPARE(drop(d.get(), pos, files), !slot.isEmpty() || file == "bad");
    for (const auto &[image, label] : places) {
        const bool takes = image->name() == slot;
        QCOMPARE(image->HasPicture(), takes);
        QCOMPARE(label->text(), takes ? pic : QString());
    }
    if (slot == "Image1")
        QCOMPARE(d->Image1->Left(), (Module1::PanelWidth - 200) / 2.0); // centred as by Picture
    auto *notice = d->findChild<QMessageBox *>(QStringLiteral("Notice"));
    QCOMPARE(notice != nullptr, file == "bad");
    if (notice) {
        QCOMPARE(notice->textFormat(), Qt::PlainText);
        QVERIFY2(
            notice->text().startsWith(QStringLiteral("The picture %1 could not be loaded: ").arg(files[0])),
            qPrintable(notice->text()));
    }
}

void TestDesignerInput::droppedDesignAsksFirst()
{
    const QString design = saveDesign(QStringLiteral("dropped.qwd"), QStringLiteral("Dropped"));
    // Anywhere on the window, a text field included; at once when nothing asks.
    QVERIFY(drop(d->Text2, QPoint(5, 5), {design}));
    QCOMPARE(d->Label2->Caption(), QStringLiteral("Dropped"));
    QCOMPARE(d->Text2->text(), QString()); // the path was not typed into the field
    // Armed: the save question first; "No" opens the dropped design, no dialog.
    d->Text1->setText(QStringLiteral("Unsaved"));
    QVERIFY(drop(d.get(), QPoint(700, 470), {design}));
    QCOMPARE(d->Label2->Caption(), QStringLiteral("Unsaved"));
    QVERIFY(d->SaveForm()->isVisible());
    d->SaveForm()->Command2->click();
    QCOMPARE(d->Label2->Caption(), QStringLiteral("Dropped"));
    QCOMPARE(dialogs.calls(ScriptedDialogBackend::Open), 0);
    // A press on Open after an unanswered question asks for a file again.
    QVERIFY(drop(d.get(), QPoint(700, 470), {design}));
    QVERIFY(d->SaveForm()->isVisible());
    d->Command1->click();
    d->SaveForm()->Command2->click();
    QCOMPARE(dialogs.calls(ScriptedDialogBackend::Open), 1);
}

void TestDesignerInput::pictureDialogFormats()
{
    const QString filter = Design::PictureFilter();
    QVERIFY2(filter.startsWith(QStringLiteral("Image Files|*.jpg;*.gif;*.bmp;")), qPrintable(filter));
    QVERIFY(filter.endsWith(QStringLiteral("|All files|*")));
    // What the file dialog gets: one entry of blank-separated patterns, then "All files".
    const QStringList entries = CommonDialog::QtFilter(filter).split(QStringLiteral(";;"));
    QCOMPARE(entries.size(), 2);
    QVERIFY(entries[0].startsWith(QStringLiteral("Image Files (*.jpg *.gif *.bmp ")));
    const QString inner = entries[0].section(u'(', 1).chopped(1);
    QStringList wanted = {QStringLiteral("x.JPG"), QStringLiteral("x.jpeg"), QStringLiteral("x.JPEG"),
                          QStringLiteral("x.jpe"), QStringLiteral("x.JPE")};
    for (const QByteArray &format : QImageReader::supportedImageFormats())
        wanted << QStringLiteral("x.") + QString::fromLatin1(format).toLower()
               << QStringLiteral("x.") + QString::fromLatin1(format).toUpper();
    const auto matches = [&inner](const QString &name) {
        for (const QString &pattern : inner.split(u' '))
            if (QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern))
                    .match(name)
                    .hasMatch())
                return true;
        return false;
    };
    for (const QString &name : std::as_const(wanted))
        QVERIFY2(matches(name), qPrintable(name));
    QVERIFY(!matches(QStringLiteral("x.qwd")));

    // The Picture button offers it, and a PNG chosen there loads.
    const QString png = writePicture(path(QStringLiteral("photo.PNG")), {64, 48});
    dialogs.push(ScriptedDialogBackend::choose(png));
    d->Command8_Click();
    QCOMPARE(dialogs.seenFilter, filter);
    QCOMPARE(d->Image1->SourceSize(), QSize(64, 48));
    QCOMPARE(d->PIXFLN->text(), png);
}

QTEST_MAIN(TestDesignerInput)
#include "test_designer_input.moc"
