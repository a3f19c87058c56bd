#include "playlist.h"
#include "names.h"

#include "audio.h"
#include "text.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QUrl>

#include <cmath>
#include <sys/stat.h>

namespace tracklist {
namespace {

// Lengths beyond a day are not a track's; they read as unknown.
constexpr double MaxSeconds = 24 * 3600;

// The leading number of seconds ("215", "215.4", "-1") as milliseconds; -1 when there is none
// or it is not a sensible length.
qint64 secondsToMs(QByteArrayView v)
{
    v = TrimBlanks(v);
    qsizetype end = 0;
    bool digits = false, dot = false;
    while (end < v.size() && end < 32) {
        const char c = v[end];
        if (c >= '0' && c <= '9') {
            digits = true;
        } else if (c == '.' && !dot) {
            dot = true;
        } else {
            break;
        }
        ++end;
    }
    if (!digits)
        return -1;
    bool ok = false;
    const double s = v.first(end).toByteArray().toDouble(&ok);
    if (!ok || !std::isfinite(s) || s <= 0 || s > MaxSeconds)
        return -1;
    return qint64(std::llround(s * 1000));
}

bool startsWithNoCase(QByteArrayView line, QByteArrayView prefix)
{
    return line.size() >= prefix.size() &&
           line.first(prefix.size()).compare(prefix, Qt::CaseInsensitive) == 0;
}

void tooMany(Playlist &list)
{
    list.problems.append({QStringLiteral("entries after entry %1").arg(MaxPlaylistEntries),
                          QStringLiteral("the playlist is too long; the rest is not read")});
}

Track fromEntry(const PlaylistEntry &e, const QString &source)
{
    Track t;
    t.title = e.title;
    t.durationMs = e.durationMs;
    t.sourcePath = source;
    return t;
}

} // namespace

Playlist ParseM3u(QByteArrayView bytes)
{
    Playlist list;
    const std::optional<QByteArray> utf16 = Utf16AsUtf8(bytes);
    if (utf16)
        bytes = *utf16;
    const bool utf8 = IsUtf8Text(bytes);
    bool more = false;
    const QList<QByteArrayView> lines =
        SplitLines(bytes, 2 * MaxPlaylistEntries + 2, MaxPlaylistLineBytes, &more);
    PlaylistEntry pending;
    for (QByteArrayView line : lines) {
        if (line.startsWith("\xEF\xBB\xBF"))
            line = line.sliced(3);
        line = TrimBlanks(line);
        if (line.isEmpty())
            continue;
        if (line.startsWith('#')) {
            if (startsWithNoCase(line, "#EXTINF:")) {
                const QByteArrayView info = line.sliced(8);
                // "#EXTINF:seconds [attributes],title": the comma outside quoted attributes.
                qsizetype comma = -1;
                bool quoted = false;
                for (qsizetype i = 0; i < info.size(); ++i) {
                    if (info[i] == '"')
                        quoted = !quoted;
                    else if (info[i] == ',' && !quoted) {
                        comma = i;
                        break;
                    }
                }
                pending.durationMs = secondsToMs(comma < 0 ? info : info.first(comma));
                pending.title = comma < 0 ? QString() : CleanField(DecodeText(info.sliced(comma + 1), utf8));
            }
            continue;
        }
        if (list.entries.size() >= MaxPlaylistEntries) {
            more = true;
            break;
        }
        pending.location = DecodeText(line, utf8).trimmed();
        if (pending.location.isEmpty())
            continue; // a stray byte-order mark
        list.entries.append(std::move(pending));
        pending = {};
    }
    if (more)
        tooMany(list);
    return list;
}

Playlist ParsePls(QByteArrayView bytes)
{
    Playlist list;
    const std::optional<QByteArray> utf16 = Utf16AsUtf8(bytes);
    if (utf16)
        bytes = *utf16;
    const bool utf8 = IsUtf8Text(bytes);
    bool more = false;
    const QList<QByteArrayView> lines =
        SplitLines(bytes, 4 * MaxPlaylistEntries + 16, MaxPlaylistLineBytes, &more);
    QMap<int, PlaylistEntry> byNumber;
    for (QByteArrayView line : lines) {
        if (line.startsWith("\xEF\xBB\xBF"))
            line = line.sliced(3);
        line = TrimBlanks(line);
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0)
            continue;
        const QByteArrayView key = TrimBlanks(line.first(eq));
        const QByteArrayView val = TrimBlanks(line.sliced(eq + 1));
        qsizetype digits = key.size();
        while (digits > 0 && key[digits - 1] >= '0' && key[digits - 1] <= '9')
            --digits;
        const QByteArrayView name = key.first(digits);
        const QByteArrayView numberText = key.sliced(digits);
        if (numberText.isEmpty() || numberText.size() > 7)
            continue;
        const int n = numberText.toByteArray().toInt();
        if (n <= 0)
            continue;
        const bool file = name.compare("File", Qt::CaseInsensitive) == 0;
        const bool title = name.compare("Title", Qt::CaseInsensitive) == 0;
        const bool length = name.compare("Length", Qt::CaseInsensitive) == 0;
        if (!file && !title && !length)
            continue;
        auto it = byNumber.find(n);
        if (it == byNumber.end()) {
            if (byNumber.size() >= MaxPlaylistEntries) {
                more = true;
                continue;
            }
            it = byNumber.insert(n, PlaylistEntry{});
        }
        if (file)
            it->location = DecodeText(val, utf8).trimmed();
        else if (title)
            it->title = CleanField(DecodeText(val, utf8));
        else
            it->durationMs = secondsToMs(val);
    }
    for (auto it = byNumber.cbegin(); it != byNumber.cend(); ++it) {
        if (it->location.isEmpty())
            list.problems.append(
                {QStringLiteral("entry %1").arg(it.key()), QStringLiteral("no File%1 line").arg(it.key())});
        else
            list.entries.append(*it);
    }
    if (more)
        tooMany(list);
    return list;
}

QString ResolveEntry(const QString &location, const QString &baseFolder)
{
    const QString loc = location.trimmed();
    if (loc.isEmpty())
        return {};
    // A URL: scheme letters, then "://".
    const qsizetype colon = loc.indexOf(QStringLiteral("://"));
    if (colon > 0) {
        bool scheme = loc[0].isLetter();
        for (qsizetype i = 1; i < colon && scheme; ++i)
            scheme = loc[i].isLetterOrNumber() || loc[i] == u'+' || loc[i] == u'.' || loc[i] == u'-';
        if (scheme) {
            const QUrl url(loc);
            return url.isLocalFile() ? QDir::cleanPath(names::FromUrl(url)) : QString();
        }
    }
    QString path = loc;
    if (!path.contains(u'/'))
        path.replace(u'\\', u'/'); // written on Windows
    return JoinPath(baseFolder, path);
}

bool IsTrackListFileName(QStringView fileName)
{
    for (const QStringView ext : {u".m3u", u".m3u8", u".pls", u".cue", u".txt"})
        if (fileName.endsWith(ext, Qt::CaseInsensitive))
            return true;
    return false;
}

ReadResult ReadPlaylist(const QString &path, const Progress &progress)
{
    ReadResult result;
    QByteArray bytes;
    QString reason;
    if (!ReadSmallFile(path, MaxPlaylistBytes, &bytes, &reason)) {
        result.error = QStringLiteral("Cannot read the playlist %1: %2.").arg(path, reason);
        return result;
    }
    if (const QString encoding = UnreadEncoding(bytes); !encoding.isEmpty()) {
        result.error = QStringLiteral("The playlist %1 is %2 text, which is not read: save it as UTF-8.")
                           .arg(path, encoding);
        return result;
    }
    const Playlist list =
        path.endsWith(QStringLiteral(".pls"), Qt::CaseInsensitive) ? ParsePls(bytes) : ParseM3u(bytes);
    result.skipped = list.problems;
    const QString base = FolderOf(path);
    const qsizetype total = list.entries.size();
    AudioFileReader files;
    for (qsizetype i = 0; i < total; ++i) {
        if (progress && !progress(i, total)) {
            result = {};
            result.cancelled = true;
            return result;
        }
        const PlaylistEntry &e = list.entries[i];
        const QString local = ResolveEntry(e.location, base);
        const auto skip = [&](const QString &why) {
            if (!e.title.isEmpty())
                result.tracks.append(fromEntry(e, local.isEmpty() ? e.location : local));
            else
                result.skipped.append({e.location, why});
        };
        if (local.isEmpty()) {
            skip(QStringLiteral("not a local file"));
            continue;
        }
        if (IsTrackListFileName(local)) {
            // Never opened, whatever it is: this is how loops are ruled out.
            result.skipped.append(
                {e.location, QStringLiteral("a track list inside a playlist is not followed")});
            continue;
        }
        struct stat st {};
        if (::stat(names::Encode(local).constData(), &st) != 0) {
            skip(MissingReason(errno));
            continue;
        }
        if (!S_ISREG(st.st_mode)) {
            result.skipped.append(
                {e.location, S_ISDIR(st.st_mode)
                                 ? QStringLiteral("it is a folder")
                                 : QStringLiteral("not a regular file (a device or a FIFO)")});
            continue;
        }
        AudioFile f = files.read(local);
        if (!f.track) {
            skip(f.reason);
            continue;
        }
        Track t = std::move(*f.track);
        if (!f.hasTitleTag && !e.title.isEmpty())
            t.title = e.title;
        if (t.durationMs < 0)
            t.durationMs = e.durationMs;
        result.tracks.append(std::move(t));
    }
    if (progress && !progress(total, total)) {
        result = {};
        result.cancelled = true;
    }
    return result;
}

} // namespace tracklist
