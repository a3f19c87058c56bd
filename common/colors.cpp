#include "colors.h"

#include <QGuiApplication>
#include <QPalette>

namespace colors {

bool IsSystemColor(qint32 number)
{
    return (static_cast<quint32>(number) & 0xFF000000u) == 0x80000000u;
}

QColor ToQColor(qint32 number)
{
    const auto n = static_cast<quint32>(number);
    if (IsSystemColor(number)) {
        const QPalette pal = QGuiApplication::palette();
        switch (n & 0xFFu) {
        case 0x05: return pal.color(QPalette::Base);       // window background
        case 0x08: return pal.color(QPalette::WindowText); // window text
        case 0x0F: return pal.color(QPalette::Button);     // button face
        case 0x12: return pal.color(QPalette::ButtonText); // button text
        case 0x0D: return pal.color(QPalette::Highlight);
        case 0x0E: return pal.color(QPalette::HighlightedText);
        case 0x11: return pal.color(QPalette::Disabled, QPalette::Text);
        default: return pal.color(QPalette::WindowText);
        }
    }
    return QColor(static_cast<int>(n & 0xFFu), static_cast<int>((n >> 8) & 0xFFu),
                  static_cast<int>((n >> 16) & 0xFFu));
}

qint32 FromQColor(const QColor &color)
{
    return Rgb(color.red(), color.green(), color.blue());
}

} // namespace colors
