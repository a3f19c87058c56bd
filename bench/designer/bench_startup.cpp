// Start-up of sleevedesk to its first shown window, against a minimal Qt
// Widgets program that shows one empty window, measured in one run.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTextStream>

#include <algorithm>
#include <vector>

#include "benchmark.h"

static double runOnce(const QString &program, const QStringList &args)
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
    const QString desk = dir + QStringLiteral("/sleevedesk");
    const QString minimal = dir + QStringLiteral("/bench_minimal_window");
    const int runs = 21;
    std::vector<double> a, b;
    runOnce(desk, {QStringLiteral("--quit-when-shown")}); // warm the file cache
    runOnce(minimal, {});
    for (int i = 0; i < runs; ++i) {
        a.push_back(runOnce(desk, {QStringLiteral("--quit-when-shown")}));
        b.push_back(runOnce(minimal, {}));
    }
    QTextStream out(stdout);
    const double ma = bench::Median(a), mb = bench::Median(b);
    out << "platform: " << qEnvironmentVariable("QT_QPA_PLATFORM", QStringLiteral("(default)")) << "\n"
        << "sleevedesk to first window, median of " << runs << ": " << ma << " ms\n"
        << "minimal Qt window (baseline), median of " << runs << ": " << mb << " ms\n"
        << "ratio: " << ma / mb << " (goal <= 1.5)\n";
    return 0;
}
