#include "fonts.h"

#include <QFontDatabase>
#include <QImage>
#include <QPaintDevice>

namespace fonts {

void InstallSubstitutions()
{
    static const struct {
        const char *face;
        QStringList targets;
    } table[] = {
        {"MS Sans Serif", {"Liberation Sans", "Arimo", "DejaVu Sans"}},
        {"Microsoft Sans Serif", {"Liberation Sans", "Arimo", "DejaVu Sans"}},
        {"Arial", {"Liberation Sans", "Arimo", "DejaVu Sans"}},
        {"Helvetica", {"Liberation Sans", "DejaVu Sans"}},
        {"Tahoma", {"DejaVu Sans", "Liberation Sans"}},
        {"Verdana", {"DejaVu Sans", "Liberation Sans"}},
        {"MS Serif", {"Liberation Serif", "Tinos", "DejaVu Serif"}},
        {"Times New Roman", {"Liberation Serif", "Tinos", "DejaVu Serif"}},
        {"Times", {"Liberation Serif", "DejaVu Serif"}},
        {"Courier New", {"Liberation Mono", "Cousine", "DejaVu Sans Mono"}},
        {"Courier", {"Liberation Mono", "DejaVu Sans Mono"}},
        {"Braggadocio", {"DejaVu Serif", "Liberation Serif"}},
    };
    for (const auto &row : table)
        QFont::insertSubstitutions(QString::fromLatin1(row.face), row.targets);
}

QFont ForDevice(QFont font, const QPaintDevice *device)
{
    if (!device)
        return font;
    const int dpi = device->logicalDpiY();
    if (dpi > 0 && dpi != 96 && font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * 96.0 / dpi);
    return font;
}

const QPaintDevice *Reference96()
{
    static const QImage image = [] {
        QImage img(1, 1, QImage::Format_ARGB32);
        img.setDotsPerMeterX(3780); // 96.01 per inch, reported as 96
        img.setDotsPerMeterY(3780);
        return img;
    }();
    return &image;
}

void PrepareEnvironment()
{
    if (qEnvironmentVariableIsEmpty("QT_FONT_DPI"))
        qputenv("QT_FONT_DPI", "96");
}

} // namespace fonts
