#include "fs_names.h"

namespace fsl {

namespace {

void appendEscape(QString &out, unsigned char c)
{
    static const char hex[] = "0123456789ABCDEF";
    switch (c) {
    case '\n': out += QLatin1String("\\n"); return;
    case '\r': out += QLatin1String("\\r"); return;
    case '\t': out += QLatin1String("\\t"); return;
    default:
        out += QLatin1String("\\x");
        out += QLatin1Char(hex[c >> 4]);
        out += QLatin1Char(hex[c & 15]);
    }
}

} // namespace

QString ReadableName(const char *s, qsizetype n)
{
    // Fast path: printable ASCII, the common case.
    qsizetype i = 0;
    while (i < n) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x20 || c >= 0x7F)
            break;
        ++i;
    }
    if (i == n)
        return QString::fromLatin1(s, n);

    QString out;
    out.reserve(n + 8);
    out += QLatin1String(s, i);
    while (i < n) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            if (c < 0x20 || c == 0x7F)
                appendEscape(out, c);
            else
                out += QLatin1Char(static_cast<char>(c));
            ++i;
            continue;
        }
        int len = 0;
        char32_t cp = 0, min = 0;
        if ((c & 0xE0) == 0xC0) {
            len = 2;
            cp = c & 0x1Fu;
            min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
            cp = c & 0x0Fu;
            min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
            cp = c & 0x07u;
            min = 0x10000;
        }
        bool good = len > 0 && i + len <= n;
        for (int k = 1; good && k < len; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80)
                good = false;
            else
                cp = (cp << 6) | (cc & 0x3Fu);
        }
        if (!good || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            appendEscape(out, c);
            ++i;
            continue;
        }
        if ((cp >= 0x80 && cp < 0xA0) || cp == 0x2028 || cp == 0x2029) {
            // C1 controls and line separators would break the line: show their bytes.
            for (int k = 0; k < len; ++k)
                appendEscape(out, static_cast<unsigned char>(s[i + k]));
        } else {
            out += QChar::fromUcs4(cp);
        }
        i += len;
    }
    return out;
}

QString ReadablePath(const QByteArray &path)
{
    return ReadableName(path.constData(), path.size());
}

} // namespace fsl
