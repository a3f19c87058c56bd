// Reading the stroked outlines of a PDF's pages back: each stroke's points in millimetres from
// the page's top-left corner, its width and whether it is dashed. Enough of the content-stream
// language for what QPdfWriter writes (q Q cm w d m l c re h S).
#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QRegularExpression>
#include <QTransform>

#include <cmath>

namespace pdfpaths {

struct Stroke {
    QList<QPointF> points; // millimetres, curves by their control points
    double width = 0;      // millimetres
    bool dashed = false;
    QRectF bounds() const
    {
        if (points.isEmpty())
            return {};
        double l = points[0].x(), t = points[0].y(), r = l, b = t;
        for (const QPointF &p : points) {
            l = std::min(l, p.x());
            r = std::max(r, p.x());
            t = std::min(t, p.y());
            b = std::max(b, p.y());
        }
        return QRectF(QPointF(l, t), QPointF(r, b));
    }
    // The outer edge of a stroke drawn inside its piece: the path's box grown by half the width.
    QRectF outerEdge() const
    {
        const double h = width / 2;
        return bounds().adjusted(-h, -h, h, h);
    }
};

struct Page {
    QSizeF size; // millimetres
    QList<Stroke> strokes;
};

namespace detail {

inline QByteArray inflate(const QByteArray &deflated)
{
    // qUncompress wants the expected size first; it grows the buffer when the guess is short.
    QByteArray withSize(4, '\0');
    const quint32 guess = quint32(std::min<qsizetype>(deflated.size() * 20 + 1024, 64 * 1024 * 1024));
    withSize[0] = char(guess >> 24);
    withSize[1] = char(guess >> 16);
    withSize[2] = char(guess >> 8);
    withSize[3] = char(guess);
    return qUncompress(withSize + deflated);
}

inline QList<Stroke> strokes(const QByteArray &content, double pageHeightPt)
{
    constexpr double Mm = 25.4 / 72;
    QList<Stroke> out;
    QList<QTransform> stack;
    QTransform ctm;
    double width = 1;
    bool dashed = false;
    QList<double> operands;
    QList<QPointF> path;
    bool inArray = false, arrayFilled = false;
    const auto toPage = [&](double x, double y) {
        const QPointF p = ctm.map(QPointF(x, y));
        return QPointF(p.x() * Mm, (pageHeightPt - p.y()) * Mm);
    };
    qsizetype i = 0;
    const qsizetype n = content.size();
    while (i < n) {
        const char c = content[i];
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t') {
            ++i;
            continue;
        }
        if (c == '[') {
            inArray = true;
            arrayFilled = false;
            ++i;
            continue;
        }
        if (c == ']') {
            inArray = false;
            ++i;
            continue;
        }
        if (c == '<' || c == '(' || c == '/') { // strings and names: skipped
            const char end = c == '<' ? '>' : c == '(' ? ')' : ' ';
            while (i < n && content[i] != end && !(c == '/' && (content[i] == '\n')))
                ++i;
            ++i;
            continue;
        }
        qsizetype j = i;
        while (j < n && !QByteArrayView(" \n\r\t[]<(/").contains(content[j]))
            ++j;
        const QByteArray token = content.mid(i, j - i);
        i = j;
        bool isNumber = false;
        const double v = token.toDouble(&isNumber);
        if (isNumber) {
            if (inArray)
                arrayFilled = true;
            else
                operands << v;
            continue;
        }
        const auto arg = [&](qsizetype k) { return operands.value(operands.size() - k); };
        if (token == "q") {
            stack << ctm;
        } else if (token == "Q") {
            if (!stack.isEmpty())
                ctm = stack.takeLast();
        } else if (token == "cm" && operands.size() >= 6) {
            ctm = QTransform(arg(6), arg(5), arg(4), arg(3), arg(2), arg(1)) * ctm;
        } else if (token == "w" && !operands.isEmpty()) {
            width = arg(1) * std::sqrt(std::abs(ctm.determinant())) * Mm;
        } else if (token == "d") {
            dashed = arrayFilled;
        } else if (token == "m" || token == "l") {
            path << toPage(arg(2), arg(1));
        } else if (token == "c" && operands.size() >= 6) {
            path << toPage(arg(6), arg(5)) << toPage(arg(4), arg(3)) << toPage(arg(2), arg(1));
        } else if (token == "re" && operands.size() >= 4) {
            const double x = arg(4), y = arg(3), w = arg(2), h = arg(1);
            path << toPage(x, y) << toPage(x + w, y) << toPage(x + w, y + h) << toPage(x, y + h);
        } else if (token == "S" || token == "s" || token == "B" || token == "B*" || token == "b") {
            if (!path.isEmpty())
                out << Stroke{path, width, dashed};
            path.clear();
        } else if (token == "f" || token == "f*" || token == "n" || token == "F") {
            path.clear();
        }
        if (token != "h")
            operands.clear();
    }
    return out;
}

} // namespace detail

// Every page's strokes, in page order; empty when the file cannot be read.
inline QList<Page> Read(const QString &pdfPath)
{
    QFile f(pdfPath);
    if (!f.open(QIODevice::ReadOnly) || f.size() > 256 * 1024 * 1024)
        return {};
    const QByteArray pdf = f.readAll();
    QList<Page> pages;
    static const QRegularExpression media(
        QStringLiteral(R"(/MediaBox\s*\[\s*0\s+0\s+([\d.]+)\s+([\d.]+)\s*\])"));
    for (auto it = media.globalMatch(QString::fromLatin1(pdf)); it.hasNext();) {
        const auto m = it.next();
        pages << Page{QSizeF(m.captured(1).toDouble() * 25.4 / 72, m.captured(2).toDouble() * 25.4 / 72), {}};
    }
    // Content streams are the deflated streams that are neither pictures nor fonts, in page order.
    qsizetype page = 0;
    for (qsizetype at = pdf.indexOf("stream"); at >= 0 && page < pages.size();
         at = pdf.indexOf("stream", at)) {
        if (at >= 3 && pdf.mid(at - 3, 3) == "end") {
            at += 6;
            continue;
        }
        const qsizetype dictStart = pdf.lastIndexOf("obj", at);
        const QByteArray dict = pdf.mid(dictStart, at - dictStart);
        qsizetype start = at + 6;
        if (start < pdf.size() && pdf[start] == '\r')
            ++start;
        if (start < pdf.size() && pdf[start] == '\n')
            ++start;
        const qsizetype end = pdf.indexOf("endstream", start);
        if (end < 0)
            break;
        at = end + 9;
        if (!dict.contains("/FlateDecode") || dict.contains("/Subtype") || dict.contains("/Length1") ||
            dict.contains("/Type"))
            continue;
        const QByteArray content = detail::inflate(pdf.mid(start, end - start));
        if (!content.contains(" cm"))
            continue;
        pages[page].strokes = detail::strokes(content, pages[page].size.height() * 72 / 25.4);
        ++page;
    }
    return pages;
}

} // namespace pdfpaths
