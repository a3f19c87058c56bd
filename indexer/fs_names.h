#pragma once

#include <QByteArray>
#include <QString>

// Names in the file system are bytes; a person reads them as text. Bytes that
// are not UTF-8, and characters that would break or disguise a line, are shown
// as escapes, so that every name reads as one plain line and two different
// names never read the same.
namespace fsl {

// Readable text for a name or a path in bytes.
QString ReadableName(const char *bytes, qsizetype size);
inline QString ReadableName(const QByteArray &b)
{
    return ReadableName(b.constData(), b.size());
}
QString ReadablePath(const QByteArray &path);

} // namespace fsl
