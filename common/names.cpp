#include "names.h"

#include <QDir>
#include <QStringDecoder>
#include <QUrl>

#include <cerrno>
#include <unistd.h>

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

// Characters that would break the line (controls, C1 controls, line and paragraph separators)
// or reorder it (bidirectional embeddings, overrides and isolates, which can make "txt.exe" read
// as "exe.txt"): shown as the escapes of their bytes.
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
    // Not UTF-8: a character at a time; each byte that starts no well-formed character is
    // escaped on its own.
    out += QLatin1String(s, i);
    while (i < n) {
        if (static_cast<unsigned char>(s[i]) < 0x80) {
            appendText(out, QString(QLatin1Char(s[i])));
            ++i;
            continue;
        }
        const qsizetype len = characterLength(bytes, i);
        if (len == 0) {
            appendEscape(out, static_cast<unsigned char>(s[i]));
            ++i;
            continue;
        }
        appendText(out, utf8.decode(bytes.sliced(i, len)));
        i += len;
    }
    return out;
}

QString Readable(QStringView text)
{
    return ReadableName(Encode(text));
}

} // namespace names
