#include <QApplication>
#include <QTimer>

#include <memory>
#include <optional>

#include "app_setup.h"
#include "calibration.h"
#include "casepages.h"
#include "command_line.h"
#include "design.h"
#include "fonts.h"
#include "headless.h"
#include "labelstock.h"
#include "names.h"
#include "options.h"
#include "pageexport.h"
#include "recent_designs.h"
#include "terminal.h"

namespace {

using deskcli::Job;

const options::Table &table()
{
    using O = options::Option;
    static const options::Table t = {
        "sleevedesk",
        {QStringLiteral("[options] [design.qwd]")},
        QStringLiteral(
            "Cover designer for CD jewel cases. With --export-pdf, --export-png, --print or\n"
            "--import-tracks it works without a window and ends with one of the exit codes below.\n"
            "\n"
            "sleevedesk --import-tracks SOURCE [design.qwd] [--numbered] [--durations]\n"
            "           [--replace-headlines] (--save out.qwd | --export-pdf out.pdf)\n"
            "fills the titles of the design (or of a new one) from SOURCE as the import dialog does,\n"
            "then saves or exports it. Several sources follow one another in the order given. Up to\n"
            "99 titles are kept, past 20 drawn in columns; more: a warning says how many were left out."),
        {
            O{{QStringLiteral("export-pdf")},
              QStringLiteral("file.pdf"),
              QStringLiteral("Write the cover as a PDF page of its true size.")},
            O{{QStringLiteral("export-png")},
              QStringLiteral("file.png"),
              QStringLiteral("Write the cover as a PNG.")},
            O{{QStringLiteral("dpi")},
              QStringLiteral("n"),
              QStringLiteral(
                  "The PNG's resolution, 1 to %1 (96, 300 or 600 as in the export dialog); 300 when "
                  "not given.")
                  .arg(pageexport::MaxPngDpi)},
            O{{QStringLiteral("print")},
              {},
              QStringLiteral("Print the cover on the default printer, or on --printer.")},
            O{{QStringLiteral("printer")},
              QStringLiteral("name"),
              QStringLiteral("The printer for --print.")},
            O{{QStringLiteral("as")},
              QStringLiteral("cover|tray|disc|set"),
              QStringLiteral("With --export-pdf, --export-png or --print: what to make. cover: the cover as "
                             "shown (the default); tray: the tray card with its spines; disc: the disc face; "
                             "set: booklet front, tray card and disc face on sheets of A4 or Letter (the "
                             "printer's paper).")},
            O{{QStringLiteral("import-tracks")},
              QStringLiteral("source"),
              QStringLiteral("Fill the titles from a folder of audio files, an audio file, a CUE sheet, an "
                             "M3U or PLS playlist, a text list (one title a line) or an audio CD (cdda:). "
                             "Given more than once for several audio files."),
              true},
            O{{QStringLiteral("numbered")},
              {},
              QStringLiteral("With --import-tracks: number the titles (1. 2. 3.).")},
            O{{QStringLiteral("durations")},
              {},
              QStringLiteral("With --import-tracks: add the lengths (3:45).")},
            O{{QStringLiteral("replace-headlines")},
              {},
              QStringLiteral("With --import-tracks: the album and artist replace headlines that are not "
                             "empty.")},
            O{{QStringLiteral("save")},
              QStringLiteral("file.qwd"),
              QStringLiteral("With --import-tracks: save the design file.")},
            O{{QStringLiteral("stock")},
              QStringLiteral("BRAND PART"),
              QStringLiteral(
                  "With --as disc, cover or tray and --export-pdf, --export-png or --print: put "
                  "the piece on the labels of a label sheet, named by brand and part as "
                  "--list-stock shows them (\"Avery L6043\"), at true size on the sheet's paper.")},
            O{{QStringLiteral("labels")},
              QStringLiteral("N[,M...]"),
              QStringLiteral("With --stock: the labels to print on, numbered from 1 along the sheet's rows "
                             "(\"2\" or \"1,3\"); all of them when not given.")},
            O{{QStringLiteral("list-stock")},
              {},
              QStringLiteral("List the label sheets that fit a piece (disc, cover or tray, given after it; "
                             "any piece when not given), one a line: brand | part | description | paper | "
                             "label size | labels per sheet.")},
            O{{QStringLiteral("quit-when-shown")}, {}, {}}, // start-up measurements
            O{{QStringLiteral("calibrate")},
              QStringLiteral("printer"),
              QStringLiteral("Keep a calibration for the printer, laid on every print to it: with --offset "
                             "X,Y in mm (-%1 to %1, 0.1 mm steps) and --scale SX,SY in per cent of true "
                             "size (%2 to %3).")
                  .arg(calibration::MaxOffsetMm)
                  .arg(100 - calibration::MaxScalePercent)
                  .arg(100 + calibration::MaxScalePercent)},
            O{{QStringLiteral("offset")},
              QStringLiteral("x,y"),
              QStringLiteral("With --calibrate: the offset.")},
            O{{QStringLiteral("scale")},
              QStringLiteral("sx,sy"),
              QStringLiteral("With --calibrate: the scale; 100,100 when not given.")},
            O{{QStringLiteral("show-calibration")},
              QStringLiteral("printer"),
              QStringLiteral("Print the printer's calibration.")},
            O{{QStringLiteral("calibration-page")},
              {},
              QStringLiteral("With --print (and --printer) or --export-pdf: make the calibration page to "
                             "measure.")},
            O{{QStringLiteral("calibrated")},
              QStringLiteral("printer"),
              QStringLiteral("With --export-pdf or --export-png: lay the printer's calibration on the file, "
                             "as it would print; exports leave calibrations out otherwise.")},
            O{{QStringLiteral("crop-marks")},
              {},
              QStringLiteral("With --print, --export-pdf or --export-png: corner marks round each piece, 2 "
                             "mm off its cut line and 5 mm long.")},
        },
        {{QStringLiteral("design"), QStringLiteral("A design file (.qwd) to open.")}},
        deskcli::ExitCodes,
    };
    return t;
}

// What the command line asks for.
struct Request {
    enum class Kind { Window, Job, Calibration, ListStock } kind = Kind::Window;
    Job job;
    deskcli::CalibrationJob calibration;
    QString design; // the window's, or the piece --list-stock lists
};

bool refuse(QString *why, const QString &text)
{
    *why = text;
    return false;
}

// "X,Y" as two numbers; nothing for anything else.
std::optional<std::pair<double, double>> numberPair(const QString &text)
{
    const QStringList parts = text.split(u',');
    bool okX = false, okY = false;
    if (parts.size() != 2)
        return std::nullopt;
    const double x = parts[0].trimmed().toDouble(&okX), y = parts[1].trimmed().toDouble(&okY);
    if (!okX || !okY)
        return std::nullopt;
    return std::pair{x, y};
}

// The calibration options: false with the reason for a usage error; none given leaves
// request->kind as it was.
bool readCalibration(const options::Parsed &p, Request *request, QString *why)
{
    using K = deskcli::CalibrationJob::Kind;
    deskcli::CalibrationJob &job = request->calibration;
    const bool print = p.isSet(QStringLiteral("print"));
    const QString exportPdf = p.value(QStringLiteral("export-pdf"));
    const bool store = p.isSet(QStringLiteral("calibrate")),
               show = p.isSet(QStringLiteral("show-calibration")),
               page = p.isSet(QStringLiteral("calibration-page"));
    const bool offset = p.isSet(QStringLiteral("offset")), scale = p.isSet(QStringLiteral("scale"));
    if (int(store) + int(show) + int(page) > 1)
        return refuse(
            why, QStringLiteral("--calibrate, --show-calibration and --calibration-page go one at a time"));
    if ((offset || scale) && !store)
        return refuse(why, QStringLiteral("--offset and --scale go with --calibrate"));
    if (store) {
        job.kind = K::Store;
        job.printer = p.value(QStringLiteral("calibrate"));
        if (!offset)
            return refuse(why, QStringLiteral("--calibrate needs --offset X,Y"));
        const auto xy = numberPair(p.value(QStringLiteral("offset")));
        const auto s = scale ? numberPair(p.value(QStringLiteral("scale"))) : std::pair{100.0, 100.0};
        if (!xy || !s)
            return refuse(why, QStringLiteral("--offset and --scale take two numbers, as 2.0,-1.5"));
        job.correction = {xy->first, xy->second, s->first / 100, s->second / 100};
        if (!calibration::InRange(job.correction))
            return refuse(why,
                          QStringLiteral("the offset goes from -%1 to %1 mm and the scale from %2 to %3 %")
                              .arg(calibration::MaxOffsetMm)
                              .arg(100 - calibration::MaxScalePercent)
                              .arg(100 + calibration::MaxScalePercent));
    } else if (show) {
        job.kind = K::Show;
        job.printer = p.value(QStringLiteral("show-calibration"));
    } else if (page) {
        if (print == !exportPdf.isEmpty())
            return refuse(why,
                          QStringLiteral("--calibration-page goes with one of --print and --export-pdf"));
        job.kind = print ? K::PrintPage : K::ExportPage;
        job.printer = p.value(QStringLiteral("printer"));
        job.output = exportPdf;
    } else {
        return true;
    }
    if ((store || show) && job.printer.isEmpty())
        return refuse(why, QStringLiteral("no printer given"));
    request->kind = Request::Kind::Calibration;
    return true;
}

// What was asked, checked as far as the command line can say; false with the reason.
bool readRequest(const options::Parsed &p, Request *request, QString *why)
{
    const auto set = [&p](const char *key) { return p.isSet(QString::fromLatin1(key)); };
    const auto value = [&p](const char *key) { return p.value(QString::fromLatin1(key)); };
    const QStringList &designs = p.positional;
    if (set("list-stock")) {
        // The piece comes after the option, where a design would.
        if (designs.size() > 1 || p.given.size() > 1)
            return refuse(why, QStringLiteral("--list-stock goes alone, with disc, cover or tray after it"));
        request->kind = Request::Kind::ListStock;
        request->design = designs.value(0);
        return true;
    }
    if (designs.size() > 1)
        return refuse(why, QStringLiteral("one design file at a time"));
    const int batch = int(set("export-pdf")) + int(set("export-png")) + int(set("print"));
    if (batch > 1)
        return refuse(why, QStringLiteral("--export-pdf, --export-png and --print go one at a time"));
    if (set("dpi") && !set("export-png"))
        return refuse(why, QStringLiteral("--dpi goes with --export-png"));
    if (set("printer") && !set("print"))
        return refuse(why, QStringLiteral("--printer goes with --print"));
    Job &job = request->job;
    if (set("as")) {
        const std::optional<casepages::Output> output = casepages::OutputNamed(value("as"));
        if (!output)
            return refuse(why,
                          QStringLiteral("--as takes cover, tray, disc or set, not \"%1\"").arg(value("as")));
        if (batch != 1)
            return refuse(why,
                          QStringLiteral("--as goes with one of --export-pdf, --export-png and --print"));
        job.as = *output;
    }
    if (set("labels") && !set("stock"))
        return refuse(why, QStringLiteral("--labels goes with --stock"));
    if (set("stock")) {
        labelstock::Piece piece{};
        if (!set("as") || !labelstock::PieceNamed(value("as"), &piece))
            return refuse(why, QStringLiteral("--stock goes with --as disc, cover or tray"));
        const labelstock::Template *stock = labelstock::Find(labelstock::Index(), value("stock"));
        if (!stock)
            return refuse(
                why, QStringLiteral("no label sheet is called \"%1\" (sleevedesk --list-stock lists them)")
                         .arg(value("stock")));
        if (!labelstock::Fits(*stock, piece))
            return refuse(why, QStringLiteral("the labels of %1 (%2) do not fit the %3")
                                   .arg(stock->name(), stock->sizeText(), labelstock::PieceName(piece)));
        if (set("labels")) {
            job.labels = labelstock::ParseLabels(value("labels"), int(stock->labelsMm.size()), why);
            if (job.labels.isEmpty())
                return false;
        }
        job.onStock = true;
        job.stock = *stock;
    }
    const bool importing = set("import-tracks");
    for (const char *option : {"numbered", "durations", "replace-headlines", "save"})
        if (set(option) && !importing)
            return refuse(why, QStringLiteral("--%1 goes with --import-tracks").arg(QLatin1String(option)));
    if (importing && job.onStock)
        return refuse(why,
                      QStringLiteral("--stock goes with --export-pdf, --export-png or --print of a design"));
    if (importing && (set("export-png") || set("print") || int(set("export-pdf")) + int(set("save")) != 1))
        return refuse(why, QStringLiteral("--import-tracks goes with one of --save and --export-pdf"));

    if (!readCalibration(p, request, why))
        return false;
    if (request->kind == Request::Kind::Calibration) {
        if (!designs.isEmpty() || importing)
            return refuse(why, QStringLiteral("the calibration options take no design file"));
        return true;
    }
    if (set("calibrated") && !set("export-pdf") && !set("export-png"))
        return refuse(why, QStringLiteral("--calibrated goes with --export-pdf or --export-png"));
    if (set("crop-marks") && (batch != 1 || importing))
        return refuse(why,
                      QStringLiteral("--crop-marks goes with one of --export-pdf, --export-png and --print"));

    if (importing) {
        job.design = designs.value(0);
        job.trackSources = p.values.value(QStringLiteral("import-tracks"));
        job.numbered = set("numbered");
        job.durations = set("durations");
        job.replaceHeadlines = set("replace-headlines");
        job.kind = set("save") ? Job::Kind::Save : Job::Kind::ExportPdf;
        job.output = value(set("save") ? "save" : "export-pdf");
        if (job.output.isEmpty())
            return refuse(why, QStringLiteral("no output file given"));
        if (job.trackSources.contains(QString()))
            return refuse(why, QStringLiteral("no track list given"));
        request->kind = Request::Kind::Job;
        return true;
    }
    if (batch == 0) {
        request->design = designs.value(0);
        return true;
    }
    if (designs.isEmpty())
        return refuse(why, QStringLiteral("no design file given"));
    job.design = designs.constFirst();
    job.calibrated = value("calibrated");
    job.cropMarks = set("crop-marks");
    if (set("export-pdf")) {
        job.kind = Job::Kind::ExportPdf;
        job.output = value("export-pdf");
    } else if (set("export-png")) {
        job.kind = Job::Kind::ExportPng;
        job.output = value("export-png");
        if (set("dpi")) {
            bool ok = false;
            job.dpi = value("dpi").toInt(&ok);
            if (!ok || job.dpi < 1 || job.dpi > pageexport::MaxPngDpi)
                return refuse(
                    why,
                    QStringLiteral("--dpi takes a whole number from 1 to %1").arg(pageexport::MaxPngDpi));
        }
    } else {
        job.kind = Job::Kind::Print;
        job.printer = value("printer");
    }
    if (job.output.isEmpty() && job.kind != Job::Kind::Print)
        return refuse(why, QStringLiteral("no output file given"));
    request->kind = Request::Kind::Job;
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    terminal::SetProgram("sleevedesk");
    // Understood before anything else: a mistyped command line needs no display. Names that are
    // not UTF-8 reach open() as the bytes they were.
    options::Parsed parsed;
    if (const std::optional<Exit> done = options::Read(table(), argc, argv, &parsed))
        return int(*done);
    // Exports and prints from scripts need no display, and no widgets: they work on the
    // document alone, under a QGuiApplication.
    bool windowless = false;
    for (const char *key : {"export-pdf", "export-png", "print", "import-tracks", "list-stock", "calibrate",
                            "show-calibration"})
        windowless = windowless || parsed.isSet(QString::fromLatin1(key));
    // Without a display no window can open: any other option is a script's too, and gets the
    // answer to its command line rather than an abort.
    if (!parsed.given.isEmpty())
        headless::OffscreenWithoutDisplay();
    deskcli::QuietPlatformNotes();
    fonts::PrepareEnvironment();
    const std::unique_ptr<QGuiApplication> app(windowless ? new QGuiApplication(argc, argv)
                                                          : new QApplication(argc, argv));
    QApplication::setApplicationName(QStringLiteral("sleevedesk"));
    QApplication::setApplicationVersion(QStringLiteral(SLEEVE_VERSION));
    QApplication::setApplicationDisplayName(QString());

    Request request;
    if (QString why; !readRequest(parsed, &request, &why))
        return int(options::UsageError(table(), why));
    switch (request.kind) {
    case Request::Kind::ListStock: return int(deskcli::ListStock(request.design));
    case Request::Kind::Calibration: return int(deskcli::RunCalibration(request.calibration));
    case Request::Kind::Job: SetupDesignerApplication(); return int(deskcli::Run(request.job));
    case Request::Kind::Window: break;
    }

    SetupDesignerApplication();
    Design design;
    design.show();
    // A design file named on the command line (a double-click in the file manager).
    if (!request.design.isEmpty()) {
        const QString path = names::Absolute(request.design);
        if (design.OpenDesignFile(path))
            recentdesigns::Add(path);
    }
    // Unsaved work of a designer that ended without saving is offered back.
    design.StartRecovery();
    // Start-up measurements: leave as soon as the first frame is painted.
    if (parsed.isSet(QStringLiteral("quit-when-shown")))
        QTimer::singleShot(0, app.get(), &QCoreApplication::quit);
    return QCoreApplication::exec();
}
