#pragma once
// Our own walk over the tags of an audio file, before TagLib holds any of them: one walker per
// kind of container (ID3v2, APE, Xiph comments in Ogg and FLAC, FLAC pictures, MP4 atoms, RIFF
// INFO), each refusing what TagLib would take without bound: a tag or a text over the caps,
// compressed frames inflating past them, unsynchronised tags whose undone sizes pass them, MP4
// atoms nested deeper than TagLib's recursion can bear.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace tracklist::tagscan {

// Header bytes read in 64 KiB pieces, so that walking the many small headers of a tag costs a
// few system calls.
class HeaderReader
{
public:
    HeaderReader(int fd, qint64 size) : fd_(fd), size_(size) {}
    qint64 size() const { return size_; }
    qint64 bytesRead() const { return bytesRead_; }
    // n bytes at an offset, or an empty view when the file ends before them; a miss reads ahead
    // at least `ahead` bytes.
    QByteArrayView at(qint64 offset, qsizetype n, qsizetype ahead = Piece);

    static constexpr qsizetype Piece = 64 * 1024;

private:
    int fd_;
    qint64 size_;
    QByteArray buffer_;
    qint64 start_ = 0;
    qint64 bytesRead_ = 0;
};

// Judges a file by its headers before TagLib reads it: an empty reason when it may be read.
// *id3End gets where an ID3v2 tag at the start ends (0 when there is none).
QString JudgeHeaders(HeaderReader &in, bool audioName, qint64 *id3End);

// Judges the tag whose signature TagLib has just asked for at an offset, wherever it found it
// (an ID3v2 header at the start, past junk before the first MPEG frame, in a WAV or AIFF chunk;
// an APE footer): an empty reason when TagLib may read it.
QString JudgeTagAt(HeaderReader &in, qint64 at);

// True when bytes TagLib asked for begin with such a signature.
bool IsTagSignature(QByteArrayView block);

} // namespace tracklist::tagscan
