#include "command_line.h"

#include <QPainter>
#include <QPrinter>

#include <optional>

#include "calibration.h"
#include "casepages.h"
#include "caseprint.h"
#include "coverdocument.h"
#include "coverformat.h"
#include "coverpage.h"
#include "designfile.h"
#include "names.h"
#include "pageexport.h"
#include "pageprint.h"
#include "printqueue.h"
#include "records.h"
#include "source.h"
#include "stocksheet.h"
#include "terminal.h"

namespace deskcli {

const QList<exitcodes::Row> ExitCodes = {
    {Exit::Ok, QStringLiteral("done")},
    {Exit::Usage, QStringLiteral("the command line was not understood")},
    {Exit::Unreadable, QStringLiteral("the design file is missing or cannot be read")},
    {Exit::NotWritten, QStringLiteral("the PDF, PNG or design file could not be written")},
    {Exit::NotPrinted,
     QStringLiteral("nothing was printed: the printer is missing, refuses jobs, or the job failed")},
    {Exit::PictureMissing,
     QStringLiteral("written or printed, but without a picture the design names (a warning says which)")},
    {Exit::TracksUnreadable,
     QStringLiteral("no track could be read from the track list; nothing was written")},
};

namespace {

void say(const QString &line)
{
    terminal::Error(line);
}

// Pictures the design names that the loaded cover does not show, each with a
// warning line; true when there were none.
bool picturesComplete(CoverDocument &doc, const designfile::Records &r)
{
    using S = CoverDocument::Slot;
    const std::pair<int, S> pictures[] = {
        {records::MainPictureFile, S::Main}, {records::Logo1File, S::Logo1}, {records::Logo2File, S::Logo2}};
    bool complete = true;
    for (const auto &[record, slot] : pictures) {
        const QString path = designfile::Text(r, record);
        if (path.isEmpty() || doc.picture(slot).HasPicture())
            continue;
        complete = false;
        QString why;
        // Open stops at the first picture it cannot load: the later ones may be fine.
        if (ProbePicture(path, &why).isValid() || why.isEmpty())
            why = QStringLiteral("a picture before it could not be loaded.");
        say(QStringLiteral("warning: the picture %1 is left out: %2").arg(path, why));
    }
    return complete;
}

// Pictures that could not be read again for the page: the page went without them.
bool picturesPrinted(CoverDocument &doc)
{
    bool complete = true;
    for (auto slot : {CoverDocument::Slot::Main, CoverDocument::Slot::Logo1, CoverDocument::Slot::Logo2}) {
        const CoverImage &image = doc.picture(slot);
        if (image.Visible() && !image.PrintNote().isEmpty()) {
            complete = false;
            say(QStringLiteral("warning: the picture %1 is left out: it could not be read.")
                    .arg(doc.picturePath(slot)));
        }
    }
    return complete;
}

// Reads the track list and writes it into the titles as the import dialog
// does when answered with its defaults (the numbering and lengths as asked).
// False, with the reason said, when no track could be read.
bool importTracks(CoverDocument &doc, const Job &job)
{
    const tracklist::ReadResult read = tracklist::ReadSource(job.trackSources, {}, tracklist::Order::AsGiven);
    if (read.tracks.isEmpty()) {
        say(QStringLiteral("cannot read the track list %1: %2")
                .arg(job.trackSources.join(QStringLiteral(", ")),
                     read.error.isEmpty() ? QStringLiteral("No track could be read.") : read.error));
        for (const QString &line : tracklist::SkippedLines(read.skipped))
            say(line);
        return false;
    }
    for (const QString &line : tracklist::SkippedLines(read.skipped, read.skipped.size()))
        say(QStringLiteral("warning: ") + line);
    const tracklist::CoverOptions options{job.numbered, job.durations, job.replaceHeadlines};
    const tracklist::CoverTexts texts =
        tracklist::FormatForCover(read.tracks, options, doc.top.text, doc.bottom.text);
    // The dialog asks; a script keeps the first ones and is told.
    if (texts.leftOut > 0)
        say(QStringLiteral("warning: %1 titles read, the first %2 kept, %3 left out")
                .arg(read.tracks.size())
                .arg(read.tracks.size() - texts.leftOut)
                .arg(texts.leftOut));
    doc.applyTrackImport(texts);
    // Where even the smallest size cannot hold them all.
    const CoverDocument::ListLayout fitted = doc.LayOutList();
    if (doc.LongList() && fitted.shown < doc.titles.list.size())
        say(QStringLiteral("warning: %1 titles kept, %2 left out of the page: they do not fit at 6 pt")
                .arg(doc.titles.list.size())
                .arg(doc.titles.list.size() - fitted.shown));
    return true;
}

// What the page shows cut short, one warning line for the titles and one for the spine: the
// cover as the design lays it out, the tray card as a back cover, the set as both.
void warnCutShort(const CoverDocument &doc, casepages::Output as)
{
    using casepages::Output;
    const bool tray = as == Output::Tray || as == Output::Set;
    CoverDocument::CutShort cut;
    if (as != Output::Disc) {
        CoverDocument laidOut(doc);
        if (as != Output::Cover)
            laidOut.setBack(true);
        cut = laidOut.TitlesCutShort();
        if (as == Output::Set) {
            laidOut.setFront(true);
            const CoverDocument::CutShort front = laidOut.TitlesCutShort();
            cut = front.total() > cut.total() ? front : cut;
        }
    }
    const auto warn = [](const QString &line) { terminal::Error(QStringLiteral("warning: ") + line); };
    if (cut.atEdge > 0)
        warn(
            cut.total() == 1
                ? QStringLiteral("1 title line is cut short to end inside the cut line")
                : QStringLiteral("%1 title lines are cut short to end inside the cut line").arg(cut.total()));
    else if (cut.inColumns > 0)
        warn(cut.inColumns == 1
                 ? QStringLiteral("1 title is cut short to fit its column")
                 : QStringLiteral("%1 titles are cut short to fit their column").arg(cut.inColumns));
    if (tray) {
        if (QString note = casepages::SpineCutNote(doc); !note.isEmpty()) {
            note[0] = note[0].toLower();
            warn(note);
        }
    }
}

} // namespace

void QuietPlatformNotes()
{
    // The offscreen platform notes window operations it cannot do (raising the
    // loading window), and Qt a missing runtime folder that nothing here uses:
    // stderr is for reasons and warnings of our own.
    static const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            if (type == QtWarningMsg &&
                (message.startsWith(QLatin1String("This plugin does not support")) ||
                 message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR"))))
                return;
            previous(type, context, message);
        });
}

Exit Run(const Job &job)
{
    // A document only: no window is made, and pictures are decoded once, for the page.
    CoverDocument doc;
    QString designPath;
    QString error;
    bool complete = true;
    // What this run reads (the design, its pictures, every track file) is noted by its readers
    // and never overwritten by what it writes.
    safewrite::Options output;
    if (!job.design.isEmpty()) {
        designPath = names::Absolute(job.design);
        const auto records = designfile::Read(designPath, &error);
        if (!records) {
            say(QStringLiteral("cannot read the design %1: %2").arg(job.design, error));
            return Exit::Unreadable;
        }
        if (QString why; !records::LooksLikeDesign(*records, &why)) {
            say(QStringLiteral("cannot read the design %1: not a design file: %2").arg(job.design, why));
            return Exit::Unreadable;
        }
        doc.applyRecords(
            *records, [](CoverImage &image, const QString &file) { return image.LoadPictureForPaper(file); });
        complete = picturesComplete(doc, *records);
    }
    if (!job.trackSources.isEmpty() && !importTracks(doc, job))
        return Exit::TracksUnreadable;

    warnCutShort(doc, job.as);

    const QString title = coverpage::Title(designPath);
    switch (job.kind) {
    case Job::Kind::ExportPdf:
    case Job::Kind::ExportPng: {
        const auto format =
            job.kind == Job::Kind::ExportPdf ? pageexport::Format::Pdf : pageexport::Format::Png;
        std::optional<pageexport::Calibrated> calibrated;
        if (!job.calibrated.isEmpty())
            calibrated.emplace(calibration::Load(job.calibrated));
        labelstock::Piece piece{};
        if (job.onStock && stocksheet::PieceOf(job.as, &piece)) {
            if (!stocksheet::Export(doc, piece, job.stock, job.labels, job.output, format, job.dpi, title,
                                    &error, output)) {
                say(QStringLiteral("cannot write %1: %2").arg(job.output, error));
                return Exit::NotWritten;
            }
        } else if (!casepages::Export(doc, job.as, job.output, format, job.dpi, title, &error, output,
                                      job.cropMarks)) {
            say(QStringLiteral("cannot write %1: %2").arg(job.output, error));
            return Exit::NotWritten;
        }
        break;
    }
    case Job::Kind::Save:
        // The Save command's own writer: the old file stays whole if this fails.
        if (!designfile::Write(job.output, doc.Records(), doc.Settings(), &error, output)) {
            say(QStringLiteral("cannot write %1: %2").arg(job.output, error));
            return Exit::NotWritten;
        }
        break;
    case Job::Kind::Print: {
        QPrinter printer(QPrinter::HighResolution);
        if (!printqueue::UseChosenOrDefault(printer, job.printer, &error)) {
            say(QStringLiteral("nothing was printed: %1").arg(error));
            return Exit::NotPrinted;
        }
        labelstock::Piece piece{};
        const bool printed =
            job.onStock && stocksheet::PieceOf(job.as, &piece)
                ? stocksheet::Print(printer, doc, piece, job.stock, job.labels, title, &error)
                : caseprint::Print(printer, doc, job.as, title, &error, job.cropMarks);
        if (!printed) {
            say(QStringLiteral("nothing was printed: %1").arg(error));
            return Exit::NotPrinted;
        }
        break;
    }
    }
    complete = picturesPrinted(doc) && complete;
    return complete ? Exit::Ok : Exit::PictureMissing;
}

Exit ListStock(const QString &pieceName)
{
    labelstock::Piece piece{};
    if (!pieceName.isEmpty() && !labelstock::PieceNamed(pieceName, &piece)) {
        terminal::Error(
            QStringLiteral("--list-stock takes disc, cover or tray, not \"%1\" (see sleevedesk --help)")
                .arg(pieceName));
        return Exit::Usage;
    }
    const labelstock::Library &library = labelstock::Index();
    for (const QString &line : library.notes)
        terminal::Error(QStringLiteral("note: ") + line);
    for (const labelstock::Template &t : library.templates) {
        const bool fits = pieceName.isEmpty() ? labelstock::Fits(t, labelstock::Piece::Disc) ||
                                                    labelstock::Fits(t, labelstock::Piece::Cover) ||
                                                    labelstock::Fits(t, labelstock::Piece::Tray)
                                              : labelstock::Fits(t, piece);
        if (fits)
            terminal::Out(labelstock::ListLine(t));
    }
    return Exit::Ok;
}

Exit RunCalibration(const CalibrationJob &job)
{
    QString error;
    switch (job.kind) {
    case CalibrationJob::Kind::Store: calibration::Save(job.printer, job.correction); return Exit::Ok;
    case CalibrationJob::Kind::Show:
        terminal::Out(
            QStringLiteral("%1: %2").arg(job.printer, calibration::Describe(calibration::Load(job.printer))));
        return Exit::Ok;
    case CalibrationJob::Kind::ExportPage: {
        // The page as the paper holds it: no margin, the export's default paper.
        const QSizeF paper = casepages::DefaultSheet();
        const QSizeF paperMm = paper / casepages::PxPerMm;
        const QString note = caseprint::CalibrationNote(QString(), {});
        if (!pageexport::ExportPdf(
                job.output, QStringLiteral("Calibration page"), paper, 0,
                [&](QPainter &p) { calibration::PaintPage(p, {}, paperMm, note); }, &error)) {
            say(QStringLiteral("cannot write %1: %2").arg(job.output, error));
            return Exit::NotWritten;
        }
        return Exit::Ok;
    }
    case CalibrationJob::Kind::PrintPage: {
        QPrinter printer(QPrinter::HighResolution);
        if (!printqueue::UseChosenOrDefault(printer, job.printer, &error) ||
            !caseprint::PrintCalibrationPage(printer, &error)) {
            say(QStringLiteral("nothing was printed: %1").arg(error));
            return Exit::NotPrinted;
        }
        return Exit::Ok;
    }
    }
    return Exit::Ok;
}

} // namespace deskcli
