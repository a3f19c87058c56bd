#pragma once

#include <QString>

#include <functional>

class QPainter;
class QPrinter;

namespace pageprint {

// Prints one page: the painter works in 96-per-inch logical pixels from the
// top-left corner of the printable area, so one pixel is 1/96 inch on paper
// and text stays text. Returns false with a reason when nothing was printed
// (no printer, the job could not start or failed).
bool PrintPage(QPrinter &printer, const QString &docName, const std::function<void(QPainter &)> &paint,
               QString *error = nullptr);

// Scales a painter that works on `printer` (a page or its preview) to
// 96-per-inch logical pixels, as PrintPage does.
void ScaleTo96(QPainter &p, const QPrinter &printer);

// True when a printer can be used at all: a real queue, or a file target.
bool PrinterAvailable(const QPrinter &printer);

} // namespace pageprint
