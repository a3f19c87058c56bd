// The ways into a track list import from the design window itself: the cover's menu, Ctrl+I,
// and drops on the cover panel (where pictures keep their meaning).

#include <QtTest>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>

#include "app_setup.h"
#include "cover_elements.h"
#include "design.h"
#include "designfile.h"
#include "titles.h"
#include "trackimportdialog.h"

#include "fixtures.h"

using fixtures::Kind;
using fixtures::Tags;

namespace {

// Drags `files` over the window to `pos` and drops them there; tells whether the move and the
// drop were each taken. The drop is sent even after a refused move, so that it is checked too.
std::pair<bool, bool> drop(QWidget *target, QPoint pos, const QStringList &files)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString &f : files)
        urls << QUrl::fromLocalFile(f);
    mime.setUrls(urls);
    mime.setText(files.join(u'\n'));
    QDragEnterEvent enter(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent dropped(QPointF(pos), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropped);
    return {enter.isAccepted() && move.isAccepted(), dropped.isAccepted()};
}

} // namespace

class TestTrackImportCover : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void menuAndShortcut_data();
    void menuAndShortcut();
    void dropOnPanel_data();
    void dropOnPanel();

private:
    QString path(const QString &name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    std::unique_ptr<Design> d;
    int answered = 0;
};

void TestTrackImportCover::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true); // Open Recent's list stays the tests'
    SetupDesignerApplication();
    QVERIFY(dir.isValid());
    QDir().mkpath(path("album"));
    const char *names[] = {"One", "Two", "Three"};
    for (int i = 0; i < 3; ++i)
        QVERIFY(fixtures::makeAudio(path(QStringLiteral("album/0%1.wav").arg(i + 1)), Kind::Wav,
                                    Tags{names[i], "Ana Ruiz", "Night Songs", {}, i + 1, 0}, dir.path()));
    QByteArray text;
    for (int i = 1; i <= 30; ++i)
        text += "Line " + QByteArray::number(i) + "\n";
    QVERIFY(fixtures::writeBytes(path("list.txt"), text));
    QVERIFY(fixtures::writeBytes(path("sheet.cue"), "TITLE \"Live\"\nTRACK 01 AUDIO\nTITLE \"Cue One\"\n"
                                                    "INDEX 01 00:00:00\nTRACK 02 AUDIO\nTITLE \"Cue Two\"\n"
                                                    "INDEX 01 02:00:00\n"));
    QVERIFY(fixtures::writeBytes(path("mix.m3u"),
                                 "#EXTM3U\n#EXTINF:185,M3U One\ngone1.mp3\n#EXTINF:60,M3U Two\ngone2.mp3\n"));
    QImage img(30, 20, QImage::Format_RGB32);
    img.fill(Qt::darkCyan);
    QVERIFY(img.save(path("pic.png")));
    Design other;
    other.Text1->setText("Dropped");
    QVERIFY(designfile::Write(path("dropped.qwd"), other.DesignRecords()));
}

void TestTrackImportCover::init()
{
    d = std::make_unique<Design>();
    answered = 0;
    TrackImportDialog::Answer = [this](TrackImportDialog &) { return ++answered, QDialog::Accepted; };
}

void TestTrackImportCover::cleanup()
{
    d.reset();
    TrackImportDialog::Answer = [](TrackImportDialog &dlg) { return dlg.exec(); };
    TrackImportDialog::ChooseSources = ChooseTrackSources;
}

// ---------------------------------------------------------------- menu and key

void TestTrackImportCover::menuAndShortcut_data()
{
    QTest::addColumn<QString>("how"); // "menu", "key", "key in field", "key in titles"
    QTest::newRow("cover menu entry") << "menu";
    QTest::newRow("Ctrl+I") << "key";
    QTest::newRow("Ctrl+I while typing a headline") << "key in field";
    QTest::newRow("Ctrl+I in the titles window") << "key in titles";
}

void TestTrackImportCover::menuAndShortcut()
{
    QFETCH(QString, how);
    QWidget *chooserParent = nullptr;
    QWidget *window = d.get(); // the window the chooser should be over
    TrackImportDialog::ChooseSources = [&](QWidget *parent) {
        chooserParent = parent;
        return QStringList{path("list.txt")};
    };
    d->show();
    d->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(d.get()));
    if (how == "menu") {
        std::unique_ptr<QMenu> menu(d->CoverMenu());
        const QList<QAction *> actions = menu->actions();
        const auto recent = actions.indexOf(menu->findChild<QMenu *>("OpenRecentMenu")->menuAction());
        QVERIFY(recent >= 0 && recent + 1 < actions.size());
        QAction *entry = actions.at(recent + 1); // beside Open Recent
        QCOMPARE(entry->text(), QString::fromUtf8("Import Track List\u2026"));
        QCOMPARE(entry->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_I));
        entry->trigger();
    } else if (how == "key") {
        QTest::keySequence(d.get(), QKeySequence(Qt::CTRL | Qt::Key_I));
    } else if (how == "key in titles") {
        window = d->TitlesForm();
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keySequence(window, QKeySequence(Qt::CTRL | Qt::Key_I));
    } else {
        d->Text1->setFocus();
        QTest::keyClicks(d->Text1, "Tide");
        QTest::keySequence(d->Text1, QKeySequence(Qt::CTRL | Qt::Key_I));
        QCOMPARE(d->Text1->text(), QStringLiteral("Tide")); // the field did not take the key
    }
    QTRY_COMPARE(answered, 1);
    QCOMPARE(chooserParent, window);
    QCOMPARE(d->Label4->Caption(), QStringLiteral("Line 1"));
    QCOMPARE(d->Label27->Caption(), QString()); // the note is never a title
    QCOMPARE(d->Document().titles.list.size(), 30);
    QVERIFY(d->Check7->isChecked());
}

// ---------------------------------------------------------------- drops on the panel

void TestTrackImportCover::dropOnPanel_data()
{
    QTest::addColumn<QStringList>("files"); // names in the test folder
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<QString>("outcome"); // the first title imported, "picture", "opened" or ""
    const QPoint cover(228, 228);
    QTest::newRow("folder") << QStringList{"album"} << cover << "One";
    QTest::newRow("several audio files, in track order")
        << QStringList{"album/03.wav", "album/01.wav"} << cover << "One";
    QTest::newRow("CUE sheet") << QStringList{"sheet.cue"} << cover << "Cue One";
    QTest::newRow("playlist") << QStringList{"mix.m3u"} << cover << "M3U One";
    QTest::newRow("text list on a logo's place") << QStringList{"list.txt"} << QPoint(30, 430) << "Line 1";
    QTest::newRow("text list beside the panel") << QStringList{"list.txt"} << QPoint(490, 240) << "";
    QTest::newRow("picture: the picture slot") << QStringList{"pic.png"} << cover << "picture";
    QTest::newRow("picture among audio files: refused, saying why")
        << QStringList{"album/01.wav", "pic.png"} << cover << "said";
    QTest::newRow("design file opens") << QStringList{"dropped.qwd"} << cover << "opened";
}

void TestTrackImportCover::dropOnPanel()
{
    QFETCH(QStringList, files);
    QFETCH(QPoint, pos);
    QFETCH(QString, outcome);
    for (QString &f : files)
        f = path(f);
    const QStringList before = d->DesignRecords();
    const auto [moveTaken, dropTaken] = drop(d.get(), pos, files);
    QCOMPARE(moveTaken, !outcome.isEmpty());
    QCOMPARE(dropTaken, !outcome.isEmpty());
    if (outcome == "picture") {
        QVERIFY(d->Image1->HasPicture());
        QCOMPARE(d->PIXFLN->text(), files.front());
    } else if (outcome == "opened") {
        QCOMPARE(d->Label2->Caption(), QStringLiteral("Dropped"));
    } else if (outcome == "said") {
        QCoreApplication::processEvents(); // an import would have been queued
        QCOMPARE(answered, 0);
        QCOMPARE(d->DesignRecords(), before);
        QVERIFY(d->findChild<QMessageBox *>("Notice"));
    } else if (!outcome.isEmpty()) {
        QTRY_COMPARE(answered, 1); // the import runs once the drop has returned
        QCOMPARE(d->Label4->Caption(), outcome);
        QVERIFY(d->Check7->isChecked());
        QVERIFY(!d->Image1->HasPicture());
    } else {
        QCoreApplication::processEvents(); // an import would have been queued
        QCOMPARE(answered, 0);
        QCOMPARE(d->DesignRecords(), before);
        QVERIFY(!d->findChild<QMessageBox *>("Notice"));
    }
}

QTEST_MAIN(TestTrackImportCover)
#include "test_trackimport_cover.moc"
