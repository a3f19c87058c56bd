#pragma once

#include <QString>

// The designer's work without a window: export a design file as a PDF or a
// PNG, or print it, from a script.
namespace commandline {

// How a run ends; `sleevedesk --help` lists them.
enum Exit : int {
    Done = 0,
    Usage = 1,            // the command line was not understood
    DesignUnreadable = 2, // the design file is missing or cannot be read
    NotWritten = 3,       // the PDF or PNG could not be written
    NotPrinted = 4,       // the printer is missing, refuses jobs, or the job failed
    PictureMissing = 5,   // written or printed, but without a picture the design names
};

struct Job {
    enum class Kind { ExportPdf, ExportPng, Print } kind = Kind::ExportPdf;
    QString design;
    QString output;  // the PDF or PNG
    int dpi = 300;   // the PNG's
    QString printer; // "" for the system's default
};

// Keeps Qt's notes about what a platform without a display cannot do off
// stderr. Call before the application object exists.
void QuietPlatformNotes();

// Loads the design as Open does (showing no window), then exports or prints it.
// Reasons and warnings go to stderr, one line each.
int Run(const Job &job);

} // namespace commandline
