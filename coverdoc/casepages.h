#pragma once

#include <QFont>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <optional>

#include "pageexport.h"
#include "safewrite.h"

class CoverDocument;
class QPainter;

// The other pieces of a jewel case made from one design: the tray card with its two spines, the
// disc face, and the complete set (booklet front, tray card and disc face on sheets of paper).
// Painted in the document's units, 96 per inch, on any painter.
namespace casepages {

constexpr double PxPerMm = 96 / 25.4;
constexpr double TrayWidthMm = 150.8, TrayHeightMm = 117.5, SpineMm = 6.4;
constexpr double TrayPanelMm = TrayWidthMm - 2 * SpineMm; // 138
// Text on the spines and the disc is never smaller than this.
constexpr double MinTextPt = 5;
// Pictures on the disc: finer detail than this is not printed.
constexpr double DiscPictureDpi = 300;

enum class Output { Cover, Tray, Disc, Set };
// "cover", "tray", "disc", "set"; nothing for another word.
std::optional<Output> OutputNamed(const QString &name);
QString Name(Output output);
// As the menus show it: "Cover As Shown", "Tray Card", "Disc Face", "Complete Set".
QString Caption(Output output);

QSizeF TraySize();
// The turn of a spine's text on the flat card, in degrees clockwise: 90 reads top to bottom.
// The hinge-side spine (the right one as printed) reads as set, the other the opposite way.
double SpineAngle(const CoverDocument &doc, bool hingeSide);
// The tray card from (0, 0): the cut line on its outer edge, fold lines between panel and spines.
void PaintTray(const CoverDocument &doc, QPainter &p);
// The disc face's square from (0, 0), the disc's diameter on a side.
QSizeF DiscSize(const CoverDocument &doc);
void PaintDisc(const CoverDocument &doc, QPainter &p);

// The line both spines carry: the spine text as set, else the headlines joined by " · ".
QString SpineLine(const CoverDocument &doc);
// The headlines joined by " · ", or the one that is not empty: what an empty spine text shows.
QString HeadlinesLine(const CoverDocument &doc);
// The spine's text as painted: the top headline's font shrunk to fit (never below MinTextPt),
// the line cut with "…" when even that is too long.
struct Fitted {
    QFont font; // at 96 per inch
    QString text;
    bool cut = false; // the line ends in "…" in place of its tail
};
Fitted FitSpine(const CoverDocument &doc);
// Said when the spine line is cut short, naming how much of it shows; empty when it fits.
QString SpineCutNote(const CoverDocument &doc);

// Crop marks: at each corner of a piece, a line along each edge outward, 2 mm off the cut line
// and 5 mm long, so that a trimmer that hides the dashed outline still has its line.
constexpr double CropMarkOffMm = 2, CropMarkLengthMm = 5;
// The marks of a piece whose cut line is `cut`.
void PaintCropMarks(QPainter &p, const QRectF &cut);

// A page of an output: its size and what it shows, from its top-left corner.
using Page = pageexport::Page;
// The pieces placed on sheets of `sheet` (the paper's printable part), each whole and at true
// size, as few sheets as they fit on; none (with *error) when a piece is larger than the sheet.
// With crop marks the pieces keep the marks' reach from the sheet's edges and from each other.
QList<Page> Sheets(const CoverDocument &doc, QSizeF sheet, QString *error, bool cropMarks = false);
// The pages a printer gets for an output on paper of `sheet`; the cover is the window's page.
QList<Page> PrintPages(const CoverDocument &doc, Output output, QSizeF sheet, QString *error,
                       bool cropMarks = false);
// The export's default paper: Letter where the locale measures in inches, else A4.
QSizeF DefaultSheet();

// Writes an output as a file: the cover as coverpage::Export does; the tray card and the disc
// face each on a page of its own with a white margin; the set on sheets of the default paper
// (PDF pages, or one PNG with the sheets one below the other).
bool Export(const CoverDocument &doc, Output output, const QString &path, pageexport::Format format, int dpi,
            const QString &title, QString *error, const safewrite::Options &options = {},
            bool cropMarks = false);

} // namespace casepages
