#include "names.h"

#include <QDir>
#include <QStringDecoder>
#include <QUrl>

#include <cerrno>
#include <unistd.h>
#include <utility>

#include <vector>

namespace names {

namespace {

constexpr char16_t EscapeBase = 0xDC00; // bytes 0x80..0xFF stand as U+DC80..U+DCFF

// How many bytes from `i` make one well-formed character; 0 when the byte there starts none.
qsizetype characterLength(QByteArrayView bytes, qsizetype i)
{
    // The shortest well-formed run from here is exactly one character.
    for (qsizetype len = 2; len <= 4 && i + len <= bytes.size(); ++len)
        if (bytes.sliced(i, len).isValidUtf8())
            return len;
    return 0;
}

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

// Unicode's default-ignorable code points (DerivedCoreProperties.txt): zero-width spaces and
// joiners, the bidirectional marks and controls, soft hyphens, variation selectors, blank
// fillers, tags. They draw nothing, so "a\u200Bb" would read as "ab".
bool ignorable(char32_t c)
{
    static constexpr std::pair<char32_t, char32_t> ranges[] = {
        {0x00AD, 0x00AD},   {0x034F, 0x034F},   {0x061C, 0x061C}, {0x115F, 0x1160}, {0x17B4, 0x17B5},
        {0x180B, 0x180F},   {0x200B, 0x200F},   {0x202A, 0x202E}, {0x2060, 0x206F}, {0x3164, 0x3164},
        {0xFE00, 0xFE0F},   {0xFEFF, 0xFEFF},   {0xFFA0, 0xFFA0}, {0xFFF0, 0xFFF8}, {0x1BCA0, 0x1BCA3},
        {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF},
    };
    if (c < 0xAD)
        return false;
    for (const auto &[from, to] : ranges)
        if (c >= from && c <= to)
            return true;
    return false;
}

// Symbols that emoji sequences join and vary.
bool pictographic(char32_t c)
{
    return c == 0xA9 || c == 0xAE || (c >= 0x2100 && c <= 0x2BFF) || (c >= 0x1F000 && c <= 0x1FAFF);
}

// Letters of scripts whose shaping a joiner or non-joiner changes (Arabic to Mongolian, the
// Indic scripts among them).
bool joining(char32_t c)
{
    return ((c >= 0x0600 && c <= 0x1CFF) || (c >= 0xA800 && c <= 0xABFF)) &&
           (QChar::isLetter(c) || QChar::isMark(c));
}

// An ignorable character that still changes what is drawn, where it stands: the joiner in an emoji
// sequence, a joiner between letters that join, a variation selector after what it varies (or
// before a keycap), the tag letters of a flag.
bool drawnHere(char32_t c, char32_t before, char32_t after)
{
    if (c == 0x200D && (pictographic(before) || before == 0xFE0F) && pictographic(after))
        return true;
    if ((c == 0x200C || c == 0x200D) && joining(before) && joining(after))
        return true;
    if (c >= 0xFE00 && c <= 0xFE0F)
        return pictographic(before) || QChar::category(before) == QChar::Symbol_Math || after == 0x20E3 ||
               QChar::script(before) == QChar::Script_Han;
    if (c >= 0xE0100 && c <= 0xE01EF)
        return QChar::script(before) == QChar::Script_Han;
    if (c >= 0x180B && c <= 0x180F && c != 0x180E)
        return QChar::script(before) == QChar::Script_Mongolian;
    return c >= 0xE0020 && c <= 0xE007F && (before == 0x1F3F4 || (before >= 0xE0020 && before <= 0xE007F));
}

// Characters that would break the line (controls, C1 controls, line and paragraph separators),
// reorder it (bidirectional embeddings, overrides and isolates, which can make "txt.exe" read as
// "exe.txt") or vanish from it (the ignorable ones, where they draw nothing): shown as the escapes
// of their bytes, so that two different names never read alike.
bool shownAsBytes(char32_t c, char32_t before, char32_t after)
{
    return c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0x2028 || c == 0x2029 ||
           (ignorable(c) && !drawnHere(c, before, after));
}

// Appends decoded text, escaping the characters that cannot stand as they are.
void appendText(QString &out, QStringView text)
{
    const auto codeAt = [&text](qsizetype i) -> std::pair<char32_t, qsizetype> {
        if (i >= text.size())
            return {0, 0};
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            return {QChar::surrogateToUcs4(text[i], text[i + 1]), 2};
        return {text[i].unicode(), 1};
    };
    char32_t before = 0;
    for (qsizetype i = 0; i < text.size();) {
        const auto [c, len] = codeAt(i);
        const QStringView ch = text.sliced(i, len);
        if (shownAsBytes(c, before, codeAt(i + len).first)) {
            for (const char b : ch.toUtf8())
                appendEscape(out, static_cast<unsigned char>(b));
        } else {
            out += ch;
        }
        before = c;
        i += len;
    }
}

} // namespace

QString Decode(QByteArrayView bytes)
{
    if (bytes.isValidUtf8())
        return QString::fromUtf8(bytes);
    QString out;
    out.reserve(bytes.size());
    qsizetype i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            out += QLatin1Char(char(c));
            ++i;
            continue;
        }
        const qsizetype len = characterLength(bytes, i);
        if (len == 0) {
            out += QChar(char16_t(EscapeBase + c));
            ++i;
            continue;
        }
        out += QString::fromUtf8(bytes.sliced(i, len));
        i += len;
    }
    return out;
}

QByteArray Encode(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    qsizetype from = 0; // start of the run of ordinary text not yet written
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0xDC80 || c > 0xDCFF || (i > 0 && QChar::isHighSurrogate(text[i - 1].unicode())))
            continue;
        out += text.sliced(from, i - from).toUtf8();
        out += char(c - EscapeBase);
        from = i + 1;
    }
    out += text.sliced(from).toUtf8();
    return out;
}

QStringList Arguments(int argc, const char *const *argv)
{
    QStringList out;
    out.reserve(argc);
    for (int i = 0; i < argc; ++i)
        out << Decode(QByteArrayView(argv[i]));
    return out;
}

QString FromUrl(const QUrl &url)
{
    if (!url.isLocalFile())
        return {};
    if (!url.host().isEmpty())
        return url.toLocalFile(); // a share on another machine: "//host/path"
    return Decode(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

QString Absolute(const QString &path)
{
    if (path.startsWith(u'/'))
        return QDir::cleanPath(path);
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE || buffer.size() > (1u << 20))
            return QDir::cleanPath(path); // no working folder to name: left relative
        buffer.resize(buffer.size() * 2);
    }
    return QDir::cleanPath(Decode(QByteArrayView(buffer.data())) + u'/' + path);
}

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

    // A byte-order mark is a character of the name, kept (and shown as its escape).
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QByteArrayView bytes(s, n);
    QString out;
    out.reserve(n + 8);
    if (bytes.isValidUtf8()) {
        appendText(out, QString(utf8.decode(bytes)));
        return out;
    }
    // Not UTF-8: runs of well-formed characters, each read as a whole (a character's neighbours
    // decide whether it shows), and each byte that starts no character escaped on its own.
    i = 0;
    while (i < n) {
        qsizetype end = i;
        while (end < n) {
            const qsizetype len = static_cast<unsigned char>(s[end]) < 0x80 ? 1 : characterLength(bytes, end);
            if (len == 0)
                break;
            end += len;
        }
        if (end > i) {
            appendText(out, QString(utf8.decode(bytes.sliced(i, end - i))));
            i = end;
            continue;
        }
        appendEscape(out, static_cast<unsigned char>(s[i]));
        ++i;
    }
    return out;
}

QString Readable(QStringView text)
{
    return ReadableName(Encode(text));
}

} // namespace names
