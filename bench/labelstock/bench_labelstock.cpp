// The label stock index: its first use (the template files read and the cache written), a first
// use in a later run (the cache read), and later uses in the same run; against reading the
// files' bytes alone. Then the hostile files the reader must bound, each timed, with the peak
// memory of the whole run.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

#include "benchmark.h"
#include "labelstock.h"

namespace {

// The process's own CPU time: the machine may be shared, and the wall clock counts the others.
double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}
double lastWall = 0;
double ms(const std::function<void()> &work)
{
    QElapsedTimer t;
    t.start();
    const double c = cpuMs();
    work();
    lastWall = double(t.nsecsElapsed()) / 1e6;
    return cpuMs() - c;
}

QString cacheFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/sleeve/labelstock.index");
}

void hostile(const char *name, const std::function<void(QFile &)> &make)
{
    QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("hostile.xml")));
    if (!f.open(QIODevice::WriteOnly))
        return;
    make(f);
    f.close();
    labelstock::Library lib;
    const double t = ms([&] { lib = labelstock::Read({dir.path()}); });
    std::printf("  %-28s %8.1f ms CPU %8.1f ms wall  %s\n", name, t, lastWall,
                lib.notes.isEmpty() ? "(no note)" : qPrintable(lib.notes.constFirst().left(70)));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true); // a cache of its own
    const int runs = 15;
    std::vector<double> raw, cold, cached, later, coldWall, cachedWall;
    qint64 bytes = 0;
    for (int i = 0; i < runs; ++i) {
        raw.push_back(ms([&] {
            bytes = 0;
            for (const QString &folder : labelstock::Folders())
                for (const QFileInfo &fi :
                     QDir(folder).entryInfoList({QStringLiteral("*.xml")}, QDir::Files)) {
                    QFile f(fi.filePath());
                    if (f.open(QIODevice::ReadOnly))
                        bytes += f.readAll().size();
                }
        }));
        QFile::remove(cacheFile());
        labelstock::ForgetIndex();
        cold.push_back(ms([] { labelstock::Index(); }));
        coldWall.push_back(lastWall);
        labelstock::ForgetIndex();
        cached.push_back(ms([] { labelstock::Index(); }));
        cachedWall.push_back(lastWall);
        later.push_back(ms([] {
                            for (int k = 0; k < 1000; ++k)
                                labelstock::Index();
                        }) /
                        1000);
    }
    const double base = bench::Median(raw);
    std::printf("(CPU time of this process; medians of %d runs)\n", runs);
    std::printf("label stock index: %lld templates from %s (%lld bytes of XML)\n",
                qlonglong(labelstock::Index().templates.size()), qPrintable(labelstock::Folders().join(u' ')),
                qlonglong(bytes));
    std::printf("  baseline, the files' bytes read   %8.3f ms\n", base);
    std::printf(
        "  first use, files read, cache made %8.3f ms  (%.1fx baseline; target < 150 ms; wall %.1f ms)\n",
        bench::Median(cold), bench::Median(cold) / base, bench::Median(coldWall));
    std::printf(
        "  first use of a later run (cache)  %8.3f ms  (%.1fx baseline; target < 150 ms; wall %.1f ms)\n",
        bench::Median(cached), bench::Median(cached) / base, bench::Median(cachedWall));
    std::printf("  later use in the same run         %8.5f ms  (%.4fx baseline; target < 5 ms)\n",
                bench::Median(later), bench::Median(later) / base);

    std::printf("hostile template files (target each < 1000 ms, whole run < 256 MB):\n");
    hostile("bad units", [](QFile &f) {
        f.write(
            "<Glabels-templates><Template brand=\"A\" part=\"1\" size=\"A4\"><Label-cd radius=\"1parsec\" "
            "hole=\"1mm\"/></Template></Glabels-templates>");
    });
    hostile("a million templates", [](QFile &f) {
        f.write("<Glabels-templates>" + QByteArray("<Template/>").repeated(1000000) + "</Glabels-templates>");
    });
    hostile("20,000 templates under 2 MB", [](QFile &f) {
        f.write("<Glabels-templates>" + QByteArray("<Template brand=\"a\" part=\"b\"/>").repeated(60000));
    });
    hostile("nesting 1,000,000 deep", [](QFile &f) { f.write(QByteArray("<a>").repeated(600000)); });
    hostile("entities", [](QFile &f) {
        QByteArray dtd = "<!DOCTYPE t [<!ENTITY a \"lol\">";
        for (char c = 'b'; c <= 'j'; ++c)
            dtd += "<!ENTITY " + QByteArray(1, c) + " \"" +
                   QByteArray("&" + QByteArray(1, char(c - 1)) + ";").repeated(10) + "\">";
        f.write(dtd + "]><Glabels-templates><Template brand=\"&j;\"/></Glabels-templates>");
    });
    hostile("a 1 GB sparse file", [](QFile &f) { f.resize(qint64(1) << 30); });
    struct rusage use {};
    getrusage(RUSAGE_SELF, &use);
    std::printf("peak memory of the whole run: %.1f MB\n", double(use.ru_maxrss) / 1024);
    return 0;
}
