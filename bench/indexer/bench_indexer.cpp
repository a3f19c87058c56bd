// Figures for the index maker's lists, each against a baseline measured in
// the same run:
//   - filling one file list with a folder of 100,000 files, against `ls -1`
//     of that folder (to /dev/null); goal at most 2x;
//   - opening that folder in Dir1 under layout 1 (eleven lists follow),
//     against filling one list; goal at most 1.5x;
//   - switching between two layouts; goal under 5 ms;
//   - flowing a folder of 50,000 files across the six file lists of layout
//     4, against filling one list with it; goal at most 1.2x; both the flow
//     alone and opening the folder with the flow (six lists to lay out);
//   - exporting the two-sided page to PDF, against exporting a blank page
//     of the same size; goal under 300 ms.
// Usage: bench_indexer [folder]   (without one, a temporary folder is made)
#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "benchmark.h"
#include "fonts.h"
#include "form1.h"
#include "fslists.h"
#include "pageexport.h"

namespace {

// The least of the runs: on a shared machine the others only add noise.
double best(const std::vector<double> &v)
{
    return *std::min_element(v.begin(), v.end());
}

template <typename F> double timeMs(F &&f)
{
    QElapsedTimer t;
    t.start();
    f();
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

void settle()
{
    QCoreApplication::processEvents();
}

} // namespace

int main(int argc, char *argv[])
{
    fonts::PrepareEnvironment();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    fonts::InstallSubstitutions();

    QTemporaryDir tmp;
    QByteArray big, small;
    if (argc > 1) {
        big = fsl::CleanPath(QByteArray(argv[1]));
    } else {
        big = QFile::encodeName(tmp.path()) + "/many";
        ::mkdir(big.constData(), 0755);
        std::printf("making 100000 files in %s ...\n", big.constData());
        for (int i = 0; i < 100000; ++i) {
            const QByteArray name = big + "/file " + QByteArray::number(i) + ".txt";
            const int fd = ::open(name.constData(), O_CREAT | O_WRONLY, 0644);
            if (fd >= 0)
                ::close(fd);
        }
    }
    small = QFile::encodeName(tmp.path()) + "/small";
    ::mkdir(small.constData(), 0755);
    const int runs = 11;

    fsl::FileListBox list;
    list.resize(130, 405);
    list.show();
    Form1 form;
    form.Form_Initialize();
    settle();

    // Each run measures the three side by side, so that a busy machine slows
    // the baseline and the measured step alike; the ratios are per run.
    std::vector<double> ls, one, linked, fillRatio, linkRatio;
    quint64 reads = 0;
    for (int i = 0; i < runs; ++i) {
        // Baseline: ls -1 of the same folder.
        QProcess p;
        p.setStandardOutputFile(QProcess::nullDevice());
        ls.push_back(timeMs([&] {
            p.start(QStringLiteral("ls"), {QStringLiteral("-1"), QFile::decodeName(big)});
            p.waitForFinished(-1);
        }));
        // One file list, shown, filled and laid out.
        list.SetNativePath(small);
        settle();
        one.push_back(timeMs([&] {
            list.SetNativePath(big);
            settle();
        }));
        // Layout 1: Dir1 opens the folder and the eleven other lists follow.
        form.Dir1->SetNativePath(small);
        settle();
        const quint64 before = fsl::ListingCache::ReadCount();
        linked.push_back(timeMs([&] {
            form.Dir1->SetNativePath(big);
            settle();
        }));
        reads = fsl::ListingCache::ReadCount() - before;
        fillRatio.push_back(one.back() / ls.back());
        linkRatio.push_back(linked.back() / one.back());
    }
    const int rows = list.ListCount();

    // Flowing: 50,000 files across the six file lists of layout 4.
    const QByteArray flow = QFile::encodeName(tmp.path()) + "/flow";
    ::mkdir(flow.constData(), 0755);
    for (int i = 0; i < 50000; ++i) {
        const QByteArray name = flow + "/track " + QByteArray::number(i) + ".mp3";
        const int fd = ::open(name.constData(), O_CREAT | O_WRONLY, 0644);
        if (fd >= 0)
            ::close(fd);
    }
    form.Option4->click();
    settle();
    std::vector<double> oneFlow, opened, flowed, flowOnly, flowRatio, flowOnlyRatio, overOpen;
    for (int i = 0; i < runs; ++i) {
        list.SetNativePath(small);
        settle();
        oneFlow.push_back(timeMs([&] {
            list.SetNativePath(flow);
            settle();
        }));
        // The same folder opened in layout 4 without flowing: six file lists to lay out.
        form.Dir1->SetNativePath(small);
        settle();
        opened.push_back(timeMs([&] {
            form.Dir1->SetNativePath(flow);
            settle();
        }));
        form.Dir1->SetNativePath(small);
        settle();
        flowed.push_back(timeMs([&] {
            form.Dir1->SetNativePath(flow);
            form.FlowColumns();
            settle();
        }));
        flowOnly.push_back(timeMs([&] {
            form.FlowColumns();
            settle();
        }));
        flowRatio.push_back(flowed.back() / oneFlow.back());
        overOpen.push_back(flowed.back() / opened.back());
        flowOnlyRatio.push_back(flowOnly.back() / oneFlow.back());
    }
    const int notShown = form.FilesNotShown();
    list.hide();

    // Exporting the two-sided page (layout 4, flowed) to PDF.
    const QString pdf = tmp.filePath(QStringLiteral("index.pdf"));
    std::vector<double> exported, blank, exportRatio;
    for (int i = 0; i < runs; ++i) {
        blank.push_back(timeMs(
            [&] { pageexport::ExportPdf(pdf, QString(), QSizeF(form.size()), 0, [](QPainter &) {}); }));
        exported.push_back(timeMs([&] { form.ExportPdf(pdf); }));
        exportRatio.push_back(exported.back() / blank.back());
    }

    // Switching between two layouts, with the lists full. Every list has been
    // shown once: the first showing of a list lays out its rows.
    for (int n = 1; n <= 20; ++n) {
        form.Options[static_cast<size_t>(n)]->click();
        settle();
    }
    std::vector<double> switches;
    const std::pair<int, int> pairs[] = {{1, 4}, {12, 17}, {3, 19}};
    for (const auto &[a, b] : pairs) {
        for (int i = 0; i < 40; ++i) {
            const int n = i % 2 ? a : b;
            // The choice applied and the whole window painted anew.
            switches.push_back(timeMs([&] {
                form.Options[static_cast<size_t>(n)]->click();
                settle();
                form.repaint();
            }));
        }
    }

    const double switchMax = *std::max_element(switches.begin(), switches.end());
    std::printf("folder: %s (%d files); best and median of %d runs\n", big.constData(), rows, runs);
    std::printf("ls -1 > /dev/null           %8.1f ms  (median %.1f)\n", best(ls), bench::Median(ls));
    std::printf("fill one file list          %8.1f ms  (median %.1f)  ratio to ls -1: median %.2f, "
                "of bests %.2f (goal <= 2)\n",
                best(one), bench::Median(one), bench::Median(fillRatio), best(one) / best(ls));
    std::printf("open in Dir1, layout 1      %8.1f ms  (median %.1f)  ratio to one list: median %.2f, "
                "of bests %.2f (goal <= 1.5); folders read: %llu\n",
                best(linked), bench::Median(linked), bench::Median(linkRatio), best(linked) / best(one),
                static_cast<unsigned long long>(reads));
    std::printf("switch layouts              %8.2f ms  (median %.2f, max %.2f of %zu) (goal < 5)\n",
                best(switches), bench::Median(switches), switchMax, switches.size());
    std::printf("fill one list, 50000 files  %8.1f ms  (median %.1f)\n", best(oneFlow),
                bench::Median(oneFlow));
    std::printf("open, layout 4, no flow     %8.1f ms  (median %.1f)\n", best(opened), bench::Median(opened));
    std::printf("open and flow, layout 4     %8.1f ms  (median %.1f)  ratio to one list: median %.2f, "
                "of bests %.2f; to opening without flow: median %.2f; %d files not shown\n",
                best(flowed), bench::Median(flowed), bench::Median(flowRatio), best(flowed) / best(oneFlow),
                bench::Median(overOpen), notShown);
    std::printf(
        "flow columns alone          %8.2f ms  (median %.2f)  ratio to one list: median %.2f (goal <= 1.2)\n",
        best(flowOnly), bench::Median(flowOnly), bench::Median(flowOnlyRatio));
    std::printf("blank page to PDF           %8.1f ms  (median %.1f)\n", best(blank), bench::Median(blank));
    std::printf("two-sided index to PDF      %8.1f ms  (median %.1f, max %.1f) (goal < 300); ratio to blank: "
                "median %.2f\n",
                best(exported), bench::Median(exported), *std::max_element(exported.begin(), exported.end()),
                bench::Median(exportRatio));
    return 0;
}
