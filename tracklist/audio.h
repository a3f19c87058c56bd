#pragma once

#include "track.h"

#include <QStringList>
#include <QStringView>

#include <optional>

namespace tracklist {

// True for the file name extensions of the audio formats whose tags are read.
bool IsAudioFileName(QStringView fileName);

// One audio file's tags and length. Only a regular file is opened (a FIFO, a device or a folder
// is refused before anything waits on it); a file that is not a readable audio file gives a
// reason instead. A file without a title tag takes its file name without the extension.
struct AudioFile {
    std::optional<Track> track;
    QString reason; // why there is no track
    bool hasTitleTag = false;
};
AudioFile ReadAudioFile(const QString &path);

// Audio files in the order of their tags, else of their names: see SortTracks.
ReadResult ReadAudioFiles(const QStringList &paths, const Progress &progress = {});

// The audio files of a folder (hidden files left out). A folder without any looks one level
// down, so that an album kept as "CD1", "CD2" folders reads as a whole.
ReadResult ReadAudioFolder(const QString &folder, const Progress &progress = {});
QStringList ListAudioFolder(const QString &folder);

// Tag order (disc, then track number) when every track has a track number and no disc and
// number come twice; otherwise the natural order of the file paths ("2" before "10").
void SortTracks(QList<Track> &tracks);

// Compares names as people read them: digit runs by their value, letters without case.
int NaturalCompare(QStringView a, QStringView b);

} // namespace tracklist
