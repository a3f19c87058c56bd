#pragma once

#include "track.h"

#include <QByteArrayView>

namespace tracklist {

constexpr qsizetype MaxPlaylistBytes = 4 * 1024 * 1024;
constexpr qsizetype MaxPlaylistLineBytes = 8192;
constexpr qsizetype MaxPlaylistEntries = 10000;

struct PlaylistEntry {
    QString location;       // a path (relative to the playlist's folder) or a URL, as written
    QString title;          // #EXTINF or TitleN, cleaned; empty when the list gives none
    qint64 durationMs = -1; // #EXTINF or LengthN; -1 when not given
};

struct Playlist {
    QList<PlaylistEntry> entries;
    QList<Skipped> problems;
};

// M3U and M3U8 (with #EXTINF), read without touching any file; UTF-16 with a byte-order mark is
// read too.
Playlist ParseM3u(QByteArrayView bytes);
// PLS ([playlist], FileN, TitleN, LengthN), entries in the order of N.
Playlist ParsePls(QByteArrayView bytes);

// Where an entry's file is: a local path (relative ones taken from baseFolder, "\" accepted as
// a separator, file:// URLs turned into paths), or empty for a URL of another kind.
QString ResolveEntry(const QString &location, const QString &baseFolder);

// True for names that are themselves track lists (playlists, CUE sheets, text lists): an entry
// naming one is never opened, so a playlist naming itself or another cannot loop.
bool IsTrackListFileName(QStringView fileName);

// Reads an .m3u, .m3u8 or .pls file and then each entry's audio file where it exists. A readable
// file's tags win over the playlist's title and length; the playlist's are used for a file
// that is missing or unreadable; an entry with neither is skipped with its reason.
ReadResult ReadPlaylist(const QString &path, const Progress &progress = {});

} // namespace tracklist
