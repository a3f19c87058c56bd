// Save and Open of a typical design without pictures, timed against
// the 5 ms goal. Baselines measured in the same run on the same bytes and folder:
//   plain QFile   - open/truncate, write, close; open, readAll, close (no atomicity, no decoding)
//   plain QSaveFile - the atomic write alone (temporary file, flush, fsync, rename)
// Usage: bench_designfile [runs] [folder...]. Each folder is measured on its own: a save's cost
// is mostly the device's flush (fsync), so it depends on the disk. By default the temporary
// folder's disk and /dev/shm (memory, where the flush costs nothing) are measured.

#include "designfile.h"
#include "textnumber.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

QStringList typicalDesign()
{
    using namespace textnum;
    QStringList r(designfile::RecordCount);
    const QString sys = Int32Form(qint32(0x80000008u));
    r[0] = "Midnight Sessions";
    r[1] = "Times New Roman";
    r[2] = RealForm(24.75f);
    r[3] = sys;
    r[4] = "Live at the Café — 1998";
    r[5] = "Arial";
    r[6] = RealForm(13.5f);
    r[7] = Int32Form(255);
    r[8] = Int32Form(0xFFFFFF);
    r[9] = Int16Form(4);
    r[10] = Int32Form(0);
    r[11] = Int16Form(0);
    r[12] = Int16Form(0);
    r[14] = RealForm(289);
    r[15] = RealForm(393);
    r[18] = Int16Form(1);
    r[19] = "2";
    r[20] = Int32Form(0);
    r[21] = Int16Form(1);
    r[22] = Int16Form(1);
    r[23] = "MS Sans Serif";
    r[24] = RealForm(8.25f);
    r[25] = sys;
    r[26] = Int16Form(0);
    for (int i = 27; i < 47; ++i)
        r[i] = QStringLiteral("Track %1 - A Song With a Reasonably Long Title").arg(i - 26);
    r[47] = "Produced by A. N. Other";
    r[48] = "Mixed at Studio 2";
    r[49] = "Mastered by Someone Else";
    r[50] = "All tracks recorded live at the Blue Room. Thanks to everyone who came along.";
    r[51] = "8";
    r[52] = "104";
    r[53] = "408";
    r[54] = "96";
    r[55] = Int16Form(1);
    r[56] = Int16Form(1);
    r[57] = Int16Form(0);
    r[58] = " 2026";
    r[59] = "Quirewell Records";
    r[60] = Int16Form(1);
    r[61] = Int16Form(1);
    r[62] = Int16Form(0);
    r[63] = BoolForm(true);
    r[64] = BoolForm(false);
    r[65] = Int16Form(0);
    r[66] = Int16Form(0);
    r[67] = BoolForm(true);
    for (int i = 68; i < designfile::RecordCount; ++i)
        r[i] = BoolForm(false);
    return r;
}

struct Stats {
    double median = 0, p90 = 0;
};

Stats measure(int runs, const std::function<void()> &work)
{
    for (int i = 0; i < std::min(runs, 20); ++i) // warm up caches and the allocator
        work();
    std::vector<double> ms;
    ms.reserve(size_t(runs));
    QElapsedTimer t;
    for (int i = 0; i < runs; ++i) {
        t.start();
        work();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms[std::min(ms.size() - 1, ms.size() * 9 / 10)]};
}

void fail(const char *what)
{
    std::fprintf(stderr, "bench_designfile: %s\n", what);
    std::exit(2);
}

struct Figures {
    Stats write, plainWrite, saveFile, read, plainRead;
};

Figures measureIn(const QString &folder, int runs, const QStringList &design, const QByteArray &bytes)
{
    QTemporaryDir tmp(folder + "/bench_designfile-XXXXXX");
    if (!tmp.isValid())
        fail("cannot make a temporary folder");
    const QString ours = tmp.filePath("design.qwd");
    const QString plain = tmp.filePath("plain.qwd");
    const QString saved = tmp.filePath("saved.qwd");
    Figures f;
    f.write = measure(runs, [&] {
        if (!designfile::Write(ours, design))
            fail("Write failed");
    });
    f.plainWrite = measure(runs, [&] {
        QFile file(plain);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            fail("QFile write failed");
    });
    f.saveFile = measure(runs, [&] {
        QSaveFile file(saved);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            fail("QSaveFile write failed");
    });
    f.read = measure(runs, [&] {
        const auto r = designfile::Read(ours);
        if (!r || designfile::Text(*r, 1) != design[0])
            fail("Read failed");
    });
    f.plainRead = measure(runs, [&] {
        QFile file(plain);
        if (!file.open(QIODevice::ReadOnly) || file.readAll().size() != bytes.size())
            fail("QFile read failed");
    });
    return f;
}

void row(const char *name, Stats s, const Stats *base)
{
    if (base)
        std::printf("  %-34s %10.4f %10.4f %11.2fx\n", name, s.median, s.p90, s.median / base->median);
    else
        std::printf("  %-34s %10.4f %10.4f %12s\n", name, s.median, s.p90, "baseline");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(10, atoi(argv[1])) : 300;
    QStringList folders;
    for (int i = 2; i < argc; ++i)
        folders << QString::fromLocal8Bit(argv[i]);
    if (folders.isEmpty()) {
        // The disk the temporary folder lives on (what a save costs there, fsync included),
        // and memory (what the code itself costs, the device's flush taken away).
        folders << QDir::tempPath();
        if (QFileInfo(QStringLiteral("/dev/shm")).isWritable())
            folders << QStringLiteral("/dev/shm");
    }

    const QStringList design = typicalDesign();
    const QByteArray bytes = designfile::Encode(design);
    constexpr double GoalMs = 5.0;
    std::printf("design file benchmark: %d runs each (median, 90th percentile), %lld-byte design "
                "of 75 records; goal: Save and Open under %.0f ms each\n",
                runs, static_cast<long long>(bytes.size()), GoalMs);

    const Stats encode = measure(runs * 10, [&] {
        if (designfile::Encode(design).size() != bytes.size())
            fail("Encode changed");
    });
    const Stats decode = measure(runs * 10, [&] {
        if (!designfile::Decode(bytes)[74])
            fail("Decode short");
    });
    std::printf("\nin memory\n");
    std::printf("  %-34s %10s %10s\n", "", "median ms", "p90 ms");
    std::printf("  %-34s %10.4f %10.4f\n", "designfile::Encode", encode.median, encode.p90);
    std::printf("  %-34s %10.4f %10.4f\n", "designfile::Decode", decode.median, decode.p90);

    for (const QString &folder : folders) {
        const Figures f = measureIn(folder, runs, design, bytes);
        std::printf("\nfolder %s\n", qPrintable(folder));
        std::printf("  %-34s %10s %10s %12s\n", "", "median ms", "p90 ms", "vs baseline");
        row("baseline: plain QFile write", f.plainWrite, nullptr);
        row("QSaveFile alone (Qt's fdatasync)", f.saveFile, &f.plainWrite);
        row("designfile::Write (Save)", f.write, &f.plainWrite);
        row("baseline: plain QFile readAll", f.plainRead, nullptr);
        row("designfile::Read (Open)", f.read, &f.plainRead);
        std::printf("  Write / QSaveFile alone: %.2fx\n", f.write.median / f.saveFile.median);
        std::printf("  goal %.0f ms: Save %.4f ms %s, Open %.4f ms %s\n", GoalMs, f.write.median,
                    f.write.median < GoalMs ? "met" : "MISSED", f.read.median,
                    f.read.median < GoalMs ? "met" : "MISSED");
    }
    return 0;
}
