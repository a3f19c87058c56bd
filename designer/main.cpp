#include <QApplication>
#include <QCommandLineParser>
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
#include "pageexport.h"
#include "recent_designs.h"
#include "terminal.h"

namespace {

using commandline::Job;

[[noreturn]] void usageError(const QString &why)
{
    terminal::Error(why + QStringLiteral(" (see sleevedesk --help)"));
    std::exit(int(Exit::Usage));
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

// The calibration options: none given gives nothing to do; else the job, or a usage error.
std::optional<commandline::CalibrationJob> calibrationJob(const QCommandLineParser &parser, bool print,
                                                          const QString &exportPdf)
{
    using K = commandline::CalibrationJob::Kind;
    commandline::CalibrationJob job;
    const bool store = parser.isSet(QStringLiteral("calibrate")),
               show = parser.isSet(QStringLiteral("show-calibration")),
               page = parser.isSet(QStringLiteral("calibration-page"));
    const bool offset = parser.isSet(QStringLiteral("offset")), scale = parser.isSet(QStringLiteral("scale"));
    if (int(store) + int(show) + int(page) > 1)
        usageError(QStringLiteral("--calibrate, --show-calibration and --calibration-page go one at a time"));
    if ((offset || scale) && !store)
        usageError(QStringLiteral("--offset and --scale go with --calibrate"));
    if (store) {
        job.kind = K::Store;
        job.printer = parser.value(QStringLiteral("calibrate"));
        if (!offset)
            usageError(QStringLiteral("--calibrate needs --offset X,Y"));
        const auto xy = numberPair(parser.value(QStringLiteral("offset")));
        const auto s = scale ? numberPair(parser.value(QStringLiteral("scale"))) : std::pair{100.0, 100.0};
        if (!xy || !s)
            usageError(QStringLiteral("--offset and --scale take two numbers, as 2.0,-1.5"));
        job.correction = {xy->first, xy->second, s->first / 100, s->second / 100};
        if (!calibration::InRange(job.correction))
            usageError(QStringLiteral("the offset goes from -%1 to %1 mm and the scale from %2 to %3 %")
                           .arg(calibration::MaxOffsetMm)
                           .arg(100 - calibration::MaxScalePercent)
                           .arg(100 + calibration::MaxScalePercent));
    } else if (show) {
        job.kind = K::Show;
        job.printer = parser.value(QStringLiteral("show-calibration"));
    } else if (page) {
        if (print == !exportPdf.isEmpty())
            usageError(QStringLiteral("--calibration-page goes with one of --print and --export-pdf"));
        job.kind = print ? K::PrintPage : K::ExportPage;
        job.printer = parser.value(QStringLiteral("printer"));
        job.output = exportPdf;
    } else {
        return std::nullopt;
    }
    if ((store || show) && job.printer.isEmpty())
        usageError(QStringLiteral("no printer given"));
    return job;
}

} // namespace

int main(int argc, char *argv[])
{
    // Exports and prints from scripts need no display, and no widgets: they work on the
    // document alone, under a QGuiApplication.
    const std::initializer_list<const char *> scripted = {
        "--export-pdf", "--export-png", "--print", "--import-tracks", "--help",      "-h",
        "--help-all",   "--version",    "-v",      "--list-stock",    "--calibrate", "--show-calibration"};
    terminal::SetProgram("sleevedesk");
    headless::ChooseOffscreenWithoutDisplay(argc, argv, scripted);
    const bool windowless = headless::Names(argc, argv, scripted);
    // Without a display no window can open: any other option is a script's
    // too, and gets the parser's answer rather than an abort.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        for (int i = 1; i < argc; ++i)
            if (argv[i][0] == '-' && argv[i][1] != '\0') {
                qputenv("QT_QPA_PLATFORM", "offscreen");
                break;
            }
    commandline::QuietPlatformNotes();
    fonts::PrepareEnvironment();
    const std::unique_ptr<QGuiApplication> app(windowless ? new QGuiApplication(argc, argv)
                                                          : new QApplication(argc, argv));
    QApplication::setApplicationName(QStringLiteral("sleevedesk"));
    QApplication::setApplicationVersion(QStringLiteral(SLEEVE_VERSION));
    QApplication::setApplicationDisplayName(QString());

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Cover designer for CD jewel cases. With --export-pdf, --export-png, --print or\n"
        "--import-tracks it works without a window and ends with one of the exit codes below.\n"
        "\n"
        "sleevedesk --import-tracks SOURCE [design.qwd] [--numbered] [--durations]\n"
        "           [--replace-headlines] (--save out.qwd | --export-pdf out.pdf)\n"
        "fills the titles of the design (or of a new one) from SOURCE as the import dialog does,\n"
        "then saves or exports it. Several sources follow one another in the order given. Up to\n"
        "99 titles are kept, past 20 drawn in columns; more: a warning says how many were left out."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption exportPdf(QStringLiteral("export-pdf"),
                                       QStringLiteral("Write the cover as a PDF page of its true size."),
                                       QStringLiteral("file.pdf"));
    const QCommandLineOption exportPng(QStringLiteral("export-png"),
                                       QStringLiteral("Write the cover as a PNG."),
                                       QStringLiteral("file.png"));
    const QCommandLineOption dpi(QStringLiteral("dpi"),
                                 QStringLiteral("The PNG's resolution, 1 to %1 (96, 300 or 600 as in the "
                                                "export dialog); 300 when not given.")
                                     .arg(pageexport::MaxPngDpi),
                                 QStringLiteral("n"));
    const QCommandLineOption print(
        QStringLiteral("print"), QStringLiteral("Print the cover on the default printer, or on --printer."));
    const QCommandLineOption printer(QStringLiteral("printer"), QStringLiteral("The printer for --print."),
                                     QStringLiteral("name"));
    const QCommandLineOption as(
        QStringLiteral("as"),
        QStringLiteral("With --export-pdf, --export-png or --print: what to make. cover: "
                       "the cover as shown (the default); tray: the tray card with its "
                       "spines; disc: the disc face; set: booklet front, tray card and "
                       "disc face on sheets of A4 or Letter (the printer's paper)."),
        QStringLiteral("cover|tray|disc|set"));
    const QCommandLineOption importTracks(
        QStringLiteral("import-tracks"),
        QStringLiteral("Fill the titles from a folder of audio files, an audio file, a CUE sheet, an M3U or "
                       "PLS playlist, a text list (one title a line) or an audio CD (cdda:). Given more "
                       "than once for several audio files."),
        QStringLiteral("source"));
    const QCommandLineOption numbered(QStringLiteral("numbered"),
                                      QStringLiteral("With --import-tracks: number the titles (1. 2. 3.)."));
    const QCommandLineOption durations(QStringLiteral("durations"),
                                       QStringLiteral("With --import-tracks: add the lengths (3:45)."));
    const QCommandLineOption replaceHeadlines(
        QStringLiteral("replace-headlines"),
        QStringLiteral("With --import-tracks: the album and artist replace headlines that are not empty."));
    const QCommandLineOption save(QStringLiteral("save"),
                                  QStringLiteral("With --import-tracks: save the design file."),
                                  QStringLiteral("file.qwd"));
    const QCommandLineOption stock(
        QStringLiteral("stock"),
        QStringLiteral(
            "With --as disc, cover or tray and --export-pdf, --export-png or --print: put the piece "
            "on the labels of a label sheet, named by brand and part as --list-stock shows them "
            "(\"Avery L6043\"), at true size on the sheet's paper."),
        QStringLiteral("BRAND PART"));
    const QCommandLineOption labels(
        QStringLiteral("labels"),
        QStringLiteral("With --stock: the labels to print on, numbered from 1 along the sheet's rows "
                       "(\"2\" or \"1,3\"); all of them when not given."),
        QStringLiteral("N[,M...]"));
    const QCommandLineOption listStock(
        QStringLiteral("list-stock"),
        QStringLiteral("List the label sheets that fit a piece (disc, cover or tray, given after it; any "
                       "piece when not given), one a line: brand | part | description | paper | label "
                       "size | labels per sheet."));
    const QCommandLineOption calibrate(
        QStringLiteral("calibrate"),
        QStringLiteral(
            "Keep a calibration for the printer, laid on every print to it: with --offset X,Y "
            "in mm (-%1 to %1, 0.1 mm steps) and --scale SX,SY in per cent of true size (%2 to %3).")
            .arg(calibration::MaxOffsetMm)
            .arg(100 - calibration::MaxScalePercent)
            .arg(100 + calibration::MaxScalePercent),
        QStringLiteral("printer"));
    const QCommandLineOption offset(QStringLiteral("offset"), QStringLiteral("With --calibrate: the offset."),
                                    QStringLiteral("x,y"));
    const QCommandLineOption scale(QStringLiteral("scale"),
                                   QStringLiteral("With --calibrate: the scale; 100,100 when not given."),
                                   QStringLiteral("sx,sy"));
    const QCommandLineOption showCalibration(QStringLiteral("show-calibration"),
                                             QStringLiteral("Print the printer's calibration."),
                                             QStringLiteral("printer"));
    const QCommandLineOption calibrationPage(
        QStringLiteral("calibration-page"),
        QStringLiteral(
            "With --print (and --printer) or --export-pdf: make the calibration page to measure."));
    const QCommandLineOption calibrated(
        QStringLiteral("calibrated"),
        QStringLiteral("With --export-pdf or --export-png: lay the printer's calibration on the file, as it "
                       "would print; exports leave calibrations out otherwise."),
        QStringLiteral("printer"));
    const QCommandLineOption cropMarks(
        QStringLiteral("crop-marks"),
        QStringLiteral("With --print, --export-pdf or --export-png: corner marks round each piece, 2 mm off "
                       "its cut line and 5 mm long."));
    QCommandLineOption quitWhenShown(QStringLiteral("quit-when-shown"));
    quitWhenShown.setFlags(QCommandLineOption::HiddenFromHelp); // start-up measurements
    parser.addOptions({exportPdf, exportPng, dpi, print, printer, as, importTracks, numbered, durations,
                       replaceHeadlines, save, stock, labels, listStock, quitWhenShown});
    parser.addOptions({calibrate, offset, scale, showCalibration, calibrationPage, calibrated, cropMarks});
    parser.addPositionalArgument(QStringLiteral("design"), QStringLiteral("A design file (.qwd) to open."),
                                 QStringLiteral("[design.qwd]"));

    // Names that are not UTF-8 must reach open() as the bytes they were.
    if (!parser.parse(names::Arguments(argc, argv)))
        usageError(parser.errorText());
    // The usage line quotes argv[0].
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        terminal::OutLines(parser.helpText() + u'\n' + exitcodes::Table(commandline::ExitCodes));
        return int(Exit::Ok);
    }
    if (parser.isSet(QStringLiteral("version"))) {
        terminal::Out(QStringLiteral("sleevedesk " SLEEVE_VERSION));
        return int(Exit::Ok);
    }

    // An output named twice would silently write only the last one.
    for (const QCommandLineOption *option :
         {&exportPdf, &exportPng, &save, &printer, &dpi, &as, &stock, &labels})
        if (parser.values(*option).size() > 1)
            usageError(QStringLiteral("--%1 is given more than once").arg(option->names().constFirst()));
    const QStringList designs = parser.positionalArguments();
    if (parser.isSet(listStock)) {
        // The piece comes after the option, where a design would.
        if (designs.size() > 1 || parser.optionNames().size() > 1)
            usageError(QStringLiteral("--list-stock goes alone, with disc, cover or tray after it"));
        return int(commandline::ListStock(designs.value(0)));
    }
    if (designs.size() > 1)
        usageError(QStringLiteral("one design file at a time"));
    const int batch = int(parser.isSet(exportPdf)) + int(parser.isSet(exportPng)) + int(parser.isSet(print));
    if (batch > 1)
        usageError(QStringLiteral("--export-pdf, --export-png and --print go one at a time"));
    if (parser.isSet(dpi) && !parser.isSet(exportPng))
        usageError(QStringLiteral("--dpi goes with --export-png"));
    if (parser.isSet(printer) && !parser.isSet(print))
        usageError(QStringLiteral("--printer goes with --print"));
    std::optional<casepages::Output> output = casepages::Output::Cover;
    if (parser.isSet(as)) {
        output = casepages::OutputNamed(parser.value(as));
        if (!output)
            usageError(
                QStringLiteral("--as takes cover, tray, disc or set, not \"%1\"").arg(parser.value(as)));
        if (batch != 1)
            usageError(QStringLiteral("--as goes with one of --export-pdf, --export-png and --print"));
    }
    const labelstock::Template *stockTemplate = nullptr;
    QList<int> stockLabels;
    if (parser.isSet(labels) && !parser.isSet(stock))
        usageError(QStringLiteral("--labels goes with --stock"));
    if (parser.isSet(stock)) {
        labelstock::Piece piece{};
        if (!parser.isSet(as) || !labelstock::PieceNamed(parser.value(as), &piece))
            usageError(QStringLiteral("--stock goes with --as disc, cover or tray"));
        stockTemplate = labelstock::Find(labelstock::Index(), parser.value(stock));
        if (!stockTemplate)
            usageError(QStringLiteral("no label sheet is called \"%1\" (sleevedesk --list-stock lists them)")
                           .arg(parser.value(stock)));
        if (!labelstock::Fits(*stockTemplate, piece))
            usageError(
                QStringLiteral("the labels of %1 (%2) do not fit the %3")
                    .arg(stockTemplate->name(), stockTemplate->sizeText(), labelstock::PieceName(piece)));
        if (parser.isSet(labels)) {
            QString why;
            stockLabels =
                labelstock::ParseLabels(parser.value(labels), int(stockTemplate->labelsMm.size()), &why);
            if (stockLabels.isEmpty())
                usageError(why);
        }
    }
    const bool importing = parser.isSet(importTracks);
    for (const QCommandLineOption *option : {&numbered, &durations, &replaceHeadlines, &save})
        if (parser.isSet(*option) && !importing)
            usageError(QStringLiteral("--%1 goes with --import-tracks").arg(option->names().constFirst()));
    if (importing && stockTemplate)
        usageError(QStringLiteral("--stock goes with --export-pdf, --export-png or --print of a design"));
    if (importing && (parser.isSet(exportPng) || parser.isSet(print) ||
                      int(parser.isSet(exportPdf)) + int(parser.isSet(save)) != 1))
        usageError(QStringLiteral("--import-tracks goes with one of --save and --export-pdf"));

    if (const auto job = calibrationJob(parser, parser.isSet(print), parser.value(exportPdf))) {
        if (!designs.isEmpty() || importing)
            usageError(QStringLiteral("the calibration options take no design file"));
        return int(commandline::RunCalibration(*job));
    }
    if (parser.isSet(calibrated) && !parser.isSet(exportPdf) && !parser.isSet(exportPng))
        usageError(QStringLiteral("--calibrated goes with --export-pdf or --export-png"));
    if (parser.isSet(cropMarks) && (batch != 1 || importing))
        usageError(QStringLiteral("--crop-marks goes with one of --export-pdf, --export-png and --print"));

    SetupDesignerApplication();
    if (importing) {
        Job job;
        job.design = designs.value(0);
        job.trackSources = parser.values(importTracks);
        job.numbered = parser.isSet(numbered);
        job.durations = parser.isSet(durations);
        job.replaceHeadlines = parser.isSet(replaceHeadlines);
        job.kind = parser.isSet(save) ? Job::Kind::Save : Job::Kind::ExportPdf;
        job.as = *output;
        job.output = parser.value(parser.isSet(save) ? save : exportPdf);
        if (job.output.isEmpty())
            usageError(QStringLiteral("no output file given"));
        if (job.trackSources.contains(QString()))
            usageError(QStringLiteral("no track list given"));
        return int(commandline::Run(job));
    }
    if (batch == 1) {
        if (designs.isEmpty())
            usageError(QStringLiteral("no design file given"));
        Job job;
        job.design = designs.constFirst();
        job.as = *output;
        if (stockTemplate) {
            job.onStock = true;
            job.stock = *stockTemplate;
            job.labels = stockLabels;
        }
        job.calibrated = parser.value(calibrated);
        job.cropMarks = parser.isSet(cropMarks);
        if (parser.isSet(exportPdf)) {
            job.kind = Job::Kind::ExportPdf;
            job.output = parser.value(exportPdf);
        } else if (parser.isSet(exportPng)) {
            job.kind = Job::Kind::ExportPng;
            job.output = parser.value(exportPng);
            if (parser.isSet(dpi)) {
                bool ok = false;
                job.dpi = parser.value(dpi).toInt(&ok);
                if (!ok || job.dpi < 1 || job.dpi > pageexport::MaxPngDpi)
                    usageError(
                        QStringLiteral("--dpi takes a whole number from 1 to %1").arg(pageexport::MaxPngDpi));
            }
        } else {
            job.kind = Job::Kind::Print;
            job.printer = parser.value(printer);
        }
        if (job.output.isEmpty() && job.kind != Job::Kind::Print)
            usageError(QStringLiteral("no output file given"));
        return int(commandline::Run(job));
    }

    if (windowless)
        usageError(QStringLiteral("nothing to write or print"));
    Design design;
    design.show();
    // A design file named on the command line (a double-click in the file manager).
    if (!designs.isEmpty()) {
        const QString path = names::Absolute(designs.constFirst());
        if (design.OpenDesignFile(path))
            recentdesigns::Add(path);
    }
    // Unsaved work of a designer that ended without saving is offered back.
    design.StartRecovery();
    // Start-up measurements: leave as soon as the first frame is painted.
    if (parser.isSet(quitWhenShown))
        QTimer::singleShot(0, app.get(), &QCoreApplication::quit);
    return QCoreApplication::exec();
}
