#pragma once

#include <QString>

struct stat;

// The files this run read. Every reader notes the file it opened (tracks, CUE sheets and the
// audio files they name, playlists, text lists, pictures, designs), and the one writer
// (safewrite.h) refuses an output that is one of them, by name, through a link or by hard link.
// So no export or save can replace what it was made from, whatever surface read it.
namespace inputs {

enum class Kind { Source, Design };

// Noted when a reader opens `path`; `fd`, when given, is the descriptor it opened (which file
// it is, even if the name is changed afterwards).
void Note(const QString &path, int fd = -1, Kind kind = Kind::Source);

// Is the file `absolutePath` (whose device and inode are `st`, when it exists) one that was
// read? Designs read do not count when `designsMayGo` (the Save of the open design).
bool Contains(const QString &absolutePath, const struct stat *st, bool designsMayGo = false);

} // namespace inputs
