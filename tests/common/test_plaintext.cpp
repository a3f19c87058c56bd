// Text from files, tags and paths shows as its own characters everywhere: every role of the
// import preview's model and of the index maker's lists, every label and message box that shows
// such text in the three programs, and the real question dialog of the dialog service.

#include <QtTest>

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTextDocument>

#include <functional>

#include "app_setup.h"
#include "commondialog.h"
#include "design.h"
#include "form1.h"
#include "fs_listing.h"
#include "fs_models.h"
#include "startup.h"
#include "trackimportdialog.h"

namespace {

// What a person sees of a text shown in a place of the format (Qt::AutoText guessed as Qt
// guesses), and the resources the rich text would load to show it.
struct Seen {
    QString text;
    QStringList loads;
};

class ProbeDocument : public QTextDocument
{
public:
    QStringList loads;

protected:
    // Noted, never read: the faults this finds would read /dev/zero.
    QVariant loadResource(int, const QUrl &name) override
    {
        loads << name.toString();
        return {};
    }
};

Seen seen(const QString &text, Qt::TextFormat format)
{
    if (format == Qt::PlainText || (format == Qt::AutoText && !Qt::mightBeRichText(text)))
        return {text, {}};
    ProbeDocument doc;
    doc.setHtml(text);
    doc.setTextWidth(400);
    (void)doc.size(); // lays out, loading what the text names
    QString plain = doc.toPlainText();
    plain.replace(QChar::Nbsp, u' ');
    return {plain, doc.loads};
}

// Views paint their display and edit texts plainly; tooltips and "What's This" guess.
Qt::TextFormat formatOfRole(int role)
{
    return role == Qt::ToolTipRole || role == Qt::WhatsThisRole ? Qt::AutoText : Qt::PlainText;
}

const int TextRoles[] = {Qt::DisplayRole, Qt::EditRole, Qt::ToolTipRole, Qt::StatusTipRole,
                         Qt::WhatsThisRole};

// Checks every text role of every cell that carries `marker`: it must show `literal`.
void checkModel(const QAbstractItemModel &model, const QString &marker, const QString &literal)
{
    int carrying = 0;
    for (int row = 0; row < model.rowCount(); ++row)
        for (int column = 0; column < model.columnCount(); ++column)
            for (const int role : TextRoles) {
                const QString value = model.index(row, column).data(role).toString();
                if (!value.contains(marker))
                    continue;
                ++carrying;
                const Seen s = seen(value, formatOfRole(role));
                QVERIFY2(s.text.contains(literal),
                         qPrintable(QStringLiteral("row %1 column %2 role %3 shows \"%4\"")
                                        .arg(row)
                                        .arg(column)
                                        .arg(role)
                                        .arg(s.text)));
                QVERIFY2(s.loads.isEmpty(), qPrintable(s.loads.join(u' ')));
            }
    QVERIFY(carrying > 0);
}

// Every label of every window that carries `marker` must show `literal`.
void checkLabels(const QString &marker, const QString &literal)
{
    int carrying = 0;
    for (QWidget *top : QApplication::topLevelWidgets())
        for (const QLabel *label : top->findChildren<QLabel *>()) {
            if (!label->text().contains(marker))
                continue;
            ++carrying;
            const Seen s = seen(label->text(), label->textFormat());
            QVERIFY2(s.text.contains(literal),
                     qPrintable(label->objectName() + QStringLiteral(": ") + s.text));
            QVERIFY2(s.loads.isEmpty(), qPrintable(s.loads.join(u' ')));
        }
    QVERIFY(carrying > 0);
}

} // namespace

class TestPlainText : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void previewRoles_data();
    void previewRoles();
    void indexerListRoles();
    void labels_data();
    void labels();
    void realQuestion();

private:
    QTemporaryDir dir;
};

void TestPlainText::initTestCase()
{
    SetupDesignerApplication();
    QVERIFY(dir.isValid());
}

void TestPlainText::cleanup()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        w->deleteLater();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestPlainText::previewRoles_data()
{
    QTest::addColumn<QString>("tag");
    QTest::newRow("image of a device") << QStringLiteral("<img src=\"/dev/zero\">Zero");
    QTest::newRow("image of a file") << QStringLiteral("Cover <img src=/etc/hostname>");
    QTest::newRow("bold") << QStringLiteral("<b>Bold</b> move");
    QTest::newRow("link") << QStringLiteral("<a href=\"http://x.invalid/\">Here</a>");
    QTest::newRow("entity") << QStringLiteral("Salt &amp; Pepper");
    QTest::newRow("escaped tag") << QStringLiteral("&lt;i&gt;Not italic");
    QTest::newRow("spaces") << QStringLiteral("<i>a</i>   b");
}

void TestPlainText::previewRoles()
{
    QFETCH(QString, tag);
    tracklist::Track t;
    t.title = tag;
    t.artist = tag;
    t.durationMs = 61000;
    tracklist::ReadResult read;
    read.tracks = {t, t};
    TrackImportDialog preview(read, tag, QString());
    preview.Numbered->setChecked(true); // the cover column shows the title with its number
    checkModel(*preview.Model, tag.left(4), tag);
}

void TestPlainText::indexerListRoles()
{
    const QString literal = QStringLiteral("<b>Bold<img src=x.png>");
    QDir(dir.path()).mkpath(literal + QStringLiteral("Folder"));
    QFile file(dir.filePath(literal + QStringLiteral("File")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const QByteArray path = QFile::encodeName(dir.path());
    const fsl::ListingPtr listing = fsl::ReadFolder(path);
    QVERIFY(listing);
    fsl::FileListModel files;
    files.setListing(listing, 2);
    checkModel(files, QStringLiteral("<b>"), literal + QStringLiteral("File"));
    fsl::FolderListModel folders;
    folders.set(path, "/", listing);
    checkModel(folders, QStringLiteral("<b>"), literal + QStringLiteral("Folder"));
}

void TestPlainText::labels_data()
{
    // Where each program shows a path or a text from a file.
    QTest::addColumn<int>("where");
    enum { Pictures, Problem, Notice, Preview, FolderError, StartFailure };
    QTest::newRow("designer picture paths") << int(Pictures);
    QTest::newRow("designer problem") << int(Problem);
    QTest::newRow("designer notice") << int(Notice);
    QTest::newRow("import preview notes") << int(Preview);
    QTest::newRow("index maker folder error") << int(FolderError);
    QTest::newRow("launcher start failure") << int(StartFailure);
}

void TestPlainText::labels()
{
    QFETCH(int, where);
    // No '/' inside: the same text names files.
    const QString literal = QStringLiteral("<b>Bold<img src=x.png><a href=x>here<");
    auto *design = new Design;
    switch (where) {
    case 0: {
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::red);
        const QString path = dir.filePath(literal + QStringLiteral(".png"));
        QVERIFY(image.save(path, "PNG"));
        QVERIFY(design->LoadPictureFile(CoverDocument::Slot::Main, path));
        QVERIFY(design->LoadPictureFile(CoverDocument::Slot::Logo1, path));
        QVERIFY(design->LoadPictureFile(CoverDocument::Slot::Logo2, path));
        break;
    }
    case 1: design->ReportProblem(QStringLiteral("Open"), literal); break;
    case 2: design->ShowNotice(QStringLiteral("Open"), literal); break;
    case 3: {
        tracklist::Track t;
        t.title = QStringLiteral("One");
        t.album = literal; // the top headline
        tracklist::ReadResult read;
        read.tracks = {t};
        auto *preview = new TrackImportDialog(read, QString(), QString(), design);
        preview->show();
        break;
    }
    case 4: {
        auto *form = new Form1;
        form->ShowFolderError(QFile::encodeName(literal), ENOENT);
        break;
    }
    case 5: {
        // Looked for in a folder of that name, and not found there.
        Startup::Platform platform;
        platform.workAreaWidth = [] { return 1024; };
        platform.programFolder = dir.filePath(literal);
        auto *startup = new Startup(platform);
        startup->show();
        startup->Command2_Click();
        break;
    }
    }
    checkLabels(QStringLiteral("<b>"), literal);
}

void TestPlainText::realQuestion()
{
    // Qt's own message box, not a script: found while it waits for an answer.
    // (An image that exists nowhere: a fault here would otherwise read what it names.)
    const QString literal = QStringLiteral("Replace <b>Bold</b><img src=missing.png> &amp; co?");
    Seen shown;
    bool found = false;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        found = true;
        if (const auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label")))
            shown = seen(label->text(), label->textFormat());
        box->button(QMessageBox::No)->click();
    });
    CommonDialog dialog(nullptr);
    QtDialogBackend qt;
    QVERIFY(!qt.question(dialog, nullptr, QStringLiteral("Replace"), literal));
    QVERIFY(found);
    QCOMPARE(shown.text, literal);
    QCOMPARE(shown.loads, QStringList());
}

QTEST_MAIN(TestPlainText)
#include "test_plaintext.moc"
