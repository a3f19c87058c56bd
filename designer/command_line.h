#pragma once

#include <QString>
#include <QStringList>

#include "calibration.h"
#include "casepages.h"
#include "exitcodes.h"
#include "labelstock.h"

// The designer's work without a window: export a design file as a PDF or a
// PNG, or print it, from a script; or fill a design's titles from a track list
// and save or export the result.
namespace deskcli {

// How a run ends, in the words `sleevedesk --help` gives each code.
extern const QList<exitcodes::Row> ExitCodes;

struct Job {
    enum class Kind { ExportPdf, ExportPng, Print, Save } kind = Kind::ExportPdf;
    QString design; // "" for a new design (with trackSources only)
    QString output; // the PDF, PNG or design file
    int dpi = 300;  // the PNG's
    // What is exported or printed: the cover as shown, the tray card, the disc face or the set.
    casepages::Output as = casepages::Output::Cover;
    QString printer; // "" for the system's default
    // Read and written into the titles as the import dialog does with its defaults, the
    // options below aside, before the design is exported or saved.
    QStringList trackSources;
    bool numbered = false;
    bool durations = false;
    bool replaceHeadlines = false; // album and artist overwrite headlines that are not empty
    // On a sheet of label stock: the piece at the chosen labels (0-based) of the template.
    bool onStock = false;
    labelstock::Template stock;
    QList<int> labels;
    QString calibrated;     // an export made as this queue would print it ("" leaves calibrations out)
    bool cropMarks = false; // corner marks round each piece
};

// --list-stock: the templates that fit the piece, or any piece, one line each on stdout.
Exit ListStock(const QString &piece);

// A printer's calibration from a script: kept, shown, or its page printed or written.
struct CalibrationJob {
    enum class Kind { Store, Show, PrintPage, ExportPage } kind = Kind::Show;
    QString printer; // the queue; "" with PrintPage for the system's default
    calibration::Correction correction;
    QString output; // the page's PDF
};
Exit RunCalibration(const CalibrationJob &job);

// Keeps Qt's notes about what a platform without a display cannot do off
// stderr. Call before the application object exists.
void QuietPlatformNotes();

// Loads the design as Open does (showing no window), imports the track list when
// there is one, then exports, prints or saves it.
// Reasons and warnings go to stderr, one line each.
Exit Run(const Job &job);

} // namespace deskcli
