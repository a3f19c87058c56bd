#include "pageprint.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include "calibration.h"

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

QSizeF PrintableSize(const QPrinter &printer)
{
    return printer.pageRect(QPrinter::DevicePixel).size() * (96.0 / printer.resolution());
}

QTransform Calibration(const QPrinter &printer)
{
    if (!printer.outputFileName().isEmpty())
        return {};
    const calibration::Correction c = calibration::Load(printer.printerName());
    if (c.isIdentity())
        return {};
    const double dotsPerMm = printer.resolution() / 25.4;
    // The painter's origin on the paper: the printable area's corner, the paper's on a full page.
    const QPointF origin = printer.fullPage() ? QPointF() : printer.pageRect(QPrinter::Millimeter).topLeft();
    return calibration::Transform(c, dotsPerMm, origin);
}

bool PrintPage(QPrinter &printer, const QString &docName, const std::function<void(QPainter &)> &paint,
               QString *error)
{
    return PrintPages(
        printer, docName, 1, [&paint](QPainter &p, int) { paint(p); }, error);
}

bool PrintPages(QPrinter &printer, const QString &docName, int count,
                const std::function<void(QPainter &, int page)> &paint, QString *error)
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
    const QTransform calibrated = Calibration(printer);
    for (int page = 0; page < count; ++page) {
        if (page > 0 && !printer.newPage()) {
            p.end();
            if (error)
                *error = QStringLiteral("The print job failed.");
            return false;
        }
        p.save();
        p.setTransform(calibrated);
        ScaleTo96(p, printer);
        paint(p, page);
        p.restore();
    }
    if (!p.end()) {
        if (error)
            *error = QStringLiteral("The print job failed.");
        return false;
    }
    return true;
}

} // namespace pageprint
