// The catalog of a big tree against `find` over the same tree, in one run:
//   - time: `sleeveindex --export-catalog OUT.pdf FOLDER` (the whole program,
//     start-up included) against `find FOLDER -printf '%s %TY %p\n'` to
//     /dev/null; goal at most 3x; wall clock and CPU time both given: the
//     least of each, and the median of the ratios of the runs;
//   - memory: the program's peak resident size; goal under 150 MB;
//   - imposing: `--impose` against the plain booklet of the same tree; goal at most 1.1x.
// Usage: bench_catalog [folder]   (without one, 100,000 files in 5,000 folders are made)
#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "benchmark.h"

namespace {

struct Run {
    double wallMs = 0, cpuMs = 0;
    long peakKb = 0;
    int status = -1;
};

double ms(const timeval &t)
{
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
}

// Runs argv with stdout and stderr to /dev/null; its own times and peak memory.
Run run(std::vector<const char *> argv)
{
    argv.push_back(nullptr);
    QElapsedTimer t;
    t.start();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::execvp(argv[0], const_cast<char *const *>(argv.data()));
        ::_exit(127);
    }
    Run r;
    rusage use{};
    ::wait4(pid, &r.status, 0, &use);
    r.wallMs = static_cast<double>(t.nsecsElapsed()) / 1e6;
    r.cpuMs = ms(use.ru_utime) + ms(use.ru_stime);
    r.peakKb = use.ru_maxrss;
    return r;
}

void makeTree(const QByteArray &root)
{
    // 50 folders of 99 subfolders each, with the root 5,001 folders; 20 files in each but the root.
    int n = 0;
    for (int a = 0; a < 50; ++a) {
        const QByteArray top = root + "/top" + QByteArray::number(a);
        ::mkdir(top.constData(), 0755);
        for (int b = 0; b < 100; ++b) {
            const QByteArray dir = b == 0 ? top : top + "/sub " + QByteArray::number(b);
            ::mkdir(dir.constData(), 0755);
            for (int f = 0; f < 20; ++f, ++n) {
                const QByteArray name = dir + "/file " + QByteArray::number(n) + ".dat";
                const int fd = ::open(name.constData(), O_CREAT | O_WRONLY, 0644);
                if (fd >= 0) {
                    const QByteArray body(n % 700, 'x');
                    if (::write(fd, body.constData(), static_cast<size_t>(body.size())) < 0)
                        std::perror("write");
                    ::close(fd);
                }
            }
        }
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir tmp;
    QByteArray tree = argc > 1 ? QByteArray(argv[1]) : QFile::encodeName(tmp.path()) + "/tree";
    if (argc <= 1) {
        ::mkdir(tree.constData(), 0755);
        std::printf("making 100000 files in 5000 folders in %s ...\n", tree.constData());
        makeTree(tree);
    }
    const QByteArray out = QFile::encodeName(tmp.path()) + "/catalog.pdf";
    const int runs = 5;
    std::vector<double> findWall, findCpu, catWall, catCpu, wallRatio, cpuRatio, impWall, impRatio;
    long peakKb = 0;
    run({"find", tree.constData(), "-printf", "%s %TY %p\\n"}); // both start from a warm cache
    for (int i = 0; i < runs; ++i) {
        // Side by side in each run, so that a busy machine slows both alike.
        const Run f = run({"find", tree.constData(), "-printf", "%s %TY %p\\n"});
        const Run c = run({SLEEVEINDEX, "--export-catalog", out.constData(), tree.constData()});
        if (c.status != 0) {
            std::printf("sleeveindex failed (status %d)\n", c.status);
            return 1;
        }
        const Run im = run({SLEEVEINDEX, "--export-catalog", out.constData(), "--impose", tree.constData()});
        if (im.status != 0) {
            std::printf("sleeveindex --impose failed (status %d)\n", im.status);
            return 1;
        }
        impWall.push_back(im.wallMs);
        impRatio.push_back(im.wallMs / c.wallMs);
        findWall.push_back(f.wallMs);
        findCpu.push_back(f.cpuMs);
        catWall.push_back(c.wallMs);
        catCpu.push_back(c.cpuMs);
        wallRatio.push_back(c.wallMs / f.wallMs);
        cpuRatio.push_back(c.cpuMs / f.cpuMs);
        peakKb = std::max(peakKb, c.peakKb);
    }
    auto least = [](const std::vector<double> &v) { return *std::min_element(v.begin(), v.end()); };
    std::printf("find:     %8.0f ms wall, %8.0f ms CPU\n", least(findWall), least(findCpu));
    std::printf("catalog:  %8.0f ms wall, %8.0f ms CPU\n", least(catWall), least(catCpu));
    std::printf("ratio of the least times: wall %.2fx, CPU %.2fx (goal <= 3x)\n",
                least(catWall) / least(findWall), least(catCpu) / least(findCpu));
    std::printf("median of the runs' ratios: wall %.2fx, CPU %.2fx\n", bench::Median(wallRatio),
                bench::Median(cpuRatio));
    std::printf(
        "imposed:  %8.0f ms wall; against the plain booklet: least %.2fx, median %.2fx (goal <= 1.1x)\n",
        least(impWall), least(impWall) / least(catWall), bench::Median(impRatio));
    std::printf("peak resident memory of the catalog: %.1f MB (goal < 150 MB)\n",
                static_cast<double>(peakKb) / 1024.0);
    return 0;
}
