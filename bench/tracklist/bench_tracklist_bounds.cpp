// What hostile track sources cost: peak memory and processor time of reading one crafted file,
// each in a child process of its own (so that one case's peak is not another's), against
// TagLib's own FileRef reading the same file by name, which is how the file was read before its
// headers were judged. And a CUE sheet of 99 FILE lines naming missing files, in a crowded
// folder, against listing that folder once. A playlist naming one big FLAC 10,000 times, against
// reading it once.
// Usage: bench_tracklist_bounds [folder-files] [all]  (default 100000; "all" also runs the
// baselines that take minutes or gigabytes: the 250 MB title and the 1 GiB of zeros).

#include "audio.h"
#include "cue.h"
#include "fixtures.h"
#include "playlist.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/tag.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

void fail(const char *what)
{
    std::fprintf(stderr, "bench_tracklist_bounds: %s\n", what);
    std::exit(2);
}

struct Cost {
    double wallS = 0;
    double cpuS = 0;
    double peakMb = 0;
};

Cost inChild(const std::function<void()> &work)
{
    std::fflush(stdout); // or the child prints what the parent has not yet
    QElapsedTimer t;
    t.start();
    const pid_t pid = ::fork();
    if (pid < 0)
        fail("cannot fork");
    if (pid == 0) {
        work();
        std::_Exit(0);
    }
    int status = 0;
    rusage ru{};
    if (::wait4(pid, &status, 0, &ru) != pid || !WIFEXITED(status))
        fail("the child did not end well");
    Cost c;
    c.wallS = double(t.nsecsElapsed()) / 1e9;
    c.cpuS = double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
             double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
    c.peakMb = double(ru.ru_maxrss) / 1024.0;
    return c;
}

QByteArray synchsafe(quint32 v)
{
    QByteArray b;
    for (const int shift : {21, 14, 7, 0})
        b.append(char((v >> shift) & 0x7F));
    return b;
}

// An MP3 whose ID3v2.4 title frame holds size bytes of "A": written out, as TagLib reads it.
QString titleFrameMp3(const QString &path, quint32 size)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        fail("cannot write a file");
    f.write(QByteArray("ID3\x04\0\0", 6) + synchsafe(size + 11) + "TIT2" + synchsafe(size + 1) +
            QByteArray(3, '\0'));
    const QByteArray chunk(1 << 20, 'A');
    for (quint32 left = size; left > 0;) {
        const quint32 n = std::min<quint32>(left, quint32(chunk.size()));
        f.write(chunk.constData(), n);
        left -= n;
    }
    f.write(fixtures::mp3Bytes(100));
    return path;
}

void report(const char *what, const Cost &ours, const Cost *base)
{
    std::printf("%s\n", what);
    std::printf("  %-34s %8.2f s cpu %8.2f s wall %9.0f MB peak\n", "ReadAudioFile", ours.cpuS, ours.wallS,
                ours.peakMb);
    if (base) {
        std::printf("  %-34s %8.2f s cpu %8.2f s wall %9.0f MB peak\n", "baseline: TagLib FileRef by name",
                    base->cpuS, base->wallS, base->peakMb);
        std::printf("  %-34s %8.3fx cpu %19s %8.3fx peak\n", "ours / baseline",
                    ours.cpuS / std::max(base->cpuS, 1e-3), "", ours.peakMb / base->peakMb);
    }
}

void compare(const char *what, const QString &path, bool withBaseline)
{
    const QByteArray name = QFile::encodeName(path);
    const Cost ours = inChild([&] {
        const tracklist::AudioFile f = tracklist::ReadAudioFile(path);
        std::printf("  (%s: %s; %lld bytes read)\n", what, qPrintable(f.track ? f.track->title : f.reason),
                    static_cast<long long>(f.bytesRead));
        std::fflush(stdout);
    });
    if (!withBaseline) {
        report(what, ours, nullptr);
        return;
    }
    const Cost base = inChild([&] {
        TagLib::FileRef ref(name.constData(), true, TagLib::AudioProperties::Fast);
        const std::wstring title = ref.isNull() ? std::wstring() : ref.tag()->title().toWString();
        std::printf("  (baseline: a title of %zu characters)\n", title.size());
        std::fflush(stdout);
    });
    report(what, ours, &base);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int folderFiles = argc > 1 ? std::max(10, atoi(argv[1])) : 100000;
    const bool all = argc > 2 && std::strcmp(argv[2], "all") == 0;
    QTemporaryDir tmp;
    if (!tmp.isValid())
        fail("cannot make a temporary folder");
    std::printf("hostile track sources: each read in a child process; goals under 100 MB and 1 s\n\n");

    compare("MP3 with a 50 MB title frame", titleFrameMp3(tmp.filePath("t50.mp3"), 50'000'000), true);
    QFile::remove(tmp.filePath("t50.mp3"));
    compare("MP3 with a 250 MB title frame", titleFrameMp3(tmp.filePath("t250.mp3"), 250'000'000), all);
    QFile::remove(tmp.filePath("t250.mp3"));
    {
        QFile zeros(tmp.filePath("zeros.mp3"));
        if (!zeros.open(QIODevice::WriteOnly) || !zeros.resize(qint64(1) << 30))
            fail("cannot make the sparse file");
    }
    compare("1 GiB of zeros named .mp3 (sparse)", tmp.filePath("zeros.mp3"), all);

    // A playlist naming one FLAC 10,000 times, whose metadata holds four 16 MiB pictures: the file
    // is read once, against reading it once.
    {
        const quint64 info =
            (quint64(44100) << 44) | (quint64(1) << 41) | (quint64(15) << 36) | quint64(44100 * 3);
        QByteArray flac = QByteArray("fLaC\0\0\0\x22", 8) + QByteArray::fromHex("1000100000000000");
        for (int i = 7; i >= 0; --i)
            flac += char((info >> (8 * i)) & 0xFF);
        flac += QByteArray(16, '\0');
        for (int i = 0; i < 4; ++i) {
            const int length = (1 << 24) - 1;
            flac += char(i == 3 ? 0x86 : 0x06);
            flac += QByteArray::fromHex("ffffff") + QByteArray::fromHex("000000030000000a") + "image/jpeg" +
                    QByteArray(20, '\0');
            const int data = length - 32 - 10;
            flac += char(data >> 24) + QByteArray(1, char(data >> 16)) + char(data >> 8) + char(data);
            flac += QByteArray(data, '\0');
        }
        flac += QByteArray::fromHex("fff8") + QByteArray(998, '\0');
        fixtures::writeBytes(tmp.filePath("cover.flac"), flac);
        fixtures::writeBytes(tmp.filePath("list.m3u"), QByteArray("cover.flac\n").repeated(10000));
    }
    const Cost once = inChild([&] {
        const tracklist::AudioFile f = tracklist::ReadAudioFile(tmp.filePath("cover.flac"));
        std::printf("  (one reading: %s)\n", qPrintable(f.track ? f.track->title : f.reason));
        std::fflush(stdout);
    });
    const Cost list = inChild([&] {
        const tracklist::ReadResult r = tracklist::ReadPlaylist(tmp.filePath("list.m3u"));
        std::printf("  (%lld tracks, %lld notes)\n", static_cast<long long>(r.tracks.size()),
                    static_cast<long long>(r.skipped.size()));
        std::fflush(stdout);
    });
    std::printf("playlist naming one FLAC with four 16 MiB pictures 10,000 times (goal under 3 s)\n");
    std::printf("  %-34s %8.3f s cpu %8.3f s wall %9.0f MB peak\n", "ReadPlaylist", list.cpuS, list.wallS,
                list.peakMb);
    std::printf("  %-34s %8.3f s cpu %8.3f s wall %9.0f MB peak\n", "baseline: reading the file once",
                once.cpuS, once.wallS, once.peakMb);
    std::printf("  %-34s %8.3fx wall\n\n", "ours / baseline", list.wallS / std::max(once.wallS, 1e-3));

    // 99 FILE lines naming missing files, in a folder of many files.
    const QString crowded = tmp.filePath("crowded");
    QDir().mkpath(crowded);
    for (int i = 0; i < folderFiles; ++i) {
        QFile f(QStringLiteral("%1/file%2.jpg").arg(crowded).arg(i));
        if (!f.open(QIODevice::WriteOnly))
            fail("cannot fill the folder");
    }
    QByteArray sheet;
    for (int i = 1; i <= 99; ++i)
        sheet += QStringLiteral("FILE \"gone%1.wav\" WAVE\n  TRACK %2 AUDIO\n    INDEX 01 00:00:00\n")
                     .arg(i)
                     .arg(i, 2, 10, QLatin1Char('0'))
                     .toUtf8();
    fixtures::writeBytes(crowded + "/sheet.cue", sheet);
    const Cost cue = inChild([&] {
        const tracklist::ReadResult r = tracklist::ReadCueSheet(crowded + "/sheet.cue");
        std::printf("  (%lld tracks, %lld notes)\n", static_cast<long long>(r.tracks.size()),
                    static_cast<long long>(r.skipped.size()));
    });
    const Cost listing = inChild([&] {
        const QStringList names = QDir(crowded).entryList(QDir::Files);
        std::printf("  (%lld names listed)\n", static_cast<long long>(names.size()));
    });
    std::printf("CUE sheet of 99 missing files in a folder of %d files (%lld bytes)\n", folderFiles,
                static_cast<long long>(sheet.size()));
    std::printf("  %-34s %8.3f s cpu %8.3f s wall\n", "ReadCueSheet", cue.cpuS, cue.wallS);
    std::printf("  %-34s %8.3f s cpu %8.3f s wall\n", "baseline: one listing of the folder", listing.cpuS,
                listing.wallS);
    std::printf("  %-34s %8.3fx cpu\n", "ours / baseline", cue.cpuS / std::max(listing.cpuS, 1e-3));
    return 0;
}
