#include "stocksheet.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include <memory>

#include "coverdocument.h"
#include "coverpage.h"
#include "pageexport.h"
#include "pageprint.h"

namespace stocksheet {

using casepages::PxPerMm;
using labelstock::Piece;

casepages::Output OutputOf(Piece piece)
{
    switch (piece) {
    case Piece::Disc: return casepages::Output::Disc;
    case Piece::Cover: return casepages::Output::Cover;
    case Piece::Tray: return casepages::Output::Tray;
    }
    return casepages::Output::Cover;
}

bool PieceOf(casepages::Output output, Piece *piece)
{
    for (Piece p : {Piece::Disc, Piece::Cover, Piece::Tray})
        if (OutputOf(p) == output) {
            *piece = p;
            return true;
        }
    return false;
}

CoverDocument PieceDocument(const CoverDocument &doc, Piece piece, const labelstock::Template &t)
{
    CoverDocument out(doc);
    if (piece == Piece::Disc) {
        // The label's own circle, whatever the design's disc: a clipped label keeps its full radius.
        out.caseSet.discDiameter = std::max(t.labelMm.width(), t.labelMm.height());
        out.caseSet.discHole = t.holeMm;
    } else if (piece == Piece::Cover) {
        // The booklet's front, as the complete set prints it.
        out.setFront(true);
    }
    return out;
}

casepages::Page SheetPage(const CoverDocument &doc, Piece piece, const labelstock::Template &t,
                          const QList<int> &labels)
{
    auto pieceDoc = std::make_shared<CoverDocument>(PieceDocument(doc, piece, t));
    QSizeF size;
    std::function<void(QPainter &)> paint;
    switch (piece) {
    case Piece::Disc:
        size = casepages::DiscSize(*pieceDoc);
        paint = [pieceDoc](QPainter &p) { casepages::PaintDisc(*pieceDoc, p); };
        break;
    case Piece::Tray:
        size = casepages::TraySize();
        paint = [pieceDoc](QPainter &p) { casepages::PaintTray(*pieceDoc, p); };
        break;
    case Piece::Cover: {
        const QRectF panel = coverpage::PanelRect(*pieceDoc);
        size = panel.size();
        paint = [&doc, pieceDoc, panel](QPainter &p) {
            // The paper copy of the picture that a page decodes serves the next one too.
            const CoverImage &picture = doc.image(CoverDocument::MainPicture);
            pieceDoc->mainPicture().SharePaperCopy(picture);
            p.translate(-panel.topLeft());
            p.setClipRect(panel, Qt::IntersectClip);
            coverpage::PaintPage(*pieceDoc, p);
            picture.SharePaperCopy(pieceDoc->mainPicture());
        };
        break;
    }
    }
    QList<QRectF> places;
    for (qsizetype i = 0; i < t.labelsMm.size(); ++i)
        if (labels.isEmpty() || labels.contains(int(i)))
            places.append(QRectF(t.labelsMm[i] * PxPerMm, t.labelMm * PxPerMm));
    const QSizeF label = t.labelMm * PxPerMm;
    // A label smaller than the piece (a clipped disc, the tray's panel without its spines)
    // takes what lies on it.
    const bool clip = label.width() < size.width() - 1 || label.height() < size.height() - 1;
    return {t.paperMm * PxPerMm, [places, size, paint, clip](QPainter &p) {
                for (const QRectF &place : places) {
                    p.save();
                    if (clip)
                        p.setClipRect(place, Qt::IntersectClip);
                    p.translate(place.center() - QPointF(size.width() / 2, size.height() / 2));
                    paint(p);
                    p.restore();
                }
            }};
}

bool Export(const CoverDocument &doc, Piece piece, const labelstock::Template &t, const QList<int> &labels,
            const QString &path, pageexport::Format format, int dpi, const QString &title, QString *error,
            const safewrite::Options &options)
{
    const QList<casepages::Page> pages = {SheetPage(doc, piece, t, labels)};
    return format == pageexport::Format::Pdf
               ? pageexport::ExportPdfPages(path, title, pages, 0, error, options)
               : pageexport::ExportPngPages(path, pages, 0, dpi, error, options);
}

bool Print(QPrinter &printer, const CoverDocument &doc, Piece piece, const labelstock::Template &t,
           const QList<int> &labels, const QString &docName, QString *error)
{
    const QPageLayout before = printer.pageLayout();
    const bool fullPage = printer.fullPage();
    // The labels are placed from the paper's edge, not from where the printable part begins.
    printer.setPageLayout(QPageLayout(QPageSize(t.paperMm, QPageSize::Millimeter), QPageLayout::Portrait,
                                      QMarginsF(), QPageLayout::Millimeter));
    printer.setFullPage(true);
    const casepages::Page page = SheetPage(doc, piece, t, labels);
    const bool ok = pageprint::PrintPage(printer, docName, page.paint, error);
    printer.setFullPage(fullPage);
    printer.setPageLayout(before);
    return ok;
}

} // namespace stocksheet
