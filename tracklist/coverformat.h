#pragma once

#include "track.h"

#include <QStringList>

#include <optional>

namespace tracklist {

// The titles window has 24 fields: 20 title lines, then the three credit lines and the note. A
// longer list is kept whole, up to CoverMaxTitles, and the cover draws it in columns.
constexpr int CoverFields = 24;
constexpr int CoverTitleLines = 20;
constexpr int CoverMaxTitles = 99;

struct CoverOptions {
    bool numbered = false;         // "1. " before each title
    bool durations = false;        // " (3:45)" after each title whose length is known
    bool replaceHeadlines = false; // album and artist replace headlines that are not empty
};

// What an import writes: the titles in order (at most CoverMaxTitles), the headlines when they
// change, and how many titles the list could not keep. The credit lines and the note are never
// written: they are the user's.
struct CoverTexts {
    QStringList titles;
    std::optional<QString> topHeadline;
    std::optional<QString> bottomHeadline;
    qsizetype leftOut = 0;
};

// "m:ss", minutes going past 59 ("74:02"); rounded to the nearest second.
QString DurationText(qint64 ms);

// The album all tracks that name one agree on; empty when none does or they differ.
QString CommonAlbum(const QList<Track> &tracks);
// The album artist when every track has the same one; else the artist every track with an
// artist tag shares, or VariousArtists when two differ; empty when no track names an artist.
QString CommonArtist(const QList<Track> &tracks);
extern const QString VariousArtists;

// One title as it lands in its field.
QString CoverTitle(const Track &track, int position, const CoverOptions &options);

// Every title up to CoverMaxTitles, numbered and timed by its place in the whole list. The album
// goes to the top headline and the common artist to the bottom one when that headline is empty (blanks count
// as empty) or options.replaceHeadlines is set, and there is something to write.
CoverTexts FormatForCover(const QList<Track> &tracks, const CoverOptions &options, const QString &currentTop,
                          const QString &currentBottom);

} // namespace tracklist
