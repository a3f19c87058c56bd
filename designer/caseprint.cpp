#include "caseprint.h"

#include <QPainter>
#include <QPrinter>

#include "coverdocument.h"
#include "pageprint.h"

namespace caseprint {

bool Print(QPrinter &printer, const CoverDocument &doc, casepages::Output output, const QString &docName,
           QString *error)
{
    const QList<casepages::Page> pages =
        casepages::PrintPages(doc, output, pageprint::PrintableSize(printer), error);
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
        casepages::PrintPages(doc, output, pageprint::PrintableSize(printer), &error);
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

} // namespace caseprint
