// Label stock: the template reader under hostile files, the pieces on the label makers' sheets
// read back from the PDF's outlines, and the command line's --stock, --labels and --list-stock.
#include <QTemporaryDir>
#include <QtTest>

#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QSortFilterProxyModel>
#include <QTableView>

#include "app_setup.h"
#include "coverdocument.h"
#include "design.h"
#include "labelstock.h"
#include "pdfpaths.h"
#include "scriptrun.h"
#include "stockdialog.h"
#include "stocksheet.h"

Q_DECLARE_METATYPE(labelstock::Template)

namespace {

bool haveLibrary()
{
    return QFileInfo::exists(QStringLiteral("/usr/share/libglabels-3.0/templates/avery-iso-templates.xml"));
}

// The program with the system's template data, or with none (the built-in sheets).
scriptrun::Result sleevedesk(const QStringList &args, bool library, const QString &home)
{
    QProcessEnvironment env = scriptrun::WithoutDisplay();
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/cache"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    if (!library)
        env.insert(QStringLiteral("XDG_DATA_DIRS"), home + QStringLiteral("/none"));
    return scriptrun::Run(QStringLiteral(SLEEVEDESK), args, home, env);
}

QByteArray sheetXml(const QByteArray &labelAttrs)
{
    return "<Glabels-templates><Template brand=\"T\" part=\"1\" size=\"A4\"><Label-round id=\"0\" " +
           labelAttrs + "><Layout nx=\"1\" ny=\"1\" x0=\"1mm\" y0=\"1mm\"/></Label-round></Template>" +
           "</Glabels-templates>";
}

} // namespace

class TestLabelStock : public QObject
{
    Q_OBJECT
    QTemporaryDir home;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        SetupDesignerApplication();
    }

    // From the cover's menu: search, the labels chosen reach the sheet, the sheet is remembered.
    void dialog()
    {
        Design d;
        QMenu *menu = d.CoverMenu();
        menu->findChild<QAction *>(QStringLiteral("PrintOnStockAction"))->trigger();
        QTRY_VERIFY(d.findChild<StockDialog *>());
        auto *dialog = d.findChild<StockDialog *>();
        const QString part = haveLibrary() ? QStringLiteral("L6043") : QStringLiteral("CD-Letter-2");
        dialog->findChild<QLineEdit *>(QStringLiteral("StockSearch"))->setText(part.toLower());
        auto *table = dialog->findChild<QTableView *>(QStringLiteral("StockTable"));
        QCOMPARE(table->model()->rowCount(), 1);
        table->setCurrentIndex(table->model()->index(0, 0));
        QVERIFY(dialog->Selected() && dialog->Selected()->part == part);
        dialog->findChild<QListWidget *>(QStringLiteral("StockLabels"))
            ->item(0)
            ->setCheckState(Qt::Unchecked);
        QCOMPARE(dialog->ChosenLabels(), QList<int>{1});
        QString error;
        const QString pdf = home.filePath(QStringLiteral("dialog.pdf"));
        QVERIFY2(dialog->ExportSheet(pdf, &error), qPrintable(error));
        int circles = 0;
        for (const pdfpaths::Stroke &s : pdfpaths::Read(pdf).value(0).strokes)
            circles += s.dashed && s.outerEdge().height() > 100 && s.outerEdge().top() > 130;
        QCOMPARE(circles, 1);
        delete dialog;
        StockDialog again(&d, CoverDocument(), d.CommonDialog1, {}, {});
        QCOMPARE(again.Selected()->part, part);
        delete menu;
    }

    void units_data()
    {
        QTest::addColumn<QByteArray>("radius");
        QTest::addColumn<double>("diameter"); // 0: left out
        QTest::newRow("mm") << QByteArray("12.7mm") << 25.4;
        QTest::newRow("in") << QByteArray("0.5in") << 25.4;
        QTest::newRow("cm") << QByteArray("1.27 cm") << 25.4;
        QTest::newRow("pc") << QByteArray("3pc") << 25.4;
        QTest::newRow("bare points") << QByteArray("36") << 25.4;
        QTest::newRow("exponent") << QByteArray("1.27e1mm") << 25.4;
        QTest::newRow("unknown unit") << QByteArray("2furlong") << 0.0;
        QTest::newRow("negative") << QByteArray("-3mm") << 0.0;
        QTest::newRow("beyond the bound") << QByteArray("1e300mm") << 0.0;
        QTest::newRow("off the sheet") << QByteArray("300mm") << 0.0;
    }
    void units()
    {
        QFETCH(QByteArray, radius);
        QFETCH(double, diameter);
        labelstock::Library lib;
        labelstock::Papers papers;
        papers.sizes = {{QStringLiteral("A4"), QSizeF(210, 297)}};
        labelstock::ReadXml(sheetXml("radius=\"" + radius + "\""), QStringLiteral("f.xml"), papers, lib);
        QCOMPARE(lib.templates.size(), diameter > 0 ? 1 : 0);
        QCOMPARE(lib.notes.size(), diameter > 0 ? 0 : 1);
        if (diameter > 0)
            QCOMPARE(qRound(lib.templates[0].labelMm.width() * 1000), qRound(diameter * 1000));
    }

    // Each hostile file beside a good one: a note, the good file's template kept, no crash.
    void hostile_data()
    {
        QTest::addColumn<QByteArray>("recipe");
        QTest::addColumn<QString>("note");
        QTest::newRow("a million templates") << QByteArray("million") << QStringLiteral("larger than 2 MB");
        QTest::newRow("more templates than kept") << QByteArray("many") << QStringLiteral("more than 20000");
        QTest::newRow("deep nesting") << QByteArray("deep") << QStringLiteral("nest deeper than 12");
        QTest::newRow("entities") << QByteArray("laughs") << QStringLiteral("declares entities");
        QTest::newRow("a gigabyte") << QByteArray("sparse") << QStringLiteral("larger than 2 MB");
        QTest::newRow("not XML") << QByteArray("junk") << QStringLiteral("line 1");
        QTest::newRow("equivalent of nothing") << QByteArray("equiv") << QStringLiteral("which is not there");
    }
    void hostile()
    {
        QFETCH(QByteArray, recipe);
        QFETCH(QString, note);
        QTemporaryDir dir;
        QFile good(dir.filePath(QStringLiteral("good.xml")));
        QVERIFY(good.open(QIODevice::WriteOnly) && good.write(sheetXml("radius=\"10mm\"")) > 0);
        good.close();
        QFile bad(dir.filePath(QStringLiteral("z.xml"))); // read after the good one
        QVERIFY(bad.open(QIODevice::WriteOnly));
        if (recipe == "million" || recipe == "many") {
            const QByteArray one =
                recipe == "many" ? "<Template brand=\"T\" part=\"x\" equiv=\"1\"/>" : "<Template/>";
            bad.write("<Glabels-templates>" + one.repeated(recipe == "many" ? 25000 : 1000000) +
                      "</Glabels-templates>");
        } else if (recipe == "deep") {
            bad.write(QByteArray("<a>").repeated(100000));
        } else if (recipe == "laughs") {
            QByteArray dtd = "<!DOCTYPE t [<!ENTITY a \"lol\">";
            for (int i = 1; i < 10; ++i)
                dtd += "<!ENTITY " + QByteArray(1, char('a' + i)) + " \"" +
                       QByteArray("&" + QByteArray(1, char('a' + i - 1)) + ";").repeated(10) + "\">";
            bad.write(dtd + "]><Glabels-templates><Template brand=\"&j;\" part=\"1\"/></Glabels-templates>");
        } else if (recipe == "sparse") {
            QVERIFY(bad.resize(qint64(1) << 30));
        } else if (recipe == "junk") {
            bad.write("\x01<<<\xff");
        } else {
            bad.write(
                "<Glabels-templates><Template brand=\"T\" part=\"2\" equiv=\"9\"/></Glabels-templates>");
        }
        bad.close();
        const labelstock::Library lib = labelstock::Read({dir.path()});
        QVERIFY(labelstock::Find(lib, QStringLiteral("T 1")));
        QVERIFY2(lib.notes.join(u'\n').contains(note), qPrintable(lib.notes.join(u'\n')));
    }

    void labels_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("chosen"); // empty: refused
        QTest::newRow("one") << QStringLiteral("2") << QList<int>{1};
        QTest::newRow("several, out of order, twice") << QStringLiteral("3, 1,3") << QList<int>{0, 2};
        QTest::newRow("nought") << QStringLiteral("0") << QList<int>{};
        QTest::newRow("past the sheet") << QStringLiteral("4") << QList<int>{};
        QTest::newRow("not a number") << QStringLiteral("1,x") << QList<int>{};
    }
    void labels()
    {
        QFETCH(QString, text);
        QFETCH(QList<int>, chosen);
        QString error;
        QCOMPARE(labelstock::ParseLabels(text, 3, &error), chosen);
        QCOMPARE(error.isEmpty(), !chosen.isEmpty());
    }

    // The index is read once per run, then from the cache, which a damaged copy does not fool.
    void cache()
    {
        labelstock::ForgetIndex();
        const labelstock::Library read = labelstock::Index();
        QCOMPARE(&labelstock::Index(), &labelstock::Index());
        labelstock::ForgetIndex();
        QCOMPARE(labelstock::Index().templates, read.templates);
        const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                              "/sleeve/labelstock.index";
        QFile f(cache);
        QVERIFY(f.open(QIODevice::ReadWrite));
        f.resize(f.size() / 2);
        f.close();
        labelstock::ForgetIndex();
        QCOMPARE(labelstock::Index().templates, read.templates);
    }

    void listStock_data()
    {
        QTest::addColumn<bool>("library");
        QTest::addColumn<QString>("piece");
        QTest::addColumn<QString>("line"); // a line the list holds; empty: the list is empty
        QTest::newRow("built-in disc") << false << "disc"
                                       << "Plain | CD-A4-2 | CD/DVD labels, 2 per sheet | A4 | "
                                          "117 mm disc, hole 41 mm | 2";
        QTest::newRow("built-in cover") << false << "cover"
                                        << "";
        QTest::newRow("disc") << true << "disc"
                              << "Avery | L6043 | CD/DVD labels | A4 | 117.4 mm disc, hole 41.2 mm | 2";
        QTest::newRow("cover") << true << "cover"
                               << "PEARL | VM-5513-1 | CD inlet (front) | A4 | 120 × 120 mm | 1";
        QTest::newRow("tray") << true << "tray"
                              << "Hama | 50432-2 | CD inlet (back) | A4 | 151 × 117.5 mm | 1";
        QTest::newRow("disc, through an equivalent") << true << "disc"
                                                     << "Avery | J8676 |";
    }
    void listStock()
    {
        QFETCH(bool, library);
        QFETCH(QString, piece);
        QFETCH(QString, line);
        if (library && !haveLibrary())
            QSKIP("the label makers' template data is not installed");
        const scriptrun::Result run =
            sleevedesk({QStringLiteral("--list-stock"), piece}, library, home.path());
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(line.isEmpty() ? run.out.isEmpty() : run.out.contains(line), qPrintable(run.out));
    }

    // The cut circles read back from the PDF: centre, diameter and hole, from the paper's corner.
    void discOnLabel_data()
    {
        QTest::addColumn<bool>("library");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QList<double>>("circle"); // centre x, y, diameter, hole; empty: refused
        const auto row = [](const char *name, bool library, const char *stock, const char *labels,
                            QList<double> circle) {
            QStringList args = {QStringLiteral("--as"), QStringLiteral("disc"), QStringLiteral("--stock"),
                                QString::fromUtf8(stock)};
            if (*labels)
                args << QStringLiteral("--labels") << QString::fromUtf8(labels);
            QTest::newRow(name) << library << args << circle;
        };
        row("Avery L6043, label 2", true, "Avery L6043", "2", {104.7, 217.5, 117.4, 41.2});
        row("built-in A4, label 1", false, "plain cd-a4-2", "1", {105, 80, 117, 41});
        row("built-in Letter, label 2", false, "Plain CD-Letter-2", "2", {107.95, 203.2, 117, 41});
        row("past the sheet", true, "Avery L6043", "3", {});
        row("no such stock", false, "Avery L6043", "", {});
        QTest::newRow("a disc sheet for the tray card")
            << false << QStringList{"--as", "tray", "--stock", "Plain CD-A4-2"} << QList<double>{};
    }
    void discOnLabel()
    {
        QFETCH(bool, library);
        QFETCH(QStringList, args);
        QFETCH(QList<double>, circle);
        if (library && !haveLibrary())
            QSKIP("the label makers' template data is not installed");
        const QString pdf = home.filePath(QStringLiteral("disc.pdf"));
        QFile::remove(pdf);
        const scriptrun::Result run =
            sleevedesk(args << QStringLiteral("--export-pdf") << pdf << QFINDTESTDATA("cover.qwd"), library,
                       home.path());
        QCOMPARE(run.exitCode, circle.isEmpty() ? 1 : 0);
        if (circle.isEmpty()) {
            QVERIFY(run.err.count(u'\n') == 1 && !QFile::exists(pdf));
            return;
        }
        const QList<pdfpaths::Page> pages = pdfpaths::Read(pdf);
        QCOMPARE(pages.size(), 1);
        bool disc = false, hole = false;
        for (const pdfpaths::Stroke &s : pages[0].strokes) {
            const double h = s.width / 2;
            const QRectF outer = s.outerEdge(), inner = s.bounds().adjusted(h, h, -h, -h);
            const bool centred = std::abs(outer.center().x() - circle[0]) <= 0.3 &&
                                 std::abs(outer.center().y() - circle[1]) <= 0.3;
            disc |= s.dashed && centred && std::abs(outer.width() - circle[2]) <= 0.1;
            hole |= s.dashed && centred && std::abs(inner.width() - circle[3]) <= 0.1;
        }
        QVERIFY(disc && hole);
    }

    // Every disc sheet of the library (or the built-in set) puts every circle on the paper.
    void everyDiscSheet_data()
    {
        QTest::addColumn<labelstock::Template>("sheet");
        for (const labelstock::Template &t :
             labelstock::Fitting(labelstock::Index(), labelstock::Piece::Disc))
            QTest::newRow(qPrintable(t.name())) << t;
    }
    void everyDiscSheet()
    {
        QFETCH(labelstock::Template, sheet);
        const QString pdf = home.filePath(QStringLiteral("sheet.pdf"));
        QString error;
        QVERIFY2(stocksheet::Export(CoverDocument(), labelstock::Piece::Disc, sheet, {}, pdf,
                                    pageexport::Format::Pdf, 96, {}, &error),
                 qPrintable(error));
        const QList<pdfpaths::Page> pages = pdfpaths::Read(pdf);
        QCOMPARE(pages.size(), 1);
        const QRectF paper(QPointF(0, 0), sheet.paperMm);
        int discs = 0;
        for (const pdfpaths::Stroke &s : pages[0].strokes)
            if (s.dashed) {
                QVERIFY(paper.adjusted(-1, -1, 1, 1).contains(s.outerEdge()));
                discs += std::abs(s.outerEdge().height() - sheet.labelMm.height()) < 0.1;
            }
        QCOMPARE(discs, sheet.labelsMm.size());
    }
};

QTEST_MAIN(TestLabelStock)
#include "test_labelstock.moc"
