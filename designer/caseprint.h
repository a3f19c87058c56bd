#pragma once

#include <QString>

#include "casepages.h"

class CoverDocument;
class QPrinter;

// An output of a design on a printer: the pages casepages makes for the printer's printable
// part, one job, each page from the printable part's corner at 96 per inch.
namespace caseprint {

// False with a reason when nothing was printed (no printer, paper too small, the job failed).
bool Print(QPrinter &printer, const CoverDocument &doc, casepages::Output output, const QString &docName,
           QString *error);
// What a preview shows for the output: the same pages on the preview's printer.
void PaintPreview(QPrinter &printer, const CoverDocument &doc, casepages::Output output);

} // namespace caseprint
