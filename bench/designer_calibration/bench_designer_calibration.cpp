// The complete set of a full cover (6000 x 4000 photograph) written as a PDF under a printer's
// calibration, read from the settings each time as a print reads it, against the same PDF without
// one (the baseline), interleaved in one run; each decodes the photograph's paper copy afresh.
// A scale above 100 % asks the photograph for more pixels than true size: where that crosses a
// step of the JPEG decoder's own scaling, the decoding costs more (shown apart).
#include <QApplication>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTextStream>

#include <optional>
#include <vector>

#include "benchcover.h"
#include "benchmark.h"
#include "calibration.h"
#include "design.h"
#include "pageexport.h"

int main(int argc, char *argv[])
{
    bench::PrepareHeadless();
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true); // the calibration is the bench's, not the user's
    QTextStream out(stdout);
    bench::FullCover full;
    Design &d = full.design;
    const QString photo = full.file("photo.jpg");
    const QString set = full.file("set.pdf");
    const auto write = [&](bool calibrated) {
        std::optional<pageexport::Calibrated> on;
        if (calibrated)
            on.emplace(calibration::Load(QStringLiteral("BENCH")));
        return d.ExportOutput(casepages::Output::Set, set, pageexport::Format::Pdf, 0, nullptr);
    };
    // The first loads fonts and the PDF machinery; not timed.
    calibration::Save(QStringLiteral("BENCH"), {2, 3, 1, 1});
    if (!write(false) || !write(true)) {
        out << "export failed\n";
        return 1;
    }
    const int runs = 7;
    out << "Complete set of a full cover as PDF, median of " << runs << "\n";
    for (const calibration::Correction &c :
         {calibration::Correction{2, 3, 1, 1}, calibration::Correction{2, 3, 0.99, 0.99},
          calibration::Correction{2, 3, 1.01, 1.01}, calibration::Correction{2, 3, 1.01, 0.99}}) {
        calibration::Save(QStringLiteral("BENCH"), c);
        std::vector<double> plainMs, calibratedMs;
        for (int i = 0; i < runs; ++i)
            for (bool calibrated : {false, true}) {
                d.Image1->LoadPicture(photo);
                QElapsedTimer t;
                t.start();
                write(calibrated);
                (calibrated ? calibratedMs : plainMs).push_back(double(t.nsecsElapsed()) / 1e6);
            }
        const double plain = bench::Median(plainMs), calibrated = bench::Median(calibratedMs);
        out << "  " << calibration::Describe(c) << ": " << QString::number(calibrated, 'f', 1)
            << " ms; baseline without one: " << QString::number(plain, 'f', 1)
            << " ms; ratio: " << QString::number(calibrated / plain, 'f', 3) << " (goal <= 1.05)\n";
    }
    calibration::Save(QStringLiteral("BENCH"), {});
    return 0;
}
