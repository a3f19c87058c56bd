#include "coverformat.h"

#include <algorithm>

namespace tracklist {
namespace {

// The one non-empty value the tracks give (tracks without one are not counted); empty when
// there is none or two differ.
template <class Get> QString common(const QList<Track> &tracks, Get get)
{
    QString value;
    for (const Track &t : tracks) {
        const QString &v = get(t);
        if (v.isEmpty())
            continue;
        if (value.isEmpty())
            value = v;
        else if (v != value)
            return {};
    }
    return value;
}

} // namespace

QString DurationText(qint64 ms)
{
    const qint64 seconds = (ms + 500) / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString CommonAlbum(const QList<Track> &tracks)
{
    return common(tracks, [](const Track &t) -> const QString & { return t.album; });
}

const QString VariousArtists = QStringLiteral("Various Artists");

QString CommonArtist(const QList<Track> &tracks)
{
    // One file's album artist does not speak for a list it shares with others.
    const bool everyAlbumArtist =
        std::all_of(tracks.begin(), tracks.end(), [](const Track &t) { return !t.albumArtist.isEmpty(); });
    if (everyAlbumArtist) {
        QString albumArtist = common(tracks, [](const Track &t) -> const QString & { return t.albumArtist; });
        if (!albumArtist.isEmpty())
            return albumArtist;
    }
    QString artist = common(tracks, [](const Track &t) -> const QString & { return t.artist; });
    if (!artist.isEmpty())
        return artist;
    if (std::any_of(tracks.begin(), tracks.end(), [](const Track &t) { return !t.artist.isEmpty(); }))
        return VariousArtists; // two differ
    // No artist tags: album artists that differ still say the list is mixed.
    const bool anyAlbumArtist =
        std::any_of(tracks.begin(), tracks.end(), [](const Track &t) { return !t.albumArtist.isEmpty(); });
    if (anyAlbumArtist &&
        common(tracks, [](const Track &t) -> const QString & { return t.albumArtist; }).isEmpty())
        return VariousArtists;
    return {};
}

QString CoverTitle(const Track &track, int position, const CoverOptions &options)
{
    QString text = track.title;
    if (options.numbered)
        text = QStringLiteral("%1. %2").arg(position).arg(text);
    if (options.durations && track.durationMs >= 0)
        text += QStringLiteral(" (%1)").arg(DurationText(track.durationMs));
    return text;
}

CoverTexts FormatForCover(const QList<Track> &tracks, const CoverOptions &options, const QString &currentTop,
                          const QString &currentBottom)
{
    CoverTexts out;
    const qsizetype kept = std::min<qsizetype>(tracks.size(), CoverMaxTitles);
    out.titles.reserve(kept);
    for (qsizetype i = 0; i < kept; ++i)
        out.titles << CoverTitle(tracks[i], int(i + 1), options);
    out.leftOut = tracks.size() - kept;

    const QString album = CommonAlbum(tracks);
    if (!album.isEmpty() && (options.replaceHeadlines || currentTop.trimmed().isEmpty()))
        out.topHeadline = album;
    const QString artist = CommonArtist(tracks);
    if (!artist.isEmpty() && (options.replaceHeadlines || currentBottom.trimmed().isEmpty()))
        out.bottomHeadline = artist;
    return out;
}

} // namespace tracklist
