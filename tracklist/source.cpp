#include "source.h"
#include "names.h"

#include "audio.h"
#include "cd.h"
#include "cue.h"
#include "playlist.h"
#include "textlist.h"

#include <QFile>

#include <sys/stat.h>

namespace tracklist {
namespace {

bool isFolder(const QString &path)
{
    struct stat st {};
    return ::stat(names::Encode(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

SourceKind KindOf(const QString &path)
{
    if (path.startsWith(CdPrefix))
        return SourceKind::AudioCd;
    if (isFolder(path))
        return SourceKind::Folder;
    if (path.endsWith(QStringLiteral(".cue"), Qt::CaseInsensitive))
        return SourceKind::CueSheet;
    if (path.endsWith(QStringLiteral(".m3u"), Qt::CaseInsensitive) ||
        path.endsWith(QStringLiteral(".m3u8"), Qt::CaseInsensitive) ||
        path.endsWith(QStringLiteral(".pls"), Qt::CaseInsensitive))
        return SourceKind::Playlist;
    if (path.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive))
        return SourceKind::TextList;
    return SourceKind::AudioFile;
}

bool IsImportable(const QString &path)
{
    const SourceKind kind = KindOf(path);
    return kind != SourceKind::AudioFile || IsAudioFileName(path);
}

namespace {

// Several sources one after another, in the order given, each read by its own rules.
ReadResult readInTurn(const QStringList &paths, const Progress &progress)
{
    struct Part {
        QString path;
        SourceKind kind;
        QStringList files; // a folder's audio files, or the one audio file
    };
    QList<Part> parts;
    QList<Skipped> listed;
    qsizetype total = 0;
    for (const QString &path : paths) {
        Part part{path, KindOf(path), {}};
        if (part.kind == SourceKind::Folder)
            part.files = ListAudioFolder(path, &listed);
        else if (part.kind == SourceKind::AudioFile)
            part.files = {path};
        total += part.files.size();
        parts << part;
    }
    ReadResult r;
    r.skipped = listed;
    qsizetype done = 0;
    const Progress step = [&](qsizetype n, qsizetype) { return !progress || progress(done + n, total); };
    for (const Part &part : std::as_const(parts)) {
        ReadResult one;
        switch (part.kind) {
        case SourceKind::Folder:
        case SourceKind::AudioFile: one = ReadAudioFiles(part.files, step); break;
        default:
            // A list's own count is not the files': the bar waits, Cancel still works.
            one = ReadSource({part.path},
                             [&](qsizetype, qsizetype) { return !progress || progress(done, total); });
            break;
        }
        if (one.cancelled) {
            ReadResult c;
            c.cancelled = true;
            return c;
        }
        done += part.files.size();
        if (!one.error.isEmpty() && part.kind != SourceKind::Folder && part.kind != SourceKind::AudioFile)
            r.skipped.append({part.path, one.error});
        r.tracks += one.tracks;
        r.skipped += one.skipped;
    }
    return r;
}

// Audio files and folders of audio files ordered together; a list among them is skipped.
ReadResult readTogether(const QStringList &paths, const Progress &progress)
{
    QStringList files;
    QList<Skipped> skipped;
    for (const QString &path : paths) {
        switch (KindOf(path)) {
        case SourceKind::Folder: files += ListAudioFolder(path, &skipped); break;
        case SourceKind::AudioFile: files << path; break;
        default: skipped.append({path, QStringLiteral("a track list is read only on its own")}); break;
        }
    }
    ReadResult r = ReadAudioFiles(files, progress);
    if (!r.cancelled)
        r.skipped = skipped + r.skipped;
    return r;
}

} // namespace

ReadResult ReadSource(const QStringList &paths, const Progress &progress, Order order)
{
    if (paths.isEmpty()) {
        ReadResult r;
        r.error = QStringLiteral("Nothing to import.");
        return r;
    }
    if (paths.size() == 1) {
        const QString &path = paths.front();
        switch (KindOf(path)) {
        case SourceKind::Folder: return ReadAudioFolder(path, progress);
        case SourceKind::CueSheet: return ReadCueSheet(path, progress);
        case SourceKind::Playlist: return ReadPlaylist(path, progress);
        case SourceKind::TextList: return ReadTextList(path);
        case SourceKind::AudioCd: return ReadAudioCd(path.mid(CdPrefix.size()));
        case SourceKind::AudioFile: break;
        }
    }
    ReadResult r = order == Order::AsGiven ? readInTurn(paths, progress) : readTogether(paths, progress);
    if (r.cancelled)
        return r;
    if (r.tracks.isEmpty() && r.error.isEmpty()) {
        if (r.skipped.size() == 1 && paths.size() == 1) {
            // The one reason is the error; it is not told twice.
            r.error = QStringLiteral("%1: %2.").arg(r.skipped.front().entry, r.skipped.front().reason);
            r.skipped.clear();
        } else {
            r.error = QStringLiteral("No track could be read.");
        }
    }
    return r;
}

QStringList SkippedLines(const QList<Skipped> &skipped, qsizetype maxLines)
{
    QStringList lines;
    const qsizetype shown = skipped.size() > maxLines ? maxLines - 1 : skipped.size();
    for (qsizetype i = 0; i < shown; ++i) {
        const Skipped &s = skipped[i];
        lines << (s.kept ? QStringLiteral("%1: %2") : QStringLiteral("%1 is skipped: %2"))
                     .arg(s.entry, s.reason);
    }
    if (shown < skipped.size())
        lines << QStringLiteral("and %1 more").arg(skipped.size() - shown);
    return lines;
}

} // namespace tracklist
