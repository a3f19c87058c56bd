#include "pageprint.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace pageprint {

bool PrinterAvailable(const QPrinter &printer)
{
    if (!printer.outputFileName().isEmpty())
        return true;
    return !printer.printerName().isEmpty() && !QPrinterInfo::availablePrinterNames().isEmpty();
}

void ScaleTo96(QPainter &p, const QPrinter &printer)
{
    const double scale = printer.resolution() / 96.0;
    p.scale(scale, scale);
}

bool PrintPage(QPrinter &printer, const QString &docName, const std::function<void(QPainter &)> &paint,
               QString *error)
{
    if (!PrinterAvailable(printer)) {
        if (error)
            *error = QStringLiteral("No printer is installed.");
        return false;
    }
    printer.setDocName(docName);
    QPainter p;
    if (!p.begin(&printer)) {
        if (error)
            *error = QStringLiteral("The printer could not start the job.");
        return false;
    }
    ScaleTo96(p, printer);
    paint(p);
    if (!p.end()) {
        if (error)
            *error = QStringLiteral("The print job failed.");
        return false;
    }
    return true;
}

} // namespace pageprint
