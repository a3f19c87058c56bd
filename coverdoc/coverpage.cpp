#include "coverpage.h"

#include <QFileInfo>
#include <QPainter>

#include "colors.h"
#include "coverdocument.h"
#include "pageexport.h"

namespace coverpage {

QRectF PanelRect(const CoverDocument &doc)
{
    return doc.panel().rect();
}

void PaintPage(const CoverDocument &doc, QPainter &p)
{
    // As the window paints itself while Print has made it white; the editing controls are
    // widgets of their own and never reach the page.
    p.fillRect(QRectF(0, 0, ClientWidth, ClientHeight), colors::ToQColor(colors::White));
    doc.paint(p, true);
}

bool Export(const CoverDocument &doc, const QString &path, pageexport::Format format, int dpi,
            const QString &title, QString *error, const safewrite::Options &options)
{
    const QRectF panel = PanelRect(doc);
    // What lies beyond the cut line is cut away: the page shows the panel only.
    const auto paint = [&doc, panel](QPainter &p) {
        p.translate(-panel.topLeft());
        p.setClipRect(panel);
        PaintPage(doc, p);
    };
    if (format == pageexport::Format::Pdf)
        return pageexport::ExportPdf(path, title, panel.size(), ExportMargin, paint, error, options);
    return pageexport::ExportPng(path, panel.size(), ExportMargin, dpi, paint, error, options);
}

QString Title(const QString &designPath)
{
    const QString base = QFileInfo(designPath).completeBaseName();
    return base.isEmpty() ? QStringLiteral("Untitled cover") : base;
}

} // namespace coverpage
