#pragma once

#include <QByteArray>
#include <QString>

#include "names.h"

// Names in the file system are bytes; a person reads them as text. Bytes that
// are not UTF-8, and characters that would break or disguise a line, are shown
// as escapes, so that every name reads as one plain line and two different
// names never read the same. The designer shows names the same way.
namespace fsl {

// Readable text for a name or a path in bytes.
using names::ReadableName;
inline QString ReadablePath(const QByteArray &path)
{
    return names::ReadableName(path);
}

} // namespace fsl
