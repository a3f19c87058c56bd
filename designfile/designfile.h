#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <functional>
#include <optional>

#include "safewrite.h"

// The design file: 75 text records, CR LF after each, no header; then, in files that need them,
// settings as "key=value" lines, which a reader of the 75 records alone never sees. A pure reader and
// writer (no widgets): the Save and Open commands turn element properties into the 75 texts and
// back; this file only knows records, bytes and the value forms of common/textnumber.h.
namespace designfile {

constexpr int RecordCount = 75;
constexpr qsizetype MaxLineBytes = 64 * 1024;
// The reader never looks at more than this many bytes of a file (75 lines of the longest kept
// length with their CR LF). Past it the file reads as if it ended there, so a huge file, or one
// whose over-long line goes on for gigabytes, opens in bounded time as well as bounded memory.
constexpr qsizetype MaxScanBytes = RecordCount * (MaxLineBytes + 2);

// Settings after the records: at most this many lines are looked at, each cut to this many bytes,
// so that whatever follows the records costs a bounded read.
constexpr int MaxSettingLines = 128;
constexpr qsizetype MaxSettingBytes = 1024;
constexpr qsizetype MaxSettingsScan = MaxSettingLines * (MaxSettingBytes + 2);

// One record as read: nullopt when the file ended before it (an "empty" record).
struct Records : std::array<std::optional<QString>, RecordCount> {
    // The "key=value" lines that followed the 75 records, in file order. A line whose key is
    // not a lowercase name ([a-z][a-z0-9._-]*, up to 32) is not a setting and is left out.
    QStringList settings;
    bool operator==(const Records &) const = default;
};

// Whether a line is a setting line ("key=value" with a key as above).
bool IsSettingLine(QStringView line);

// Encodes 75 texts (record 1 at index 0) as the file's bytes: CR LF after each, Windows-1252
// when every character fits, otherwise UTF-8 (no byte-order mark).
// Always exactly 75 lines: missing texts are written as empty lines, texts past the 75th are
// dropped. A CR or LF inside a text is written as a blank, since it would split the record and
// shift every later one. Windows-1252 is also given up for UTF-8 in the one case where its bytes
// would happen to read back as valid UTF-8 (e.g. "Ã©"), so that Decode(Encode(t)) == t for
// texts of up to 64 KiB (a U+FEFF opening record 1 excepted: it reads as a byte-order mark).
// The settings lines follow, each in UTF-8 whatever the records' encoding (a reader of them
// decides per line), CR and LF inside made blanks, past MaxSettingLines dropped. They take no
// part in the records' encoding. With no settings the bytes are exactly those of the 75 records.
QByteArray Encode(const QStringList &records, const QStringList &settings = {});

// Decodes at most 75 lines from bytes (bounded as above; CR LF or a lone LF ends a line; a final
// line without terminator counts, and a lone CR at the very end is taken as a cut-off CR LF).
// A line longer than MaxLineBytes is cut there (moved back to the start of a UTF-8 sequence that
// the cut would split) and the rest of it skipped. The kept bytes decide the encoding: valid
// UTF-8 reads as UTF-8 (a leading byte-order mark dropped), anything else as Windows-1252.
Records Decode(const QByteArray &bytes);

// How Write treats a link at the path, and the files it must not overwrite (safewrite.h).
using WriteOptions = safewrite::Options;

// Writes the 75 records through the one safe writer (safewrite.h): temporary "NAME.XXXXXX" beside
// the file, synced, then renamed over it; links, special files and modes as that writer treats
// them. On failure returns false, sets *error, old file untouched. Refuses a list that is not
// exactly 75 texts.
// After a save, complete temporaries of the same file that a killed save left behind (older than
// a minute, this user's, not held by a writer) are removed.
bool Write(const QString &path, const QStringList &records, QString *error = nullptr,
           const WriteOptions &options = {});
// The same with settings lines after the records (Encode).
bool Write(const QString &path, const QStringList &records, const QStringList &settings,
           QString *error = nullptr, const WriteOptions &options = {});

// Reads at most 75 lines from the file and the settings after them (bounded as above), reading only what is
// needed (never the whole of a huge file; a line over 64 KiB is cut there and the rest of that line skipped
// without storing it). Returns nullopt (and *error) when the file cannot be opened or is not a regular file
// (a FIFO, a device or a folder must not hang or be read). A read failure after a successful open stops the
// reading; the records not read stay empty.
std::optional<Records> Read(const QString &path, QString *error = nullptr);

// Typed reading of one record, empty or unconvertible giving the empty value ("" / 0 / false).
// A number outside 1..75 reads as an empty record.
// clang-format off
QString Text(const Records &r, int number);          // number is 1-based, 1..75
double  Number(const Records &r, int number);        // TextNumber (an overflow to infinity gives 0)
qint16  Int16(const Records &r, int number);         // whole-text Int16
qint16  NumberInt16(const Records &r, int number);   // TextNumber then rounded to Int16 (0 on overflow)
qint32  Int32(const Records &r, int number);
float   Real(const Records &r, int number);
bool    Bool(const Records &r, int number);
// clang-format on

// The character set pieces, public so that tests and the fuzz target can reach them.
// Windows-1252 with the five undefined bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D) taken as the
// same-numbered C1 controls, so every byte has a character and back.
QString FromWindows1252(QByteArrayView bytes);
// nullopt when some character has no Windows-1252 byte.
std::optional<QByteArray> ToWindows1252(QStringView text);
// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF, no cut-off sequence.
bool IsValidUtf8(QByteArrayView bytes);

namespace detail {

// The incremental line splitter behind both Decode and Read: bytes go in by pieces of any size,
// raw lines (without their terminator, cut to MaxLineBytes) come out. Whatever the pieces, the
// lines are those of the concatenated bytes.
class LineReader
{
public:
    // Takes the next piece; returns the number of bytes consumed. Consumes less than size only
    // when it needs no more input (75 lines complete or MaxScanBytes reached).
    qsizetype feed(const char *data, qsizetype size);
    // True when no further input can change the result.
    bool done() const;
    // Ends the input: a final line without terminator counts. Then decodes the lines.
    Records finish();

private:
    void emitLine(QByteArray line);

    bool inSettings() const { return m_count >= RecordCount; }

    std::array<QByteArray, RecordCount> m_lines;
    QList<QByteArray> m_settings;
    int m_count = 0; // lines seen, records and settings lines
    qsizetype m_settingsScanned = 0;
    QByteArray m_current;    // the line being read, at most its limit + 1 bytes (a CR)
    bool m_skipping = false; // the current line was cut and emitted; skip to its LF
    bool m_finished = false;
    qsizetype m_scanned = 0;
};

} // namespace detail

} // namespace designfile
