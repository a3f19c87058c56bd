#pragma once

#include <QString>
#include <QStringList>

class Form1;

// sleeveindex's command line:
//   sleeveindex [--layout N] [--flow] [FOLDER]                 the window, on FOLDER
//   sleeveindex --export-pdf OUT.pdf [--layout N] [--flow] FOLDER   a PDF, no window
namespace commandline {

enum ExitCode {
    Done = 0,
    NotWritten = 1,   // the PDF could not be written
    BadArguments = 2, // the command line is not understood
    FolderUnread = 3, // the folder cannot be read
};

inline constexpr const char *Usage = "usage: sleeveindex [--layout N] [--flow] [FOLDER]\n"
                                     "       sleeveindex --export-pdf OUT.pdf [--layout N] [--flow] FOLDER\n";

struct Options {
    bool help = false;
    QString exportPdf; // empty: show the window
    int layout = 0;    // 0: the window's own (layout 1)
    bool flow = false;
    QString folder;
};

// Parses the arguments (the program's name first); false with a one-line reason.
bool Parse(const QStringList &arguments, Options *options, QString *error);

// Puts the options on the window: the layout, the folder, the flow. False
// with the errno when the folder cannot be read.
bool Apply(const Options &options, Form1 &form, int *error);

// Writes the PDF the options ask for, without showing a window; reports on
// stderr in one line and returns the exit code.
int ExportPdf(const Options &options);

} // namespace commandline
