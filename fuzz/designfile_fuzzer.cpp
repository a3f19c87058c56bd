// libFuzzer target for the design file reader: the bytes of an untrusted design file
// go through Decode, the incremental line reader and every typed reading, and the decoded texts
// through Encode and back. Any broken promise aborts, so the fuzzer reports it as a crash.
// Built by fuzz/build.sh with clang; the normal build links it to a replay driver instead
// (tests/designfile.cmake) that runs the corpus as a ctest test.

#include "designfile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#define FUZZ_CHECK(cond)                                                                                     \
    do {                                                                                                     \
        if (!(cond)) {                                                                                       \
            std::fprintf(stderr, "designfile fuzz check failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__);   \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)

namespace {

using namespace designfile;

// What Encode promises to give back: line breaks become blanks, and a leading U+FEFF of record
// 1 is the byte-order mark of a UTF-8 file.
QStringList expectedTexts(const QStringList &texts)
{
    QStringList out = texts;
    for (QString &t : out) {
        t.replace(u'\r', u' ');
        t.replace(u'\n', u' ');
    }
    if (!out.isEmpty() && out[0].startsWith(QChar(0xFEFF)))
        out[0].remove(0, 1);
    return out;
}

bool linesFit(const QByteArray &encoded)
{
    qsizetype start = 0;
    while (start < encoded.size()) {
        const qsizetype lf = encoded.indexOf('\n', start);
        if (lf < 0 || lf - 1 - start > MaxLineBytes)
            return false;
        start = lf + 1;
    }
    return true;
}

// Settings lines written after the records read back as written (line breaks blanked), those
// that are settings at all, unless one is past the reader's cut; the records are untouched.
void checkSettings(const QStringList &texts, const QStringList &settings)
{
    const QByteArray encoded = Encode(texts, settings);
    FUZZ_CHECK(encoded.startsWith(Encode(texts)));
    const Records back = Decode(encoded);
    const Records alone = Decode(Encode(texts));
    for (int i = 0; i < RecordCount; ++i)
        FUZZ_CHECK(back[i] == alone[i]);
    QStringList expected;
    for (qsizetype i = 0; i < settings.size() && i < MaxSettingLines; ++i) {
        QString t = settings[i];
        t.replace(u'\r', u' ');
        t.replace(u'\n', u' ');
        if (t.toUtf8().size() > MaxSettingBytes)
            return;
        if (IsSettingLine(t))
            expected << t;
    }
    FUZZ_CHECK(back.settings == expected);
}

void checkEncoded(const QStringList &texts)
{
    const QByteArray encoded = Encode(texts);
    FUZZ_CHECK(encoded.count('\n') == RecordCount);
    FUZZ_CHECK(encoded.count("\r\n") == RecordCount);
    FUZZ_CHECK(encoded.endsWith("\r\n"));
    if (!linesFit(encoded))
        return; // a text over 64 KiB is cut on reading, by design
    const QStringList expected = expectedTexts(texts);
    const Records back = Decode(encoded);
    for (int i = 0; i < RecordCount; ++i) {
        FUZZ_CHECK(back[i].has_value());
        FUZZ_CHECK(*back[i] == (i < expected.size() ? expected[i] : QString()));
    }
}

void checkTyped(const Records &r)
{
    for (int n = -1; n <= RecordCount + 1; ++n) {
        const QString text = Text(r, n);
        const double number = Number(r, n);
        const qint16 i16 = Int16(r, n);
        const qint16 n16 = NumberInt16(r, n);
        const qint32 i32 = Int32(r, n);
        const float real = Real(r, n);
        const bool flag = Bool(r, n);
        FUZZ_CHECK(std::isfinite(number));
        FUZZ_CHECK(std::isfinite(real));
        const bool present = n >= 1 && n <= RecordCount && r[n - 1].has_value();
        if (!present) {
            FUZZ_CHECK(text.isEmpty() && number == 0 && i16 == 0 && n16 == 0 && i32 == 0 && real == 0 &&
                       !flag);
        } else {
            FUZZ_CHECK(text == *r[n - 1]);
        }
    }
}

} // namespace

namespace {

// Everything that must hold for the records read from any bytes. pieces: where to split the
// bytes when feeding them in pieces, as Read does (sorted, within the bytes). typed: also run
// every typed reading (slow on 64 KiB records under the sanitizers, and not about the cut).
Records checkDecoded(const QByteArray &bytes, const std::vector<qsizetype> &pieces, bool typed)
{
    Records r = Decode(bytes);

    // Present records come first; a record is never longer than the kept bytes allow.
    int present = 0;
    while (present < RecordCount && r[present])
        ++present;
    for (int i = present; i < RecordCount; ++i)
        FUZZ_CHECK(!r[i]);
    for (int i = 0; i < present; ++i)
        FUZZ_CHECK(r[i]->size() <= MaxLineBytes);
    FUZZ_CHECK(bytes.isEmpty() == (present == 0));
    // Settings come only after all 75 records, bounded in number and length, each a setting.
    FUZZ_CHECK(r.settings.isEmpty() || present == RecordCount);
    FUZZ_CHECK(r.settings.size() <= MaxSettingLines);
    for (const QString &s : r.settings)
        FUZZ_CHECK(IsSettingLine(s) && s.size() <= MaxSettingBytes);

    if (typed)
        checkTyped(r);

    // The same bytes fed in pieces give the same records.
    detail::LineReader reader;
    qsizetype pos = 0;
    for (qsizetype end : pieces) {
        if (reader.done())
            break;
        reader.feed(bytes.constData() + pos, end - pos);
        pos = end;
    }
    if (!reader.done())
        reader.feed(bytes.constData() + pos, bytes.size() - pos);
    FUZZ_CHECK(reader.finish() == r);
    return r;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));

    // The bytes as they are, fed again in pieces of 1 to 17 bytes.
    std::vector<qsizetype> pieces;
    const qsizetype piece = size > 0 ? qsizetype(data[0] % 17) + 1 : 1;
    for (qsizetype end = piece; end < bytes.size(); end += piece)
        pieces.push_back(end);
    const Records r = checkDecoded(bytes, pieces, true);

    // Decoded texts survive a write and a read.
    QStringList texts;
    for (const auto &rec : r)
        texts << rec.value_or(QString());
    checkEncoded(texts);
    checkSettings(texts, r.settings);

    // The same bytes as UTF-16 texts (as a user might type them), split at U+000B into
    // records, written and read back; Encode must keep every well-formed text.
    QString utf16(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(utf16.data(), data, size_t(utf16.size()) * sizeof(QChar));
    if (utf16.isValidUtf16()) {
        const QStringList split = utf16.split(QChar(0x000B));
        checkEncoded(split.mid(0, RecordCount));
        // What lies past the 75th as settings lines.
        if (split.size() > RecordCount)
            checkSettings(split.mid(0, RecordCount), split.mid(RecordCount));
    }

    // Inputs stay short, so the 64 KiB cut is reached by stretching: a run of one byte, long
    // enough to end within 16 bytes either side of the cut, is put into the bytes, which are
    // then fed in three pieces split at two chosen places. Only for one input in sixteen: a
    // 64 KiB decode is slow under the sanitizers, and the choice is still the input's own.
    if (size >= 6 && data[0] % 16 == 0) {
        const qsizetype runLength = MaxLineBytes - 8 + data[1] % 17;
        const qsizetype at = qsizetype(data[2]) % (bytes.size() + 1);
        const QByteArray stretched = bytes.left(at) + QByteArray(runLength, char(data[3])) + bytes.mid(at);
        const qsizetype total = stretched.size();
        // Split places near the cut are the interesting ones.
        const qsizetype near = std::min<qsizetype>(total, at + MaxLineBytes - 32);
        std::vector<qsizetype> splits{std::min(total, near + data[4] % 64),
                                      std::min(total, near + 32 + data[5] % 64)};
        std::sort(splits.begin(), splits.end());
        checkDecoded(stretched, splits, false);
    }
    return 0;
}
