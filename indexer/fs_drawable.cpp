#include "fs_drawable.h"

#include <QGlyphRun>
#include <QHash>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <vector>

namespace fsl {

namespace {

// Whether the text layout finds a glyph for every part of `grapheme`: it falls back through the
// installed fonts, and keeps glyph 0 (the empty box) where none has one, or no glyph at all.
bool drawnByAFont(const QString &grapheme, const QFont &font)
{
    QTextLayout layout(grapheme, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    bool any = false;
    for (const QGlyphRun &run : layout.glyphRuns())
        for (const quint32 glyph : run.glyphIndexes()) {
            if (glyph == 0)
                return false;
            any = true;
        }
    return any;
}

// What was found, per face: for single characters of the basic plane a table, for longer
// graphemes (emoji sequences, letters with marks) a bounded map.
struct Found {
    QString family;
    std::vector<quint8> single = std::vector<quint8>(0x10000, 0); // 0 not asked, 1 drawn, 2 not
    QHash<QString, bool> longer;
};

} // namespace

QString Drawable(const QString &text, const QFont &font)
{
    // Latin-1 needs no look: every face the suite uses has it.
    bool latin1 = true;
    for (const QChar c : text)
        latin1 = latin1 && c.unicode() < 0x100;
    if (latin1)
        return text;
    static Found found;
    if (found.family != font.family()) {
        found = Found();
        found.family = font.family();
    }
    QString out;
    out.reserve(text.size());
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    for (qsizetype at = 0, next; at < text.size(); at = next) {
        next = graphemes.toNextBoundary();
        if (next < 0)
            next = text.size();
        const QString g = text.mid(at, next - at);
        bool drawn = true;
        if (g.size() == 1 && g[0].unicode() >= 0x100) {
            quint8 &known = found.single[g[0].unicode()];
            if (known == 0)
                known = drawnByAFont(g, font) ? 1 : 2;
            drawn = known == 1;
        } else if (g.size() > 1) {
            if (found.longer.size() > 4096) // hostile names cannot make it grow without end
                found.longer.clear();
            const auto it = found.longer.constFind(g);
            drawn = it != found.longer.constEnd() ? *it : *found.longer.insert(g, drawnByAFont(g, font));
        }
        if (drawn) {
            out += g;
            continue;
        }
        static const char hex[] = "0123456789ABCDEF";
        for (const char b : g.toUtf8()) {
            const auto c = static_cast<unsigned char>(b);
            out += QLatin1String("\\x");
            out += QLatin1Char(hex[c >> 4]);
            out += QLatin1Char(hex[c & 15]);
        }
    }
    return out;
}

} // namespace fsl
