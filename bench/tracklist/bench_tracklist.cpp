// Reading the tags of a folder of MP3 files (ID3v2: title, artist, album, album artist, track,
// disc; 3 s of silent MPEG frames each), made here for the run. Baseline, measured in the same
// run over the same files: TagLib's own FileRef loop reading title, artist, album, track and
// length of each path in a ready list. Ours: ReadAudioFolder (listing the folder, checking each
// file is regular, reading through our descriptor stream, album artist and disc too, ordering)
// and ReadAudioFiles over the same list as the baseline.
// Usage: bench_tracklist [files] [big-files] [runs] (defaults 1000, 10000, 5).

#include "audio.h"
#include "benchmark.h"
#include "fixtures.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/tag.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <vector>

namespace {

void fail(const char *what)
{
    std::fprintf(stderr, "bench_tracklist: %s\n", what);
    std::exit(2);
}

// One tagged file made with TagLib; the others are its bytes with the number in the title
// changed in place (same length), which is quicker than tagging thousands of files.
QStringList makeFolder(const QString &folder, int count)
{
    QDir().mkpath(folder);
    const QString first = folder + "/template.mp3";
    fixtures::Tags t;
    t.title = "Song number 000000";
    t.artist = "The Benchmark Orchestra";
    t.album = "Ten Thousand Tracks";
    t.albumArtist = "Various Artists";
    t.track = 1;
    t.disc = 1;
    if (!fixtures::makeAudio(first, fixtures::Kind::Mp3Id3v2, t, folder, 3000))
        fail("cannot make the MP3 template");
    QFile f(first);
    if (!f.open(QIODevice::ReadOnly))
        fail("cannot read the template");
    const QByteArray bytes = f.readAll();
    f.close();
    QFile::remove(first);
    const qsizetype at = bytes.indexOf("000000");
    if (at < 0)
        fail("no title in the template");
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        QByteArray copy = bytes;
        copy.replace(at, 6, QByteArray::number(i).rightJustified(6, '0'));
        const QString p = QStringLiteral("%1/%2 song.mp3").arg(folder).arg(i, 5, 10, QLatin1Char('0'));
        if (!fixtures::writeBytes(p, copy))
            fail("cannot write a file");
        paths << p;
    }
    return paths;
}

long long fileRefLoop(const std::vector<QByteArray> &paths)
{
    long long total = 0;
    for (const QByteArray &p : paths) {
        TagLib::FileRef f(p.constData(), true, TagLib::AudioProperties::Fast);
        if (f.isNull() || !f.tag())
            fail("FileRef cannot read a file");
        total +=
            f.tag()->title().size() + f.tag()->artist().size() + f.tag()->album().size() + f.tag()->track();
        total += f.audioProperties() ? f.audioProperties()->lengthInMilliseconds() : 0;
    }
    return total;
}

double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// Wall time, and in *cpu the processor time (user and system) the work took: on a machine
// shared with other work the wall time grows, the processor time much less.
double ms(const std::function<void()> &work, double *cpu = nullptr)
{
    QElapsedTimer t;
    const double c0 = cpuMs();
    t.start();
    work();
    const double wall = double(t.nsecsElapsed()) / 1e6;
    if (cpu)
        *cpu = cpuMs() - c0;
    return wall;
}

struct Round {
    double base, folder, files;
    double baseCpu, folderCpu;
};

Round measure(const QString &folder, const QStringList &paths, int runs)
{
    std::vector<QByteArray> raw;
    for (const QString &p : paths)
        raw.push_back(QFile::encodeName(p));
    // Warm the page cache and the allocator for both.
    fileRefLoop(raw);
    tracklist::ReadAudioFolder(folder);
    std::vector<double> base, ours, files, baseCpu, oursCpu;
    for (int r = 0; r < runs; ++r) { // taken in turns, so that drift hits both alike
        double cpu = 0;
        base.push_back(ms([&] { fileRefLoop(raw); }, &cpu));
        baseCpu.push_back(cpu);
        ours.push_back(ms(
            [&] {
                const auto res = tracklist::ReadAudioFolder(folder);
                if (res.tracks.size() != paths.size())
                    fail("ReadAudioFolder missed files");
            },
            &cpu));
        oursCpu.push_back(cpu);
        files.push_back(ms([&] {
            if (tracklist::ReadAudioFiles(paths).tracks.size() != paths.size())
                fail("ReadAudioFiles missed files");
        }));
    }
    return {bench::Median(base), bench::Median(ours), bench::Median(files), bench::Median(baseCpu),
            bench::Median(oursCpu)};
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::max(10, atoi(argv[1])) : 1000;
    const int big = argc > 2 ? std::max(10, atoi(argv[2])) : 10000;
    const int runs = argc > 3 ? std::max(1, atoi(argv[3])) : 5;
    QTemporaryDir tmp;
    if (!tmp.isValid())
        fail("cannot make a temporary folder");

    std::printf("track list benchmark: MP3 files with ID3v2 tags, median of %d runs each\n\n", runs);
    std::printf("  %-46s %10s %12s %12s\n", "", "median ms", "vs baseline", "cpu ms");
    for (const int n : {count, big}) {
        const QString folder = tmp.filePath(QStringLiteral("mp3-%1").arg(n));
        const QStringList paths = makeFolder(folder, n);
        const Round r = measure(folder, paths, runs);
        std::printf("%d files\n", n);
        std::printf("  %-46s %10.1f %12s %12.1f\n", "baseline: TagLib FileRef loop over the list", r.base,
                    "baseline", r.baseCpu);
        std::printf("  %-46s %10.1f %11.2fx\n", "ReadAudioFiles (the same list)", r.files, r.files / r.base);
        std::printf("  %-46s %10.1f %11.2fx %12.1f\n", "ReadAudioFolder (lists the folder too)", r.folder,
                    r.folder / r.base, r.folderCpu);
    }
    std::printf("\ngoals: ReadAudioFolder of %d files at most 1.5x the baseline; of %d files under 2000 ms\n",
                count, big);
    return 0;
}
