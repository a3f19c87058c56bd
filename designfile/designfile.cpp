#include "designfile.h"

#include "inputs.h"
#include "names.h"
#include "textnumber.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace designfile {
namespace {

// Windows-1252 bytes 0x80..0x9F. The five bytes the code page leaves undefined keep the
// same-numbered C1 control, so decoding never loses a byte and encoding gives it back.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98..9F
};

constexpr QByteArrayView Utf8Bom("\xEF\xBB\xBF", 3);

bool isContinuation(uchar c)
{
    return (c & 0xC0) == 0x80;
}

// Length of the UTF-8 sequence a lead byte starts (0 for a byte that starts none).
int sequenceLength(uchar c)
{
    if (c >= 0xC0 && c <= 0xDF)
        return 2;
    if (c >= 0xE0 && c <= 0xEF)
        return 3;
    if (c >= 0xF0 && c <= 0xF7)
        return 4;
    return 0;
}

// Cuts an over-long line to `limit` bytes. When the cut would split a UTF-8 sequence it moves
// back to the sequence's start, so that one long line of a UTF-8 file does not turn the whole
// file into Windows-1252 (the encoding is judged on the kept bytes).
QByteArray cutLine(QByteArray line, qsizetype limit)
{
    qsizetype n = limit;
    for (qsizetype k = n - 1; k >= 0 && k >= n - 4; --k) {
        const auto c = static_cast<uchar>(line.at(k));
        if (isContinuation(c))
            continue;
        const int length = sequenceLength(c);
        if (length > 0 && k + length > n)
            n = k;
        break;
    }
    line.truncate(n);
    return line;
}

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

const std::optional<QString> *record(const Records &r, int number)
{
    if (number < 1 || number > RecordCount || !r[number - 1])
        return nullptr;
    return &r[number - 1];
}

// The text that Encode writes for a record: line breaks would split it, so they become blanks.
QString lineText(const QString &text)
{
    if (!text.contains(u'\r') && !text.contains(u'\n'))
        return text;
    QString t = text;
    t.replace(u'\r', u' ');
    t.replace(u'\n', u' ');
    return t;
}

} // namespace

QString FromWindows1252(QByteArrayView bytes)
{
    // Latin-1 is right for every byte but 0x80..0x9F; Qt's conversion of it is vectorised.
    QString out = QString::fromLatin1(bytes);
    const auto *s = reinterpret_cast<const uchar *>(bytes.data());
    char16_t *d = reinterpret_cast<char16_t *>(out.data());
    for (qsizetype i = 0, n = bytes.size(); i < n; ++i)
        if (s[i] >= 0x80 && s[i] <= 0x9F)
            d[i] = Cp1252High[s[i] - 0x80];
    return out;
}

std::optional<QByteArray> ToWindows1252(QStringView text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        int byte = -1;
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            byte = u;
        } else {
            for (int k = 0; k < 32; ++k) {
                if (Cp1252High[k] == u) {
                    byte = 0x80 + k;
                    break;
                }
            }
        }
        if (byte < 0)
            return std::nullopt;
        out[i] = static_cast<char>(byte);
    }
    return out;
}

bool IsValidUtf8(QByteArrayView bytes)
{
    return bytes.isValidUtf8();
}

bool IsSettingLine(QStringView line)
{
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 1 || eq > 32 || line[0] < u'a' || line[0] > u'z')
        return false;
    for (qsizetype i = 1; i < eq; ++i) {
        const char16_t c = line[i].unicode();
        if (!((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'.' || c == u'_' || c == u'-'))
            return false;
    }
    return true;
}

namespace {

QByteArray encodeRecords(const QStringList &records)
{
    std::array<QString, RecordCount> texts;
    for (int i = 0; i < RecordCount && i < records.size(); ++i)
        texts[i] = lineText(records.at(i));

    QByteArray out;
    qsizetype size = 2 * RecordCount;
    for (const QString &t : texts)
        size += t.size();
    out.reserve(size);

    bool fits = true;
    for (const QString &t : texts) {
        const auto bytes = ToWindows1252(t);
        if (!bytes) {
            fits = false;
            break;
        }
        out += *bytes;
        out += "\r\n";
    }
    if (fits) {
        const bool ascii =
            std::all_of(out.cbegin(), out.cend(), [](char c) { return static_cast<uchar>(c) < 0x80; });
        // Windows-1252 bytes that happen to be valid UTF-8 would read back as UTF-8.
        if (ascii || !IsValidUtf8(out))
            return out;
    }

    out.clear();
    for (const QString &t : texts) {
        out += t.toUtf8();
        out += "\r\n";
    }
    return out;
}

} // namespace

QByteArray Encode(const QStringList &records, const QStringList &settings)
{
    QByteArray out = encodeRecords(records);
    for (qsizetype i = 0; i < settings.size() && i < MaxSettingLines; ++i) {
        out += lineText(settings.at(i)).toUtf8();
        out += "\r\n";
    }
    return out;
}

namespace detail {

bool LineReader::done() const
{
    if (m_finished)
        return true;
    if (!inSettings())
        return m_scanned >= MaxScanBytes;
    return m_count == RecordCount + MaxSettingLines || m_settingsScanned >= MaxSettingsScan;
}

void LineReader::emitLine(QByteArray line)
{
    if (!inSettings()) {
        if (line.size() > MaxLineBytes)
            line = cutLine(std::move(line), MaxLineBytes);
        m_lines[m_count++] = std::move(line);
        return;
    }
    if (line.size() > MaxSettingBytes)
        line = cutLine(std::move(line), MaxSettingBytes);
    m_settings.append(std::move(line));
    ++m_count;
}

qsizetype LineReader::feed(const char *data, qsizetype size)
{
    qsizetype pos = 0;
    while (pos < size && !done()) {
        // The records and the settings after them each have a scan budget of their own.
        const bool settings = inSettings();
        const qsizetype budget = settings ? MaxSettingsScan - m_settingsScanned : MaxScanBytes - m_scanned;
        const qsizetype limit = settings ? MaxSettingBytes : MaxLineBytes;
        const qsizetype avail = std::min(size - pos, budget);
        const char *start = data + pos;
        const auto *lf = static_cast<const char *>(std::memchr(start, '\n', size_t(avail)));
        const qsizetype segment = lf ? lf - start : avail;

        if (!m_skipping) {
            // Keep one byte over the limit: a CR there may still turn out to be the terminator.
            const qsizetype room = limit + 1 - m_current.size();
            if (segment <= room) {
                m_current.append(start, segment);
            } else {
                m_current.append(start, room);
                emitLine(std::exchange(m_current, QByteArray()));
                m_skipping = true;
            }
        }
        const qsizetype used = lf ? segment + 1 : segment;
        pos += used;
        (settings ? m_settingsScanned : m_scanned) += used;

        if (lf) {
            if (m_skipping) {
                m_skipping = false;
            } else {
                if (m_current.endsWith('\r'))
                    m_current.chop(1);
                emitLine(std::exchange(m_current, QByteArray()));
            }
        }
    }
    return pos;
}

Records LineReader::finish()
{
    if (!m_finished) {
        m_finished = true;
        if (!m_current.isEmpty() && m_count < RecordCount + MaxSettingLines) {
            // A lone CR at the very end is a CR LF cut short.
            if (m_current.endsWith('\r'))
                m_current.chop(1);
            emitLine(std::exchange(m_current, QByteArray()));
        }
        m_current = QByteArray();
    }

    const int recordCount = std::min(m_count, RecordCount);
    bool utf8 = true;
    for (int i = 0; i < recordCount && utf8; ++i)
        utf8 = IsValidUtf8(m_lines[i]);

    // QString::fromUtf8 would drop a U+FEFF at the start of every record; only the file's
    // own byte-order mark (at the start of record 1) is dropped, the rest is text.
    QStringDecoder utf8Decoder(QStringDecoder::Utf8,
                               QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    Records records;
    for (int i = 0; i < recordCount; ++i) {
        QByteArrayView line = m_lines[i];
        if (utf8) {
            if (i == 0 && line.startsWith(Utf8Bom))
                line = line.sliced(Utf8Bom.size());
            records[i] = utf8Decoder.decode(line);
        } else {
            records[i] = FromWindows1252(line);
        }
    }
    // Settings are written in UTF-8; a line that is not is taken as Windows-1252.
    for (const QByteArray &line : std::as_const(m_settings)) {
        const QString text = IsValidUtf8(line) ? QString::fromUtf8(line) : FromWindows1252(line);
        if (IsSettingLine(text))
            records.settings << text;
    }
    return records;
}

} // namespace detail

Records Decode(const QByteArray &bytes)
{
    detail::LineReader reader;
    reader.feed(bytes.constData(), bytes.size());
    return reader.finish();
}

bool Write(const QString &path, const QStringList &records, QString *error, const WriteOptions &options)
{
    return Write(path, records, {}, error, options);
}

bool Write(const QString &path, const QStringList &records, const QStringList &settings, QString *error,
           const WriteOptions &options)
{
    if (records.size() != RecordCount) {
        setError(
            error,
            QStringLiteral("A design file holds %1 records, not %2.").arg(RecordCount).arg(records.size()));
        return false;
    }
    return safewrite::WriteBytes(path, Encode(records, settings), error, options);
}

std::optional<Records> Read(const QString &path, QString *error)
{
    constexpr qsizetype Chunk = 64 * 1024;
    if (path.isEmpty() || path.contains(QChar(u'\0'))) {
        setError(error, QStringLiteral("Invalid file name."));
        return std::nullopt;
    }
    detail::LineReader reader;

#ifdef Q_OS_UNIX
    // Opened non-blocking so that a FIFO without a writer does not hang the open; the type is
    // checked on the open descriptor, so nothing can swap the file in between.
    const QByteArray native = names::Encode(path);
    int fd;
    do {
        fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        setError(error, QStringLiteral("Cannot open %1: %2").arg(path, qt_error_string(errno)));
        return std::nullopt;
    }
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const bool dir = S_ISDIR(st.st_mode);
        ::close(fd);
        setError(error, dir ? QStringLiteral("%1 is a folder.").arg(path)
                            : QStringLiteral("%1 is not a regular file.").arg(path));
        return std::nullopt;
    }
    inputs::Note(path, fd, inputs::Kind::Design);
    // One read takes a whole design file (and the 0 that follows tells its end); files that
    // report no size (under /proc) still read in whole pages.
    const qsizetype bufferSize = std::clamp<qsizetype>(qsizetype(st.st_size) + 1, 4096, Chunk);
    const auto buffer = std::make_unique<char[]>(size_t(bufferSize));
    while (!reader.done()) {
        const ssize_t n = ::read(fd, buffer.get(), size_t(bufferSize));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break; // end of file, or a read failure: the unread records stay empty
        reader.feed(buffer.get(), n);
    }
    ::close(fd);
#else
    const QFileInfo info(path);
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        setError(error, info.isDir() ? QStringLiteral("%1 is a folder.").arg(path)
                                     : QStringLiteral("Cannot open %1.").arg(path));
        return std::nullopt;
    }
    const auto buffer = std::make_unique<char[]>(size_t(Chunk));
    while (!reader.done()) {
        const qint64 n = file.read(buffer.get(), Chunk);
        if (n <= 0)
            break;
        reader.feed(buffer.get(), qsizetype(n));
    }
#endif
    return reader.finish();
}

QString Text(const Records &r, int number)
{
    const auto *v = record(r, number);
    return v ? **v : QString();
}

double Number(const Records &r, int number)
{
    const auto *v = record(r, number);
    if (!v)
        return 0;
    const double value = textnum::TextNumber(**v);
    return std::isfinite(value) ? value : 0;
}

qint16 Int16(const Records &r, int number)
{
    const auto *v = record(r, number);
    return v ? textnum::ToInt16(**v).value_or(0) : 0;
}

qint16 NumberInt16(const Records &r, int number)
{
    const auto *v = record(r, number);
    return v ? textnum::RoundInt16(textnum::TextNumber(**v)).value_or(0) : 0;
}

qint32 Int32(const Records &r, int number)
{
    const auto *v = record(r, number);
    return v ? textnum::ToInt32(**v).value_or(0) : 0;
}

float Real(const Records &r, int number)
{
    const auto *v = record(r, number);
    return v ? textnum::ToReal(**v).value_or(0.0f) : 0.0f;
}

bool Bool(const Records &r, int number)
{
    const auto *v = record(r, number);
    return v ? textnum::ToBool(**v).value_or(false) : false;
}

} // namespace designfile
