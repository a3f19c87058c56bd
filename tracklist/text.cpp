#include "text.h"
#include "names.h"

#include "designfile.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tracklist {

bool IsUtf8Text(QByteArrayView wholeFile)
{
    return designfile::IsValidUtf8(wholeFile);
}

QString DecodeText(QByteArrayView piece, bool utf8)
{
    if (!utf8)
        return designfile::FromWindows1252(piece);
    if (piece.startsWith("\xEF\xBB\xBF"))
        piece = piece.sliced(3);
    return QString::fromUtf8(piece);
}

QString DecodeText(QByteArrayView bytes)
{
    return DecodeText(bytes, IsUtf8Text(bytes));
}

namespace {

bool startsWithBytes(QByteArrayView v, const char *bytes, qsizetype n)
{
    return v.size() >= n && v.first(n) == QByteArrayView(bytes, n);
}

} // namespace

std::optional<QByteArray> Utf16AsUtf8(QByteArrayView bytes)
{
    if (!UnreadEncoding(bytes).isEmpty())
        return std::nullopt;
    const bool little = startsWithBytes(bytes, "\xFF\xFE", 2);
    if (!little && !startsWithBytes(bytes, "\xFE\xFF", 2))
        return std::nullopt;
    QString text(bytes.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto a = quint8(bytes[2 * i]), b = quint8(bytes[2 * i + 1]);
        text[i] = QChar(little ? char16_t(a | b << 8) : char16_t(a << 8 | b));
    }
    return text.toUtf8(); // unpaired surrogates become U+FFFD here
}

QString UnreadEncoding(QByteArrayView bytes)
{
    if (startsWithBytes(bytes, "\xFF\xFE\0\0", 4) || startsWithBytes(bytes, "\0\0\xFE\xFF", 4))
        return QStringLiteral("UTF-32");
    if (startsWithBytes(bytes, "\xFF\xFE", 2) || startsWithBytes(bytes, "\xFE\xFF", 2))
        return {};
    // Without a mark, UTF-16 shows as a NUL in every other byte of the first line.
    const qsizetype n = std::min<qsizetype>(bytes.size(), 64) & ~qsizetype(1);
    qsizetype even = 0, odd = 0;
    for (qsizetype i = 0; i < n; i += 2) {
        even += bytes[i] == '\0';
        odd += bytes[i + 1] == '\0';
    }
    if (n >= 4 && (even == 0) != (odd == 0) && std::max(even, odd) * 2 >= n / 2)
        return QStringLiteral("UTF-16 without a byte-order mark");
    return {};
}

QString CleanField(QStringView text)
{
    QString out;
    out.reserve(std::min(text.size(), MaxFieldLength + 1));
    qsizetype i = 0;
    // Leading blanks are never kept, so they are not copied at all.
    // What goes at both ends: controls (which become blanks inside) and every kind of space.
    const auto isBlankLike = [](char16_t c) {
        return c < 0x20 || (c >= 0x7F && c <= 0x9F) || QChar::isSpace(c);
    };
    while (i < text.size() && isBlankLike(text[i].unicode()))
        ++i;
    // Only what can survive the cut is looked at: a 100 KB title costs no more than a short one.
    for (; i < text.size() && out.size() <= MaxFieldLength; ++i) {
        const QChar c = text[i];
        const char16_t u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
        } else if (c.isSurrogate()) {
            out += QChar(QChar::ReplacementCharacter);
        } else if (u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029) {
            out += u' ';
        } else {
            out += c;
        }
    }
    // Cut when something other than blanks was left over.
    bool cut = false;
    for (qsizetype k = i; k < text.size() && !cut; ++k)
        cut = !isBlankLike(text[k].unicode());
    while (!out.isEmpty() && out.back().isSpace())
        out.chop(1);
    if (cut || out.size() > MaxFieldLength) {
        qsizetype keep = std::min(out.size(), MaxFieldLength - 1);
        if (keep > 0 && out[keep - 1].isHighSurrogate())
            --keep;
        out.truncate(keep);
        while (!out.isEmpty() && out.back().isSpace())
            out.chop(1);
        out += QChar(0x2026);
    }
    return out;
}

QByteArrayView TrimBlanks(QByteArrayView v)
{
    while (!v.isEmpty() && (v.front() == ' ' || v.front() == '\t'))
        v = v.sliced(1);
    while (!v.isEmpty() && (v.back() == ' ' || v.back() == '\t'))
        v.chop(1);
    return v;
}

QList<QByteArrayView> SplitLines(QByteArrayView bytes, qsizetype maxLines, qsizetype maxLineBytes, bool *more)
{
    QList<QByteArrayView> lines;
    if (more)
        *more = false;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    while (start < n) {
        if (lines.size() >= maxLines) {
            if (more)
                *more = true;
            break;
        }
        qsizetype end = start;
        while (end < n && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        lines.append(bytes.sliced(start, std::min(end - start, maxLineBytes)));
        if (end < n && bytes[end] == '\r' && end + 1 < n && bytes[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return lines;
}

QString JoinPath(const QString &folder, const QString &path)
{
    if (path.startsWith(u'/'))
        return QDir::cleanPath(path);
    return QDir::cleanPath(folder + u'/' + path);
}

QString FolderOf(const QString &path)
{
    const QString absolute = names::Absolute(path);
    const qsizetype slash = absolute.lastIndexOf(u'/');
    return slash > 0 ? absolute.left(slash) : QStringLiteral("/");
}

QString BaseName(const QString &path)
{
    const QString name = path.mid(path.lastIndexOf(u'/') + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? name.left(dot) : name;
}

bool PathExists(const QString &path)
{
    struct stat st {};
    return ::stat(names::Encode(path).constData(), &st) == 0;
}

QString MissingReason(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR: return QStringLiteral("file not found");
    case ELOOP: return QStringLiteral("a loop of symbolic links");
    default: return QString::fromLocal8Bit(std::strerror(error));
    }
}

bool ReadSmallFile(const QString &path, qsizetype maxBytes, QByteArray *bytes, QString *reason)
{
    const QByteArray name = names::Encode(path);
    // Look before opening: opening some devices already does something.
    struct stat before {};
    if (::stat(name.constData(), &before) == 0 && !S_ISREG(before.st_mode)) {
        *reason = S_ISDIR(before.st_mode) ? QStringLiteral("it is a folder")
                                          : QStringLiteral("not a regular file (a device or a FIFO)");
        return false;
    }
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        *reason = errno == ENOENT || errno == ELOOP
                      ? MissingReason(errno)
                      : QStringLiteral("cannot open it: %1").arg(MissingReason(errno));
        return false;
    }
    inputs::Note(path, fd);
    struct stat st {};
    bool ok = false;
    if (::fstat(fd, &st) != 0) {
        *reason = QStringLiteral("cannot read it: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
    } else if (!S_ISREG(st.st_mode)) {
        *reason = S_ISDIR(st.st_mode) ? QStringLiteral("it is a folder")
                                      : QStringLiteral("not a regular file (a device or a FIFO)");
    } else if (st.st_size > maxBytes) {
        *reason = QStringLiteral("too large (over %1 KiB)").arg(maxBytes / 1024);
    } else {
        bytes->resize(qsizetype(st.st_size));
        qsizetype got = 0;
        ok = true;
        while (got < bytes->size()) {
            const ssize_t r = ::read(fd, bytes->data() + got, size_t(bytes->size() - got));
            if (r < 0 && errno == EINTR)
                continue;
            if (r < 0) {
                *reason =
                    QStringLiteral("cannot read it: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
                ok = false;
                break;
            }
            if (r == 0)
                break; // shrank while we read: keep what there is
            got += r;
        }
        bytes->truncate(got);
    }
    ::close(fd);
    return ok;
}

} // namespace tracklist
