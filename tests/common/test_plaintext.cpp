// Text from files, tags and paths shows as its own characters everywhere: every role of the
// import preview's model and of the index maker's lists, and every label, message box, question
// and progress dialog that shows such text in the three programs.

#include <QtTest>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTextDocument>

#include <functional>

#include "app_setup.h"
#include "commondialog.h"
#include "design.h"
#include "form1.h"
#include "fs_listing.h"
#include "fs_models.h"
#include "secondary_windows.h"
#include "startup.h"
#include "titles.h"
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

// Checks the texts of every window that carry `marker` (labels, those of message boxes and
// progress dialogs among them, and tooltips): each must show `literal` and load nothing.
struct WindowCheck {
    QString marker, literal;
    QStringList wrong; // what each such text shows
    int carrying = 0;
    void check(const QObject *w, const QString &text, Qt::TextFormat format)
    {
        const Seen s = seen(text, format);
        carrying += text.contains(marker);
        if (text.contains(marker) && (!s.text.contains(literal) || !s.loads.isEmpty()))
            wrong << w->objectName() + QLatin1String(": ") + s.text + u' ' + s.loads.join(u' ');
    }
    void now()
    {
        for (QWidget *top : QApplication::topLevelWidgets())
            for (const QWidget *w : top->findChildren<QWidget *>()) {
                if (const auto *label = qobject_cast<const QLabel *>(w))
                    check(label, label->text(), label->textFormat());
                check(w, w->toolTip(), Qt::AutoText);
            }
    }
    // While a modal box waits; closed then, as with Escape.
    void whenModal()
    {
        QTimer::singleShot(0, [this] {
            now();
            if (QWidget *box = QApplication::activeModalWidget())
                box->close();
        });
    }
};

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
    QTest::newRow("designer pictures and windows") << 0;
    QTest::newRow("designer problem") << 1;
    QTest::newRow("designer notice") << 2;
    QTest::newRow("import preview notes") << 3;
    QTest::newRow("index maker folder error") << 4;
    QTest::newRow("launcher start failure") << 5;
    QTest::newRow("designer yes-no question") << 6;
    QTest::newRow("index maker catalog question") << 7;
    QTest::newRow("catalog progress") << 8;
}

void TestPlainText::labels()
{
    QFETCH(int, where);
    // No '/' inside: the same text names files.
    const QString literal = QStringLiteral("<b>Bold<img src=x.png><a href=x>here<");
    WindowCheck windows{QStringLiteral("<b>"), literal, {}, 0};
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
        design->Text1->setText(literal); // and its secondary windows with it
        design->TitlesForm()->show();
        design->PixclearForm()->show();
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
    case 6: {
        // Qt's own message box, not a script.
        CommonDialog dialog(design);
        QtDialogBackend qt;
        windows.whenModal();
        QVERIFY(!qt.question(dialog, design, QStringLiteral("Save"), literal));
        break;
    }
    case 7:
    case 8: {
        QVERIFY(QDir(dir.path()).mkpath(literal));
        auto *form = new Form1;
        QVERIFY(form->OpenFolder(QFile::encodeName(dir.filePath(literal))));
        form->CatalogHooks.beforeRead = [&](const QByteArray &) { windows.now(); }; // the dialog is up
        catalog::Catalog c;
        if (where == 7) {
            windows.whenModal();
            form->Catalog_Click();
        } else {
            QVERIFY(form->ReadCatalog(c));
        }
        break;
    }
    }
    windows.now();
    QVERIFY2(windows.wrong.isEmpty(), qPrintable(windows.wrong.join(u'\n')));
    QVERIFY(windows.carrying > 0);
}

QTEST_MAIN(TestPlainText)
#include "test_plaintext.moc"
