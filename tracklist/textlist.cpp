#include "textlist.h"

#include "text.h"

namespace tracklist {

ReadResult ParseTextList(QByteArrayView bytes, const QString &sourcePath)
{
    ReadResult result;
    const bool utf8 = IsUtf8Text(bytes);
    bool more = false;
    // A line longer than a title can be is cut anyway; reading more of it serves nothing.
    const QList<QByteArrayView> lines = SplitLines(bytes, MaxTextListLines, 16 * MaxFieldLength, &more);
    for (const QByteArrayView line : lines) {
        Track t;
        t.title = CleanField(DecodeText(line, utf8));
        if (t.title.isEmpty())
            continue;
        t.number = int(result.tracks.size() + 1);
        t.sourcePath = sourcePath;
        result.tracks.append(std::move(t));
    }
    if (more)
        result.skipped.append({QStringLiteral("lines after line %1").arg(MaxTextListLines),
                               QStringLiteral("the list is too long; the rest is not read")});
    return result;
}

ReadResult ReadTextList(const QString &path)
{
    QByteArray bytes;
    QString reason;
    if (!ReadSmallFile(path, MaxTextListBytes, &bytes, &reason)) {
        ReadResult r;
        r.error = QStringLiteral("Cannot read the list %1: %2.").arg(path, reason);
        return r;
    }
    ReadResult r = ParseTextList(bytes, path);
    if (r.tracks.isEmpty() && r.error.isEmpty())
        r.error = QStringLiteral("The list %1 holds no titles.").arg(path);
    return r;
}

} // namespace tracklist
