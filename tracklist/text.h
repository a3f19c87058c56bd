#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// Every reader here notes the files it opens (inputs::Note): no output may replace them.
#include "inputs.h"

namespace tracklist {

// The longest text kept for a title, an artist or an album: a cover line has room for far less,
// and a tag of 100 KB must not reach the cover whole. Longer texts end in "…" at this length.
constexpr qsizetype MaxFieldLength = 200;

// Bytes of a text file or tag as the design files decode them: valid UTF-8 (a byte-order mark
// dropped) reads as UTF-8, anything else as Windows-1252, so every byte gives a character.
QString DecodeText(QByteArrayView bytes);
// The same rule decided once for a whole file and applied to its pieces.
bool IsUtf8Text(QByteArrayView wholeFile);
QString DecodeText(QByteArrayView piece, bool utf8);

// A text file saved as UTF-16 with a byte-order mark, as UTF-8 bytes (the mark kept, as UTF-8);
// nothing for any other text.
std::optional<QByteArray> Utf16AsUtf8(QByteArrayView bytes);
// The encoding of a text that is not read, named for the user ("UTF-32", "UTF-16 without a
// byte-order mark"); empty for text that is read.
QString UnreadEncoding(QByteArrayView bytes);

// A field fit for one line of the cover: control characters (NUL, tabs, line breaks, C1
// controls) and line or paragraph separators become blanks, unpaired surrogates become U+FFFD,
// blanks at both ends go, and the text is cut to MaxFieldLength. Markup stays as text.
QString CleanField(QStringView text);

// Bytes without the blanks and tabs at both ends.
QByteArrayView TrimBlanks(QByteArrayView v);

// Splits bytes into lines at LF, CR LF or a lone CR. At most maxLines lines are returned, each
// cut to maxLineBytes (the rest of a longer line skipped); *more is set when lines were left.
QList<QByteArrayView> SplitLines(QByteArrayView bytes, qsizetype maxLines, qsizetype maxLineBytes,
                                 bool *more = nullptr);

// A path taken from a list, joined to the list's folder unless it is absolute. Plain POSIX
// rules: a leading ':' names no Qt resource here.
QString JoinPath(const QString &folder, const QString &path);
// The absolute folder a file is in (a relative path taken from the current folder).
QString FolderOf(const QString &path);
// The file name without its last extension ("01. Song.v2" of "/a/01. Song.v2.flac").
QString BaseName(const QString &path);
// True when something exists at the path (stat, which opens nothing).
bool PathExists(const QString &path);
// Why a path could not be looked at, from the errno of stat or open: "file not found" only when
// nothing is there.
QString MissingReason(int error);

// Reads a whole small file: only a regular file, opened without blocking (a FIFO or device is
// refused before anything waits on it), at most maxBytes. On failure returns false and a
// reason fit for the user.
bool ReadSmallFile(const QString &path, qsizetype maxBytes, QByteArray *bytes, QString *reason);

} // namespace tracklist
