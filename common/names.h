#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

class QUrl;

// File names are bytes. Qt's own conversions (QFile::decodeName and encodeName,
// QCoreApplication::arguments(), QFileInfo) turn every byte that is not UTF-8 into U+FFFD, and
// QDir skips such names: a file named "song\xFF.mp3" could be neither listed nor opened. Here
// each such byte becomes one lone surrogate U+DC80 + byte, which no well-formed UTF-8 decodes
// to, so that the text turns back into the very same bytes. Open, stat and list with the bytes
// (POSIX calls), not with QFile, QFileInfo or QDir.
namespace names {

QString Decode(QByteArrayView bytes);
QByteArray Encode(QStringView text);

// The command line as text that encodes back to its bytes; for QCommandLineParser.
QStringList Arguments(int argc, const char *const *argv);

// The local file a file: URL names (a drop, a playlist entry), its percent-encoded bytes kept
// (QUrl::toLocalFile turns those that are not UTF-8 into U+FFFD); "" for other URLs.
QString FromUrl(const QUrl &url);

// The path made absolute against the working folder and cleaned as QFileInfo would, its bytes
// kept.
QString Absolute(const QString &path);

// One plain line for a person (a list, a terminal): bytes that are not UTF-8, control
// characters (the terminal's escape sequences among them), line and paragraph separators and
// the bidirectional controls that reorder a line ("evil" shown as "live") are shown as the
// escapes of their bytes (\xE2\x80\xAE), \n, \r and \t.
QString ReadableName(const char *bytes, qsizetype size);
inline QString ReadableName(QByteArrayView bytes)
{
    return ReadableName(bytes.data(), bytes.size());
}
// The same for text: a path or entry from Decode, or a tag.
QString Readable(QStringView text);

} // namespace names
