// Form1 of the index maker: layouts, browsing, printing and quick help,
// on temporary trees, offscreen.
#include <QtTest>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSettings>
#include <QStandardPaths>

#include "commondialog.h"
#include "fonts.h"
#include "form1.h"
#include "form3.h"
#include "form5.h"
#include "layouts.h"
#include "pageprint.h"
#include "scripteddialog.h"
#include "texts.h"
#include "tree.h"

using namespace fsl;

namespace {

const int kFlowSizes[] = {0, 1, 29, 30, 318, 5000};

const char *kListNames[] = {"Dir1",  "Dir2",  "Dir3",  "Dir4",  "Dir5",  "Dir6",
                            "File1", "File2", "File3", "File4", "File5", "File6"};

QWidget *listOf(Form1 &f, int i)
{
    QWidget *all[] = {f.Dir1,  f.Dir2,  f.Dir3,  f.Dir4,  f.Dir5,  f.Dir6,
                      f.File1, f.File2, f.File3, f.File4, f.File5, f.File6};
    return all[i];
}

QByteArray pathOf(QWidget *w)
{
    if (auto *d = qobject_cast<FolderListBox *>(w))
        return d->NativePath();
    return qobject_cast<FileListBox *>(w)->NativePath();
}

// Every list's folder, by name.
QMap<QString, QByteArray> folders(Form1 &f)
{
    QMap<QString, QByteArray> m;
    for (int i = 0; i < 12; ++i)
        m[QString::fromLatin1(kListNames[i])] = pathOf(listOf(f, i));
    return m;
}

QStringList shownLists(Form1 &f)
{
    QStringList out;
    for (int i = 0; i < 12; ++i)
        if (!listOf(f, i)->isHidden())
            out << QString::fromLatin1(kListNames[i]);
    return out;
}

int rowOf(FolderListBox *d, const QString &name)
{
    for (int i = d->AncestorCount(); i < d->ListCount(); ++i)
        if (d->List(i) == name)
            return i;
    return -1;
}

void open(FolderListBox *d, const QString &name)
{
    const int row = rowOf(d, name);
    QVERIFY2(row >= 0, qPrintable(name));
    QVERIFY(d->OpenRow(row));
}

// A word pdftotext finds on the page: its left edge and height, and its box, in points.
struct PdfWord {
    QString text;
    double x;
    double height;
    QRectF box;
};

QList<PdfWord> pdfWords(const QString &pdf)
{
    QList<PdfWord> out;
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(20000))
        return out;
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression re(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" "
                       "xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>"));
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        const QPointF topLeft(m.captured(1).toDouble(), m.captured(2).toDouble());
        const QPointF bottomRight(m.captured(3).toDouble(), m.captured(4).toDouble());
        out << PdfWord{m.captured(5), topLeft.x(), bottomRight.y() - topLeft.y(),
                       QRectF(topLeft, bottomRight)};
    }
    return out;
}

} // namespace

class TestForm1 : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startState();
    void fixedElements();
    void layoutTable_data();
    void layoutTable();
    void layoutDescriptions_data();
    void layoutDescriptions();
    void layoutEdgeCases();
    void layoutKeepsFolders();
    void linkingLayout1();
    void linkingLayout12();
    void linkingLayouts13And14_data();
    void linkingLayouts13And14();
    void layout1AfterIndependentBrowsing();
    void layout17DriveChange();
    void activationAfterLayout13();
    void activationOnlyFromOwnWindows();
    void drive1FocusTitle();
    void refreshAfterTreeChanged();
    void refreshStopsAtFirstFailure();
    void missingDriveShowsForm5();
    void vanishingVolume();
    void unreadableAndVanishedFolders();
    void readOncePerChange();
    void flowColumns_data();
    void flowColumns();
    void keepFlowing();
    void chooseFolderAndDrive();
    void exportPreviewAndKeys();
    void printToPdf();
    void printedPageMatchesScreen_data();
    void printedPageMatchesScreen();
    void pageFitQuestion_data();
    void pageFitQuestion();
    void printFailureRestores_data();
    void printFailureRestores();
    void printSetUp();
    void quickHelpOnce();
    void buttonHelpTexts();

private:
    std::unique_ptr<Tree> tree_;
    std::unique_ptr<Tree> flowTree_;
    std::unique_ptr<FakeVolumes> volumes_;
    std::unique_ptr<WorkingFolder> cwd_;
    std::unique_ptr<Form1> form_;
    std::function<void()> beforePrint_; // runs as the page goes to the printer
    QStringList answers_;               // the buttons questions get, in turn ("" when none is left)
    QStringList asked_;                 // the questions put
    QStringList offered_;               // the buttons of the last one
    QString chosen_;                    // what folder and file dialogs answer ("": cancel)
    QString pdf_;
    Form1 &form() { return *form_; }
};

void TestForm1::initTestCase()
{
    fonts::InstallSubstitutions();
    QStandardPaths::setTestModeEnabled(true); // settings of our own, not the user's
    // Folders of 0, 1, 29, 30, 318 and 5,000 files, made once.
    flowTree_ = std::make_unique<Tree>();
    for (int n : kFlowSizes) {
        const QByteArray dir = "n" + QByteArray::number(n);
        QVERIFY(flowTree_->mkdir(dir));
        for (int i = 0; i < n; ++i)
            QVERIFY(flowTree_->touch(dir + "/f" + QByteArray::number(i) + ".txt"));
    }
}

void TestForm1::init()
{
    QSettings(QString::fromLatin1(Form1::SettingsOrganization),
              QString::fromLatin1(Form1::SettingsApplication))
        .clear();
    // A disc of our own: the root folder with three subfolders and some files,
    // and a second "drive" elsewhere in the tree.
    tree_ = std::make_unique<Tree>();
    Tree &t = *tree_;
    for (const char *d :
         {"disc", "disc/Alpha", "disc/Beta", "disc/Gamma", "disc/Alpha/Deep", "drive2", "drive2/Other"})
        QVERIFY(t.mkdir(d));
    for (const char *f : {"disc/top1.txt", "disc/top2.txt", "disc/Alpha/a1.txt", "disc/Beta/b1.txt",
                          "disc/Gamma/g1.txt", "disc/Alpha/Deep/d1.txt", "drive2/second.txt"})
        QVERIFY(t.touch(f));
    volumes_ = std::make_unique<FakeVolumes>(std::initializer_list<fsl::Volume>{
        {"/", {}}, {t.path("disc"), QStringLiteral("DISC")}, {t.path("drive2"), {}}});
    cwd_ = std::make_unique<WorkingFolder>(t.path("disc"));
    Form1::Platform platform;
    platform.printPage = [this](QPrinter &printer, const QString &docName, const Form1::PaintFn &paint,
                                QString *why) {
        if (beforePrint_)
            beforePrint_();
        return pageprint::PrintPage(printer, docName, paint, why);
    };
    platform.ask = [this](QWidget *, const QString &, const QString &text, const QStringList &buttons) {
        asked_ << text;
        offered_ = buttons;
        const QString answer = answers_.isEmpty() ? QString() : answers_.takeFirst();
        return buttons.contains(answer) ? answer : QString();
    };
    platform.chooseFolder = [this](QWidget *, const QString &) { return chosen_; };
    platform.chooseSaveFile = [this](QWidget *, const QString &, const QString &, const QString &) {
        return chosen_;
    };
    platform.preview = [this](QWidget *, QPrinter &printer, const std::function<void(QPrinter &)> &paint) {
        const QString target = printer.outputFileName();
        printer.setOutputFileName(chosen_);
        paint(printer);
        printer.setOutputFileName(target);
    };
    form_ = std::make_unique<Form1>(platform);
    pdf_ = QString::fromUtf8(t.path("out.pdf"));
    // Never the real default printer in a test.
    form().CommonDialog1.Printer().setOutputFileName(pdf_);
    form().Form_Initialize();
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
}

void TestForm1::cleanup()
{
    Form1::QuickHelp().hide();
    Form1::DriveError().hide();
    Form1::FolderError().hide();
    form_.reset();
    beforePrint_ = nullptr;
    answers_.clear();
    asked_.clear();
    chosen_.clear();
    cwd_.reset();
    volumes_.reset();
    tree_.reset();
    CommonDialog::SetBackend(nullptr);
}

void TestForm1::startState()
{
    Form1 &f = form();
    QCOMPARE(f.width(), 445);
    QCOMPARE(f.height(), 436);
    QCOMPARE(f.OuterWidthTwips(), 6795);
    QCOMPARE(f.windowTitle(), QString::fromLatin1(texts::CreditLine));
    QVERIFY(f.windowTitle().startsWith(QStringLiteral("CD-R Data Index Quirewell")));
    QVERIFY(f.Option1->isChecked());
    QCOMPARE(f.SelectedLayout(), 1);
    QCOMPARE(shownLists(f), QStringList({"Dir1", "File1", "File2"}));
    QCOMPARE(f.Dir1->geometry(), QRect(0, 3, 129, 396));
    QCOMPARE(f.File1->geometry(), QRect(132, 0, 129, 405));
    QCOMPARE(f.File2->geometry(), QRect(264, 0, 129, 405));
    QCOMPARE(f.pos(), QPoint(0, 0));
    // Every list shows the working folder; the drive is the working folder's.
    for (const QByteArray &p : folders(f))
        QCOMPARE(p, tree_->path("disc"));
    QCOMPARE(f.Drive1->NativeDrive(), tree_->path("disc"));
    QCOMPARE(f.File1->Entries(), QStringList({"top1.txt", "top2.txt"}));
    QCOMPARE(f.Dir1->Subfolders(), QStringList({"Alpha", "Beta", "Gamma"}));
    QVERIFY(f.palette().color(QPalette::Window) == Qt::white);
}

void TestForm1::fixedElements()
{
    Form1 &f = form();
    for (int n = 1; n <= 20; ++n) {
        QRadioButton *o = f.Options[static_cast<size_t>(n)];
        QCOMPARE(o->text(), QString::number(n));
        QCOMPARE(o->geometry(), QRect(400, 32 + 16 * (n - 1), n < 10 ? 25 : 33, n <= 18 ? 13 : 17));
        QVERIFY(o->isVisible());
    }
    QCOMPARE(f.Option20->geometry().top(), 336);
    QCOMPARE(f.Drive1->geometry(), QRect(0, 408, 97, 21));
    const struct {
        QPushButton *b;
        const char *caption;
        QRect r;
    } buttons[] = {
        {f.Command4, "Refresh", {120, 416, 57, 17}},
        {f.Command3, "Help!", {208, 416, 44, 17}},
        {f.Command2, "Print Set-Up", {280, 416, 76, 17}},
        {f.Command1, "Print", {384, 416, 52, 17}},
    };
    for (const auto &b : buttons) {
        QCOMPARE(b.b->text(), QString::fromLatin1(b.caption));
        QCOMPARE(b.b->geometry(), b.r);
        QCOMPARE(b.b->font().pointSizeF(), 6.75);
        QCOMPARE(b.b->font().family(), QStringLiteral("Arial"));
    }
    QCOMPARE(QLine(f.Line1.X1, f.Line1.Y1, f.Line1.X2, f.Line1.Y2), QLine(440, 432, 8, 432));
    QCOMPARE(QLine(f.Line2.X1, f.Line2.Y1, f.Line2.X2, f.Line2.Y2), QLine(438, 425, 438, 435));
    QCOMPARE(QLine(f.Line3.X1, f.Line3.Y1, f.Line3.X2, f.Line3.Y2), QLine(438, 0, 438, 10));
    QVERIFY(!f.Line1.Visible && !f.Line2.Visible && !f.Line3.Visible);
    // The fixed slots, placed by the activation step.
    QCOMPARE(f.Dir2->geometry(), QRect(132, 3, 129, 396));
    QCOMPARE(f.Dir3->geometry(), QRect(265, 3, 129, 396));
    QCOMPARE(f.Dir4->geometry(), QRect(435, 3, 112, 405));
    QCOMPARE(f.Dir5->geometry(), QRect(550, 3, 107, 405));
    QCOMPARE(f.Dir6->geometry(), QRect(660, 3, 107, 405));
    QCOMPARE(f.File4->geometry(), QRect(435, 0, 112, 405));
    QCOMPARE(f.File5->geometry(), QRect(550, 0, 107, 405));
    QCOMPARE(f.File6->geometry(), QRect(660, 0, 107, 405));
    for (QWidget *w : {static_cast<QWidget *>(f.Dir1), static_cast<QWidget *>(f.File1),
                       static_cast<QWidget *>(f.File2), static_cast<QWidget *>(f.Dir2)})
        QVERIFY(w->palette().color(QPalette::Base) == Qt::white);
}

void TestForm1::layoutTable_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("previous");
    QTest::addColumn<bool>("twoSided");
    QTest::addColumn<int>("dir1Height"); // 0: hidden
    QTest::addColumn<QRect>("file3");    // null: hidden
    QTest::addColumn<QStringList>("shown");
    const QStringList all = {"Dir1", "Dir2", "Dir3", "Dir4", "Dir5", "Dir6"};
    struct Row {
        int n;
        bool two;
        int dir1;
        QRect file3;
        QStringList shown;
    };
    const Row rows[] = {
        {1, false, 396, {}, {"Dir1", "File1", "File2"}},
        {2, false, 200, {0, 208, 130, 205}, {"Dir1", "File1", "File2", "File3"}},
        {3, false, 45, {0, 50, 130, 353}, {"Dir1", "File1", "File2", "File3"}},
        {4, true, 45, {0, 50, 130, 353}, {"Dir1", "File1", "File2", "File3", "File4", "File5", "File6"}},
        {5, true, 200, {0, 205, 129, 200}, {"Dir1", "File1", "File2", "File3", "File4", "File5", "File6"}},
        {6, true, 396, {}, {"Dir1", "File1", "File2", "File4", "File5", "File6"}},
        {7, true, 396, {}, {"Dir1", "Dir2", "File2", "File4", "File5", "File6"}},
        {8, true, 396, {}, {"Dir1", "Dir2", "Dir3", "File4", "File5", "File6"}},
        {9, true, 396, {}, {"Dir1", "Dir2", "Dir3", "Dir4", "File5", "File6"}},
        {10, true, 396, {}, {"Dir1", "Dir2", "Dir3", "Dir4", "Dir5", "File6"}},
        {11, true, 396, {}, all},
        {12, true, 396, {}, {"Dir1", "Dir3", "Dir5", "File1", "File4", "File6"}},
        {13, true, 396, {}, all},
        {14, false, 396, {}, {"Dir1", "Dir2", "Dir3"}},
        {15, false, 396, {}, {"Dir1", "Dir2", "Dir3"}},
        {16, false, 396, {}, {"Dir1", "Dir2", "File2"}},
        {17, false, 0, {0, 0, 129, 405}, {"File1", "File2", "File3"}},
        {18, false, 396, {}, {"Dir1", "File1"}},
        {19, false, 195, {0, 202, 129, 200}, {"Dir1", "File3"}},
        {20, false, 195, {}, {"Dir1"}},
    };
    // Each layout is reached from a one-sided and from a two-sided one, and from its neighbours.
    for (const Row &r : rows)
        for (int prev : {19, 11, r.n % 20 + 1})
            QTest::addRow("layout %d after %d", r.n, prev)
                << r.n << prev << r.two << r.dir1 << r.file3 << r.shown;
}

void TestForm1::layoutTable()
{
    QFETCH(int, layout);
    QFETCH(int, previous);
    QFETCH(bool, twoSided);
    QFETCH(int, dir1Height);
    QFETCH(QRect, file3);
    QFETCH(QStringList, shown);
    Form1 &f = form();
    QTest::mouseClick(f.Options[static_cast<size_t>(previous)], Qt::LeftButton, {}, QPoint(6, 6));
    QCOMPARE(f.SelectedLayout(), previous);
    QTest::mouseClick(f.Options[static_cast<size_t>(layout)], Qt::LeftButton, {}, QPoint(6, 6));
    QCOMPARE(f.SelectedLayout(), layout);
    QCOMPARE(f.OuterWidthTwips(), twoSided ? 12000 : 6795);
    QCOMPARE(f.width(), twoSided ? 792 : 445);
    QCOMPARE(f.height(), 436);
    QCOMPARE(f.Line1.X1, twoSided ? 775 : 440);
    QCOMPARE(f.Line2.X1, 438);
    if (dir1Height > 0)
        QCOMPARE(f.Dir1->geometry(), QRect(0, 3, 129, dir1Height));
    if (!file3.isNull())
        QCOMPARE(f.File3->geometry(), file3);
    shown.sort();
    QStringList got = shownLists(f);
    got.sort();
    QCOMPARE(got, shown);
    QCOMPARE(f.pos(), QPoint(0, 0)); // the window does not move
    QVERIFY(!f.Line1.Visible);
}

void TestForm1::layoutDescriptions_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<QString>("title");
    const char *titles[] = {
        "1-side.  1 full folder column plus 2 full file columns.  Linked left.",
        "1-side: 1/2 folder column plus 2 1/2 file columns.  Linked left.",
        "1-side: 1 folder plus almost 3 full file columns.  Linked left.",
        "2-sides: 1 folder plus almost 6 full file columns.  Linked left.",
        "2-sides: 1/2 folder column plus 5 1/2 file columns.  Linked left.",
        "2-sides: 1 folder plus 5 file columns.  Linked left.",
        "2-sides: 2 folder columns plus 4 file columns.  Linked left.",
        "2-sides: 3 folder columns plus 3 file columns.  Linked left.",
        "2-sides: 4 folder columns plus 2 file columns.  Linked left.",
        "2-sides: 5 folder columns plus 1 file column.  Linked left.",
        "2-sides: 6 folder columns and no file columns.  Linked left.",
        "2-sides: 3 independent sets of folder/file columns.  Not linked.",
        "2-sides: 6 indepedent folder columns, no file column.  Not linked.",
        "2-sides: 3 independent folder columns and no file column.  Not Linked.",
        "1-side: 3 left-linked folder columns, no file column.",
        "1-side: 2 folder columns and 1 file column.  Linked left.",
        "1-side: No folders, 3 file columns linked to the last folder opened.",
        "1-side: 1 folder column and 1 linked file column.",
        "1-side: 1/2 folder column and 1/2 file column.",
        "1-side: 1/2 folder column and no file column.",
    };
    for (int n = 1; n <= 20; ++n)
        QTest::addRow("layout %d", n) << n << QString::fromLatin1(titles[n - 1]);
}

void TestForm1::layoutDescriptions()
{
    QFETCH(int, layout);
    QFETCH(QString, title);
    Form1 &f = form();
    QTest::mouseMove(f.Options[static_cast<size_t>(layout)], QPoint(5, 5));
    QCOMPARE(f.windowTitle(), title);
    QCOMPARE(f.SelectedLayout(), 1); // pointing chooses nothing
    // The window's background restores the credit line.
    QTest::mouseMove(&f, QPoint(420, 20));
    QCOMPARE(f.windowTitle(), QString::fromLatin1(texts::CreditLine));
}

void TestForm1::layoutEdgeCases()
{
    Form1 &f = form();
    f.Option19->click();
    QCOMPARE(f.File3->geometry(), QRect(0, 202, 129, 200));
    QCOMPARE(f.Dir1->height(), 195);
    f.Option4->click();
    QCOMPARE(f.File3->geometry(), QRect(0, 50, 130, 353));
    QCOMPARE(f.Dir1->height(), 45);
    f.Option17->click();
    QVERIFY(f.Dir1->isHidden());
    f.Option20->click();
    QVERIFY(!f.Dir1->isHidden());
    QCOMPARE(f.Dir1->height(), 195);
    QCOMPARE(shownLists(f), QStringList({"Dir1"}));
    f.Option11->click();
    QVERIFY(!f.Dir4->isHidden() && !f.Dir5->isHidden() && !f.Dir6->isHidden());
    f.Option8->click();
    QVERIFY(f.Dir4->isHidden() && f.Dir5->isHidden() && f.Dir6->isHidden());
    QVERIFY(!f.File4->isHidden() && !f.File5->isHidden() && !f.File6->isHidden());
    f.Option13->click();
    f.Option3->click(); // back to one side: the second panel's lists hidden
    QCOMPARE(f.OuterWidthTwips(), 6795);
    for (QWidget *w :
         {static_cast<QWidget *>(f.Dir4), static_cast<QWidget *>(f.Dir5), static_cast<QWidget *>(f.Dir6),
          static_cast<QWidget *>(f.File4), static_cast<QWidget *>(f.File5), static_cast<QWidget *>(f.File6)})
        QVERIFY(w->isHidden());
    // Keyboard choice: arrow keys move through the group.
    f.Option3->setFocus();
    QTest::keyClick(f.Option3, Qt::Key_Down);
    QCOMPARE(f.SelectedLayout(), 4);
    QCOMPARE(f.OuterWidthTwips(), 12000);
}

void TestForm1::layoutKeepsFolders()
{
    Form1 &f = form();
    f.Option13->click();
    open(f.Dir2, QStringLiteral("Alpha"));
    open(f.Dir4, QStringLiteral("Beta"));
    f.File2->scrollToBottom();
    const auto before = folders(f);
    for (int n = 1; n <= 20; ++n)
        f.Options[static_cast<size_t>(n)]->click();
    QCOMPARE(folders(f), before);
    QCOMPARE(f.Drive1->NativeDrive(), tree_->path("disc"));
}

void TestForm1::linkingLayout1()
{
    Form1 &f = form();
    open(f.Dir1, QStringLiteral("Alpha"));
    const QByteArray alpha = tree_->path("disc/Alpha");
    for (const QByteArray &p : folders(f))
        QCOMPARE(p, alpha);
    QCOMPARE(f.File1->Entries(), QStringList({"a1.txt"}));
    QCOMPARE(f.File2->Entries(), QStringList({"a1.txt"}));
    QCOMPARE(f.Dir6->Subfolders(), QStringList({"Deep"})); // hidden, and set as well
    // Opening an ancestor goes back up, and all follow.
    QVERIFY(f.Dir1->OpenRow(f.Dir1->AncestorCount() - 2));
    for (const QByteArray &p : folders(f))
        QCOMPARE(p, tree_->path("disc"));
}

void TestForm1::linkingLayout12()
{
    Form1 &f = form();
    f.Option12->click();
    const auto start = folders(f);
    auto expect = start;
    open(f.Dir3, QStringLiteral("Beta"));
    expect["Dir3"] = expect["File4"] = tree_->path("disc/Beta");
    QCOMPARE(folders(f), expect);
    QCOMPARE(f.File4->Entries(), QStringList({"b1.txt"}));
    open(f.Dir5, QStringLiteral("Gamma"));
    expect["Dir5"] = expect["File6"] = tree_->path("disc/Gamma");
    QCOMPARE(folders(f), expect);
    open(f.Dir1, QStringLiteral("Alpha"));
    expect["Dir1"] = expect["File1"] = tree_->path("disc/Alpha");
    QCOMPARE(folders(f), expect);
    open(f.Dir2, QStringLiteral("Alpha"));
    expect["Dir2"] = tree_->path("disc/Alpha");
    open(f.Dir4, QStringLiteral("Beta"));
    expect["Dir4"] = tree_->path("disc/Beta");
    open(f.Dir6, QStringLiteral("Gamma"));
    expect["Dir6"] = tree_->path("disc/Gamma");
    QCOMPARE(folders(f), expect);
}

void TestForm1::linkingLayouts13And14_data()
{
    QTest::addColumn<int>("layout");
    QTest::newRow("13") << 13;
    QTest::newRow("14") << 14;
}

void TestForm1::linkingLayouts13And14()
{
    QFETCH(int, layout);
    Form1 &f = form();
    f.Options[static_cast<size_t>(layout)]->click();
    auto expect = folders(f);
    open(f.Dir2, QStringLiteral("Alpha"));
    expect["Dir2"] = tree_->path("disc/Alpha");
    QCOMPARE(folders(f), expect);
    open(f.Dir3, QStringLiteral("Beta"));
    expect["Dir3"] = tree_->path("disc/Beta");
    QCOMPARE(folders(f), expect);
    open(f.Dir5, QStringLiteral("Gamma"));
    expect["Dir5"] = tree_->path("disc/Gamma");
    QCOMPARE(folders(f), expect);
    open(f.Dir1, QStringLiteral("Gamma"));
    expect["Dir1"] = expect["File1"] = tree_->path("disc/Gamma");
    QCOMPARE(folders(f), expect);
}

void TestForm1::layout1AfterIndependentBrowsing()
{
    Form1 &f = form();
    f.Option13->click();
    open(f.Dir2, QStringLiteral("Alpha"));
    open(f.Dir3, QStringLiteral("Beta"));
    const auto before = folders(f);
    f.Option1->click();
    QCOMPARE(folders(f), before);
    open(f.Dir1, QStringLiteral("Gamma"));
    for (const QByteArray &p : folders(f))
        QCOMPARE(p, tree_->path("disc/Gamma"));
}

void TestForm1::layout17DriveChange()
{
    Form1 &f = form();
    f.Option17->click();
    QVERIFY(f.Dir1->isHidden());
    f.Drive1->SetDrive(tree_->path("drive2"));
    QVERIFY(!Form1::DriveError().isVisible());
    // The working folder is not on that drive: it opens at its root.
    QCOMPARE(f.Dir1->NativePath(), tree_->path("drive2"));
    for (fsl::FileListBox *l : {f.File1, f.File2, f.File3})
        QCOMPARE(l->Entries(), QStringList({"second.txt"}));
    // Back on the working folder's drive: the working folder again.
    f.Drive1->SetDrive(tree_->path("disc"));
    QCOMPARE(f.Dir1->NativePath(), tree_->path("disc"));
    // The drive list really is a combo box of the volumes.
    QCOMPARE(f.Drive1->count(), 3);
    f.Drive1->setCurrentIndex(f.Drive1->findData(tree_->path("drive2")));
    QCOMPARE(f.File3->NativePath(), tree_->path("drive2"));
}

void TestForm1::activationAfterLayout13()
{
    Form1 &f = form();
    f.Option13->click();
    QVERIFY(!f.Dir2->isHidden() && !f.Dir6->isHidden());
    f.move(50, 60);
    QTest::mouseClick(f.Command3, Qt::LeftButton);
    Form3 &help = Form1::QuickHelp();
    QVERIFY(help.isVisible());
    QVERIFY(QTest::qWaitForWindowActive(&help));
    QVERIFY(!f.isActiveWindow());
    // Nothing changes while the other window is active.
    QVERIFY(!f.Dir2->isHidden());
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QTRY_VERIFY(f.Dir2->isHidden());
    for (QWidget *w :
         {static_cast<QWidget *>(f.Dir2), static_cast<QWidget *>(f.Dir3), static_cast<QWidget *>(f.Dir4),
          static_cast<QWidget *>(f.Dir5), static_cast<QWidget *>(f.Dir6)})
        QVERIFY(w->isHidden());
    QVERIFY(!f.File1->isHidden() && !f.File2->isHidden());
    QVERIFY(f.Option13->isChecked());
    QCOMPARE(f.OuterWidthTwips(), 12000);
    QCOMPARE(f.pos(), QPoint(0, 0));
}

void TestForm1::activationOnlyFromOwnWindows()
{
    Form1 &f = form();
    f.Option11->click();
    // Another program's window (or a dialog) and back: the layout stands.
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QVERIFY(!f.Dir2->isHidden() && !f.Dir6->isHidden());
    // Back from the drive-error window: the step runs.
    f.Drive1->SetDrive("/no/such/drive");
    Form5 &e = Form1::DriveError();
    QVERIFY(QTest::qWaitForWindowActive(&e));
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QVERIFY(f.Dir2->isHidden() && f.Dir6->isHidden());
    QVERIFY(f.Option11->isChecked());
}

void TestForm1::drive1FocusTitle()
{
    Form1 &f = form();
    f.Drive1->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(f.windowTitle(), QStringLiteral("Select the drive to index."));
}

void TestForm1::refreshAfterTreeChanged()
{
    Form1 &f = form();
    f.Option12->click();
    open(f.Dir3, QStringLiteral("Beta"));
    QVERIFY(tree_->touch("disc/new.txt"));
    QVERIFY(tree_->unlink("disc/top1.txt"));
    QVERIFY(tree_->mkdir("disc/Delta"));
    QVERIFY(tree_->touch("disc/Beta/b2.txt"));
    // Nothing re-reads by itself.
    QCOMPARE(f.File1->Entries(), QStringList({"top1.txt", "top2.txt"}));
    f.Command4->click();
    QVERIFY(!Form1::DriveError().isVisible());
    QCOMPARE(f.File1->Entries(), QStringList({"new.txt", "top2.txt"}));
    QCOMPARE(f.File6->Entries(), QStringList({"new.txt", "top2.txt"}));
    QCOMPARE(f.Dir1->Subfolders(), QStringList({"Alpha", "Beta", "Delta", "Gamma"}));
    QCOMPARE(f.Dir6->Subfolders(), QStringList({"Alpha", "Beta", "Delta", "Gamma"}));
    QCOMPARE(f.File4->Entries(), QStringList({"b1.txt", "b2.txt"}));
    QCOMPARE(f.Dir3->Subfolders(), QStringList());
}

void TestForm1::refreshStopsAtFirstFailure()
{
    Form1 &f = form();
    f.Option12->click();
    open(f.Dir3, QStringLiteral("Beta"));
    QVERIFY(tree_->mkdir("disc/Delta"));
    QVERIFY(tree_->touch("disc/new.txt"));
    QVERIFY(tree_->remove("disc/Beta")); // vanished under Dir3 and File4
    const quint64 reads = ListingCache::ReadCount();
    f.Command4->click();
    // The drive is there: the folder is named, not the drive blamed.
    QVERIFY(!Form1::DriveError().isVisible());
    QMessageBox &box = Form1::FolderError();
    QVERIFY(box.isVisible());
    QCOMPARE(box.text(), QStringLiteral("The folder \"%1\" cannot be read: %2.")
                             .arg(tree_->qpath("disc/Beta"), qt_error_string(ENOENT)));
    QCOMPARE(box.textFormat(), Qt::PlainText);
    // Dir1 and Dir2 came before the failure; the file lists after it.
    QVERIFY(f.Dir1->Subfolders().contains(QStringLiteral("Delta")));
    QVERIFY(f.Dir2->Subfolders().contains(QStringLiteral("Delta")));
    QVERIFY(!f.Dir4->Subfolders().contains(QStringLiteral("Delta")));
    QVERIFY(!f.File1->Entries().contains(QStringLiteral("new.txt")));
    QCOMPARE(f.Dir3->NativePath(), tree_->path("disc/Beta"));
    QCOMPARE(ListingCache::ReadCount(), reads + 2); // the root once, Beta once
    // Again: the same window, in front.
    f.Command4->click();
    QCOMPARE(&Form1::FolderError(), &box);
}

void TestForm1::missingDriveShowsForm5()
{
    Form1 &f = form();
    open(f.Dir1, QStringLiteral("Alpha"));
    const auto before = folders(f);
    f.Drive1->SetDrive("/no/such/drive/here");
    Form5 &e = Form1::DriveError();
    QVERIFY(e.isVisible());
    QCOMPARE(folders(f), before);
    QCOMPARE(f.Drive1->NativeDrive(), QByteArray("/no/such/drive/here"));
    // The window itself.
    QCOMPARE(e.size(), QSize(355, 125));
    QCOMPARE(e.windowTitle(), QString());
    QCOMPARE(e.D->geometry(), QRect(32, 16, 281, 89));
    QCOMPARE(e.D->text(), QString::fromLatin1(texts::Form5Text));
    QCOMPARE(e.D->font().pointSizeF(), 12.0);
    QVERIFY(e.D->font().bold());
    QCOMPARE(e.D->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QVERIFY(e.palette().color(QPalette::Window) == Qt::white);
    QVERIFY2(e.D->heightForWidth(281) <= 89, "the message fits its label");
    QVERIFY(!e.isModal());
    QVERIFY(!e.parentWidget());
    // Every list stays usable.
    open(f.Dir1, QStringLiteral("Deep"));
    QCOMPARE(f.File1->Entries(), QStringList({"d1.txt"}));
}

void TestForm1::vanishingVolume()
{
    Form1 &f = form();
    f.Drive1->SetDrive(tree_->path("drive2"));
    QVERIFY(!Form1::DriveError().isVisible());
    QCOMPARE(f.File1->NativePath(), tree_->path("drive2"));
    open(f.Dir1, QStringLiteral("Other"));
    QVERIFY(tree_->remove("drive2")); // the disc is taken out
    f.Command4->click();
    QVERIFY(Form1::DriveError().isVisible());
    Form1::DriveError().hide();
    // Choosing it again: the drive cannot be read.
    f.Drive1->SetDrive(tree_->path("disc"));
    f.Drive1->SetDrive(tree_->path("drive2"));
    QVERIFY(Form1::DriveError().isVisible());
    QCOMPARE(f.Dir1->NativePath(), tree_->path("disc"));
    // A new disc with the same folder: Refresh shows its entries.
    Form1::DriveError().hide();
    f.Drive1->SetDrive(tree_->path("disc"));
    open(f.Dir1, QStringLiteral("Alpha"));
    QVERIFY(tree_->touch("disc/Alpha/new_disc.txt"));
    f.Command4->click();
    QVERIFY(!Form1::DriveError().isVisible());
    QCOMPARE(f.File5->Entries(), QStringList({"a1.txt", "new_disc.txt"}));
}

void TestForm1::unreadableAndVanishedFolders()
{
    Tree &t = *tree_;
    QVERIFY(t.mkdir("disc/Locked") && t.touch("disc/Locked/secret.txt"));
    QVERIFY(t.touch("disc/bad\xff\xfe name.txt") && t.touch("disc/line\nbreak.txt"));
    QVERIFY(t.symlink("..", "disc/Alpha/up"));
    t.lock("disc/Locked");
    const QByteArray locked = t.path("disc/Locked");
    auto refused = std::make_unique<RefusedFolders>(QList<QByteArray>{locked}, EACCES);
    Form1 &f = form();
    QMessageBox &box = Form1::FolderError();
    f.Command4->click();
    QVERIFY(!Form1::DriveError().isVisible() && !box.isVisible());
    QVERIFY(f.File1->Entries().contains(QStringLiteral("bad\\xFF\\xFE name.txt")));
    QVERIFY(f.File1->Entries().contains(QStringLiteral("line\\nbreak.txt")));
    // An unreadable folder says so, and why; every list stays where it was.
    const auto before = folders(f);
    QVERIFY(!f.Dir1->OpenRow(rowOf(f.Dir1, QStringLiteral("Locked"))));
    QVERIFY(box.isVisible());
    QVERIFY2(box.text().contains(QString::fromUtf8(locked)) && box.text().contains(qt_error_string(EACCES)),
             qPrintable(box.text()));
    QCOMPARE(folders(f), before);
    // Refresh then has nothing to blame.
    box.hide();
    f.Command4->click();
    QVERIFY(!Form1::DriveError().isVisible() && !box.isVisible());
    // A folder that becomes unreadable while shown: Refresh names it.
    open(f.Dir1, QStringLiteral("Alpha"));
    refused.reset();
    refused = std::make_unique<RefusedFolders>(QList<QByteArray>{t.path("disc/Alpha")}, EIO);
    f.Command4->click();
    QVERIFY(!Form1::DriveError().isVisible());
    QVERIFY(box.isVisible() && box.text().contains(qt_error_string(EIO)));
    refused.reset();
    box.hide();
    QVERIFY(f.Dir1->OpenRow(f.Dir1->AncestorCount() - 2));
    // A folder removed while shown: opening it says it is gone.
    QVERIFY(t.remove("disc/Gamma"));
    QVERIFY(!f.Dir1->OpenRow(rowOf(f.Dir1, QStringLiteral("Gamma"))));
    QVERIFY(box.isVisible() && box.text().contains(qt_error_string(ENOENT)));
    QVERIFY(!Form1::DriveError().isVisible());
    // A link loop can be followed as far as the system allows, without a hang.
    for (int i = 0; i < 50; ++i) {
        const int row = rowOf(f.Dir1, i % 2 ? QStringLiteral("up") : QStringLiteral("Alpha"));
        if (row < 0 || !f.Dir1->OpenRow(row))
            break;
    }
    QVERIFY(f.Dir1->NativePath().startsWith(t.path("disc")));
    f.Command3->click();
    QVERIFY(f.isEnabled());
}

void TestForm1::readOncePerChange()
{
    Form1 &f = form();
    const quint64 before = ListingCache::ReadCount();
    open(f.Dir1, QStringLiteral("Alpha")); // twelve lists, one folder read
    QCOMPARE(ListingCache::ReadCount(), before + 1);
    f.Command4->click(); // twelve lists on one folder: read anew once
    QCOMPARE(ListingCache::ReadCount(), before + 2);
    f.Drive1->SetDrive(tree_->path("drive2")); // checked and shown: one read
    QCOMPARE(ListingCache::ReadCount(), before + 3);
}

void TestForm1::flowColumns_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("files");
    for (int layout = 1; layout <= 20; ++layout) {
        if (layout >= 12 && layout <= 14)
            continue; // no list follows Dir1 there
        for (int n : kFlowSizes)
            QTest::addRow("layout %d, %d files", layout, n) << layout << n;
    }
}

void TestForm1::flowColumns()
{
    QFETCH(int, layout);
    QFETCH(int, files);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext is not installed");
    Form1 &f = form();
    QVERIFY(f.OpenFolder(flowTree_->path("n" + QByteArray::number(files))));
    f.Options[static_cast<size_t>(layout)]->click();
    QTest::keyClick(&f, Qt::Key_L, Qt::ControlModifier); // "Flow columns"
    // Each list starts where the one before it stops showing whole rows, in
    // reading order: column by column from the left, down a column.
    QList<FileListBox *> order;
    for (FileListBox *l : {f.File1, f.File2, f.File3, f.File4, f.File5, f.File6})
        if (l->isVisible())
            order << l;
    std::sort(order.begin(), order.end(), [](const QWidget *a, const QWidget *b) {
        return a->x() < b->x() || (a->x() == b->x() && a->y() < b->y());
    });
    QCOMPARE(f.FlowOrder(), order);
    int fit = 0;
    for (FileListBox *l : order) {
        QVERIFY(l->WholeRows() > 10 || !files);
        QCOMPARE(l->TopRow(), files ? fit : 0);
        fit += l->WholeRows();
    }
    // Layouts without a file list show no file, by design: nothing to warn of.
    const int notShown = order.isEmpty() ? 0 : std::max(0, files - fit);
    QCOMPARE(f.FilesNotShown(), notShown);
    QCOMPARE(f.windowTitle().startsWith(QStringLiteral("%1 of %2 files").arg(notShown).arg(files)),
             notShown > 0);
    // On paper: every file that fits, once, in order, column by column.
    f.CommonDialog1.Printer().setFullPage(true); // the page's points are the window's pixels * 0.75
    f.Command1->click();
    QVERIFY(asked_.isEmpty());
    QStringList printed;
    for (FileListBox *l : order) {
        const QRectF rows = QRectF(l->viewport()->geometry().translated(l->pos())).adjusted(0, -0.5, 0, 0.5);
        QList<PdfWord> column;
        for (const PdfWord &w : pdfWords(pdf_)) {
            const QRectF px(w.box.topLeft() / 0.75, w.box.bottomRight() / 0.75);
            if (rows.contains(px)) // whole rows only: a cut-off last row is not counted
                column << w;
        }
        std::sort(column.begin(), column.end(),
                  [](const PdfWord &a, const PdfWord &b) { return a.box.y() < b.box.y(); });
        for (const PdfWord &w : column)
            printed << w.text;
    }
    QStringList expected;
    for (int i = 0; i < std::min(files, fit); ++i)
        expected << QStringLiteral("f%1.txt").arg(i);
    QCOMPARE(printed, expected);
    // Nothing else on the page is a file of the folder.
    int fileWords = 0;
    for (const PdfWord &w : pdfWords(pdf_))
        fileWords += w.text.startsWith(u'f') && w.text.endsWith(QStringLiteral(".txt"));
    QVERIFY2(fileWords <= printed.size() + int(order.size()), qPrintable(QString::number(fileWords)));
}

void TestForm1::keepFlowing()
{
    Form1 &f = form();
    // Off unless chosen: a folder change leaves every list where it is.
    QVERIFY(!f.KeepFlowing() && !f.KeepFlowingAction->isChecked());
    f.Option4->click();
    QVERIFY(f.OpenFolder(flowTree_->path("n318")));
    for (FileListBox *l : f.FlowOrder())
        QCOMPARE(l->TopRow(), 0);
    // The menu offers it, with the other commands.
    QStringList menu;
    for (QAction *a : f.ContextMenu()->actions())
        if (!a->isSeparator())
            menu << a->text();
    QCOMPARE(menu, QStringList({"Flow columns", "Keep columns flowing", "Choose Folder…", "Print",
                                "Print Preview…", "Export PDF…", "Export PNG…", "Catalog…", "Close"}));
    f.KeepFlowingAction->trigger();
    QVERIFY(f.KeepFlowing());
    QVERIFY(f.File4->TopRow() > 0);
    // Kept across runs.
    form_.reset();
    form_ = std::make_unique<Form1>();
    form_->Form_Initialize();
    QVERIFY(form_->KeepFlowing() && form_->KeepFlowingAction->isChecked());
    Form1 &g = *form_;
    g.Option4->click();
    // Flowed again after a folder change, a layout change and a Refresh.
    auto flowed = [&g] {
        int row = 0;
        for (FileListBox *l : g.FlowOrder()) {
            if (l->TopRow() != row)
                return false;
            row += l->WholeRows();
        }
        return !g.FlowOrder().isEmpty();
    };
    QVERIFY(g.OpenFolder(flowTree_->path("n5000")));
    QVERIFY(flowed());
    QVERIFY(g.FilesNotShown() > 4000);
    QVERIFY(g.windowTitle().endsWith(QStringLiteral("files do not fit the columns and are not shown.")));
    g.Option6->click();
    QVERIFY(flowed());
    g.Option4->click();
    g.File1->ShowFromRow(0);
    QVERIFY(!flowed());
    g.Command4->click();
    QVERIFY(flowed());
    // A folder that fits: the title has nothing to warn of.
    QVERIFY(g.OpenFolder(flowTree_->path("n30")));
    QCOMPARE(g.FilesNotShown(), 0);
    QCOMPARE(g.windowTitle(), QString::fromLatin1(texts::CreditLine));
    g.KeepFlowingAction->trigger();
    QVERIFY(!QSettings(QString::fromLatin1(Form1::SettingsOrganization),
                       QString::fromLatin1(Form1::SettingsApplication))
                 .value(QStringLiteral("flow/keep"))
                 .toBool());
}

void TestForm1::chooseFolderAndDrive()
{
    Tree &t = *tree_;
    Form1 &f = form();
    // A folder on another volume: Dir1 and the lists linked to it, and its drive.
    chosen_ = t.qpath("drive2/Other");
    QTest::keyClick(&f, Qt::Key_O, Qt::ControlModifier); // "Choose Folder..."
    for (const QByteArray &p : folders(f))
        QCOMPARE(p, t.path("drive2/Other"));
    QCOMPARE(f.Drive1->NativeDrive(), t.path("drive2"));
    QCOMPARE(f.Dir1->List(0), t.qpath("drive2"));
    // A folder on no volume but "/": rooted there.
    chosen_ = QString::fromUtf8(t.root());
    f.ChooseFolderAction->trigger();
    QCOMPARE(f.Drive1->NativeDrive(), QByteArray("/"));
    QCOMPARE(f.Dir1->List(0), QStringLiteral("/"));
    // Cancelled, or unreadable: nothing changes; the second says why.
    const auto before = folders(f);
    chosen_.clear();
    f.ChooseFolderAction->trigger();
    QVERIFY(tree_->mkdir("locked"));
    chosen_ = t.qpath("locked");
    RefusedFolders refused({t.path("locked")}, EACCES);
    f.ChooseFolderAction->trigger();
    QCOMPARE(folders(f), before);
    QVERIFY(Form1::FolderError().isVisible());
    QCOMPARE(f.Drive1->NativeDrive(), QByteArray("/"));
    // A volume opened from "/" is a folder there: the list keeps "/" on top, as the drive list does.
    f.Dir1->SetNativePath(t.path("disc/Alpha"));
    QCOMPARE(f.Dir1->List(0), QStringLiteral("/"));
    QCOMPARE(f.Drive1->NativeDrive(), QByteArray("/"));
    // Choosing the drive shown already goes back to it.
    static_cast<QComboBox *>(f.Drive1)->showPopup();
    QTest::keyClick(f.Drive1->view(), Qt::Key_Return);
    QCOMPARE(f.Dir1->NativePath(), QByteArray("/"));
    QCOMPARE(f.File6->NativePath(), QByteArray("/"));
    // Choosing the volume roots the lists at it.
    f.Drive1->SetDrive(t.path("disc"));
    QCOMPARE(f.Dir1->List(0), t.qpath("disc"));
    QCOMPARE(f.Dir4->List(0), t.qpath("disc"));
}

void TestForm1::exportPreviewAndKeys()
{
    Tree &t = *tree_;
    Form1 &f = form();
    f.Option4->click();
    // Export PDF (Ctrl+E): the window's size, true to the inch; the lists' text, no control.
    chosen_ = t.qpath("index"); // the suffix is added
    QTest::keyClick(&f, Qt::Key_E, Qt::ControlModifier);
    const QString pdf = t.qpath("index.pdf");
    QVERIFY(QFileInfo::exists(pdf));
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    if (info.waitForFinished(20000)) // the page: 792 x 436 pixels, 594 x 327 points
        QVERIFY2(info.readAllStandardOutput().contains("594 x 327 pts"), "page size");
    QStringList words;
    for (const PdfWord &w : pdfWords(pdf))
        words << w.text;
    QCOMPARE(words.count(QStringLiteral("top1.txt")), 6);
    QVERIFY(!words.contains(QStringLiteral("Refresh")) && !words.contains(QStringLiteral("20")));
    QVERIFY(f.Command1->isVisible() && !f.Line1.Visible);
    // Export PNG at a chosen resolution.
    chosen_ = t.qpath("index.png");
    answers_ << QStringLiteral("300 dpi");
    f.ExportPngAction->trigger();
    QCOMPARE(QImage(chosen_).size(), QSize(2475, 1363));
    // A file that cannot be written: said, with the file's name.
    chosen_ = t.qpath("no/such/folder/index.pdf");
    f.ExportPdfAction->trigger();
    QCOMPARE(offered_, QStringList({"OK"}));
    QVERIFY(asked_.last().contains(chosen_));
    // Print Preview paints the page as Print does.
    chosen_ = t.qpath("preview.pdf");
    f.PreviewAction->trigger();
    words.clear();
    for (const PdfWord &w : pdfWords(chosen_))
        words << w.text;
    QCOMPARE(words.count(QStringLiteral("top1.txt")), 6);
    // Ctrl+P prints (the page fits once turned), Ctrl+Q closes.
    answers_ << QStringLiteral("Turn to Landscape");
    QTest::keyClick(&f, Qt::Key_P, Qt::ControlModifier);
    QVERIFY(QFileInfo::exists(pdf_));
    QTest::keyClick(&f, Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!f.isVisible());
}

void TestForm1::printToPdf()
{
    Form1 &f = form();
    answers_ << QStringLiteral("Print As It Is");
    f.Option4->click();
    f.File2->scrollToBottom();
    for (int i = 0; i < 60; ++i)
        QVERIFY(tree_->touch("disc/zz_many" + QByteArray::number(i) + ".txt"));
    QVERIFY(tree_->touch("disc/zz_\xF4\x8F\xBF\xBD")); // last; a character no font draws
    f.Command4->click();
    f.File2->scrollToBottom();
    const int scroll = f.File2->verticalScrollBar()->value();
    QVERIFY(scroll > 0);
    const auto before = folders(f);
    bool probed = false;
    beforePrint_ = [&] {
        probed = true;
        QVERIFY(f.Command1->isHidden() && f.Command4->isHidden() && f.Drive1->isHidden());
        for (int n = 1; n <= 20; ++n)
            QVERIFY(f.Options[static_cast<size_t>(n)]->isHidden());
        QVERIFY(f.Line1.Visible && f.Line2.Visible && f.Line3.Visible);
    };
    f.Command1->click();
    QVERIFY(probed);
    QVERIFY(QFileInfo::exists(pdf_));
    // Restored: every control back, the marks hidden, nothing else changed.
    for (QWidget *w : {static_cast<QWidget *>(f.Command1), static_cast<QWidget *>(f.Command2),
                       static_cast<QWidget *>(f.Command3), static_cast<QWidget *>(f.Command4),
                       static_cast<QWidget *>(f.Drive1)})
        QVERIFY(w->isVisible());
    for (int n = 1; n <= 20; ++n)
        QVERIFY(f.Options[static_cast<size_t>(n)]->isVisible());
    QVERIFY(!f.Line1.Visible && !f.Line2.Visible && !f.Line3.Visible);
    QCOMPARE(f.SelectedLayout(), 4);
    QCOMPARE(folders(f), before);
    QCOMPARE(f.File2->verticalScrollBar()->value(), scroll);
    QVERIFY(!Form1::DriveError().isVisible());

    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext is not installed");
    const auto words = pdfWords(pdf_);
    QStringList texts;
    for (const auto &w : words)
        texts << w.text;
    // List text is text on the page; no control's caption is.
    QVERIFY(texts.contains(QStringLiteral("top1.txt")));
    QVERIFY(texts.contains(QStringLiteral("zz_\\xF4\\x8F\\xBF\\xBD")));
    for (const char *caption : {"Refresh", "Help!", "Print", "Set-Up", "1", "20"})
        QVERIFY2(!texts.contains(QString::fromLatin1(caption)), caption);
    // File3 at 0, File1 at 132, File4 at 435: the same name, 96 pixels to the inch.
    QList<double> xs;
    for (const auto &w : words) {
        if (w.text == QStringLiteral("top1.txt")) {
            xs << w.x;
            // The lists' 8.25-point type prints at its size, not at the printer's resolution.
            QVERIFY2(w.height > 7.0 && w.height < 12.0, qPrintable(QString::number(w.height)));
        }
    }
    std::sort(xs.begin(), xs.end());
    QVERIFY2(xs.size() >= 4, qPrintable(QString::number(xs.size())));
    QVERIFY(qAbs((xs[1] - xs[0]) - 132 * 0.75) < 1.0);
    // File2 is scrolled to its end: its first entry is not printed.
    QCOMPARE(xs.size(), 5);
    QVERIFY(qAbs((xs[2] - xs[0]) - 435 * 0.75) < 1.0);
}

// The printed page as pixels, 96 to the inch; null when it cannot be rendered.
QImage pdfPage(const QString &pdf)
{
    QProcess p;
    const QString out = pdf + QStringLiteral(".page");
    p.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-png"),
                                         QStringLiteral("-singlefile"), pdf, out});
    if (!p.waitForFinished(20000) || p.exitCode() != 0)
        return {};
    return QImage(out + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

void TestForm1::printedPageMatchesScreen_data()
{
    QTest::addColumn<int>("layout");
    for (int n = 1; n <= 20; ++n)
        QTest::addRow("layout %d", n) << n;
}

void TestForm1::printedPageMatchesScreen()
{
    QFETCH(int, layout);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        QSKIP("pdftoppm is not installed");
    Tree &t = *tree_;
    for (int i = 1; i <= 50; ++i)
        QVERIFY(t.mkdir("disc/folder " + QByteArray::number(i)));
    for (int i = 1; i <= 60; ++i)
        QVERIFY(t.touch("disc/file" + QByteArray::number(i) + ".txt"));
    Form1 &f = form();
    f.Command4->click();
    f.Options[static_cast<size_t>(layout)]->click();
    // A selected row, and lists scrolled by whole and by part rows.
    f.File1->setCurrentIndex(f.File1->model()->index(3, 0));
    f.Dir1->verticalScrollBar()->setValue(20);
    f.File3->verticalScrollBar()->setValue(7);
    QPrinter &printer = f.CommonDialog1.Printer();
    printer.setFullPage(true); // the page's pixels are the window's
    QImage screen;
    beforePrint_ = [&] { screen = f.grab().toImage().convertToFormat(QImage::Format_RGB32); };
    f.Command1->click();
    const QImage page = pdfPage(pdf_);
    QVERIFY(!page.isNull());
    QVERIFY(page.width() >= f.width() && page.height() >= f.height());
    auto inked = [](const QImage &img, int x, int y) {
        const QRgb c = img.pixel(x, y);
        return qRed(c) < 235 || qGreen(c) < 235 || qBlue(c) < 235;
    };
    // Where something may print: the lists, and the print marks (a pixel's
    // blur around them).
    QRegion allowed;
    for (int i = 0; i < 12; ++i)
        if (listOf(f, i)->isVisible())
            allowed += listOf(f, i)->geometry();
    allowed += QRect(QPoint(f.Line1.X2, f.Line1.Y1), QPoint(f.Line1.X1, f.Line1.Y1)).adjusted(-1, -1, 1, 1);
    for (const PrintMark *m : {&f.Line2, &f.Line3})
        allowed += QRect(QPoint(m->X1, m->Y1), QPoint(m->X2, m->Y2)).adjusted(-1, -1, 1, 1);
    int outside = 0;
    QPoint firstOutside;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (inked(page, x, y) && !allowed.contains(QPoint(x, y)) && outside++ == 0)
                firstOutside = QPoint(x, y);
    QVERIFY2(outside == 0,
             qPrintable(QStringLiteral("%1 pixels printed outside the lists, the first at %2, %3")
                            .arg(outside)
                            .arg(firstOutside.x())
                            .arg(firstOutside.y())));
    // Inside each list the page shows what the screen shows: every inked
    // pixel of one has an inked pixel at most one pixel away in the other
    // (type is rasterised differently on paper and on screen).
    auto near = [&](const QImage &img, int x, int y) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (img.rect().contains(x + dx, y + dy) && inked(img, x + dx, y + dy))
                    return true;
        return false;
    };
    for (int i = 0; i < 12; ++i) {
        QWidget *l = listOf(f, i);
        if (!l->isVisible())
            continue;
        const QRect box = l->geometry();
        int ink = 0, unmatched = 0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x) {
                const bool onPage = inked(page, x, y), onScreen = inked(screen, x, y);
                ink += onPage;
                unmatched += (onPage && !near(screen, x, y)) || (onScreen && !near(page, x, y));
            }
        QVERIFY2(unmatched * 200 <= ink, qPrintable(QStringLiteral("%1: %2 of %3 inked pixels unmatched")
                                                        .arg(QLatin1String(kListNames[i]))
                                                        .arg(unmatched)
                                                        .arg(ink)));
    }
}

void TestForm1::pageFitQuestion_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<QPageSize::PageSizeId>("paper");
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("offered"); // empty: no question
    QTest::addColumn<bool>("printed");
    QTest::addColumn<bool>("landscapeAfter");
    const QString turn = QStringLiteral("Turn to Landscape"), asIs = QStringLiteral("Print As It Is"),
                  cancel = QStringLiteral("Cancel");
    QTest::newRow("one side fits") << 1 << QPageSize::A4 << false << QString() << QStringList() << true
                                   << false;
    QTest::newRow("two sides, turned")
        << 4 << QPageSize::A4 << false << turn << QStringList{turn, asIs, cancel} << true << true;
    QTest::newRow("two sides, as it is")
        << 8 << QPageSize::Letter << false << asIs << QStringList{turn, asIs, cancel} << true << false;
    QTest::newRow("two sides, cancelled")
        << 12 << QPageSize::A4 << false << cancel << QStringList{turn, asIs, cancel} << false << false;
    QTest::newRow("two sides, closed")
        << 5 << QPageSize::A4 << false << QString() << QStringList{turn, asIs, cancel} << false << false;
    QTest::newRow("two sides, landscape")
        << 4 << QPageSize::A4 << true << QString() << QStringList() << true << true;
    QTest::newRow("small paper, no turn helps")
        << 1 << QPageSize::A6 << false << asIs << QStringList{asIs, cancel} << true << false;
}

void TestForm1::pageFitQuestion()
{
    QFETCH(int, layout);
    QFETCH(QPageSize::PageSizeId, paper);
    QFETCH(bool, landscape);
    QFETCH(QString, answer);
    QFETCH(QStringList, offered);
    QFETCH(bool, printed);
    QFETCH(bool, landscapeAfter);
    Form1 &f = form();
    QPrinter &printer = f.CommonDialog1.Printer();
    printer.setPageSize(QPageSize(paper));
    printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    f.Options[static_cast<size_t>(layout)]->click();
    answers_ << answer;
    f.Command1->click();
    QCOMPARE(asked_.size(), offered.isEmpty() ? 0 : 1);
    if (!offered.isEmpty()) {
        QCOMPARE(offered_, offered);
        QVERIFY2(asked_.first().contains(QStringLiteral("8.25 × 4.54 in")) ||
                     asked_.first().contains(QStringLiteral("4.64 × 4.54 in")),
                 qPrintable(asked_.first()));
    }
    QCOMPARE(QFileInfo::exists(pdf_), printed);
    QCOMPARE(printer.pageLayout().orientation() == QPageLayout::Landscape, landscapeAfter);
    QVERIFY(f.Command1->isVisible() && f.Option20->isVisible() && !f.Line1.Visible);
}

void TestForm1::printFailureRestores_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("no printer") << 0;
    QTest::newRow("printer fails to start") << 1;
}

void TestForm1::printFailureRestores()
{
    QFETCH(int, kind);
    Form1 &f = form();
    QPrinter &printer = f.CommonDialog1.Printer();
    if (kind == 0) {
        printer.setOutputFileName(QString());
        printer.setPrinterName(QString());
    } else {
        printer.setOutputFileName(QString::fromUtf8(tree_->path("no/such/folder/out.pdf")));
    }
    answers_ << QStringLiteral("Print As It Is");
    f.Option7->click();
    f.Command1->setFocus();
    const QString title = f.windowTitle();
    const qsizetype windows = QApplication::topLevelWidgets().size();
    bool probed = false;
    beforePrint_ = [&] { probed = true; };
    f.Command1->click();
    QVERIFY(probed);
    for (QWidget *w : {static_cast<QWidget *>(f.Command1), static_cast<QWidget *>(f.Command2),
                       static_cast<QWidget *>(f.Command3), static_cast<QWidget *>(f.Command4),
                       static_cast<QWidget *>(f.Drive1)})
        QVERIFY(w->isVisible());
    for (int n = 1; n <= 20; ++n)
        QVERIFY(f.Options[static_cast<size_t>(n)]->isVisible());
    QVERIFY(!f.Line1.Visible && !f.Line2.Visible && !f.Line3.Visible);
    QCOMPARE(f.SelectedLayout(), 7);
    QCOMPARE(f.windowTitle(), title);
    QVERIFY(f.Command1->hasFocus());
    // No message: no new window.
    QCOMPARE(QApplication::topLevelWidgets().size(), windows);
    QVERIFY(!Form1::DriveError().isVisible());
    QVERIFY(!QFileInfo::exists(pdf_));
}

void TestForm1::printSetUp()
{
    Form1 &f = form();
    ScriptedDialogBackend backend;
    CommonDialog::SetBackend(&backend);
    QPrinter *seen = nullptr;
    backend.push([&](CommonDialog &d) {
        seen = &d.Printer();
        d.Printer().setPageOrientation(QPageLayout::Landscape);
        return true;
    });
    f.Command2->click();
    QCOMPARE(backend.calls(ScriptedDialogBackend::Printer), 1);
    QCOMPARE(seen, &f.CommonDialog1.Printer()); // the program's one printer
    QCOMPARE(f.CommonDialog1.Printer().pageLayout().orientation(), QPageLayout::Landscape);
    f.Command2->click(); // cancelled: nothing changes
    QCOMPARE(backend.calls(ScriptedDialogBackend::Printer), 2);
    QCOMPARE(f.CommonDialog1.Printer().pageLayout().orientation(), QPageLayout::Landscape);
    f.Option4->click();
    f.Command1->click();
    QVERIFY(QFileInfo::exists(pdf_));
}

void TestForm1::quickHelpOnce()
{
    Form1 &f = form();
    f.Command3->click();
    f.Command3->click();
    Form3 &h = Form1::QuickHelp();
    QVERIFY(h.isVisible());
    int count = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        count += qobject_cast<Form3 *>(w) != nullptr;
    QCOMPARE(count, 1);
    QCOMPARE(h.LoadCount(), 1);
    h.close();
    QVERIFY(!h.isVisible());
    f.Command3->click();
    QCOMPARE(&Form1::QuickHelp(), &h); // hidden, not destroyed
    QCOMPARE(h.LoadCount(), 1);
    QCOMPARE(h.windowTitle(),
             QStringLiteral(" Quick Help -- For full instructions see main start-up form..."));
    QCOMPARE(h.size(), QSize(448, 215));
    QVERIFY(!h.parentWidget());
    const struct {
        QLabel *l;
        QRect r;
        const char *text;
    } labels[] = {
        {h.Label1,
         {8, 8, 421, 64},
         "Press one of the RADIO BUTTONS from 1 to 20 to create and print an index of your directories and "
         "files as found on the current CD disk or drive.  As you move the mouse cursor over each button the "
         "configuration shows at the top title bar of the main form."},
        {h.Label2,
         {8, 72, 432, 32},
         "Button 12 through 14 give you independent control over each directory and file list box."},
        {h.Label3,
         {8, 112, 424, 32},
         "The directories and file list boxes in 1 through 11 and 15 through 20 are all linked to the far "
         "left directory."},
        {h.Label4,
         {8, 152, 425, 25},
         "Press Print Set Up to change from Portrait to Landscape to print full-sized V-Card."},
        {h.Label5, {8, 184, 417, 25}, "Press Refresh button to update screen when you change disks."},
    };
    for (const auto &l : labels) {
        QCOMPARE(l.l->geometry(), l.r);
        QCOMPARE(l.l->text(), QString::fromLatin1(l.text));
        QVERIFY(l.l->font().bold());
        QCOMPARE(l.l->font().pointSizeF(), 8.25);
        QCOMPARE(l.l->font().family(), QStringLiteral("MS Sans Serif"));
        // The text fits its label.
        QVERIFY2(l.l->heightForWidth(l.r.width()) <= l.r.height() + 2, l.text);
    }
    QCOMPARE(h.Label1->palette().color(QPalette::Window), QColor(0xC0, 0xFF, 0xC0));
}

void TestForm1::buttonHelpTexts()
{
    Form1 &f = form();
    const struct {
        QWidget *w;
        const char *text;
    } rows[] = {
        {f.Command1, "Print the index cover page you see now."},
        {f.Command2, "Sets print quality, Portrait or Landcape, gray scale"},
        {f.Command3, "Displays a quick help card giving you primary operating details"},
        {f.Command4, "Press to refresh the Directories and Files when you change disks."},
    };
    for (const auto &r : rows) {
        QTest::mouseMove(r.w, QPoint(5, 5));
        QCOMPARE(f.windowTitle(), QString::fromLatin1(r.text));
        QTest::mouseMove(&f, QPoint(420, 400));
        QCOMPARE(f.windowTitle(), QString::fromLatin1(texts::CreditLine));
    }
}

int main(int argc, char *argv[])
{
    fonts::PrepareEnvironment();
    QApplication app(argc, argv);
    TestForm1 t;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&t, argc, argv);
}

#include "test_form1.moc"
