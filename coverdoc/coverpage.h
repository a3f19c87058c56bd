#pragma once

#include <QRectF>
#include <QString>

#include "pageexport.h"
#include "safewrite.h"

class CoverDocument;
class QPainter;

// The printed page of a design, the same wherever it goes: the printer, the preview, a PDF or
// PNG export, the window's Print and the command line.
namespace coverpage {

// The window's client area, which printing lays on the page as it stands.
constexpr double ClientWidth = 754;
constexpr double ClientHeight = 487;
// White margin around an exported panel, in pixels at 96 per inch.
constexpr double ExportMargin = 12;

// The cover panel; its outer edge is the cut line.
QRectF PanelRect(const CoverDocument &doc);
// The client area as printing paints it: the visible parts on white.
void PaintPage(const CoverDocument &doc, QPainter &p);

// Writes the panel and its cut line as a page of its own; `dpi` is the PNG's, `title` the PDF's.
// The file goes through the safe writer with `options` (the run's inputs, which it never replaces).
bool Export(const CoverDocument &doc, const QString &path, pageexport::Format format, int dpi,
            const QString &title, QString *error, const safewrite::Options &options = {});
// The name a page or job carries: the design file's base name, or "Untitled cover".
QString Title(const QString &designPath);

} // namespace coverpage
