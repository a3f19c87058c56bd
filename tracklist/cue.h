#pragma once

#include "track.h"

#include <QByteArrayView>

#include <functional>

namespace tracklist {

// A CUE sheet is a few kilobytes; anything much larger is not one, and is refused unread.
constexpr qsizetype MaxCueBytes = 1024 * 1024;
constexpr qsizetype MaxCueLines = 20000;
constexpr qsizetype MaxCueLineBytes = 4096;
constexpr int MaxCueTracks = 99; // a disc holds at most 99 tracks

struct CueSheet {
    struct Entry {
        int number = 0;
        QString title;
        QString performer;
        QString file;           // as the sheet names it (relative to the sheet's folder)
        qint64 startFrame = -1; // INDEX 01 in 1/75 s; -1 when missing or unreadable
    };
    QString title;     // album
    QString performer; // album artist
    QList<Entry> entries;
    QList<Skipped> problems;
};

// Reads the sheet's text (CP1252, UTF-8, or UTF-16 with a byte-order mark) without touching any
// file. A track's file is the one in force at its INDEX 01.
CueSheet ParseCueSheet(QByteArrayView bytes);

// Tracks of a parsed sheet. A track runs to the next track's INDEX 01 in the same file; the last
// track of a file runs to the file's end, when fileLengthMs tells it (it returns -1 when the
// file cannot be read), else its length stays unknown.
QList<Track> CueTracks(const CueSheet &sheet, const std::function<qint64(const QString &file)> &fileLengthMs);

// Reads a .cue file (UTF-16 with a byte-order mark too) and the lengths of the audio files it
// names (beside the sheet; a file named ".wav" in the sheet that was later compressed is found
// under its other audio extension). progress is told before each audio file is read.
ReadResult ReadCueSheet(const QString &path, const Progress &progress = {});

} // namespace tracklist
