// The least a process can do to export a design without pictures: start Qt without a
// display, find the headline's font and write it to a one-page PDF, nothing else. Run by
// bench_designer_export as a second baseline, to show what of the export is Qt's and the
// system's own (the font configuration, the embedded font) and what is ours.
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "fonts.h"

int main(int argc, char *argv[])
{
    if (argc != 2)
        return 1;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    fonts::PrepareEnvironment();
    QGuiApplication app(argc, argv);
    fonts::InstallSubstitutions();
    QPdfWriter pdf(QString::fromLocal8Bit(argv[1]));
    pdf.setPageSize(QPageSize(QSizeF(121, 121), QPageSize::Millimeter));
    pdf.setResolution(1200);
    QPainter p(&pdf);
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPointSizeF(18);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(0, 0, 4000, 1000), Qt::AlignCenter, QStringLiteral("Harbour Lights"));
    return p.end() ? 0 : 1;
}
