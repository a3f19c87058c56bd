#pragma once

#include "track.h"

#include <QHash>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace tracklist {

// True for the file name extensions of the audio formats whose tags are read.
bool IsAudioFileName(QStringView fileName);
// Those extensions, in lower case.
QList<QStringView> AudioFileExtensions();

// What a tag may claim. A file whose tag, or one text field of it, is larger is judged not a
// readable audio file from its headers, before the tag is read: real tags are far smaller, and
// TagLib holds a text several times over while decoding it.
constexpr qint64 MaxTagBytes = 64 * 1024 * 1024;
constexpr qint64 MaxTagTextBytes = 16 * 1024 * 1024;
// All that TagLib may read of one file, however it asks for it (the tag and the few headers
// its audio properties need, read again now and then).
constexpr qint64 MaxAudioReadBytes = MaxTagBytes + 8 * 1024 * 1024;

// One audio file's tags and length. Only a regular file is opened (a FIFO, a device or a folder
// is refused before anything waits on it), and only when its first bytes are those of an audio
// format with tags within the caps above; a file that is not a readable audio file gives a
// reason instead. A file without a title tag takes its file name without the extension.
struct AudioFile {
    std::optional<Track> track;
    QString reason; // why there is no track
    bool hasTitleTag = false;
    qint64 bytesRead = 0; // bytes read from the file, headers and tags (at most MaxAudioReadBytes)
};
AudioFile ReadAudioFile(const QString &path);

// Reads each distinct file (by device and inode) once: a list that names one file many times,
// under one name or several, costs one reading. The track keeps the name it was asked by.
class AudioFileReader
{
public:
    AudioFile read(const QString &path);

private:
    QHash<std::pair<quint64, quint64>, AudioFile> read_;
};

// Audio files in the order of their tags, else of their names: see SortTracks.
ReadResult ReadAudioFiles(const QStringList &paths, const Progress &progress = {});

// The audio files of a folder (hidden files left out). A folder without any looks one level
// down, so that an album kept as "CD1", "CD2" folders reads as a whole.
// A subfolder it cannot read is told in *skipped.
ReadResult ReadAudioFolder(const QString &folder, const Progress &progress = {});
QStringList ListAudioFolder(const QString &folder, QList<Skipped> *skipped = nullptr);

// Tag order (disc, then track number) when every track has a track number and no disc and
// number come twice; otherwise the natural order of the file paths ("2" before "10").
void SortTracks(QList<Track> &tracks);

// Compares names as people read them: digit runs by their value, letters without case.
int NaturalCompare(QStringView a, QStringView b);

} // namespace tracklist
