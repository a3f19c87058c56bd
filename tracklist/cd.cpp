#include "cd.h"
#include "names.h"

#include "text.h"

#include <QFile>

#include <cdio/cdio.h>
#include <cdio/cdtext.h>
#include <cdio/logging.h>

#include <cstdlib>
#include <memory>
#include <sys/stat.h>

namespace tracklist {
namespace {

// libcdio reports every failed probe on stderr; the user gets our one message instead.
void quietLog(cdio_log_level_t, const char *)
{}

QByteArray cdText(const cdtext_t *text, cdtext_field_t field, track_t track)
{
    if (!text)
        return {};
    const char *s = cdtext_get_const(text, field, track);
    return s ? QByteArray(s) : QByteArray();
}

} // namespace

ReadResult TracksFromCd(const CdInfo &disc)
{
    ReadResult result;
    const QString album = CleanField(DecodeText(disc.title));
    const QString albumArtist = CleanField(DecodeText(disc.performer));
    for (const CdTrackInfo &info : disc.tracks) {
        if (!info.audio) {
            result.skipped.append(
                {QStringLiteral("track %1").arg(info.number), QStringLiteral("a data track, not audio")});
            continue;
        }
        Track t;
        t.number = info.number;
        t.title = CleanField(DecodeText(info.title));
        if (t.title.isEmpty())
            t.title = QStringLiteral("Track %1").arg(info.number);
        t.artist = CleanField(DecodeText(info.performer));
        if (t.artist.isEmpty())
            t.artist = albumArtist;
        t.album = album;
        t.albumArtist = albumArtist;
        t.durationMs = info.frames >= 0 ? info.frames * 1000 / 75 : -1;
        t.sourcePath = disc.device;
        result.tracks.append(std::move(t));
    }
    if (result.tracks.isEmpty())
        result.error = QStringLiteral("The disc in %1 has no audio tracks.").arg(disc.device);
    return result;
}

ReadResult ReadAudioCd(const QString &device)
{
    cdio_log_set_handler(quietLog);
    ReadResult result;
    QString drive = device;
    if (drive.isEmpty()) {
        char *found = cdio_get_default_device(nullptr);
        if (found) {
            drive = names::Decode(found);
            std::free(found);
        }
        if (drive.isEmpty()) {
            result.error = QStringLiteral("No CD drive was found.");
            return result;
        }
    }
    const QByteArray name = names::Encode(drive);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) {
        result.error = device.isEmpty() ? QStringLiteral("No CD drive was found.")
                                        : QStringLiteral("There is no CD drive %1.").arg(drive);
        return result;
    }
    if (!S_ISBLK(st.st_mode)) {
        result.error = QStringLiteral("%1 is not a CD drive.").arg(drive);
        return result;
    }
    const std::unique_ptr<CdIo_t, void (*)(CdIo_t *)> cd(cdio_open(name.constData(), DRIVER_DEVICE),
                                                         cdio_destroy);
    if (!cd) {
        result.error = QStringLiteral("Cannot open the CD drive %1.").arg(drive);
        return result;
    }
    const track_t first = cdio_get_first_track_num(cd.get());
    const track_t count = cdio_get_num_tracks(cd.get());
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0) {
        result.error = QStringLiteral("There is no audio CD in the drive %1.").arg(drive);
        return result;
    }
    CdInfo disc;
    disc.device = drive;
    const cdtext_t *text = cdio_get_cdtext(cd.get());
    disc.title = cdText(text, CDTEXT_FIELD_TITLE, 0);
    disc.performer = cdText(text, CDTEXT_FIELD_PERFORMER, 0);
    for (int t = first; t < first + count && t <= 99; ++t) {
        const auto track = static_cast<track_t>(t);
        CdTrackInfo info;
        info.number = t;
        info.audio = cdio_get_track_format(cd.get(), track) == TRACK_FORMAT_AUDIO;
        const unsigned int sectors = cdio_get_track_sec_count(cd.get(), track);
        info.frames = sectors > 0 ? qint64(sectors) : -1;
        info.title = cdText(text, CDTEXT_FIELD_TITLE, track);
        info.performer = cdText(text, CDTEXT_FIELD_PERFORMER, track);
        disc.tracks.append(info);
    }
    return TracksFromCd(disc);
}

} // namespace tracklist
