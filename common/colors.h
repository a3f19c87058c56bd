#pragma once

#include <QColor>
#include <QPalette>

// Colour numbers as designs store them: 0x00BBGGRR, red in the low byte.
// Numbers 0x800000xx name system colours and are resolved from the palette
// when painting, but kept as numbers in the state.
namespace colors {

constexpr qint32 WindowText = static_cast<qint32>(0x80000008u);
constexpr qint32 White = 0x00FFFFFF;
constexpr qint32 LightGrey = 0x00C0C0C0;
constexpr qint32 Red = 0x000000FF;

bool IsSystemColor(qint32 number);
QColor ToQColor(qint32 number);
qint32 FromQColor(const QColor &color);
// Fills a widget's background with a colour number (a template, so that the
// painting code using these numbers needs no widgets).
template <class Widget> void FillBackground(Widget *widget, qint32 number)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, ToQColor(number));
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}
constexpr qint32 Rgb(int r, int g, int b)
{
    return (b << 16) | (g << 8) | r;
}

} // namespace colors
