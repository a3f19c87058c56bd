#include "cue.h"

#include "audio.h"
#include "text.h"

#include <QHash>

namespace tracklist {
namespace {

// Splits off the first word; rest is what follows it, blanks trimmed.
QByteArrayView firstWord(QByteArrayView line, QByteArrayView *rest)
{
    qsizetype end = 0;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t')
        ++end;
    *rest = TrimBlanks(line.sliced(end));
    return line.first(end);
}

// A quoted value ("a b") up to its closing quote, or the whole rest when it is not quoted or
// the quote is never closed; *after gets what follows the value.
QByteArrayView value(QByteArrayView rest, QByteArrayView *after = nullptr)
{
    if (after)
        *after = {};
    if (!rest.startsWith('"'))
        return rest;
    rest = rest.sliced(1);
    const qsizetype close = rest.indexOf('"');
    if (close < 0)
        return rest;
    if (after)
        *after = TrimBlanks(rest.sliced(close + 1));
    return rest.first(close);
}

bool keyword(QByteArrayView word, const char *name)
{
    return word.compare(QByteArrayView(name), Qt::CaseInsensitive) == 0;
}

// A whole non-negative number of at most 6 digits; -1 otherwise.
qint64 smallNumber(QByteArrayView v)
{
    if (v.isEmpty() || v.size() > 6)
        return -1;
    qint64 n = 0;
    for (const char c : v) {
        if (c < '0' || c > '9')
            return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

// mm:ss:ff in frames (75 per second); -1 when it is not one.
qint64 msfFrames(QByteArrayView v)
{
    const qsizetype a = v.indexOf(':');
    const qsizetype b = a < 0 ? -1 : v.indexOf(':', a + 1);
    if (a < 0 || b < 0)
        return -1;
    const qint64 m = smallNumber(v.first(a));
    const qint64 s = smallNumber(v.sliced(a + 1, b - a - 1));
    const qint64 f = smallNumber(v.sliced(b + 1));
    if (m < 0 || s < 0 || s > 59 || f < 0 || f > 74)
        return -1;
    return (m * 60 + s) * 75 + f;
}

qint64 framesToMs(qint64 frames)
{
    return frames * 1000 / 75;
}

} // namespace

CueSheet ParseCueSheet(QByteArrayView bytes)
{
    CueSheet sheet;
    if (const QString encoding = UnreadEncoding(bytes); !encoding.isEmpty()) {
        sheet.problems.append({QStringLiteral("the sheet"),
                               QStringLiteral("%1 text is not read; save it as UTF-8").arg(encoding)});
        return sheet;
    }
    const std::optional<QByteArray> utf16 = Utf16AsUtf8(bytes);
    if (utf16)
        bytes = *utf16;
    // The whole sheet decides its encoding, as a whole design file does.
    const bool utf8 = IsUtf8Text(bytes);
    const auto text = [utf8](QByteArrayView v) { return CleanField(DecodeText(v, utf8)); };
    bool more = false;
    const QList<QByteArrayView> lines = SplitLines(bytes, MaxCueLines, MaxCueLineBytes, &more);
    if (more)
        sheet.problems.append({QStringLiteral("lines after line %1").arg(MaxCueLines),
                               QStringLiteral("the sheet is too long; the rest is not read")});
    QString file;
    bool tooMany = false;
    int audioTracks = 0;
    for (QByteArrayView line : lines) {
        if (line.startsWith("\xEF\xBB\xBF"))
            line = line.sliced(3);
        QByteArrayView rest;
        const QByteArrayView word = firstWord(TrimBlanks(line), &rest);
        CueSheet::Entry *current = sheet.entries.isEmpty() ? nullptr : &sheet.entries.last();
        if (keyword(word, "FILE")) {
            // FILE "name" TYPE, or FILE name TYPE: without quotes the last word is the type.
            QByteArrayView name = value(rest);
            if (!rest.startsWith('"')) {
                const qsizetype blank = std::max(name.lastIndexOf(' '), name.lastIndexOf('\t'));
                if (blank > 0)
                    name = TrimBlanks(name.first(blank));
            }
            file = DecodeText(name, utf8);
        } else if (keyword(word, "TRACK")) {
            QByteArrayView type;
            const QByteArrayView number = firstWord(rest, &type);
            if (!type.isEmpty() && !keyword(type, "AUDIO")) {
                sheet.problems.append({QStringLiteral("track %1")
                                           .arg(text(number.first(std::min<qsizetype>(number.size(), 8)))),
                                       QStringLiteral("a data track, not audio")});
                // Later lines belong to this data track: park them on an entry that is dropped.
                sheet.entries.append({-1, {}, {}, file, -1});
                continue;
            }
            if (++audioTracks > MaxCueTracks) {
                tooMany = true;
                break;
            }
            const qint64 n = smallNumber(number);
            CueSheet::Entry e;
            e.number = n > 0 && n <= 99 ? int(n) : 0;
            e.file = file;
            sheet.entries.append(e);
        } else if (keyword(word, "TITLE")) {
            const QString t = text(value(rest));
            if (current)
                current->title = t;
            else
                sheet.title = t;
        } else if (keyword(word, "PERFORMER")) {
            const QString p = text(value(rest));
            if (current)
                current->performer = p;
            else
                sheet.performer = p;
        } else if (keyword(word, "INDEX") && current) {
            QByteArrayView time;
            const QByteArrayView which = firstWord(rest, &time);
            // The track starts in the file named last, which a pregap may have left behind.
            if (smallNumber(which) == 1) {
                current->startFrame = msfFrames(time);
                current->file = file;
            }
        }
    }
    // Data tracks served only to keep their lines away from the audio tracks.
    sheet.entries.removeIf([](const CueSheet::Entry &e) { return e.number < 0; });
    if (tooMany) {
        sheet.problems.append({QStringLiteral("tracks after track %1").arg(MaxCueTracks),
                               QStringLiteral("a disc holds at most %1 tracks").arg(MaxCueTracks)});
    }
    return sheet;
}

QList<Track> CueTracks(const CueSheet &sheet, const std::function<qint64(const QString &file)> &fileLengthMs)
{
    QList<Track> tracks;
    const qsizetype n = sheet.entries.size();
    for (qsizetype i = 0; i < n; ++i) {
        const CueSheet::Entry &e = sheet.entries[i];
        Track t;
        t.number = e.number > 0 ? e.number : int(i + 1);
        t.title = e.title.isEmpty() ? QStringLiteral("Track %1").arg(t.number) : e.title;
        t.artist = e.performer.isEmpty() ? sheet.performer : e.performer;
        t.album = sheet.title;
        t.albumArtist = sheet.performer;
        if (e.startFrame >= 0) {
            if (i + 1 < n && sheet.entries[i + 1].file == e.file) {
                const qint64 next = sheet.entries[i + 1].startFrame;
                if (next > e.startFrame)
                    t.durationMs = framesToMs(next - e.startFrame);
            } else if (fileLengthMs) {
                const qint64 length = fileLengthMs(e.file);
                if (length > framesToMs(e.startFrame))
                    t.durationMs = length - framesToMs(e.startFrame);
            }
        }
        tracks.append(std::move(t));
    }
    return tracks;
}

ReadResult ReadCueSheet(const QString &path, const Progress &progress)
{
    ReadResult result;
    QByteArray bytes;
    QString reason;
    if (!ReadSmallFile(path, MaxCueBytes, &bytes, &reason)) {
        result.error = QStringLiteral("Cannot read the CUE sheet %1: %2.").arg(path, reason);
        return result;
    }
    if (const QString encoding = UnreadEncoding(bytes); !encoding.isEmpty()) {
        result.error = QStringLiteral("The CUE sheet %1 is %2 text, which is not read: save it as UTF-8.")
                           .arg(path, encoding);
        return result;
    }
    const CueSheet sheet = ParseCueSheet(bytes);
    result.skipped = sheet.problems;
    if (sheet.entries.isEmpty()) {
        result.error = QStringLiteral("The CUE sheet %1 names no audio tracks.").arg(path);
        return result;
    }
    const QString folder = FolderOf(path);
    QHash<QString, QString> resolved;
    QHash<QString, qint64> lengths;
    // The audio file a sheet names, or one of the same name with another audio extension: a
    // few looks at names made here, never a listing of the folder (which may hold thousands of
    // files) nor a pattern made of the name.
    const auto resolve = [&](const QString &file) -> QString {
        if (file.isEmpty())
            return {};
        if (const auto it = resolved.constFind(file); it != resolved.constEnd())
            return *it;
        QString name = file;
        name.replace(u'\\', u'/');
        QString found;
        const QString direct = JoinPath(folder, name);
        if (PathExists(direct)) {
            found = direct;
        } else {
            const QString stem = FolderOf(direct) + u'/' + BaseName(direct) + u'.';
            for (const QStringView ext : AudioFileExtensions()) {
                const QString lower = ext.toString();
                for (const QString &candidate : {stem + lower, stem + lower.toUpper()}) {
                    if (found.isEmpty() && PathExists(candidate))
                        found = candidate;
                }
            }
        }
        resolved.insert(file, found);
        return found;
    };
    qsizetype filesDone = 0;
    qsizetype files = 0; // runs of tracks in one file: each reads that file once at most
    for (qsizetype i = 0; i < sheet.entries.size(); ++i)
        files += i == 0 || sheet.entries[i].file != sheet.entries[i - 1].file;
    bool cancelled = false;
    const auto lengthOf = [&](const QString &file) -> qint64 {
        if (const auto it = lengths.constFind(file); it != lengths.constEnd())
            return *it;
        if (cancelled || (progress && !progress(filesDone++, files))) {
            cancelled = true;
            return -1;
        }
        qint64 ms = -1;
        const QString audio = resolve(file);
        if (!audio.isEmpty()) {
            const AudioFile f = ReadAudioFile(audio);
            if (f.track)
                ms = f.track->durationMs;
            else
                result.skipped.append(
                    {audio, QStringLiteral("length of the last track unknown: %1").arg(f.reason), true});
        } else if (!file.isEmpty()) {
            result.skipped.append(
                {file, QStringLiteral("length of the last track unknown: file not found"), true});
        }
        lengths.insert(file, ms);
        return ms;
    };
    result.tracks = CueTracks(sheet, lengthOf);
    if (cancelled) {
        result = {};
        result.cancelled = true;
        return result;
    }
    for (qsizetype i = 0; i < result.tracks.size(); ++i) {
        const QString audio = resolve(sheet.entries[i].file);
        result.tracks[i].sourcePath = audio.isEmpty() ? path : audio;
    }
    return result;
}

} // namespace tracklist
