#pragma once

#include "track.h"

#include <QStringList>

namespace tracklist {

enum class SourceKind { Folder, CueSheet, Playlist, TextList, AudioFile, AudioCd };

// "cdda:" names the default CD drive, "cdda:/dev/sr1" a given one.
constexpr QStringView CdPrefix = u"cdda:";

// What a path is, by its kind on disk and its name: a folder, a .cue, an .m3u/.m3u8/.pls, a
// .txt, a CD ("cdda:"), else an audio file (a file of another kind is then skipped with the
// reason TagLib gives).
SourceKind KindOf(const QString &path);

// True when a dropped path is something ReadSource takes: a folder, a track list or an audio file.
bool IsImportable(const QString &path);

// Reads a track list from paths: one folder, CUE sheet, playlist, text list or CD on its own, or
// any number of audio files and folders of audio files, ordered together. A track list among
// several paths is skipped (it is read only on its own).
ReadResult ReadSource(const QStringList &paths, const Progress &progress = {});

// The skipped entries as lines for a terminal or a message, at most maxLines of them (the last
// then saying how many more there are): "entry is skipped: reason", or "entry: reason" for an
// entry that still gave its track.
QStringList SkippedLines(const QList<Skipped> &skipped, qsizetype maxLines = 10);

} // namespace tracklist
