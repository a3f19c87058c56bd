// The complete set (booklet front, tray card, disc face on two sheets) of a full cover with a
// 6000 x 4000 photograph, exported as PDF, against the export of the cover alone (the
// baseline), in the same run; each with the photograph's paper copy decoded afresh.
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>

#include <vector>

#include "benchcover.h"
#include "benchmark.h"
#include "design.h"

int main(int argc, char *argv[])
{
    bench::PrepareHeadless();
    QApplication app(argc, argv);
    QTextStream out(stdout);
    bench::FullCover full;
    Design &d = full.design;
    const QString photo = full.file("photo.jpg");
    const QString cover = full.file("cover.pdf");
    const QString set = full.file("set.pdf");
    // The first of each loads fonts and the PDF machinery; not timed.
    QString error;
    if (!d.ExportCover(cover, pageexport::Format::Pdf, 0, &error) ||
        !d.ExportOutput(casepages::Output::Set, set, pageexport::Format::Pdf, 0, &error)) {
        out << "export failed: " << error << "\n";
        return 1;
    }
    const int runs = 7;
    std::vector<double> coverMs, setMs;
    for (int i = 0; i < runs; ++i) {
        d.Image1->LoadPicture(photo); // drops the paper copy: each decodes it afresh
        QElapsedTimer t;
        t.start();
        d.ExportCover(cover, pageexport::Format::Pdf, 0, nullptr);
        coverMs.push_back(double(t.nsecsElapsed()) / 1e6);
        d.Image1->LoadPicture(photo);
        t.start();
        d.ExportOutput(casepages::Output::Set, set, pageexport::Format::Pdf, 0, nullptr);
        setMs.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    const double one = bench::Median(coverMs), all = bench::Median(setMs);
    out << "Full cover: 6000 x 4000 photograph, two logos, both headlines, 20 titles, notice\n"
        << "Complete set as PDF (booklet front, tray card, disc face), median of " << runs << ": "
        << QString::number(all, 'f', 1) << " ms, " << QFileInfo(set).size() / 1024 << " KiB\n"
        << "baseline, Export PDF of the cover, median of " << runs << ": " << QString::number(one, 'f', 1)
        << " ms, " << QFileInfo(cover).size() / 1024 << " KiB\n"
        << "ratio set / cover: " << QString::number(all / one, 'f', 2) << " (goal <= 2.00)\n";
    return 0;
}
