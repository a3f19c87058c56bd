#include "pageexport.h"

#include <QBuffer>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>

#include "bigimage.h"

namespace pageexport {

namespace {

// The correction a Calibrated lays on exports; none outside one.
calibration::Correction &exportCorrection()
{
    static calibration::Correction c;
    return c;
}

constexpr int PdfResolution = 1200;

void fail(QString *error, const QString &why)
{
    if (error)
        *error = why;
}

bool validPage(QSizeF contentPx, double marginPx, QString *error)
{
    // A page larger than a few metres is a mistake, and would only exhaust memory.
    constexpr double MaxSidePx = 96.0 * 200;
    const double w = contentPx.width() + 2 * marginPx;
    const double h = contentPx.height() + 2 * marginPx;
    if (!(w > 0 && h > 0 && marginPx >= 0 && w <= MaxSidePx && h <= MaxSidePx)) {
        fail(error, QStringLiteral("The page size is not valid."));
        return false;
    }
    return true;
}

} // namespace

QSize PngPixelSize(QSizeF contentPx, double marginPx, int dpi)
{
    const double k = dpi / 96.0;
    return {int(std::ceil((contentPx.width() + 2 * marginPx) * k - 1e-9)),
            int(std::ceil((contentPx.height() + 2 * marginPx) * k - 1e-9))};
}

bool ExportPdf(const QString &path, const QString &title, QSizeF contentPx, double marginPx,
               const PaintFn &paint, QString *error, const safewrite::Options &options)
{
    return ExportPdfPages(path, title, {Page{contentPx, paint}}, marginPx, error, options);
}

bool ExportPdfPages(const QString &path, const QString &title, const QList<Page> &pages, double marginPx,
                    QString *error, const safewrite::Options &options)
{
    if (pages.isEmpty()) {
        fail(error, QStringLiteral("There is no page to write."));
        return false;
    }
    for (const Page &page : pages)
        if (!validPage(page.size, marginPx, error))
            return false;
    // PDF pages come in whole points: round up, so the right and bottom margins take the
    // fraction and the content keeps its true size.
    const auto layout = [marginPx](QSizeF contentPx) {
        const QSize pagePt(int(std::ceil((contentPx.width() + 2 * marginPx) * 0.75 - 1e-9)),
                           int(std::ceil((contentPx.height() + 2 * marginPx) * 0.75 - 1e-9)));
        return QPageLayout(QPageSize(pagePt, QString(), QPageSize::ExactMatch), QPageLayout::Portrait,
                           QMarginsF());
    };
    safewrite::Writer file(path, options);
    if (!file.open(error))
        return false;
    {
        QPdfWriter pdf(file.device());
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("Sleeve"));
        pdf.setResolution(PdfResolution);
        pdf.setPageLayout(layout(pages.constFirst().size));
        QPainter p;
        if (!p.begin(&pdf)) {
            fail(error, QStringLiteral("The PDF could not be started."));
            return false;
        }
        const double scale = PdfResolution / 96.0;
        for (qsizetype i = 0; i < pages.size(); ++i) {
            if (i > 0) {
                pdf.setPageLayout(layout(pages[i].size));
                pdf.newPage();
            }
            p.save();
            p.setTransform(calibration::Transform(exportCorrection(), PdfResolution / 25.4));
            p.scale(scale, scale);
            p.translate(marginPx, marginPx);
            pages[i].paint(p);
            p.restore();
        }
        if (!p.end()) {
            if (!file.writeFailed(error))
                fail(error, QStringLiteral("The PDF could not be written."));
            return false;
        }
    }
    return file.commit(error);
}

bool ExportPng(const QString &path, QSizeF contentPx, double marginPx, int dpi, const PaintFn &paint,
               QString *error, const safewrite::Options &options)
{
    return ExportPngPages(path, {Page{contentPx, paint}}, marginPx, dpi, error, options);
}

Calibrated::Calibrated(const calibration::Correction &c)
{
    exportCorrection() = calibration::Clamped(c);
}

Calibrated::~Calibrated()
{
    exportCorrection() = {};
}

bool ExportPngPages(const QString &path, const QList<Page> &pages, double marginPx, int dpi, QString *error,
                    const safewrite::Options &options)
{
    if (pages.isEmpty()) {
        fail(error, QStringLiteral("There is no page to write."));
        return false;
    }
    QSizeF all(0, -marginPx);
    for (const Page &page : pages) {
        if (!validPage(page.size, marginPx, error))
            return false;
        all = QSizeF(std::max(all.width(), page.size.width()), all.height() + page.size.height() + marginPx);
    }
    if (!validPage(all, marginPx, error))
        return false;
    if (dpi < 1 || dpi > MaxPngDpi) {
        fail(error, QStringLiteral("The resolution must be between 1 and %1 dpi.").arg(MaxPngDpi));
        return false;
    }
    QImage img = bigimage::Allocate(PngPixelSize(all, marginPx, dpi), QImage::Format_RGB32);
    if (img.isNull()) {
        fail(error, QStringLiteral("Not enough memory for an image of that size."));
        return false;
    }
    img.fill(Qt::white);
    const int dpm = int(std::lround(dpi / 0.0254));
    img.setDotsPerMeterX(dpm);
    img.setDotsPerMeterY(dpm);
    {
        QPainter p(&img);
        p.setTransform(calibration::Transform(exportCorrection(), dpi / 25.4));
        const double scale = dpi / 96.0;
        p.scale(scale, scale);
        p.translate(marginPx, marginPx);
        for (const Page &page : pages) {
            p.save();
            page.paint(p);
            p.restore();
            p.translate(0, page.size.height() + marginPx);
        }
    }
    // Encoded first, so that the encoder never sees a write fail (a full disk): the writer
    // reports that, with its reason.
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!img.save(&buffer, "PNG")) {
            fail(error, QStringLiteral("The PNG could not be written."));
            return false;
        }
    }
    img = QImage();
    safewrite::Writer file(path, options);
    if (!file.open(error))
        return false;
    file.device()->write(png);
    return file.commit(error);
}

} // namespace pageexport
