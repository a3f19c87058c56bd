#pragma once

#include "track.h"

#include <array>
#include <optional>

namespace tracklist {

// The titles window has 24 fields: 20 title lines, then the three credit lines and the note.
constexpr int CoverFields = 24;
constexpr int CoverTitleLines = 20;

struct CoverOptions {
    bool numbered = false;         // "1. " before each title
    bool durations = false;        // " (3:45)" after each title whose length is known
    bool replaceHeadlines = false; // album and artist replace headlines that are not empty
};

// What an import writes: a text for each field that changes (field 1 first), the headlines when
// they change, and how many titles found no field.
struct CoverTexts {
    std::array<std::optional<QString>, CoverFields> fields;
    std::optional<QString> topHeadline;
    std::optional<QString> bottomHeadline;
    qsizetype leftOut = 0;
};

// "m:ss", minutes going past 59 ("74:02"); rounded to the nearest second.
QString DurationText(qint64 ms);

// The album all tracks that name one agree on; empty when none does or they differ.
QString CommonAlbum(const QList<Track> &tracks);
// The album artist the tracks agree on, else the artist they all share; empty otherwise.
QString CommonArtist(const QList<Track> &tracks);

// One title as it lands in its field.
QString CoverTitle(const Track &track, int position, const CoverOptions &options);

// The first 24 titles go to the fields in order. Title lines past the end of the list are
// emptied so no title of an earlier list stays among the new ones; the credit lines and the
// note (fields 21 to 24) are only written when the list reaches them. The album goes to the top
// headline and the common artist to the bottom one when that headline is empty (blanks count as
// empty) or options.replaceHeadlines is set, and there is something to write.
CoverTexts FormatForCover(const QList<Track> &tracks, const CoverOptions &options, const QString &currentTop,
                          const QString &currentBottom);

} // namespace tracklist
