#pragma once

#include "track.h"

#include <QByteArray>

namespace tracklist {

// What a drive tells about the disc in it, CD-Text as the raw bytes it gave.
struct CdTrackInfo {
    int number = 0;
    bool audio = true;
    qint64 frames = -1; // length in 1/75 s; -1 when not known
    QByteArray title;
    QByteArray performer;
};
struct CdInfo {
    QString device;
    QByteArray title;
    QByteArray performer;
    QList<CdTrackInfo> tracks;
};

// The track list of a disc: CD-Text titles where the disc has them, "Track n" where not; data
// tracks are listed as skipped.
ReadResult TracksFromCd(const CdInfo &disc);

// Reads the audio CD in a drive (the default drive when device is empty) through libcdio. Only a
// block device is opened, never a file (no disc image is parsed). Nothing is looked up online.
ReadResult ReadAudioCd(const QString &device = {});

} // namespace tracklist
