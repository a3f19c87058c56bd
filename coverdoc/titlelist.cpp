// The whole list of titles: up to 20 stand in the title lines as they always have; a longer one
// is kept whole and drawn fitted, in columns, where those lines stand.
#include "coverdocument.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "colors.h"
#include "coverformat.h"
#include "fonts.h"

QString CoverDocument::ListTitle(QString text)
{
    for (QChar &c : text)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = u' ';
    if (text.size() > MaxTitleLength) {
        qsizetype n = MaxTitleLength;
        if (text.at(n - 1).isHighSurrogate())
            --n;
        text.truncate(n);
    }
    return text;
}

QStringList CoverDocument::TitleList() const
{
    if (LongList())
        return titles.list;
    QStringList lines;
    for (int n = 1; n <= CoverTitleLines; ++n)
        lines << titleLine(n).Caption();
    while (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

qsizetype CoverDocument::setTitleList(const QStringList &list)
{
    const qsizetype kept = std::min<qsizetype>(list.size(), MaxTitles);
    QStringList bounded;
    bounded.reserve(kept);
    for (qsizetype i = 0; i < kept; ++i)
        bounded << ListTitle(list[i]);
    if (kept <= CoverTitleLines) {
        titles.list.clear();
        // As typed into the fields: the lines past the list are emptied.
        for (int n = 1; n <= CoverTitleLines; ++n)
            setTitle(n, n <= kept ? list[n - 1] : QString());
    } else {
        titles.list = bounded;
        for (int n = 1; n <= CoverTitleLines; ++n)
            titleLine(n).setCaption(bounded[n - 1]);
    }
    return list.size() - kept;
}

static_assert(CoverDocument::MaxTitles == tracklist::CoverMaxTitles);
static_assert(CoverDocument::CoverTitleLines == tracklist::CoverTitleLines);

namespace {

constexpr double ColumnGap = 8;
constexpr double PixelsPerPoint = 96.0 / 72.0;
// A list's sizes are tried in these steps, from the titles' own down.
constexpr float PointStep = 0.25f;

} // namespace

CoverDocument::ListLayout CoverDocument::LayOutList() const
{
    std::vector<double> widths;
    return layOutList(&widths);
}

CoverDocument::ListLayout CoverDocument::layOutList(std::vector<double> *measured) const
{
    ListLayout out;
    const CoverLabel &first = titleLine(1);
    const double left = first.Left();
    out.area = QRectF(left, first.Top(), std::max(0.0, double(layout.panelWidth) - 2 * left),
                      std::max(0.0, titleLine(21).Top() - first.Top()));
    const qsizetype n = titles.list.size();
    if (n == 0 || out.area.isEmpty())
        return out;

    // Widths and the line height scale with the size (the font is unhinted): measure once.
    constexpr double ReferencePixels = 100;
    QFont f = titlesStyle().font();
    f.setPixelSize(int(ReferencePixels));
    const QFontMetricsF fm(f, fonts::Reference96());
    std::vector<double> &widths = *measured;
    widths.reserve(size_t(n));
    double widest = 0;
    for (const QString &t : titles.list) {
        widths.push_back(fm.horizontalAdvance(t) / ReferencePixels);
        widest = std::max(widest, widths.back());
    }
    const double lineFactor = fm.height() / ReferencePixels;
    const double height = out.area.height() + 1e-6;
    const auto columnWidth = [&](int columns) {
        return (out.area.width() - ColumnGap * (columns - 1)) / columns;
    };

    const float largest = std::max(MinListPoints, titlesStyle().FontSize());
    for (float pt = largest; pt >= MinListPoints - 1e-3f; pt -= PointStep) {
        const double px = double(pt) * PixelsPerPoint;
        for (int columns = 2; columns <= 4; ++columns) {
            const int rows = int((n + columns - 1) / columns);
            if (rows * px * lineFactor <= height && widest * px <= columnWidth(columns)) {
                out.points = pt;
                out.columns = columns;
                out.rows = rows;
                out.pitch = px * lineFactor;
                break;
            }
        }
        if (out.columns)
            break;
        // The last step lands on the smallest size exactly.
        if (pt > MinListPoints && pt - PointStep < MinListPoints)
            pt = MinListPoints + PointStep;
    }
    if (!out.columns) {
        // The smallest size: the rows close up to one em, and the fewest columns whose rows fit
        // (titles too wide for them are cut short); what four columns cannot hold is not shown.
        const double px = double(MinListPoints) * PixelsPerPoint;
        out.points = MinListPoints;
        out.columns = 4;
        for (int columns = 2; columns <= 4; ++columns) {
            const int rows = int((n + columns - 1) / columns);
            if (rows * px <= height && (widest * px <= columnWidth(columns) || columns == 4)) {
                out.columns = columns;
                break;
            }
        }
        out.rows = std::max(1, std::min(int((n + out.columns - 1) / out.columns), int(height / px)));
        out.pitch = std::min(px * lineFactor, out.area.height() / out.rows);
    }
    out.columnWidth = columnWidth(out.columns);
    out.shown = std::min<qsizetype>(n, qsizetype(out.rows) * out.columns);
    const double px = double(out.points) * PixelsPerPoint;
    for (qsizetype i = 0; i < out.shown; ++i)
        if (widths[size_t(i)] * px > out.columnWidth)
            ++out.cut;
    return out;
}

void CoverDocument::paintList(QPainter &p) const
{
    std::vector<double> widths;
    const ListLayout l = layOutList(&widths);
    if (l.shown == 0)
        return;
    const double px = double(l.points) * PixelsPerPoint;
    const CoverLabel &style = titlesStyle();
    QFont f = style.font();
    f.setPointSizeF(double(l.points));
    p.setFont(fonts::ForDevice(f, p.device()));
    p.setPen(colors::ToQColor(style.ForeColor()));
    const QFontMetricsF fm(f, fonts::Reference96());
    for (qsizetype i = 0; i < l.shown; ++i) {
        const int column = int(i / l.rows), row = int(i % l.rows);
        const QRectF cell(l.area.left() + column * (l.columnWidth + ColumnGap), l.area.top() + row * l.pitch,
                          l.columnWidth, l.pitch);
        const QString &title = titles.list[i];
        // Plain text, one line; a title too wide for its column ends in an ellipsis.
        const QString text = widths[size_t(i)] * px > cell.width()
                                 ? fm.elidedText(title, Qt::ElideRight, cell.width())
                                 : title;
        p.drawText(QRectF(cell.topLeft(), QSizeF(cell.width() + 2, cell.height() + 8)),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    }
}
