// The import of a track list into a design: the preview dialog (edits, reordering, options,
// notes), writing through the titles window's fields, Cancel, and the ways in through the titles
// window (a drop of files, its context menu).

#include <QtTest>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUndoStack>

#include "app_setup.h"
#include "coverdocument.h"
#include "design.h"
#include "importprogress.h"
#include "source.h"
#include "titles.h"
#include "trackimportdialog.h"

#include "fixtures.h"

using fixtures::Kind;
using fixtures::Tags;
using tracklist::Track;

namespace {

Track track(const QString &title, qint64 ms, const QString &artist = {})
{
    Track t;
    t.title = title;
    t.durationMs = ms;
    t.artist = artist;
    return t;
}

QString titles(const tracklist::CoverTexts &c)
{
    return c.titles.join(u'|');
}

} // namespace

class TestTrackImport : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void dialogEdits_data();
    void dialogEdits();
    void dialogNotes();
    void applyWritesThroughFields();
    void cutShortSaidBefore_data();
    void cutShortSaidBefore();
    void importOrCancel_data();
    void importOrCancel();
    void nothingReadable();
    void progressAfterHalfASecond();
    void dropOnTitles_data();
    void dropOnTitles();
    void contextMenuImports();
    void allTitles_data();
    void allTitles();

private:
    QStringList coverTitles(int first, int last) const
    {
        QStringList out;
        for (int n = first; n <= last; ++n)
            out << d->CoverLabelN(n + 3)->Caption();
        return out;
    }

    QTemporaryDir dir;
    QString album, list, empty, picture;
    std::unique_ptr<Design> d;
    int answered = 0;
};

void TestTrackImport::initTestCase()
{
    SetupDesignerApplication();
    QVERIFY(dir.isValid());
    album = dir.filePath("Night Songs");
    QDir().mkpath(album);
    const char *names[] = {"One", "Two", "Three"};
    for (int i = 0; i < 3; ++i)
        QVERIFY(fixtures::makeAudio(QStringLiteral("%1/0%2.wav").arg(album).arg(i + 1), Kind::Wav,
                                    Tags{names[i], "Ana Ruiz", "Night Songs", {}, i + 1, 0}, dir.path(),
                                    1000 * (i + 1)));
    list = dir.filePath("list.txt");
    QByteArray text;
    for (int i = 1; i <= 30; ++i)
        text += "Line " + QByteArray::number(i) + "\n";
    QVERIFY(fixtures::writeBytes(list, text));
    empty = dir.filePath("empty");
    QDir().mkpath(empty);
    picture = dir.filePath("photo.jpg");
    QVERIFY(fixtures::writeBytes(picture, "not really"));
}

void TestTrackImport::init()
{
    d = std::make_unique<Design>();
    answered = 0;
}

void TestTrackImport::cleanup()
{
    d.reset();
    TrackImportDialog::Answer = [](TrackImportDialog &dlg) { return dlg.exec(); };
    TrackImportDialog::ChooseSources = ChooseTrackSources;
}

// ---------------------------------------------------------------- the preview

void TestTrackImport::dialogEdits_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("expected"); // the titles written
    QTest::newRow("as read") << QStringList{} << "One|Two|Three";
    QTest::newRow("up") << QStringList{"select 2", "up"} << "One|Three|Two";
    QTest::newRow("up at the top does nothing") << QStringList{"select 0", "up"} << "One|Two|Three";
    QTest::newRow("down twice") << QStringList{"select 0", "down", "down"} << "Two|Three|One";
    QTest::newRow("two rows down") << QStringList{"select 0", "select+ 1", "down"} << "Three|One|Two";
    QTest::newRow("edit") << QStringList{"edit 1 <b>Deux</b>"} << "One|<b>Deux</b>|Three";
    QTest::newRow("remove") << QStringList{"select 1", "remove"} << "One|Three";
    QTest::newRow("drag to the end") << QStringList{"drop 0 end"} << "Two|Three|One";
    QTest::newRow("drag onto the top half of a row") << QStringList{"drop 2 0"} << "Three|One|Two";
    QTest::newRow("numbered, with lengths")
        << QStringList{"numbered", "durations"} << "1. One (0:01)|2. Two (0:02)|3. Three";
    QTest::newRow("numbers follow the order")
        << QStringList{"numbered", "select 2", "up", "up"} << "1. Three|2. One|3. Two";
}

void TestTrackImport::dialogEdits()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, expected);
    tracklist::ReadResult read;
    read.tracks = {track("One", 1000), track("Two", 2000), track("Three", -1)};
    TrackImportDialog dlg(read, {}, {});
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    for (const QString &step : steps) {
        const QStringList w = step.split(u' ');
        if (w[0] == "select") {
            dlg.List->selectRow(w[1].toInt());
        } else if (w[0] == "select+") {
            dlg.List->selectionModel()->select(dlg.Model->index(w[1].toInt(), 0),
                                               QItemSelectionModel::Select | QItemSelectionModel::Rows);
        } else if (w[0] == "up" || w[0] == "down") {
            QPushButton *b = w[0] == "up" ? dlg.MoveUp : dlg.MoveDown;
            if (b->isEnabled())
                QTest::mouseClick(b, Qt::LeftButton);
        } else if (w[0] == "remove") {
            QTest::mouseClick(dlg.Remove, Qt::LeftButton);
        } else if (w[0] == "edit") {
            const QModelIndex at = dlg.Model->index(w[1].toInt(), TrackListModel::TitleColumn);
            dlg.List->setCurrentIndex(at);
            dlg.List->edit(at);
            auto *editor = dlg.List->viewport()->findChild<QLineEdit *>();
            QVERIFY(editor);
            editor->selectAll();
            const QString typed = w.mid(2).join(u' ');
            QTest::keyClicks(editor, typed);
            QTest::keyClick(editor, Qt::Key_Return);
            QTRY_COMPARE(dlg.Model->index(at.row(), 0).data().toString(), typed); // committed when queued
        } else if (w[0] == "drop") {
            // A drag of one row, dropped as the view receives it.
            std::unique_ptr<QMimeData> mime(dlg.Model->mimeData({dlg.Model->index(w[1].toInt(), 0)}));
            QPoint at = dlg.List->viewport()->rect().bottomLeft() + QPoint(5, -2);
            if (w[2] != "end") {
                const QRect r = dlg.List->visualRect(dlg.Model->index(w[2].toInt(), 0));
                at = QPoint(r.left() + 5, r.top() + 2);
            }
            QDragEnterEvent enter(at, Qt::MoveAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(dlg.List->viewport(), &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent drop(at, Qt::MoveAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(dlg.List->viewport(), &drop);
            QVERIFY(drop.isAccepted());
        } else if (w[0] == "numbered") {
            dlg.Numbered->click();
        } else if (w[0] == "durations") {
            dlg.Durations->click();
        }
    }
    const tracklist::CoverTexts c = dlg.Result();
    QCOMPARE(titles(c), expected);
    // The list shows what will be written.
    for (int r = 0; r < dlg.Model->rowCount(); ++r)
        QCOMPARE(dlg.Model->index(r, TrackListModel::CoverColumn).data().toString(), c.titles[r]);
}

void TestTrackImport::dialogNotes()
{
    tracklist::ReadResult read;
    for (int i = 1; i <= 102; ++i)
        read.tracks << track(QStringLiteral("T%1").arg(i), -1, "<i>Band</i>");
    read.tracks[101].album = "<b>Album</b>";
    read.skipped = {{"/music/a.flac", "length of the last track unknown: file not found", true},
                    {"/music/<b>x</b>.mp3", "not a readable audio file"}};
    TrackImportDialog dlg(read, "Typed", {});
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));

    QVERIFY(dlg.LeftOutNote->isVisible());
    QVERIFY(dlg.LeftOutNote->text().startsWith("3 titles left out"));
    QCOMPARE(dlg.Result().leftOut, 3);
    QCOMPARE(dlg.Model->index(98, TrackListModel::CoverColumn).data().toString(), QStringLiteral("T99"));
    QCOMPARE(dlg.Model->index(99, TrackListModel::CoverColumn).data().toString(),
             QStringLiteral("(left out)"));
    // Removing rows brings the others in; at 99 the note goes.
    for (int i = 0; i < 3; ++i) {
        dlg.List->selectRow(0);
        dlg.RemoveSelected();
    }
    QVERIFY(!dlg.LeftOutNote->isVisible());
    QCOMPARE(dlg.Result().titles.back(), QStringLiteral("T102"));

    // Skipped entries and names from tags are shown as text, never as markup.
    // A track read without its length is a note, not skipped.
    QCOMPARE(dlg.findChild<QLabel *>("SkippedLabel")->text(), QStringLiteral("Skipped (1) and notes (1):"));
    QCOMPARE(dlg.SkippedList->count(), 2);
    QCOMPARE(dlg.SkippedList->item(0)->text(),
             QString::fromUtf8("/music/<b>x</b>.mp3 \u2014 not a readable audio file"));
    QCOMPARE(
        dlg.SkippedList->item(1)->text(),
        QString::fromUtf8("/music/a.flac \u2014 kept; length of the last track unknown: file not found"));
    QCOMPARE(dlg.HeadlineNote->textFormat(), Qt::PlainText);
    QCOMPARE(dlg.HeadlineNote->text(),
             QStringLiteral("Top headline: unchanged\nBottom headline: <i>Band</i>"));
    dlg.ReplaceHeadlines->click();
    QCOMPARE(dlg.HeadlineNote->text(),
             QStringLiteral("Top headline: <b>Album</b>\nBottom headline: <i>Band</i>"));
    QCOMPARE(dlg.Result().topHeadline, QStringLiteral("<b>Album</b>"));

    // Nothing left: nothing to import.
    dlg.List->selectAll();
    dlg.RemoveSelected();
    QVERIFY(!dlg.Buttons->button(QDialogButtonBox::Ok)->isEnabled());
}

// ---------------------------------------------------------------- applying

void TestTrackImport::applyWritesThroughFields()
{
    Titles *t = d->TitlesForm();
    t->Text(21)->setText("Published by us");
    t->Text(12)->setText("old title 12");
    d->Text1->setText("Kept");
    tracklist::CoverTexts c;
    c.titles = {"First", "Second"};
    c.bottomHeadline = "Ana Ruiz";
    QVERIFY(!d->Check7->isChecked());
    d->ApplyTrackImport(c);
    QCOMPARE(t->Text(1)->text(), QStringLiteral("First"));
    QCOMPARE(coverTitles(1, 2), (QStringList{"First", "Second"}));
    QCOMPARE(d->Label15->Caption(), QString()); // field 12 emptied
    QCOMPARE(d->Label24->Caption(), QStringLiteral("Published by us"));
    QCOMPARE(d->Label2->Caption(), QStringLiteral("Kept"));
    QCOMPARE(d->Text2->text(), QStringLiteral("Ana Ruiz"));
    QCOMPARE(d->Label3->Caption(), QStringLiteral("Ana Ruiz"));
    QVERIFY(d->Check7->isChecked());
    QVERIFY(d->Label4->Visible());
    QCOMPARE(d->LastNotice(), QString());

    // Titles that 6 pt cannot hold whole are said.
    c.titles.clear();
    for (int i = 1; i <= 99; ++i)
        c.titles << QStringLiteral("%1 ").arg(i).repeated(i == 7 ? 30 : 1);
    d->ApplyTrackImport(c);
    QCOMPARE(d->LastNotice(), QStringLiteral("Titles cut short to fit their column at 6 pt: 1."));
}

void TestTrackImport::cutShortSaidBefore_data()
{
    QTest::addColumn<bool>("import"); // else All Titles… on a cover that has the list already
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("note");
    const QString column = QStringLiteral("1 title will be cut short to fit its column at 6 pt.");
    const QString edge = QStringLiteral("1 title line will be cut short to end inside the cut line.");
    QTest::newRow("import") << true << 99 << column;
    QTest::newRow("all titles") << false << 99 << column;
    QTest::newRow("14 titles, past the cut line") << true << 14 << edge;
    QTest::newRow("all 14 titles, past the cut line") << false << 14 << edge;
}

// The seventh title too wide for its column at 6 pt, or for its line: the preview says so, and
// shortening that title there takes the note away.
void TestTrackImport::cutShortSaidBefore()
{
    QFETCH(bool, import);
    QFETCH(int, count);
    QStringList titles;
    for (int i = 1; i <= count; ++i)
        titles << QStringLiteral("%1 ").arg(i).repeated(i == 7 ? 90 : 1).trimmed();
    const QString long99 = dir.filePath("long99.txt");
    QVERIFY(fixtures::writeBytes(long99, titles.join(u'\n').toUtf8() + '\n'));
    if (!import) {
        tracklist::CoverTexts texts;
        texts.titles = titles;
        d->ApplyTrackImport(texts);
    }
    QString said, after;
    TrackImportDialog::Answer = [&](TrackImportDialog &dlg) {
        ++answered;
        said = dlg.LeftOutNote->isHidden() ? QString() : dlg.LeftOutNote->text();
        dlg.Model->setData(dlg.Model->index(6, 0), QStringLiteral("Seven"), Qt::EditRole);
        after = dlg.LeftOutNote->isHidden() ? QString() : dlg.LeftOutNote->text();
        return int(QDialog::Accepted);
    };
    QVERIFY(import ? d->ImportTracksFrom({long99}) : d->EditAllTitles(d.get()));
    QCOMPARE(answered, 1);
    QTEST(said, "note");
    QCOMPARE(after, QString());
    QCOMPARE(d->Document().TitleList().at(6), QStringLiteral("Seven"));
}

void TestTrackImport::importOrCancel_data()
{
    QTest::addColumn<bool>("accept");
    QTest::addColumn<bool>("numbered");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QString>("top");
    QTest::newRow("imported") << true << false << QStringList{"One", "Two", "Three", ""} << "Night Songs";
    QTest::newRow("numbered") << true << true << QStringList{"1. One", "2. Two", "3. Three", ""}
                              << "Night Songs";
    QTest::newRow("cancelled") << false << true << QStringList{"a", "b", "c", "d"} << "";
}

void TestTrackImport::importOrCancel()
{
    QFETCH(bool, accept);
    QFETCH(bool, numbered);
    QFETCH(QStringList, titles);
    QFETCH(QString, top);
    for (int n = 1; n <= 4; ++n)
        d->TitlesForm()->Text(n)->setText(QString(QChar(u'a' + n - 1)));
    const QStringList before = d->DesignRecords();
    TrackImportDialog::Answer = [&](TrackImportDialog &dlg) {
        ++answered;
        dlg.Numbered->setChecked(numbered);
        return accept ? QDialog::Accepted : QDialog::Rejected;
    };
    QCOMPARE(d->ImportTracksFrom({album}), accept);
    QCOMPARE(answered, 1);
    QCOMPARE(coverTitles(1, 4), titles);
    QCOMPARE(d->Label2->Caption(), top);
    QCOMPARE(d->Label3->Caption(), accept ? QStringLiteral("Ana Ruiz") : QString());
    if (!accept)
        QCOMPARE(d->DesignRecords(), before);
}

void TestTrackImport::nothingReadable()
{
    const QStringList before = d->DesignRecords();
    TrackImportDialog::Answer = [&](TrackImportDialog &) { return ++answered, QDialog::Accepted; };
    QVERIFY(!d->ImportTracksFrom({empty}));
    QCOMPARE(answered, 0);
    auto *box = d->findChild<QMessageBox *>("importProblem");
    QVERIFY(box);
    QCOMPARE(box->textFormat(), Qt::PlainText);
    QCOMPARE(box->text(), QStringLiteral("There are no audio files in %1.").arg(empty));
    QCOMPARE(d->DesignRecords(), before);
}

// Quick reading shows nothing; reading past half a second shows its progress, and Cancel stops it.
void TestTrackImport::progressAfterHalfASecond()
{
    ImportProgress progress(d.get());
    const tracklist::Progress tell = progress.Callback();
    QVERIFY(tell(0, 40));
    QVERIFY(!progress.Dialog());
    QTest::qWait(ImportProgress::ShowAfterMs + 100);
    QVERIFY(tell(16, 40));
    QProgressDialog *dialog = progress.Dialog();
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(dialog->parentWidget(), d.get());
    QCOMPARE(dialog->maximum(), 40);
    QCOMPARE(dialog->value(), 16);
    QVERIFY(tell(0, 0)); // a total not yet known
    QCOMPARE(dialog->maximum(), 0);
    dialog->cancel();
    QVERIFY(!tell(17, 40));
}

// ---------------------------------------------------------------- the titles window

void TestTrackImport::dropOnTitles_data()
{
    QTest::addColumn<QString>("onto"); // "window" or a field number
    QTest::addColumn<QString>("what"); // "album", "list", "picture", "text"
    QTest::addColumn<bool>("imports");
    QTest::newRow("folder on the window") << "window"
                                          << "album" << true;
    QTest::newRow("folder on a field") << "5"
                                       << "album" << true;
    QTest::newRow("text list on a field") << "24"
                                          << "list" << true;
    QTest::newRow("picture: not taken") << "window"
                                        << "picture" << false;
    QTest::newRow("plain text stays the field's") << "3"
                                                  << "text" << false;
}

void TestTrackImport::dropOnTitles()
{
    QFETCH(QString, onto);
    QFETCH(QString, what);
    QFETCH(bool, imports);
    d->Command14->click();
    Titles *t = d->TitlesForm();
    QVERIFY(QTest::qWaitForWindowExposed(t));
    TrackImportDialog::Answer = [&](TrackImportDialog &) { return ++answered, QDialog::Accepted; };
    QWidget *target = onto == "window" ? static_cast<QWidget *>(t) : t->Text(onto.toInt());
    const QPoint at = onto == "window" ? QPoint(244, 120) : QPoint(5, 5); // between the columns

    QMimeData mime;
    if (what == "text")
        mime.setText("typed words");
    else // as file managers offer files: the URLs, and their text too
        mime.setUrls({QUrl::fromLocalFile(what == "album" ? album : what == "list" ? list : picture)});
    if (what != "text")
        mime.setText(mime.urls().front().toString());
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QCOMPARE(enter.isAccepted(), imports || what == "text");
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    if (imports) {
        QTRY_COMPARE(answered, 1);
        QCOMPARE(d->Label4->Caption(), what == "album" ? QStringLiteral("One") : QStringLiteral("Line 1"));
        QVERIFY(d->Check7->isChecked());
    } else {
        QCoreApplication::processEvents(); // the import would be queued
        QCOMPARE(answered, 0);
        QCOMPARE(d->Label4->Caption(), QString());
    }
}

void TestTrackImport::contextMenuImports()
{
    d->Command14->click();
    Titles *t = d->TitlesForm();
    QVERIFY(QTest::qWaitForWindowExposed(t));
    TrackImportDialog::ChooseSources = [&](QWidget *) { return QStringList{list}; };
    TrackImportDialog::Answer = [&](TrackImportDialog &) { return ++answered, QDialog::Accepted; };
    // On the window's background and in a field's own menu.
    for (QWidget *w : {static_cast<QWidget *>(t), static_cast<QWidget *>(t->Text(2))}) {
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(5, 5), w->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(w, &menuEvent);
        QMenu *menu = nullptr;
        QTRY_VERIFY((menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())));
        auto *entry = menu->findChild<QAction *>("ImportTrackList");
        QVERIFY(entry);
        QCOMPARE(entry->text(), QString::fromUtf8("Import Track List\u2026"));
        entry->trigger();
        menu->close();
        const int before = answered;
        QTRY_COMPARE(answered, before + 1);
    }
    QCOMPARE(d->Label4->Caption(), QStringLiteral("Line 1"));
    QCOMPARE(d->Label27->Caption(), QString()); // the note is never a title
    QCOMPARE(d->Document().TitleList().size(), 30);
}

// "All Titles…" from the titles window, the cover's menu and its keys: the import's list holds the
// whole list; OK is one named step, Cancel nothing; 20 or fewer go back to the 20 lines.
void TestTrackImport::allTitles_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("edit"); // "add" 22 titles, "remove" 10 rows, "move", "cancel"
    QTest::addColumn<int>("listSize");
    QTest::addColumn<QStringList>("lines"); // title lines 1, 2, 20
    QTest::newRow("button, add") << "button"
                                 << "add" << 25 << QStringList{"L1", "L2", "New 20"};
    QTest::newRow("menu, remove to 15") << "menu"
                                        << "remove" << 0 << QStringList{"L11", "L12", ""};
    QTest::newRow("keys, move") << "keys"
                                << "move" << 25 << QStringList{"L2", "L1", "L20"};
    QTest::newRow("cancel") << "keys"
                            << "cancel" << 25 << QStringList{"L1", "L2", "L20"};
}

void TestTrackImport::allTitles()
{
    QFETCH(QString, way);
    QFETCH(QString, edit);
    QFETCH(int, listSize);
    QFETCH(QStringList, lines);
    QStringList start;
    for (int i = 1; i <= (edit == "add" ? 3 : 25); ++i)
        start << QStringLiteral("L%1").arg(i);
    tracklist::CoverTexts texts;
    texts.titles = start;
    d->ApplyTrackImport(texts);
    d->Command14->click();
    Titles *t = d->TitlesForm();
    d->FlushUndo();
    const QStringList before = d->DesignRecords();
    const int steps = d->UndoStack()->count();
    QString title;
    TrackImportDialog::Answer = [&](TrackImportDialog &dlg) {
        ++answered;
        title = dlg.windowTitle();
        dlg.show();
        if (!QTest::qWaitForWindowExposed(&dlg))
            return int(QDialog::Rejected);
        if (edit == "add") {
            dlg.List->selectRow(2);
            QTest::mouseClick(dlg.Add, Qt::LeftButton);
            auto *editor = dlg.List->viewport()->findChild<QLineEdit *>();
            if (!editor)
                return int(QDialog::Rejected);
            QTest::keyClicks(editor, "New 4");
            QTest::keyClick(editor, Qt::Key_Return);
            // Committed when queued.
            if (!QTest::qWaitFor([&] { return dlg.Model->index(3, 0).data().toString() == "New 4"; }))
                return int(QDialog::Rejected);
            for (int i = 5; i <= 25; ++i) {
                dlg.Model->insertRows(dlg.Model->rowCount(), 1);
                dlg.Model->setData(dlg.Model->index(i - 1, 0), QStringLiteral("New %1").arg(i), Qt::EditRole);
            }
        } else if (edit == "remove") {
            for (int i = 0; i < 10; ++i) {
                dlg.List->selectRow(0);
                QTest::mouseClick(dlg.Remove, Qt::LeftButton);
            }
        } else if (edit == "move") {
            // Not selectRow: it reads the keyboard's modifiers, which the shortcut may leave held.
            dlg.List->selectionModel()->select(dlg.Model->index(1, 0), QItemSelectionModel::ClearAndSelect |
                                                                           QItemSelectionModel::Rows);
            QTest::mouseClick(dlg.MoveUp, Qt::LeftButton);
        }
        return int(edit == "cancel" ? QDialog::Rejected : QDialog::Accepted);
    };
    if (way == "button") {
        QCOMPARE(t->AllTitles->text(), QString::fromUtf8("All Titles\u2026"));
        QVERIFY(!t->AllTitles->geometry().intersects(t->Check1->geometry()));
        for (int n = 1; n <= 24; ++n)
            QVERIFY(!t->AllTitles->geometry().intersects(t->Text(n)->geometry()));
        QTest::mouseClick(t->AllTitles, Qt::LeftButton);
    } else if (way == "menu") {
        std::unique_ptr<QMenu> menu(d->CoverMenu());
        const QList<QAction *> actions = menu->actions();
        const auto entry = std::find_if(actions.begin(), actions.end(), [](QAction *a) {
            return a->text() == QString::fromUtf8("All Titles\u2026");
        });
        QVERIFY(entry != actions.end());
        (*entry)->trigger();
    } else {
        d->show();
        d->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(d.get()));
        QTest::keySequence(d.get(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I));
    }
    QTRY_COMPARE(answered, 1);
    QCOMPARE(title, QStringLiteral("All Titles"));
    QCoreApplication::processEvents();
    QCOMPARE(d->Document().titles.list.size(), listSize);
    QCOMPARE(coverTitles(1, 2) << d->CoverLabelN(23)->Caption(), lines);
    QCOMPARE(t->Text(1)->text(), lines[0]); // the fields follow
    if (edit == "add")
        QCOMPARE(d->Document().titles.list.mid(2, 2), (QStringList{"L3", "New 4"}));
    if (edit == "cancel") {
        QCOMPARE(d->UndoStack()->count(), steps);
        return;
    }
    QCOMPARE(d->UndoStack()->count(), steps + 1);
    QCOMPARE(d->UndoStack()->undoText(), QStringLiteral("Edit All Titles"));
    d->Undo();
    QCOMPARE(d->DesignRecords(), before);
    QCOMPARE(d->Document().TitleList(), start);
}

QTEST_MAIN(TestTrackImport)
#include "test_trackimport.moc"
