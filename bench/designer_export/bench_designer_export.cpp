// A full cover (6000 x 4000 photograph, two logos, both headlines, twenty
// titles, the notice), measured in one run:
//  1. Export PDF against Print to a PDF file (the baseline), each with the
//     photograph's print copy decoded afresh, as after loading it;
//  2. `sleevedesk --export-pdf` from exec to exit, without a display, against
//     Open and the first export inside this running program (the baseline), which
//     decodes the photograph for paper as the process must;
//  3. `sleevedesk --export-pdf` of a design without pictures against
//     `sleevedesk --version` (the baseline), both as processes; and, as a second
//     baseline, bench_pdf_floor: Qt alone writing the same headline to a PDF.
// A fresh process pays a page fault on the first touch of each page, which
// on a virtual machine can cost more than the decoding; the count is shown.
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QTextStream>

#include <sys/resource.h>

#include <algorithm>
#include <vector>

#include "benchcover.h"
#include "benchmark.h"
#include "design.h"
#include "designfile.h"
#include "scriptrun.h"
#include "titles.h"

namespace {

double msSince(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    bench::PrepareHeadless();
    QApplication app(argc, argv);
    QTextStream out(stdout);
    bench::FullCover full;
    Design &d = full.design;
    const QString photo = full.file("photo.jpg");
    const QString design = full.file("cover.qwd");
    if (!designfile::Write(design, d.DesignRecords())) {
        out << "could not write the design\n";
        return 1;
    }

    QPrinter &printer = d.CommonDialog1.Printer();
    const QString printed = full.file("printed.pdf");
    const QString exported = full.file("exported.pdf");
    printer.setOutputFileName(printed);
    // The first of each loads fonts and the PDF machinery; not timed.
    d.Command7_Click();
    QString error;
    if (!d.ExportCover(exported, pageexport::Format::Pdf, 0, &error) || QFileInfo(printed).size() <= 0) {
        out << "printing or export failed: " << error << "\n";
        return 1;
    }

    const int runs = 7;
    std::vector<double> printMs, exportMs;
    for (int i = 0; i < runs; ++i) {
        d.Image1->LoadPicture(photo); // drops the print copy: each decodes it afresh
        QElapsedTimer t;
        t.start();
        d.Command7_Click();
        printMs.push_back(msSince(t));
        d.Image1->LoadPicture(photo);
        t.start();
        d.ExportCover(exported, pageexport::Format::Pdf, 0, nullptr);
        exportMs.push_back(msSince(t));
    }
    const double print = bench::Median(printMs), exportPdf = bench::Median(exportMs);
    out << "Full cover: 6000 x 4000 photograph, two logos, both headlines, 20 titles, notice\n"
        << "Export PDF, median of " << runs << ": " << QString::number(exportPdf, 'f', 1) << " ms, "
        << QFileInfo(exported).size() / 1024 << " KiB\n"
        << "baseline, Print to a PDF file (" << printer.resolution() << " dpi), median of " << runs << ": "
        << QString::number(print, 'f', 1) << " ms, " << QFileInfo(printed).size() / 1024 << " KiB\n"
        << "ratio export / print: " << QString::number(exportPdf / print, 'f', 2) << " (goal <= 1.20)\n\n";

    // The command line, as a script runs it: no display, no platform chosen.
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/sleevedesk");
    const QString cliPdf = full.file("cli.pdf");
    long faults = 0; // the last run's minor page faults
    auto runCli = [&] {
        struct rusage before {};
        ::getrusage(RUSAGE_CHILDREN, &before);
        QElapsedTimer t;
        t.start();
        const bool ok =
            scriptrun::Run(program, {QStringLiteral("--export-pdf"), cliPdf, design}).exitCode == 0;
        const double ms = msSince(t);
        struct rusage after {};
        ::getrusage(RUSAGE_CHILDREN, &after);
        faults = after.ru_minflt - before.ru_minflt;
        return ok ? ms : -1.0;
    };
    runCli(); // warms the file cache
    const auto records = designfile::Read(design);
    std::vector<double> cliMs, openedMs, warmMs;
    for (int i = 0; i < runs; ++i) {
        const double ms = runCli();
        if (ms < 0 || !records) {
            out << "sleevedesk --export-pdf failed\n";
            return 1;
        }
        cliMs.push_back(ms);
        // Open and the first export of the design inside this program ...
        Design opened;
        QElapsedTimer t;
        t.start();
        opened.LoadDesign(design, *records);
        opened.ExportCover(exported, pageexport::Format::Pdf, 0, nullptr);
        openedMs.push_back(msSince(t));
        // ... and the same export once more, everything at hand.
        t.start();
        opened.ExportCover(exported, pageexport::Format::Pdf, 0, nullptr);
        warmMs.push_back(msSince(t));
    }
    const double cli = bench::Median(cliMs), opened = bench::Median(openedMs), warm = bench::Median(warmMs);
    out << "sleevedesk --export-pdf, exec to exit without a display, median of " << runs << ": "
        << QString::number(cli, 'f', 1) << " ms\n"
        << "baseline, Open and the first export inside this program, median of " << runs << ": "
        << QString::number(opened, 'f', 1) << " ms\n"
        << "(page faults in the last process: " << faults << ")\n"
        << "ratio process / in-program: " << QString::number(cli / opened, 'f', 2) << " (goal <= 1.50)\n"
        << "(the same export repeated in the program, its picture decoded for paper already: "
        << QString::number(warm, 'f', 1) << " ms)\n\n";

    // A design without pictures, as a process, against the process that only says its version.
    Design plain;
    plain.Text1->setText(QStringLiteral("Harbour Lights"));
    const QString plainDesign = full.file("plain.qwd");
    if (!designfile::Write(plainDesign, plain.DesignRecords()))
        return 1;
    const QString floorProgram = QCoreApplication::applicationDirPath() + QStringLiteral("/bench_pdf_floor");
    const QString floorPdf = full.file("floor.pdf");
    std::vector<double> plainMs, versionMs, floorMs;
    for (int i = 0; i < runs + 2; ++i) {
        QElapsedTimer f;
        f.start();
        if (scriptrun::Run(floorProgram, {floorPdf}).exitCode != 0) {
            out << "bench_pdf_floor failed\n";
            return 1;
        }
        floorMs.push_back(msSince(f));
        QElapsedTimer t;
        t.start();
        const bool exportedPlain =
            scriptrun::Run(program, {QStringLiteral("--export-pdf"), cliPdf, plainDesign}).exitCode == 0;
        plainMs.push_back(msSince(t));
        t.start();
        const bool versioned = scriptrun::Run(program, {QStringLiteral("--version")}).exitCode == 0;
        versionMs.push_back(msSince(t));
        if (!exportedPlain || !versioned) {
            out << "sleevedesk failed\n";
            return 1;
        }
    }
    const double plainExport = bench::Median(plainMs), version = bench::Median(versionMs);
    out << "sleevedesk --export-pdf of a design without pictures, median of " << plainMs.size() << ": "
        << QString::number(plainExport, 'f', 1) << " ms\n"
        << "baseline, sleevedesk --version, median: " << QString::number(version, 'f', 1) << " ms\n"
        << "ratio: " << QString::number(plainExport / version, 'f', 2) << " (goal <= 1.30)\n";
    const double floor = bench::Median(floorMs);
    out << "second baseline, bench_pdf_floor (Qt writing the headline to a PDF, nothing else), median: "
        << QString::number(floor, 'f', 1) << " ms\n"
        << "ratio export / floor: " << QString::number(plainExport / floor, 'f', 2)
        << "; floor / sleevedesk --version: " << QString::number(floor / version, 'f', 2) << "\n";
    return 0;
}
