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

// Reads a track list from paths: one folder, CUE sheet, playlist, text list, CD or audio file on
// its own; several paths as `order` says. Together (what a drop or the chooser gives, in no order
// of its own): audio files and folders of audio files ordered together, a track list among them
// skipped. AsGiven (the command line's sources): one after another in the order given, each read
// by its own rules (a folder in its tag or name order, a list in its own); one that cannot be
// read is skipped with its reason.
enum class Order { Together, AsGiven };
ReadResult ReadSource(const QStringList &paths, const Progress &progress = {}, Order order = Order::Together);

// The skipped entries as lines for a terminal or a message, at most maxLines of them (the last
// then saying how many more there are): "entry is skipped: reason", or "entry: reason" for an
// entry that still gave its track.
QStringList SkippedLines(const QList<Skipped> &skipped, qsizetype maxLines = 10);

} // namespace tracklist
