// The catalog: every folder and file of a tree of odd names, in order, on
// the three papers; links, loops and unreadable folders; the window's command.
#include <QtTest>

#include <QMenu>
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>

#include "catalog.h"
#include "fonts.h"
#include "form1.h"
#include "scriptrun.h"
#include "tree.h"

namespace {

// The text of a PDF, or of its pages from..to, in the order it was painted.
QString pdfText(const QString &pdf, int from = 0, int to = 0)
{
    QStringList args{QStringLiteral("-raw")};
    if (from > 0)
        args << QStringLiteral("-f") << QString::number(from) << QStringLiteral("-l") << QString::number(to);
    QProcess p;
    p.start(QStringLiteral("pdftotext"), args << pdf << QStringLiteral("-"));
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Names read across line breaks: the sizes and dates taken out, then every blank.
QString joined(QString text)
{
    text.remove(QRegularExpression(QStringLiteral("(\\d+(\\.\\d)? [KMGTP]?B|link) \\d{4}-\\d\\d-\\d\\d")));
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    return text;
}

QString stripped(QString s)
{
    return s.remove(QRegularExpression(QStringLiteral("\\s")));
}

// An odd name for file or folder `n`, with `id` unique to it.
QByteArray oddName(int n, const QByteArray &id)
{
    switch (n % 8) {
    case 0: return "plain " + id + ".txt";
    case 1: return "tab\tand  spaces " + id;
    case 2: return "new\nline " + id;
    case 3:
        return "\xE2\x80\xAE"
               "evil " +
               id + ".exe"; // a right-to-left override
    case 4: return "bad\xFF\xFE " + id;
    case 5:
        return "\xC3\x9C"
               "n\xC3\xAF"
               "c\xC3\xB6"
               "d\xC3\xA9 \xCE\xB1\xCE\xB2\xCE\xB3 \xD0\xB4\xD0\xB6 " +
               id;
    case 6: return "long " + QByteArray(150, 'w') + ' ' + id + ".txt";
    default: return "dash-under_score.dots " + id;
    }
}

bool havePoppler()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty();
}

} // namespace

class TestCatalog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void everyNameOnce();
    void papers_data();
    void papers();
    void outcomes_data();
    void outcomes();
    void commandLine_data();
    void commandLine();
    void windowCommand_data();
    void windowCommand();
    void discName_data();
    void discName();
    void bookletOrder_data();
    void bookletOrder();
    void sizeText_data();
    void sizeText();
    void imposed_data();
    void imposed();

private:
    Tree tree_;
    QList<QByteArray> folders_; // relative, depth first in the lists' order
    QList<QByteArray> files_;   // names
};

void TestCatalog::initTestCase()
{
    if (!havePoppler())
        QSKIP("pdftotext and pdfinfo are needed");
    // 300 folders with the root, ten files each.
    QVERIFY(tree_.mkdir("odd"));
    std::vector<fsl::Entry> tops;
    int fileNo = 0;
    auto fill = [&](const QByteArray &rel) {
        for (int i = 0; i < 10; ++i, ++fileNo) {
            const QByteArray name =
                oddName(fileNo, "q" + QByteArray::number(fileNo).rightJustified(4, '0') + 'q');
            files_ << name;
            if (!tree_.touch("odd/" + (rel.isEmpty() ? name : rel + '/' + name)))
                return false;
        }
        return true;
    };
    QVERIFY(fill({}));
    folders_ << QByteArray();
    for (int t = 0; t < 23; ++t) {
        const QByteArray top = oddName(t + 1, "t" + QByteArray::number(t).rightJustified(2, '0') + 't');
        tops.push_back({top, fsl::ReadableName(top)});
    }
    fsl::SortEntries(tops);
    for (const fsl::Entry &top : tops) {
        QVERIFY(tree_.mkdir("odd/" + top.raw));
        QVERIFY(fill(top.raw));
        folders_ << top.raw;
        std::vector<fsl::Entry> subs;
        for (int s = 0; s < 12; ++s) {
            const QByteArray sub = "sub " + QByteArray::number(s) + ' ' + top.raw.right(4);
            subs.push_back({sub, fsl::ReadableName(sub)});
        }
        fsl::SortEntries(subs); // "sub 2" before "sub 10"
        for (const fsl::Entry &sub : subs) {
            QVERIFY(tree_.mkdir("odd/" + top.raw + '/' + sub.raw));
            QVERIFY(fill(top.raw + '/' + sub.raw));
            folders_ << top.raw + '/' + sub.raw;
        }
    }
    QCOMPARE(folders_.size(), 300);
    QVERIFY(tree_.mkdir("partly") && tree_.mkdir("partly/open") && tree_.touch("partly/open/x.txt") &&
            tree_.mkdir("partly/shut") && tree_.touch("partly/shut/y.txt"));
    QCOMPARE(files_.size(), 3000);
}

void TestCatalog::everyNameOnce()
{
    catalog::Catalog c;
    QCOMPARE(c.Read(tree_.path("odd")), catalog::Catalog::Outcome::Read);
    const QString pdf = tree_.qpath("odd.pdf");
    QVERIFY(catalog::WritePdf(pdf, c, catalog::Paper::Booklet));
    QCOMPARE(c.totals().folders, 300u);
    QCOMPARE(c.totals().files, 3000u);
    QVERIFY(pdfText(pdf, 1, 1).contains(QStringLiteral("300 folders, 3000 files")));
    const QString text = joined(pdfText(pdf));
    for (const QByteArray &f : files_) {
        const QString name = stripped(fsl::ReadableName(f));
        QVERIFY2(text.count(name) == 1,
                 qPrintable(QStringLiteral("%1: %2 times").arg(name).arg(text.count(name))));
    }
    // Every folder a heading, depth first, each after the one before it.
    qsizetype at = 0;
    for (const QByteArray &rel : folders_) {
        const QString heading = rel.isEmpty() ? QStringLiteral("/") : stripped(fsl::ReadablePath(rel));
        const qsizetype found = text.indexOf(heading, at);
        QVERIFY2(found >= 0, qPrintable(heading + QStringLiteral(" missing or out of order")));
        at = found + heading.size();
    }
}

void TestCatalog::papers_data()
{
    QTest::addColumn<QString>("paper");
    QTest::addColumn<double>("widthMm");
    QTest::addColumn<double>("heightMm");
    QTest::newRow("booklet") << "booklet" << 120.0 << 119.0;
    QTest::newRow("a4") << "a4" << 210.0 << 297.0;
    QTest::newRow("letter") << "letter" << 215.9 << 279.4;
}

void TestCatalog::papers()
{
    QFETCH(QString, paper);
    QFETCH(double, widthMm);
    QFETCH(double, heightMm);
    catalog::Catalog c;
    QCOMPARE(c.Read(tree_.path("odd")), catalog::Catalog::Outcome::Read);
    const QString pdf = tree_.qpath("paper.pdf");
    QVERIFY(catalog::WritePdf(pdf, c, *catalog::PaperNamed(paper)));
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                           QStringLiteral("9999"), pdf});
    QVERIFY(info.waitForFinished(20000));
    const QString out = QString::fromUtf8(info.readAllStandardOutput());
    const auto sizes =
        QRegularExpression(QStringLiteral("Page +\\d+ size: +([\\d.]+) x ([\\d.]+) pts")).globalMatch(out);
    int pages = 0;
    for (auto it = sizes; it.hasNext();) {
        const auto m = it.next();
        ++pages;
        QVERIFY2(std::abs(m.captured(1).toDouble() * 25.4 / 72 - widthMm) <= 0.2, qPrintable(m.captured(0)));
        QVERIFY2(std::abs(m.captured(2).toDouble() * 25.4 / 72 - heightMm) <= 0.2, qPrintable(m.captured(0)));
    }
    QVERIFY(pages > 2);
    // Numbered: every page ends with its own number (pdftotext parts pages with a form feed).
    const QStringList texts = pdfText(pdf).split(QLatin1Char('\f'));
    QVERIFY(texts.size() >= pages);
    for (int n = 1; n <= pages; ++n) {
        const QStringList words =
            texts.at(n - 1).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        QVERIFY2(
            !words.isEmpty() && words.last() == QString::number(n),
            qPrintable(QStringLiteral("page %1 ends with \"%2\"").arg(n).arg(words.value(words.size() - 1))));
    }
}

void TestCatalog::outcomes_data()
{
    QTest::addColumn<QByteArray>("plant"); // what is done to a copy of a small tree
    QTest::addColumn<int>("unreadable");
    QTest::addColumn<QString>("said");   // in the catalog
    QTest::addColumn<QString>("unsaid"); // never in it
    QTest::newRow("link to its own parent") << QByteArray("loop") << 0 << "loopback"
                                            << "a/loopback";
    QTest::newRow("link out of the tree") << QByteArray("out") << 0 << "outside"
                                          << "secret.txt";
    QTest::newRow("folder gone before it is read")
        << QByteArray("gone") << 1 << "Not read: No such file or directory"
        << "inner.txt";
    QTest::newRow("folder without permission") << QByteArray("locked") << 1 << "Not read: Permission denied"
                                               << "inner.txt";
    // A heading longer than a column runs on, its note after it, on the page.
    QTest::newRow("path too long to read") << QByteArray("deep") << 1 << "Not read: File name too long"
                                           << "secret.txt";
    // At a unit's edge the number as rounded decides the unit.
    QTest::newRow("1024 bytes") << QByteArray("1024") << 0 << "sized 1.0 KB"
                                << "1024 B";
    QTest::newRow("1 MiB less a byte") << QByteArray("1048575") << 0 << "sized 1.0 MB"
                                       << "1024 KB";
    QTest::newRow("modification time, not change time") << QByteArray("old") << 0 << "0 B 2001-02-03"
                                                        << "secret.txt";
    // Two names that differ by what no font draws read apart.
    QTest::newRow("no font has it") << QByteArray("\xF4\x8F\xBF\xBD") << 0 << "\\xF4\\x8F\\xBF\\xBD"
                                    << "secret.txt";
}

void TestCatalog::outcomes()
{
    QFETCH(QByteArray, plant);
    QFETCH(int, unreadable);
    QFETCH(QString, said);
    QFETCH(QString, unsaid);
    if (plant == "locked" && ::geteuid() == 0)
        QSKIP("root reads every folder whatever its permissions; the row above covers the reason");
    Tree t;
    QVERIFY(t.mkdir("root") && t.mkdir("root/a") && t.mkdir("root/a/b") && t.touch("root/a/b/inner.txt") &&
            t.mkdir("elsewhere") && t.touch("elsewhere/secret.txt"));
    catalog::Catalog::Hooks hooks;
    if (plant == "loop")
        QVERIFY(t.symlink("..", "root/a/loopback"));
    if (plant == "out")
        QVERIFY(t.symlink(t.path("elsewhere"), "root/a/outside"));
    if (plant == "gone")
        hooks.beforeRead = [&t](const QByteArray &path) {
            if (path.endsWith("/a/b"))
                t.remove("root/a/b");
        };
    if (plant == "locked")
        t.lock("root/a/b");
    const QByteArray deep(200, 'd'); // 21 deep, moved in from above: past PATH_MAX, made by short paths
    for (int i = 0; plant == "deep" && i < 21; ++i)
        QVERIFY(t.mkdir("root/n") &&
                (i == 0 || ::rename(t.path("root/a/" + deep), t.path("root/n/" + deep)) == 0) &&
                ::rename(t.path("root/n"), t.path("root/a/" + deep)) == 0);
    const timespec old[2] = {{981158400, 0}, {981158400, 0}};
    if (plant == "old")
        QVERIFY(t.touch("root/a/old") && ::utimensat(AT_FDCWD, t.path("root/a/old"), old, 0) == 0);
    if (plant.startsWith('\xF4'))
        QVERIFY(t.touch("root/a/ab") && t.touch("root/a/" + plant));
    if (plant.toLongLong() > 0)
        QVERIFY(t.touch("root/a/sized") && ::truncate(t.path("root/a/sized"), plant.toLongLong()) == 0);
    catalog::Catalog c;
    QCOMPARE(c.Read(t.path("root"), hooks), catalog::Catalog::Outcome::Read);
    QCOMPARE(c.totals().unreadable, static_cast<quint64>(unreadable));
    const QString pdf = t.qpath("c.pdf");
    QVERIFY(catalog::WritePdf(pdf, c, catalog::Paper::A4));
    const QString text = pdfText(pdf);
    QVERIFY2(text.contains(said), qPrintable(text));
    if (plant == "deep") { // every heading whole: 200 d a level, to the first level past PATH_MAX
        const qsizetype k = (4096 - t.path("root/a").size() + 200) / 201;
        QVERIFY(text.count(u'd') >= 200 * k * (k + 1) / 2);
    }
    QVERIFY2(!text.contains(unsaid), qPrintable(text));
    QCOMPARE(text.count(QStringLiteral("a/b")), 1); // read once, never again through a link
}

void TestCatalog::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments"); // OUT: the PDF; DIR: the tree
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said"); // on stderr, a pattern
    QTest::newRow("letter") << QStringList{"--export-catalog", "OUT", "--paper", "letter", "DIR/odd"} << 0
                            << "^$";
    QTest::newRow("progress when asked") << QStringList{"--export-catalog", "OUT", "--progress", "DIR/odd"}
                                         << 0 << "300 folders, 3000 files read";
    QTest::newRow("a folder that cannot be read")
        << QStringList{"--export-catalog", "OUT", "DIR/partly"} << 0
        << "^sleeveindex: warning: 1 folders could not be read; the catalog lists them with the reason\n$";
    QTest::newRow("unknown paper") << QStringList{"--export-catalog", "OUT", "--paper", "a5", "DIR/odd"} << 1
                                   << "booklet, a4 or letter";
    QTest::newRow("paper alone") << QStringList{"--paper", "a4", "DIR/odd"} << 1
                                 << "goes with --export-catalog";
    QTest::newRow("imposed on other paper")
        << QStringList{"--export-catalog", "OUT", "--impose", "--paper", "a4", "DIR/odd"} << 1
        << "folds booklet pages";
    QTest::newRow("sheet alone") << QStringList{"--export-catalog", "OUT", "--sheet", "a4", "DIR/odd"} << 1
                                 << "goes with --impose";
    QTest::newRow("with a layout") << QStringList{"--export-catalog", "OUT", "--layout", "3", "DIR/odd"} << 1
                                   << "not the catalog";
    QTest::newRow("missing folder") << QStringList{"--export-catalog", "OUT", "DIR/absent"} << 2
                                    << "cannot read the folder .*absent.*No such file";
    QTest::newRow("cannot write") << QStringList{"--export-catalog", "DIR/absent/c.pdf", "DIR/odd"} << 3
                                  << "cannot write";
}

void TestCatalog::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    const QString out = tree_.qpath("cli.pdf");
    QFile::remove(out);
    if (arguments.contains(QStringLiteral("DIR/partly"))) {
        if (::geteuid() == 0)
            QSKIP("root reads every folder whatever its permissions; outcomes() covers the reason");
        tree_.lock("partly/shut");
    }
    for (QString &a : arguments) {
        a.replace(QStringLiteral("OUT"), out);
        a.replace(QStringLiteral("DIR"), tree_.qpath(""));
    }
    const scriptrun::Result run = scriptrun::Run(QStringLiteral(SLEEVEINDEX), arguments);
    QVERIFY2(run.exitCode == exitCode, qPrintable(run.err));
    QVERIFY2(run.err.contains(QRegularExpression(said)), qPrintable(run.err));
    QCOMPARE(QFile::exists(out), exitCode == 0);
}

void TestCatalog::windowCommand_data()
{
    QTest::addColumn<QString>("choice"); // the first question's answer
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<bool>("impose"); // the paper question's check box
    QTest::newRow("exported") << "Export PDF…" << false << false;
    QTest::newRow("cancelled while reading") << "Export PDF…" << true << false;
    QTest::newRow("previewed") << "Print Preview…" << false << false;
    QTest::newRow("exported to fold") << "Export PDF…" << false << true;
    QTest::newRow("previewed to fold") << "Print Preview…" << false << true;
}

void TestCatalog::windowCommand()
{
    QFETCH(QString, choice);
    QFETCH(bool, cancel);
    QFETCH(bool, impose);
    const QString out = tree_.qpath("window.pdf");
    QFile::remove(out);
    QStringList asked;
    Form1::Platform platform;
    platform.ask = [&](QWidget *, const QString &, const QString &text, const QStringList &buttons) {
        asked << text;
        return buttons.contains(QStringLiteral("A4")) ? QStringLiteral("A4") : choice;
    };
    platform.askChecked = [&](QWidget *, const QString &, const QString &text, const QStringList &,
                              const QString &, bool *checked) {
        asked << text;
        *checked = impose;
        return QStringLiteral("A4");
    };
    platform.chooseSaveFile = [&out](QWidget *, const QString &, const QString &, const QString &) {
        return out;
    };
    // The preview's pages, printed to a file as the preview would show them.
    platform.preview = [&out](QWidget *, QPrinter &printer, const std::function<void(QPrinter &)> &paint) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(out);
        paint(printer);
    };
    Form1 form(platform);
    form.setAttribute(Qt::WA_DontShowOnScreen);
    form.show();
    QVERIFY(form.OpenFolder(tree_.path("odd")));
    const QPageLayout indexPaper = form.CommonDialog1.Printer().pageLayout();
    bool sawDialog = false;
    form.CatalogHooks.beforeRead = [&](const QByteArray &) {
        auto *progress = form.findChild<QProgressDialog *>();
        sawDialog = sawDialog || progress;
        if (progress && cancel)
            progress->cancel();
    };
    // Ctrl+K, as the user presses it.
    QVERIFY(form.CatalogAction->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_K));
    QVERIFY(form.ContextMenu()->actions().contains(form.CatalogAction));
    form.CatalogAction->trigger();
    QVERIFY(sawDialog);
    QCOMPARE(QFile::exists(out), !cancel);
    QCOMPARE(asked.size(), 2); // what and which paper; nothing more
    QVERIFY(form.CommonDialog1.Printer().pageLayout().isEquivalentTo(indexPaper)); // the page's paper kept
    if (!cancel)
        QVERIFY(pdfText(out, 1, 1).contains(QStringLiteral("300 folders, 3000 files")));
    if (cancel)
        return;
    QProcess info; // folded: on landscape A4
    info.start(QStringLiteral("pdfinfo"), {out});
    QVERIFY(info.waitForFinished(20000));
    const auto size = QRegularExpression(QStringLiteral("Page size: +([\\d.]+) x ([\\d.]+)"))
                          .match(QString::fromUtf8(info.readAllStandardOutput()));
    QCOMPARE(qRound(size.captured(1).toDouble()), impose ? 842 : 595);
}

void TestCatalog::discName_data()
{
    QTest::addColumn<QString>("label"); // of a volume mounted at the folder; "" for none
    QTest::addColumn<QString>("name");
    QTest::newRow("a drive's label") << "HOLIDAY 2024"
                                     << "HOLIDAY 2024";
    QTest::newRow("no label: the folder's name") << ""
                                                 << "small disc";
}

void TestCatalog::discName()
{
    QFETCH(QString, label);
    QFETCH(QString, name);
    Tree t;
    QVERIFY(t.mkdir("small disc") && t.touch("small disc/a.txt"));
    FakeVolumes volumes({{QByteArrayLiteral("/"), QString()}, {t.path("small disc"), label}});
    catalog::Catalog c;
    QCOMPARE(c.Read(t.path("small disc")), catalog::Catalog::Outcome::Read);
    QCOMPARE(c.DiscName(), name);
    QVERIFY(catalog::WritePdf(t.qpath("c.pdf"), c, catalog::Paper::Booklet));
    QVERIFY(pdfText(t.qpath("c.pdf"), 1, 1).startsWith(name + QLatin1Char('\n')));
}

void TestCatalog::bookletOrder_data()
{
    QTest::addColumn<int>("pages");
    QTest::addColumn<QString>("sides"); // left|right, front and back of each sheet
    QTest::newRow("1") << 1 << "4|1 2|3";
    QTest::newRow("4") << 4 << "4|1 2|3";
    QTest::newRow("5") << 5 << "8|1 2|7 6|3 4|5";
    QTest::newRow("6") << 6 << "8|1 2|7 6|3 4|5";
    QTest::newRow("9") << 9 << "12|1 2|11 10|3 4|9 8|5 6|7";
}

void TestCatalog::bookletOrder()
{
    QFETCH(int, pages);
    QFETCH(QString, sides);
    QStringList got;
    for (const auto &[l, r] : catalog::BookletOrder(pages))
        got << QStringLiteral("%1|%2").arg(l).arg(r);
    QCOMPARE(got.join(u' '), sides);
}

void TestCatalog::sizeText_data()
{
    QTest::addColumn<quint64>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("bytes") << quint64(1023) << "1023 B";
    QTest::newRow("a half rounds up") << quint64(1280) << "1.3 KB";
    QTest::newRow("under a half rounds down") << quint64(1279) << "1.2 KB";
    QTest::newRow("rounds to ten, one decimal kept") << quint64(10189) << "10.0 KB";
    QTest::newRow("ten and more: whole") << quint64(10240) << "10 KB";
    QTest::newRow("rounds to 1024: the next unit") << quint64(1048064) << "1.0 MB";
    QTest::newRow("just under") << quint64(1048063) << "1023 KB";
    QTest::newRow("gigabytes") << quint64(5) * 1024 * 1024 * 1024 + 1024 * 1024 * 1024 / 4 << "5.3 GB";
    QTest::newRow("the largest, in the last unit") << ~quint64(0) << "16384 PB";
}

void TestCatalog::sizeText()
{
    QFETCH(quint64, bytes);
    QFETCH(QString, text);
    QCOMPARE(catalog::SizeText(bytes), text);
}

void TestCatalog::imposed_data()
{
    QTest::addColumn<int>("files");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<double>("topMm");  // the pages' top edge on the sheet
    QTest::addColumn<QString>("sides"); // each side's page numbers; - a blank page
    QTest::newRow("6 pages on A4") << 400 << "a4" << 45.5 << "-|1 2|- 6|3 4|5";
    QTest::newRow("2 pages on Letter") << 0 << "letter" << 48.45 << "-|1 2|-";
}

// Each side's two page numbers, told apart by x, and the fold mark on the
// first side, rendered: a stroke above and below the fold, nothing between.
void TestCatalog::imposed()
{
    QFETCH(int, files);
    QFETCH(QString, sheet);
    QFETCH(double, topMm);
    QFETCH(QString, sides);
    const QByteArray dir = "imposed" + QByteArray::number(files);
    QVERIFY(tree_.mkdir(dir));
    for (int i = 0; i < files; ++i)
        QVERIFY(tree_.touch(dir + "/f" + QByteArray::number(i) + ".txt"));
    const QString pdf = tree_.qpath(dir + ".pdf");
    const scriptrun::Result run =
        scriptrun::Run(QStringLiteral(SLEEVEINDEX),
                       {"--export-catalog", pdf, "--impose", "--sheet", sheet, tree_.qpath(dir)});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    QVERIFY(p.waitForFinished(60000));
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    const QRegularExpression pageRe(
        QStringLiteral("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\">(.*?)</page>"),
        QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpression wordRe(
        QStringLiteral("xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\"[^>]*>([^<]*)<"));
    QStringList got;
    double width = 0;
    for (auto pages = pageRe.globalMatch(html); pages.hasNext();) {
        const auto page = pages.next();
        width = page.captured(1).toDouble();
        QString half[2] = {QStringLiteral("-"), QStringLiteral("-")};
        double lowest[2] = {-1, -1}, centre[2] = {0, 0};
        for (auto words = wordRe.globalMatch(page.captured(3)); words.hasNext();) {
            const auto w = words.next();
            const double x0 = w.captured(1).toDouble(), y = w.captured(2).toDouble(),
                         x1 = w.captured(3).toDouble();
            QVERIFY2(x1 <= width / 2 || x0 >= width / 2, qPrintable(w.captured(4) + " lies on the fold"));
            const int h = x0 >= width / 2 ? 1 : 0;
            if (y > lowest[h]) { // the page number is the lowest word
                lowest[h] = y;
                half[h] = w.captured(4);
                centre[h] = (x0 + x1) / 2;
            }
        }
        for (int h = 0; h < 2; ++h) // centred on its page
            QVERIFY2(lowest[h] < 0 || std::abs(centre[h] - width / 2 - (h == 0 ? -60 : 60) * 72 / 25.4) < 3,
                     qPrintable(half[h] + " is not centred on its page"));
        got << half[0] + u'|' + half[1];
    }
    QCOMPARE(got.join(u' '), sides);
    QCOMPARE(qRound(width * 25.4 / 72), sheet == QLatin1String("a4") ? 297 : 279);
    // The fold mark, rendered at 200 dpi: dark 4.5 mm above and below the pages, light elsewhere.
    const QString png = tree_.qpath(dir);
    QVERIFY(QProcess::execute(QStringLiteral("pdftoppm"), {"-r", "200", "-gray", "-png", "-singlefile", "-f",
                                                           "1", "-l", "1", pdf, png}) == 0);
    const QImage image(png + QStringLiteral(".png"));
    QVERIFY(!image.isNull());
    const double dot = 200 / 25.4, foldX = width / 2 * 200 / 72, bottomMm = topMm + 119;
    auto ink = [&](double dx, double yMm) {
        return qGray(image.pixel(qRound(foldX + dx * dot), qRound(yMm * dot))) < 160;
    };
    QVERIFY(ink(0, topMm - 4.5) && ink(0, bottomMm + 4.5));
    QVERIFY(!ink(0, topMm - 9) && !ink(0, bottomMm + 9) && !ink(1.5, topMm - 4.5) && !ink(0, topMm + 60));
}

int main(int argc, char *argv[])
{
    fonts::PrepareEnvironment();
    QApplication app(argc, argv);
    TestCatalog t;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&t, argc, argv);
}

#include "test_catalog.moc"
