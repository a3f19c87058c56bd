#pragma once

#include <QList>
#include <QSizeF>
#include <QString>

#include <functional>

#include "calibration.h"
#include "safewrite.h"

class QPainter;

// Pages written without a printer. The painter works in 96-per-inch logical
// pixels with the origin at the content's top-left corner, as on a printed
// page, so the same painting routine serves screen, printer and files. The
// page is the content plus a white margin all round, nothing more.
namespace pageexport {

using PaintFn = std::function<void(QPainter &)>;

// What an export writes, in every program and dialog.
enum class Format { Pdf, Png };

// One page of several: its content's size and what it shows.
struct Page {
    QSizeF size;
    PaintFn paint;
};

// Vector PDF, true size, fonts embedded; the page is rounded up to whole
// points (the fraction goes to the right and bottom margins). Written through safewrite (a
// temporary swapped in only when complete and synced; "-" is standard output); on failure false
// with a reason and the old file kept.
bool ExportPdf(const QString &path, const QString &title, QSizeF contentPx, double marginPx,
               const PaintFn &paint, QString *error = nullptr, const safewrite::Options &options = {});

// Several pages in one PDF, each of its own size, with the same margin.
bool ExportPdfPages(const QString &path, const QString &title, const QList<Page> &pages, double marginPx,
                    QString *error = nullptr, const safewrite::Options &options = {});

// PNG at `dpi` (96 gives one pixel per logical pixel), its resolution
// recorded in the file. Same writing rules as ExportPdf.
bool ExportPng(const QString &path, QSizeF contentPx, double marginPx, int dpi, const PaintFn &paint,
               QString *error = nullptr, const safewrite::Options &options = {});

// Several pages in one PNG, one below the other with a margin between them.
bool ExportPngPages(const QString &path, const QList<Page> &pages, double marginPx, int dpi,
                    QString *error = nullptr, const safewrite::Options &options = {});

// The PNG's pixel size for a page: ceil((content + 2 margin) * dpi / 96).
QSize PngPixelSize(QSizeF contentPx, double marginPx, int dpi);

// Files written while one lives go out under a printer's calibration, as that printer would
// print them; exports leave calibrations out otherwise. One at a time.
class Calibrated
{
public:
    explicit Calibrated(const calibration::Correction &c);
    ~Calibrated();
    Calibrated(const Calibrated &) = delete;
    Calibrated &operator=(const Calibrated &) = delete;
};

// Resolutions offered for PNG export, and the largest accepted.
inline constexpr int PngDpiChoices[] = {96, 300, 600};
inline constexpr int MaxPngDpi = 600;

} // namespace pageexport
