// Start-up of sleeveguide, its pictures built in, until its page is first
// painted, against the minimal Qt Widgets program that shows one empty
// window (bench/designer/minimal_window.cpp), measured in one run. The guide
// quits only after painting, so the ratio is if anything on its side.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTextStream>

#include <vector>

#include "benchmark.h"

static double guideRunOnce(const QString &program, const QStringList &args)
{
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.start(program, args);
    p.waitForFinished(30000);
    return t.nsecsElapsed() / 1e6;
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString dir = QCoreApplication::applicationDirPath();
    const QString guide = dir + QStringLiteral("/sleeveguide");
    const QString minimal = dir + QStringLiteral("/bench_minimal_window");
    const QStringList shown = {QStringLiteral("--quit-when-shown")};
    const int runs = 21;
    std::vector<double> a, b;
    guideRunOnce(guide, shown); // warm the file cache
    guideRunOnce(minimal, {});
    for (int i = 0; i < runs; ++i) {
        a.push_back(guideRunOnce(guide, shown));
        b.push_back(guideRunOnce(minimal, {}));
    }
    QTextStream out(stdout);
    const double ma = bench::Median(a), mb = bench::Median(b);
    out << "platform: " << qEnvironmentVariable("QT_QPA_PLATFORM", QStringLiteral("(default)")) << "\n"
        << "sleeveguide to its first painted page, median of " << runs << ": " << ma << " ms\n"
        << "minimal Qt window (baseline), median of " << runs << ": " << mb << " ms\n"
        << "ratio: " << ma / mb << " (goal <= 1.5)\n";
    return 0;
}
