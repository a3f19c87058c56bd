#pragma once

#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QString>

namespace bench {

// A JPEG with a gradient and thousands of patches, so that it compresses like a photograph
// rather than a flat fill; `seed` varies its colours.
inline void MakePhoto(const QString &path, QSize size, int seed)
{
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, size.width(), size.height());
    g.setColorAt(0, QColor::fromHsv(seed * 40 % 360, 180, 90));
    g.setColorAt(1, QColor::fromHsv(seed * 70 % 360, 120, 240));
    p.fillRect(img.rect(), g);
    for (int i = 0; i < 4000; ++i)
        p.fillRect((i * 137 + seed) % size.width(), (i * 89 + seed) % size.height(),
                   size.width() / 60 + i % 7, size.height() / 60 + i % 5,
                   QColor::fromHsv((i * 7 + seed) % 360, 160 + i % 90, 120 + i % 130));
    p.end();
    img.save(path, "JPG", 90);
}

} // namespace bench
