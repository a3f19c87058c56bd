#include "caseprint.h"

#include <QPainter>
#include <QPrinter>
#include <QSettings>

#include "calibration.h"
#include "coverdocument.h"
#include "pageprint.h"

namespace caseprint {

bool Print(QPrinter &printer, const CoverDocument &doc, casepages::Output output, const QString &docName,
           QString *error, bool cropMarks)
{
    const QList<casepages::Page> pages =
        casepages::PrintPages(doc, output, pageprint::PrintableSize(printer), error, cropMarks);
    if (pages.isEmpty())
        return false;
    return pageprint::PrintPages(
        printer, docName, int(pages.size()), [&pages](QPainter &p, int page) { pages[page].paint(p); },
        error);
}

void PaintPreview(QPrinter &printer, const CoverDocument &doc, casepages::Output output)
{
    QString error;
    const QList<casepages::Page> pages =
        casepages::PrintPages(doc, output, pageprint::PrintableSize(printer), &error, CropMarksWanted());
    QPainter p(&printer);
    if (pages.isEmpty()) {
        // The reason on the sheet itself: the preview has no other place for it.
        pageprint::ScaleTo96(p, printer);
        p.drawText(QPointF(24, 48), error);
        return;
    }
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i > 0)
            printer.newPage();
        p.save();
        pageprint::ScaleTo96(p, printer);
        pages[i].paint(p);
        p.restore();
    }
}

QString CalibrationNote(const QString &queue, const calibration::Correction &c)
{
    return QStringLiteral("Calibration page for %1, printed with its calibration (%2). Lay a ruler on the "
                          "page and measure, in millimetres, the origin mark from the paper's left and top "
                          "edges, and the square's width and height; type them into Printer Calibration.")
        .arg(queue.isEmpty() ? QStringLiteral("a PDF") : queue, calibration::Describe(c));
}

bool PrintCalibrationPage(QPrinter &printer, QString *error)
{
    const QString queue = printer.printerName();
    const QString note = CalibrationNote(queue, calibration::Load(queue));
    const QPointF origin = printer.pageRect(QPrinter::Millimeter).topLeft();
    const QSizeF paper = printer.paperRect(QPrinter::Millimeter).size();
    return pageprint::PrintPage(
        printer, QStringLiteral("Calibration page"),
        [&](QPainter &p) { calibration::PaintPage(p, origin, paper, note); }, error);
}

bool CropMarksWanted()
{
    return QSettings(QStringLiteral("Sleeve"), QStringLiteral("sleevedesk"))
        .value(QStringLiteral("Print/CropMarks"), false)
        .toBool();
}

void SetCropMarksWanted(bool wanted)
{
    QSettings(QStringLiteral("Sleeve"), QStringLiteral("sleevedesk"))
        .setValue(QStringLiteral("Print/CropMarks"), wanted);
}

} // namespace caseprint
