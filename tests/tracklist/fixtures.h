#pragma once
// Audio files made on the spot for tests and benchmarks: silent WAV and AIFF written here, MP3
// as a run of silent MPEG frames written here, FLAC and Ogg Vorbis encoded once with the Debian
// tools (flac, oggenc), and tags written into all of them with TagLib. Nothing is downloaded.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

#include <taglib/aifffile.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

#include <cstring>

namespace fixtures {

struct Tags {
    QString title, artist, album, albumArtist;
    int track = 0;
    int disc = 0;
};

inline Tags titled(const QString &title)
{
    Tags t;
    t.title = title;
    return t;
}

inline TagLib::String tl(const QString &s)
{
    return TagLib::String(s.toStdWString());
}

inline void putLE(QByteArray &b, quint32 v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
}

inline void putBE(QByteArray &b, quint32 v, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        b.append(char((v >> (8 * i)) & 0xFF));
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// 8 kHz, mono, 8-bit silence: one second is 8000 bytes.
inline QByteArray wavBytes(int ms)
{
    const quint32 data = quint32(ms) * 8;
    QByteArray b("RIFF");
    putLE(b, 36 + data, 4);
    b += "WAVEfmt ";
    putLE(b, 16, 4);
    putLE(b, 1, 2);    // PCM
    putLE(b, 1, 2);    // mono
    putLE(b, 8000, 4); // rate
    putLE(b, 8000, 4); // bytes per second
    putLE(b, 1, 2);    // block align
    putLE(b, 8, 2);    // bits
    b += "data";
    putLE(b, data, 4);
    b += QByteArray(qsizetype(data), char(0x80));
    return b;
}

inline QByteArray aiffBytes(int ms)
{
    const quint32 frames = quint32(ms) * 8;
    QByteArray comm("COMM");
    putBE(comm, 18, 4);
    putBE(comm, 1, 2); // mono
    putBE(comm, frames, 4);
    putBE(comm, 8, 2); // bits
    // 8000 as an 80-bit extended float: exponent 16383 + 12, mantissa 8000 << 51.
    putBE(comm, 0x400B, 2);
    putBE(comm, 0xFA000000, 4);
    putBE(comm, 0, 4);
    QByteArray ssnd("SSND");
    putBE(ssnd, 8 + frames, 4);
    putBE(ssnd, 0, 4);
    putBE(ssnd, 0, 4);
    ssnd += QByteArray(qsizetype(frames), '\0');
    QByteArray b("FORM");
    putBE(b, quint32(4 + comm.size() + ssnd.size()), 4);
    b += "AIFF" + comm + ssnd;
    return b;
}

// MPEG-1 Layer III, 128 kbit/s, 44.1 kHz, stereo: 417-byte frames of 1152 samples, all silent.
inline QByteArray mp3Bytes(int frames)
{
    QByteArray frame(417, '\0');
    frame[0] = char(0xFF);
    frame[1] = char(0xFB);
    frame[2] = char(0x90);
    frame[3] = char(0x00);
    QByteArray b;
    b.reserve(frame.size() * frames);
    for (int i = 0; i < frames; ++i)
        b += frame;
    return b;
}

inline void setCommon(TagLib::Tag *tag, const Tags &t)
{
    tag->setTitle(tl(t.title));
    tag->setArtist(tl(t.artist));
    tag->setAlbum(tl(t.album));
    tag->setTrack(unsigned(t.track));
}

inline void setExtra(TagLib::File &f, const Tags &t)
{
    TagLib::PropertyMap p = f.properties();
    if (!t.albumArtist.isEmpty())
        p.replace("ALBUMARTIST", TagLib::StringList(tl(t.albumArtist)));
    if (t.disc > 0)
        p.replace("DISCNUMBER", TagLib::StringList(tl(QString::number(t.disc))));
    f.setProperties(p);
}

// An encoded file made once per run from a WAV by a Debian tool; empty when the tool is missing.
inline QByteArray encoded(const QString &folder, const QString &tool, const QStringList &args,
                          const QString &outName)
{
    if (QStandardPaths::findExecutable(tool).isEmpty())
        return {};
    const QString wav = QDir(folder).filePath(QStringLiteral("source-%1.wav").arg(tool));
    const QString out = QDir(folder).filePath(outName);
    if (!QFile::exists(out)) {
        writeBytes(wav, wavBytes(2000));
        QProcess p;
        p.start(tool, args + QStringList{QStringLiteral("-o"), out, wav});
        if (!p.waitForFinished(60000) || p.exitCode() != 0)
            return {};
    }
    QFile f(out);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline QByteArray flacBytes(const QString &scratch)
{
    return encoded(scratch, QStringLiteral("flac"), {QStringLiteral("--silent"), QStringLiteral("--force")},
                   QStringLiteral("source.flac"));
}

inline QByteArray oggBytes(const QString &scratch)
{
    return encoded(scratch, QStringLiteral("oggenc"), {QStringLiteral("--quiet")},
                   QStringLiteral("source.ogg"));
}

enum class Kind { Wav, Aiff, Mp3Id3v2, Mp3Id3v1, Flac, Ogg };

// Writes an audio file of the kind with the tags (empty texts and zero numbers are left out).
// Returns false when it cannot be made here (an encoder missing).
inline bool makeAudio(const QString &path, Kind kind, const Tags &t, const QString &scratch, int ms = 2000)
{
    QByteArray audio;
    switch (kind) {
    case Kind::Wav: audio = wavBytes(ms); break;
    case Kind::Aiff: audio = aiffBytes(ms); break;
    case Kind::Mp3Id3v2:
    case Kind::Mp3Id3v1: audio = mp3Bytes(ms * 441 / 11520); break;
    case Kind::Flac: audio = flacBytes(scratch); break;
    case Kind::Ogg: audio = oggBytes(scratch); break;
    }
    if (audio.isEmpty() || !writeBytes(path, audio))
        return false;
    const QByteArray name = QFile::encodeName(path);
    switch (kind) {
    case Kind::Wav: {
        TagLib::RIFF::WAV::File f(name.constData());
        setCommon(f.ID3v2Tag(), t);
        setExtra(f, t);
        return f.save();
    }
    case Kind::Aiff: {
        TagLib::RIFF::AIFF::File f(name.constData());
        setCommon(f.tag(), t);
        setExtra(f, t);
        return f.save();
    }
    case Kind::Mp3Id3v2: {
        TagLib::MPEG::File f(name.constData());
        setCommon(f.ID3v2Tag(true), t);
        setExtra(f, t);
        return f.save(TagLib::MPEG::File::ID3v2);
    }
    case Kind::Mp3Id3v1: {
        TagLib::MPEG::File f(name.constData());
        setCommon(f.ID3v1Tag(true), t);
        return f.save(TagLib::MPEG::File::ID3v1);
    }
    case Kind::Flac: {
        TagLib::FLAC::File f(name.constData());
        setCommon(f.xiphComment(true), t);
        setExtra(f, t);
        return f.save();
    }
    case Kind::Ogg: {
        TagLib::Ogg::Vorbis::File f(name.constData());
        setCommon(f.tag(), t);
        setExtra(f, t);
        return f.save();
    }
    }
    return false;
}

} // namespace fixtures
