#include "casepages.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QTextBoundaryFinder>

#include <cmath>
#include <memory>

#include "colors.h"
#include "coverdocument.h"
#include "coverpage.h"
#include "fonts.h"

namespace casepages {

namespace {

constexpr double Pi = 3.14159265358979323846;

constexpr double mm(double v)
{
    return v * PxPerMm;
}

// Room kept clear around text on the spines and the disc.
constexpr double SpinePadMm = 0.8, SpineEndMm = 3, DiscPadMm = 2;
// Between pieces on a sheet, and the white margin of an exported sheet.
constexpr double GapMm = 5, SheetMarginMm = 10;

const QPaintDevice *reference()
{
    return fonts::Reference96();
}

// The largest size up to the font's own at which the line fits `length` by `thickness`, never
// below MinTextPt; at that size a line still too long is cut with an ellipsis.
Fitted fitLine(QFont font, const QString &text, double length, double thickness)
{
    double size = font.pointSizeF() > 0 ? font.pointSizeF() : MinTextPt;
    const auto measure = [&](double pt) {
        font.setPointSizeF(pt);
        const QFontMetricsF m(font, reference());
        return QSizeF(m.horizontalAdvance(text), m.height());
    };
    QSizeF box = measure(size);
    // Text size scales with the point size: one proportional step, then small ones for rounding.
    if (box.width() > length || box.height() > thickness) {
        const double k = std::min(box.width() > 0 ? length / box.width() : 1.0,
                                  box.height() > 0 ? thickness / box.height() : 1.0);
        size = std::max(MinTextPt, size * k);
        box = measure(size);
        while (size > MinTextPt && (box.width() > length || box.height() > thickness)) {
            size = std::max(MinTextPt, size - 0.25);
            box = measure(size);
        }
    }
    font.setPointSizeF(size);
    QString shown = text;
    if (box.width() > length)
        shown = QFontMetricsF(font, reference()).elidedText(text, Qt::ElideRight, length);
    return {font, shown, shown != text};
}

// The visible parts of a document on paper, its panel left out (the piece paints its own
// background and cut line).
void paintParts(const CoverDocument &doc, QPainter &p)
{
    doc.paint(p, true, false);
}

// The cut line as Print draws it around the cover: the panel's dash-dot-dot outline, its outer
// edge on the piece's edge.
void paintCutRect(const CoverDocument &doc, QPainter &p, const QRectF &r)
{
    CoverShape cut(QStringLiteral("Cut"), nullptr);
    cut.Move(r.left(), r.top(), r.width(), r.height());
    cut.setOutline(CoverShape::Outline::DashDotDot);
    cut.setBorderColor(doc.panel().BorderColor());
    cut.setBorderWidth(doc.panel().BorderWidth());
    cut.paint(p, true);
}

QPen cutPen(const CoverDocument &doc)
{
    QPen pen(colors::ToQColor(doc.panel().BorderColor()), doc.panel().BorderWidth(), Qt::DashLine);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

void paintFitted(QPainter &p, const Fitted &f, qint32 color, const QRectF &box)
{
    p.setFont(fonts::ForDevice(f.font, p.device()));
    p.setPen(colors::ToQColor(color));
    p.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, f.text);
}

// Device pixels per logical pixel (the larger of the two directions).
double dotsPerPx(const QPainter &p)
{
    const QTransform t = p.combinedTransform();
    return std::max(std::hypot(t.m11(), t.m12()), std::hypot(t.m21(), t.m22()));
}

// A headline on the disc, centred on the vertical axis at `centreY`, shrunk to its chord.
void paintDiscHeadline(QPainter &p, const CoverLabel &label, double radius, double band, double centreY,
                       double fromCentre)
{
    if (!label.Visible() || label.Caption().trimmed().isEmpty())
        return;
    const double height = QFontMetricsF(label.font(), reference()).height();
    const double outer = fromCentre + std::min(height, band) / 2;
    const double chord = 2 * std::sqrt(std::max(0.0, radius * radius - outer * outer)) - 2 * mm(DiscPadMm);
    QString text = label.Caption();
    text.replace(u'\n', u' ');
    const Fitted f = fitLine(label.font(), text, std::max(chord, 1.0), band);
    const double h = QFontMetricsF(f.font, reference()).height();
    paintFitted(p, f, label.ForeColor(), QRectF(radius - chord / 2, centreY - h / 2, chord, h));
}

// The copyright notice along the lower rim, read left to right, the letters' tops to the centre.
void paintRimNotice(QPainter &p, const CoverDocument &doc, double radius)
{
    const auto &right = static_cast<const CoverLabel &>(doc.part(CoverDocument::NoticeRight));
    const QString text = (CoverDocument::NoticeLeftText() + u' ' + right.Caption()).simplified();
    const double baseline = radius - mm(DiscPadMm) - mm(0.5);
    // At most a third of the circle.
    const double arc = baseline * 2 * Pi / 3;
    QFont base = right.font();
    base.setPointSizeF(std::min(base.pointSizeF(), 8.0));
    const Fitted f = fitLine(base, text, arc, mm(4));
    const QFontMetricsF m(f.font, reference());
    const double total = m.horizontalAdvance(f.text);
    p.setFont(fonts::ForDevice(f.font, p.device()));
    p.setPen(colors::ToQColor(right.ForeColor()));
    const double r = baseline - m.descent();
    QTextBoundaryFinder letters(QTextBoundaryFinder::Grapheme, f.text);
    double along = 0;
    for (qsizetype at = 0, next; at < f.text.size(); at = next) {
        next = letters.toNextBoundary();
        if (next < 0)
            next = f.text.size();
        const QString letter = f.text.mid(at, next - at);
        const double w = m.horizontalAdvance(letter);
        const double angle = Pi / 2 + (total / 2 - (along + w / 2)) / r;
        p.save();
        p.translate(radius + r * std::cos(angle), radius + r * std::sin(angle));
        p.rotate(qRadiansToDegrees(angle) - 90);
        p.drawText(QPointF(-w / 2, 0), letter);
        p.restore();
        along += w;
    }
}

// The pictures a piece may show. A piece painted from a copy of the document shares the
// document's decoded pictures, and hands back what its print noted (a picture it could not read).
constexpr CoverDocument::Part PictureParts[] = {CoverDocument::MainPicture, CoverDocument::Logo1,
                                                CoverDocument::Logo2};

void sharePictures(const CoverDocument &to, const CoverDocument &from)
{
    for (const CoverDocument::Part part : PictureParts)
        to.image(part).SharePaperCopy(from.image(part));
}

// An output starts without the notes of the one before; its pieces add theirs.
void forgetNotes(const CoverDocument &doc)
{
    for (const CoverDocument::Part part : PictureParts)
        doc.image(part).ForgetPrintNote();
}

// A piece placed on a sheet.
struct Piece {
    QSizeF size;
    std::function<void(QPainter &)> paint;
};

// The front cover on its own: the window's page cut to the panel, its cut line included.
Piece frontPiece(const CoverDocument &doc)
{
    auto front = std::make_shared<CoverDocument>(doc);
    front->setFront(true);
    const QRectF panel = coverpage::PanelRect(*front);
    return {panel.size(), [&doc, front, panel](QPainter &p) {
                sharePictures(*front, doc);
                p.translate(-panel.topLeft());
                p.setClipRect(panel, Qt::IntersectClip);
                coverpage::PaintPage(*front, p);
                sharePictures(doc, *front);
            }};
}

} // namespace

std::optional<Output> OutputNamed(const QString &name)
{
    for (Output o : {Output::Cover, Output::Tray, Output::Disc, Output::Set})
        if (name == Name(o))
            return o;
    return std::nullopt;
}

QString Name(Output output)
{
    switch (output) {
    case Output::Cover: return QStringLiteral("cover");
    case Output::Tray: return QStringLiteral("tray");
    case Output::Disc: return QStringLiteral("disc");
    case Output::Set: break;
    }
    return QStringLiteral("set");
}

QString Caption(Output output)
{
    switch (output) {
    case Output::Cover: return QStringLiteral("Cover As Shown");
    case Output::Tray: return QStringLiteral("Tray Card");
    case Output::Disc: return QStringLiteral("Disc Face");
    case Output::Set: break;
    }
    return QStringLiteral("Complete Set");
}

QString SpineLine(const CoverDocument &doc)
{
    return doc.caseSet.spineText.isEmpty() ? HeadlinesLine(doc) : doc.caseSet.spineText;
}

QString HeadlinesLine(const CoverDocument &doc)
{
    QStringList parts;
    for (const QString &text : {doc.top.text, doc.bottom.text})
        if (!text.trimmed().isEmpty())
            parts << text.simplified();
    return parts.join(QStringLiteral(" \u00B7 "));
}

Fitted FitSpine(const CoverDocument &doc)
{
    return fitLine(doc.topHeadline().font(), SpineLine(doc), mm(TrayHeightMm - 2 * SpineEndMm),
                   mm(SpineMm - 2 * SpinePadMm));
}

double SpineAngle(const CoverDocument &doc, bool hingeSide)
{
    return hingeSide == doc.caseSet.spineUpward ? -90 : 90;
}

QString SpineCutNote(const CoverDocument &doc)
{
    const Fitted f = FitSpine(doc);
    if (!f.cut)
        return {};
    const QString line = SpineLine(doc);
    // The ellipsis stands in for the tail.
    const qsizetype kept = std::max<qsizetype>(0, f.text.size() - 1);
    return QStringLiteral("The spine text is cut short: %1 of its %2 characters fit at %3 pt.")
        .arg(kept)
        .arg(line.size())
        .arg(f.font.pointSizeF(), 0, 'g', 3);
}

QSizeF TraySize()
{
    return {mm(TrayWidthMm), mm(TrayHeightMm)};
}

void PaintTray(const CoverDocument &doc, QPainter &p)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF card(QPointF(0, 0), TraySize());
    p.fillRect(card, colors::ToQColor(doc.panel().BackColor()));

    // The design laid out as a back cover, whatever it shows, at the panel's height.
    CoverDocument back(doc);
    back.setBack(true);
    sharePictures(back, doc);
    const QRectF panel(mm(SpineMm), 0, mm(TrayPanelMm), mm(TrayHeightMm));
    const QRectF source = back.panel().rect();
    const double scale = panel.height() / source.height();
    const QRectF shown(panel.center().x() - source.width() * scale / 2, 0, source.width() * scale,
                       panel.height());
    p.save();
    p.setClipRect(shown & panel, Qt::IntersectClip);
    p.translate(shown.topLeft());
    p.scale(scale, scale);
    p.translate(-source.topLeft());
    paintParts(back, p);
    p.restore();
    sharePictures(doc, back);

    // Each spine folds about its own edge, so the two run opposite ways on the flat card; the
    // direction set is the hinge-side one's (the right spine as printed).
    const Fitted spine = FitSpine(doc);
    if (!spine.text.isEmpty()) {
        const double length = mm(TrayHeightMm - 2 * SpineEndMm);
        const double thickness = mm(SpineMm);
        for (const bool hinge : {false, true}) {
            p.save();
            p.translate((hinge ? mm(SpineMm + TrayPanelMm) : 0.0) + thickness / 2, card.height() / 2);
            p.rotate(SpineAngle(doc, hinge));
            paintFitted(p, spine, doc.topHeadline().ForeColor(),
                        QRectF(-length / 2, -thickness / 2, length, thickness));
            p.restore();
        }
    }

    // Folds: thin and dotted, so that they barely show once folded.
    QPen fold(QColor(150, 150, 150), 0.5, Qt::DotLine);
    fold.setCapStyle(Qt::FlatCap);
    p.setPen(fold);
    for (double x : {mm(SpineMm), mm(SpineMm + TrayPanelMm)})
        p.drawLine(QPointF(x, 0), QPointF(x, card.height()));
    paintCutRect(doc, p, card);
    p.restore();
}

QSizeF DiscSize(const CoverDocument &doc)
{
    const double d = mm(doc.caseSet.discDiameter);
    return {d, d};
}

void PaintDisc(const CoverDocument &doc, QPainter &p)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    const double d = mm(doc.caseSet.discDiameter);
    const double h = mm(doc.caseSet.discHole);
    const QRectF disc(0, 0, d, d);
    const QPointF centre = disc.center();
    const QRectF hole(centre.x() - h / 2, centre.y() - h / 2, h, h);
    QPainterPath ring;
    ring.addEllipse(disc);
    ring.addEllipse(hole);

    p.save();
    p.setClipPath(ring, Qt::IntersectClip);
    p.fillRect(disc, colors::ToQColor(doc.panel().BackColor()));
    const CoverImage &picture = doc.image(CoverDocument::MainPicture);
    if (picture.Visible() && picture.HasPicture()) {
        // Cropped to the square, at the device's resolution up to DiscPictureDpi.
        const double dots = std::min(dotsPerPx(p), DiscPictureDpi / 96);
        const int side = std::max(1, int(std::ceil(d * dots)));
        const QImage img = picture.PaperCrop(QSize(side, side));
        if (!img.isNull())
            p.drawImage(disc, img);
    }
    const double radius = d / 2;
    const double band = (d - h) / 2 - 2 * mm(DiscPadMm);
    const double fromCentre = h / 2 + mm(DiscPadMm) + band / 2;
    paintDiscHeadline(p, doc.topHeadline(), radius, band, centre.y() - fromCentre, fromCentre);
    paintDiscHeadline(p, doc.bottomHeadline(), radius, band, centre.y() + fromCentre, fromCentre);
    if (doc.notice.posted)
        paintRimNotice(p, doc, radius);
    p.restore();

    // Cut circles: each stroke lies on the disc, so its edge is the cut.
    const QPen pen = cutPen(doc);
    const double half = pen.widthF() / 2;
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(disc.adjusted(half, half, -half, -half));
    p.drawEllipse(hole.adjusted(-half, -half, half, half));
    QPen mark(colors::ToQColor(doc.panel().BorderColor()), 0.5);
    p.setPen(mark);
    const double arm = mm(2);
    p.drawLine(QPointF(centre.x() - arm, centre.y()), QPointF(centre.x() + arm, centre.y()));
    p.drawLine(QPointF(centre.x(), centre.y() - arm), QPointF(centre.x(), centre.y() + arm));
    p.restore();
}

void PaintCropMarks(QPainter &p, const QRectF &cut)
{
    p.save();
    p.setPen(QPen(Qt::black, mm(0.1), Qt::SolidLine, Qt::FlatCap));
    const double off = mm(CropMarkOffMm), end = mm(CropMarkOffMm + CropMarkLengthMm);
    for (const QPointF corner : {cut.topLeft(), cut.topRight(), cut.bottomLeft(), cut.bottomRight()}) {
        // Outward: away from the piece along both edges that meet here.
        const double sx = corner.x() == cut.left() ? -1 : 1, sy = corner.y() == cut.top() ? -1 : 1;
        p.drawLine(corner + QPointF(sx * off, 0), corner + QPointF(sx * end, 0));
        p.drawLine(corner + QPointF(0, sy * off), corner + QPointF(0, sy * end));
    }
    p.restore();
}

namespace {

// How far crop marks reach beyond a cut line, with a hair to spare for the pen.
double cropReach(bool cropMarks)
{
    return cropMarks ? mm(CropMarkOffMm + CropMarkLengthMm + 0.5) : 0;
}

// A piece moved in by the marks' reach, its marks round it.
Page withCropMarks(QSizeF size, std::function<void(QPainter &)> paint, const QRectF &cut)
{
    const double reach = cropReach(true);
    return {size + QSizeF(2 * reach, 2 * reach), [paint = std::move(paint), cut, reach](QPainter &p) {
                p.save();
                p.translate(reach, reach);
                paint(p);
                p.restore();
                p.translate(reach, reach);
                PaintCropMarks(p, cut);
                p.translate(-reach, -reach);
            }};
}

} // namespace

QList<Page> Sheets(const CoverDocument &doc, QSizeF sheet, QString *error, bool cropMarks)
{
    Piece pieces[] = {
        frontPiece(doc),
        {TraySize(), [&doc](QPainter &p) { PaintTray(doc, p); }},
        {DiscSize(doc), [&doc](QPainter &p) { PaintDisc(doc, p); }},
    };
    if (cropMarks)
        for (Piece &piece : pieces) {
            const Page marked = withCropMarks(piece.size, piece.paint, QRectF(QPointF(), piece.size));
            piece = {marked.size, marked.paint};
        }
    // Top to bottom in columns, left to right, then on the next sheet; never scaled.
    struct Placed {
        QPointF at;
        const Piece *piece;
    };
    QList<QList<Placed>> sheets(1);
    const double gap = mm(GapMm);
    double x = 0, y = 0, columnWidth = 0;
    for (const Piece &piece : pieces) {
        if (piece.size.width() > sheet.width() + 1e-6 || piece.size.height() > sheet.height() + 1e-6) {
            if (error)
                *error = QStringLiteral("The paper is too small for the set: a piece measures %1 × %2 mm.")
                             .arg(piece.size.width() / PxPerMm, 0, 'f', 1)
                             .arg(piece.size.height() / PxPerMm, 0, 'f', 1);
            return {};
        }
        if (y > 0 && y + piece.size.height() > sheet.height() + 1e-6) {
            x += columnWidth + gap;
            y = 0;
            columnWidth = 0;
        }
        if (x > 0 && x + piece.size.width() > sheet.width() + 1e-6) {
            sheets.append(QList<Placed>());
            x = y = columnWidth = 0;
        }
        sheets.last().append({QPointF(x, y), &piece});
        y += piece.size.height() + gap;
        columnWidth = std::max(columnWidth, piece.size.width());
    }
    QList<Page> pages;
    for (const QList<Placed> &placed : sheets) {
        QList<std::pair<QPointF, std::function<void(QPainter &)>>> parts;
        for (const Placed &pl : placed)
            parts.append({pl.at, pl.piece->paint});
        pages.append({sheet, [parts](QPainter &p) {
                          for (const auto &[at, paint] : parts) {
                              p.save();
                              p.translate(at);
                              paint(p);
                              p.restore();
                          }
                      }});
    }
    return pages;
}

QList<Page> PrintPages(const CoverDocument &doc, Output output, QSizeF sheet, QString *error, bool cropMarks)
{
    const auto single = [&](QSizeF size, std::function<void(QPainter &)> paint) -> QList<Page> {
        if (cropMarks) {
            const Page marked = withCropMarks(size, std::move(paint), QRectF(QPointF(), size));
            size = marked.size;
            paint = marked.paint;
        }
        if (size.width() > sheet.width() + 1e-6 || size.height() > sheet.height() + 1e-6) {
            if (error)
                *error = QStringLiteral("The paper is too small for the %1.").arg(Caption(output).toLower());
            return {};
        }
        return {Page{sheet, std::move(paint)}};
    };
    forgetNotes(doc);
    switch (output) {
    case Output::Cover:
        if (cropMarks) // the window's page moved in, the marks round its panel
            return {Page{sheet, withCropMarks(
                                    sheet, [&doc](QPainter &p) { coverpage::PaintPage(doc, p); },
                                    coverpage::PanelRect(doc))
                                    .paint}};
        return {Page{sheet, [&doc](QPainter &p) { coverpage::PaintPage(doc, p); }}};
    case Output::Tray: return single(TraySize(), [&doc](QPainter &p) { PaintTray(doc, p); });
    case Output::Disc: return single(DiscSize(doc), [&doc](QPainter &p) { PaintDisc(doc, p); });
    case Output::Set: break;
    }
    return Sheets(doc, sheet, error, cropMarks);
}

QSizeF DefaultSheet()
{
    const bool inches = QLocale::system().measurementSystem() == QLocale::ImperialUSSystem;
    const QSizeF paper = QPageSize(inches ? QPageSize::Letter : QPageSize::A4).size(QPageSize::Millimeter);
    return paper * PxPerMm;
}

bool Export(const CoverDocument &doc, Output output, const QString &path, pageexport::Format format, int dpi,
            const QString &title, QString *error, const safewrite::Options &options, bool cropMarks)
{
    const bool pdf = format == pageexport::Format::Pdf;
    if (output == Output::Cover && !cropMarks)
        return coverpage::Export(doc, path, format, dpi, title, error, options);
    forgetNotes(doc);
    QList<Page> pages;
    double margin = coverpage::ExportMargin;
    if (output == Output::Cover) {
        const Piece front = frontPiece(doc);
        pages = {Page{front.size, front.paint}};
    } else if (output == Output::Tray) {
        pages = {Page{TraySize(), [&doc](QPainter &p) { PaintTray(doc, p); }}};
    } else if (output == Output::Disc) {
        pages = {Page{DiscSize(doc), [&doc](QPainter &p) { PaintDisc(doc, p); }}};
    } else {
        margin = mm(SheetMarginMm);
        const QSizeF paper = DefaultSheet();
        pages =
            Sheets(doc, QSizeF(paper.width() - 2 * margin, paper.height() - 2 * margin), error, cropMarks);
        if (pages.isEmpty())
            return false;
    }
    if (cropMarks && output != Output::Set)
        for (Page &page : pages)
            page = withCropMarks(page.size, page.paint, QRectF(QPointF(), page.size));
    return pdf ? pageexport::ExportPdfPages(path, title, pages, margin, error, options)
               : pageexport::ExportPngPages(path, pages, margin, dpi, error, options);
}

} // namespace casepages
