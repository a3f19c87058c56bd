#include "fs_names.h"

#include <QByteArrayView>
#include <QStringDecoder>

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

// Characters that would break the line (controls, C1 controls, line and
// paragraph separators) or reorder it (bidirectional embeddings, overrides
// and isolates, which can make "txt.exe" read as "exe.txt"): shown as the
// escapes of their bytes.
bool shownAsBytes(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0x2028 || c == 0x2029 ||
           (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

// Appends decoded text, escaping the characters that cannot stand as they are.
void appendText(QString &out, const QString &text)
{
    for (const QChar ch : text) {
        if (!shownAsBytes(ch.unicode())) {
            out += ch;
            continue;
        }
        for (const char b : QString(ch).toUtf8())
            appendEscape(out, static_cast<unsigned char>(b));
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

    // A byte-order mark is a character of the name like any other.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QByteArrayView bytes(s, n);
    QString out;
    out.reserve(n + 8);
    if (bytes.isValidUtf8()) {
        appendText(out, utf8.decode(bytes));
        return out;
    }
    // Not UTF-8: a character at a time; each byte that starts no well-formed
    // character is escaped on its own.
    out += QLatin1String(s, i);
    while (i < n) {
        if (static_cast<unsigned char>(s[i]) < 0x80) {
            appendText(out, QString(QLatin1Char(s[i])));
            ++i;
            continue;
        }
        qsizetype len = 2; // the shortest well-formed run from here is one character
        while (len <= 4 && i + len <= n && !bytes.sliced(i, len).isValidUtf8())
            ++len;
        if (len > 4 || i + len > n) {
            appendEscape(out, static_cast<unsigned char>(s[i]));
            ++i;
            continue;
        }
        appendText(out, utf8.decode(bytes.sliced(i, len)));
        i += len;
    }
    return out;
}

QString ReadablePath(const QByteArray &path)
{
    return ReadableName(path.constData(), path.size());
}

} // namespace fsl
