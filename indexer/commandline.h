#pragma once

#include <QByteArray>
#include <QString>

#include "exitcodes.h"
#include "options.h"

class Form1;
class IndexPage;

// sleeveindex's command line:
//   sleeveindex [--layout N] [--flow] [FOLDER]                        the window, on FOLDER
//   sleeveindex --export-pdf OUT.pdf [--layout N] [--flow] FOLDER     the page as a PDF, no window
//   sleeveindex --export-png OUT.png [--dpi N] [--layout N] [--flow] FOLDER
//   sleeveindex --export-catalog OUT.pdf [--paper P] [--impose [--sheet S]] [--progress] FOLDER
namespace indexcli {

// How a run ends, in the words `sleeveindex --help` gives each code.
extern const QList<exitcodes::Row> ExitCodes;

// The options, their help and the exit codes.
const options::Table &Table();

struct Options {
    QString exportPdf;     // empty: not asked
    QString exportPng;     // empty: not asked
    int dpi = 300;         // for --export-png
    QString exportCatalog; // empty: not asked
    QString paper = QStringLiteral("booklet");
    bool impose = false;                  // the booklet's pages two to a side, to fold
    QString sheet = QStringLiteral("a4"); // what --impose prints on
    bool progress = false;                // the catalog says how far it has come
    int layout = 0;                       // 0: the window's own (layout 1)
    bool flow = false;
    QByteArray folder; // the file system's bytes, as given
    bool Batch() const { return !exportPdf.isEmpty() || !exportPng.isEmpty() || !exportCatalog.isEmpty(); }
};

// What the options parsed by Table() ask, checked; false with a one-line reason.
bool Read(const options::Parsed &parsed, Options *options, QString *error);

// Puts the options on the window: the layout, the folder in every list, the
// flow. False with the errno when the folder cannot be read.
bool Apply(const Options &options, Form1 &form, int *error);

// Writes the file the options ask for, without showing a window; reports on
// stderr in one line each and returns the exit code.
// The page the options ask for, without a window: false with the errno when
// the folder cannot be read.
bool Build(const Options &options, IndexPage *page, int *error);
Exit Export(const Options &options);

} // namespace indexcli
