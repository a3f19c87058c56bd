#pragma once

#include <QString>

#include "calibration.h"
#include "casepages.h"

class CoverDocument;
class QPrinter;

// An output of a design on a printer: the pages casepages makes for the printer's printable
// part, one job, each page from the printable part's corner at 96 per inch.
namespace caseprint {

// False with a reason when nothing was printed (no printer, paper too small, the job failed).
bool Print(QPrinter &printer, const CoverDocument &doc, casepages::Output output, const QString &docName,
           QString *error, bool cropMarks = false);
// What a preview shows for the output: the same pages on the preview's printer.
void PaintPreview(QPrinter &printer, const CoverDocument &doc, casepages::Output output);

// What the calibration page says: for which queue, with what calibration, how to measure it.
QString CalibrationNote(const QString &queue, const calibration::Correction &c);
// The calibration page on a printer, under the queue's calibration as every print is.
bool PrintCalibrationPage(QPrinter &printer, QString *error);

// Whether the window's prints carry crop marks: the cover menu's choice, kept in the settings.
bool CropMarksWanted();
void SetCropMarksWanted(bool wanted);

} // namespace caseprint
