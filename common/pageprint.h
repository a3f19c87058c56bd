#pragma once

#include <QSizeF>
#include <QString>
#include <QTransform>

#include <functional>

class QPainter;
class QPrinter;

namespace pageprint {

// Prints one page: the painter works in 96-per-inch logical pixels from the
// top-left corner of the printable area, so one pixel is 1/96 inch on paper
// and text stays text. The queue's calibration lies under it. Returns false with a reason when nothing was
// printed (no printer, the job could not start or failed).
bool PrintPage(QPrinter &printer, const QString &docName, const std::function<void(QPainter &)> &paint,
               QString *error = nullptr);

// Prints pages one after the other in one job, each painted as PrintPage paints its one.
bool PrintPages(QPrinter &printer, const QString &docName, int count,
                const std::function<void(QPainter &, int page)> &paint, QString *error = nullptr);

// Scales a painter that works on `printer` (a page or its preview) to
// 96-per-inch logical pixels, as PrintPage does.
void ScaleTo96(QPainter &p, const QPrinter &printer);

// The printable part of the printer's page in 96-per-inch logical pixels, as the painter that
// PrintPage gives sees it.
QSizeF PrintableSize(const QPrinter &printer);

// The calibration of the printer's queue (calibration::Load) in the printer's device pixels, for a
// painter that starts at the printable area's corner; none for a file target.
QTransform Calibration(const QPrinter &printer);

// True when a printer can be used at all: a real queue, or a file target.
bool PrinterAvailable(const QPrinter &printer);

} // namespace pageprint
