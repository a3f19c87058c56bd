#pragma once

#include <QList>
#include <QString>

#include <functional>

// A track list read from audio files, a CUE sheet, a playlist, a disc or a text file. Pure data
// and readers: no widgets, so tests, the fuzz target and the command line share them.
namespace tracklist {

struct Track {
    QString title;
    QString artist;
    QString album;
    QString albumArtist;
    int disc = 0;           // 0: not known
    int number = 0;         // 0: not known
    qint64 durationMs = -1; // -1: not known
    QString sourcePath;     // the file the track came from (or the list that named it)
};

// An entry of a source that gave no track, and why.
struct Skipped {
    QString entry;
    QString reason;
    bool kept = false; // the entry gave its track all the same; only what the reason names is missing
};

struct ReadResult {
    QList<Track> tracks;
    QList<Skipped> skipped;
    QString error;          // the source as a whole could not be read (then there are no tracks)
    bool cancelled = false; // the progress callback asked to stop; tracks are then empty
};

// Told (done, total) now and then while many files are read; returning false cancels.
using Progress = std::function<bool(qsizetype done, qsizetype total)>;

} // namespace tracklist
