// libFuzzer target for the track list readers that parse text we receive: CUE sheets, M3U and
// PLS playlists and plain text lists, then the cover formatting of what they give. Any broken
// promise aborts, so the fuzzer reports it as a crash. Built by fuzz/build.sh with clang; the
// normal build links it to the replay driver instead (tests/tracklist.cmake).

#include "coverformat.h"
#include "cue.h"
#include "playlist.h"
#include "text.h"
#include "textlist.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#define FUZZ_CHECK(cond)                                                                                     \
    do {                                                                                                     \
        if (!(cond)) {                                                                                       \
            std::fprintf(stderr, "tracklist fuzz check failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__);    \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)

namespace {

using namespace tracklist;

// A field fit for one cover line: bounded, no control characters or line breaks, no unpaired
// surrogates, no blanks at either end.
void checkField(const QString &s)
{
    FUZZ_CHECK(s.size() <= MaxFieldLength);
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t u = s[i].unicode();
        FUZZ_CHECK(u >= 0x20 && !(u >= 0x7F && u <= 0x9F) && u != 0x2028 && u != 0x2029);
        if (s[i].isHighSurrogate()) {
            FUZZ_CHECK(i + 1 < s.size() && s[i + 1].isLowSurrogate());
            ++i;
        } else {
            FUZZ_CHECK(!s[i].isLowSurrogate());
        }
    }
    if (!s.isEmpty())
        FUZZ_CHECK(!s.front().isSpace() && !s.back().isSpace());
    FUZZ_CHECK(CleanField(s) == s); // cleaning is idempotent
}

void checkDuration(qint64 ms)
{
    FUZZ_CHECK(ms == -1 || ms >= 0);
}

void checkCover(const QList<Track> &tracks, uint8_t flags)
{
    CoverOptions o;
    o.numbered = flags & 1;
    o.durations = flags & 2;
    o.replaceHeadlines = flags & 4;
    const CoverTexts c = FormatForCover(tracks, o, flags & 8 ? QStringLiteral("top") : QString(), QString());
    FUZZ_CHECK(c.leftOut == std::max<qsizetype>(0, tracks.size() - CoverMaxTitles));
    FUZZ_CHECK(c.titles.size() + c.leftOut == tracks.size());
    for (qsizetype i = 0; i < c.titles.size(); ++i)
        FUZZ_CHECK(c.titles[i].contains(tracks[i].title));
    if (c.topHeadline)
        FUZZ_CHECK(!c.topHeadline->isEmpty() && !(flags & 8 && !o.replaceHeadlines));
}

void checkCue(QByteArrayView bytes, uint8_t flags)
{
    const CueSheet sheet = ParseCueSheet(bytes);
    checkField(sheet.title);
    checkField(sheet.performer);
    FUZZ_CHECK(sheet.entries.size() <= MaxCueTracks);
    for (const CueSheet::Entry &e : sheet.entries) {
        checkField(e.title);
        checkField(e.performer);
        FUZZ_CHECK(e.number >= 0 && e.number <= 99);
        FUZZ_CHECK(e.startFrame >= -1);
        FUZZ_CHECK(e.file.size() <= MaxCueLineBytes);
    }
    // Files of any length, including none and shorter than the tracks' starts.
    const qint64 fileLength = flags & 16 ? -1 : qint64(flags) * 7919;
    const QList<Track> tracks = CueTracks(sheet, [&](const QString &) { return fileLength; });
    FUZZ_CHECK(tracks.size() == sheet.entries.size());
    for (const Track &t : tracks) {
        checkField(t.title);
        FUZZ_CHECK(!t.title.isEmpty());
        checkField(t.artist);
        checkDuration(t.durationMs);
        FUZZ_CHECK(t.durationMs != 0);
    }
    checkCover(tracks, flags);
}

void checkPlaylist(const Playlist &list)
{
    FUZZ_CHECK(list.entries.size() <= MaxPlaylistEntries);
    for (const PlaylistEntry &e : list.entries) {
        checkField(e.title);
        checkDuration(e.durationMs);
        FUZZ_CHECK(e.durationMs <= 24LL * 3600 * 1000);
        FUZZ_CHECK(!e.location.isEmpty());
        FUZZ_CHECK(e.location.size() <= MaxPlaylistLineBytes);
        const QString local = ResolveEntry(e.location, QStringLiteral("/music/list"));
        FUZZ_CHECK(local.isEmpty() || local.startsWith(u'/'));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const uint8_t flags = size > 0 ? data[size - 1] : 0;

    checkCue(bytes, flags);
    checkPlaylist(ParseM3u(bytes));
    checkPlaylist(ParsePls(bytes));

    const ReadResult text = ParseTextList(bytes);
    for (const Track &t : text.tracks) {
        checkField(t.title);
        FUZZ_CHECK(!t.title.isEmpty());
    }
    FUZZ_CHECK(text.tracks.size() <= MaxTextListLines);
    checkCover(text.tracks, flags);

    // The same bytes as UTF-16 text, as a tag library may hand it over.
    QString utf16(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(utf16.data(), data, size_t(utf16.size()) * sizeof(QChar));
    checkField(CleanField(utf16));
    checkField(CleanField(DecodeText(bytes)));

    // Inputs stay short; a stretched copy reaches the line and field caps now and then.
    if (size >= 4 && data[0] % 32 == 0) {
        QByteArray stretched(bytes.toByteArray());
        stretched.insert(qsizetype(data[1]) % (stretched.size() + 1),
                         QByteArray(MaxCueLineBytes + data[2] % 64, char(data[3])));
        checkCue(stretched, flags);
        checkPlaylist(ParseM3u(stretched));
    }
    return 0;
}
