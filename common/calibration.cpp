#include "calibration.h"

#include <QFont>
#include <QPainter>
#include <QSettings>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace calibration {

namespace {

// Shared by both programs: the designer's settings, where its dialog and command line keep it.
QSettings calibrationSettings()
{
    return QSettings(QStringLiteral("Sleeve"), QStringLiteral("sleevedesk"));
}

// A queue name as one settings key: '/' and '\' would start groups.
QString queueKey(const QString &queue)
{
    return QStringLiteral("Calibration/") + QString::fromLatin1(QUrl::toPercentEncoding(queue));
}

// Rounded to whole steps of 1/perUnit, as the nearest double to the decimal a user types.
double toSteps(double v, double lo, double hi, double perUnit)
{
    return std::round(std::clamp(v, lo, hi) * perUnit) / perUnit;
}

double offsetStepped(double mm)
{
    return toSteps(mm, -MaxOffsetMm, MaxOffsetMm, 1 / OffsetStepMm);
}

double scaleStepped(double s)
{
    return toSteps(s, 1 - MaxScalePercent / 100, 1 + MaxScalePercent / 100, 100 / ScaleStepPercent);
}

bool withinBound(double v, double bound)
{
    // Half a step of slack: a typed bound must not fail on its last binary digit.
    return std::isfinite(v) && std::abs(v) <= bound + 1e-9;
}

} // namespace

bool InRange(const Correction &c)
{
    return withinBound(c.dxMm, MaxOffsetMm) && withinBound(c.dyMm, MaxOffsetMm) &&
           withinBound((c.sx - 1) * 100, MaxScalePercent) && withinBound((c.sy - 1) * 100, MaxScalePercent);
}

Correction Clamped(const Correction &c)
{
    const auto finite = [](double v, double fallback) { return std::isfinite(v) ? v : fallback; };
    return {offsetStepped(finite(c.dxMm, 0)), offsetStepped(finite(c.dyMm, 0)), scaleStepped(finite(c.sx, 1)),
            scaleStepped(finite(c.sy, 1))};
}

Correction Load(const QString &queue)
{
    if (queue.isEmpty())
        return {};
    QSettings s = calibrationSettings();
    s.beginGroup(queueKey(queue));
    // What an edited file holds is held to the bounds like anything typed.
    return Clamped(
        {s.value(QStringLiteral("dx"), 0.0).toDouble(), s.value(QStringLiteral("dy"), 0.0).toDouble(),
         s.value(QStringLiteral("sx"), 1.0).toDouble(), s.value(QStringLiteral("sy"), 1.0).toDouble()});
}

void Save(const QString &queue, const Correction &c)
{
    QSettings s = calibrationSettings();
    const Correction held = Clamped(c);
    if (held.isIdentity()) {
        s.remove(queueKey(queue));
        return;
    }
    s.beginGroup(queueKey(queue));
    s.setValue(QStringLiteral("dx"), held.dxMm);
    s.setValue(QStringLiteral("dy"), held.dyMm);
    s.setValue(QStringLiteral("sx"), held.sx);
    s.setValue(QStringLiteral("sy"), held.sy);
}

QTransform Transform(const Correction &c, double unitsPerMm, QPointF originMm)
{
    // A point q of the painter is at q + origin on the paper; it goes to s (q + origin) + d there.
    const double tx = ((c.sx - 1) * originMm.x() + c.dxMm) * unitsPerMm;
    const double ty = ((c.sy - 1) * originMm.y() + c.dyMm) * unitsPerMm;
    return QTransform(c.sx, 0, 0, c.sy, tx, ty);
}

std::optional<Correction> FromMeasured(const Correction &current, QPointF originMm, QSizeF squareMm)
{
    if (!(squareMm.width() > 0 && squareMm.height() > 0) || !std::isfinite(originMm.x()) ||
        !std::isfinite(originMm.y()))
        return std::nullopt;
    // The printer maps p to k p + e; the page it got was current's s0 p + d0.
    const auto axis = [](double s0, double d0, double measuredAt, double measuredSize) {
        const double k = measuredSize / (SquareMm * s0);
        const double e = measuredAt - k * (s0 * PageOriginMm + d0);
        return std::pair{1 / k, -e / k};
    };
    const auto [sx, dx] = axis(current.sx, current.dxMm, originMm.x(), squareMm.width());
    const auto [sy, dy] = axis(current.sy, current.dyMm, originMm.y(), squareMm.height());
    return Correction{dx, dy, sx, sy};
}

void PaintPage(QPainter &p, QPointF originMm, QSizeF paperMm, const QString &note)
{
    p.save();
    p.scale(96 / 25.4, 96 / 25.4);
    p.translate(-originMm);
    const QPointF o(PageOriginMm, PageOriginMm);
    // Hairlines of 0.1 mm: their middle is where a ruler reads them.
    p.setPen(QPen(Qt::black, 0.1, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(o, QSizeF(SquareMm, SquareMm)));
    // The rulers run along the square's top and left edges, outward of it, to the paper's far side.
    const double alongX = paperMm.width() - o.x() - 10, alongY = paperMm.height() - o.y() - 15;
    p.drawLine(o, o + QPointF(alongX, 0));
    p.drawLine(o, o + QPointF(0, alongY));
    QFont digits(QStringLiteral("Sans"));
    digits.setPixelSize(3);
    p.setFont(digits);
    for (int mm = 1; mm <= int(alongX); ++mm) {
        const double tick = mm % 10 == 0 ? 4 : mm % 5 == 0 ? 3 : 1.5;
        p.drawLine(o + QPointF(mm, 0), o + QPointF(mm, -tick));
        if (mm % 10 == 0)
            p.drawText(o + QPointF(mm + 0.4, -2.5), QString::number(mm));
    }
    for (int mm = 1; mm <= int(alongY); ++mm) {
        const double tick = mm % 10 == 0 ? 4 : mm % 5 == 0 ? 3 : 1.5;
        p.drawLine(o + QPointF(0, mm), o + QPointF(-tick, mm));
        if (mm % 10 == 0)
            p.drawText(o + QPointF(-8, mm - 0.4), QString::number(mm));
    }
    // The origin mark: a ring round the corner the measurements start from.
    p.drawEllipse(o, 2.5, 2.5);
    p.drawLine(o - QPointF(6, 0), o);
    p.drawLine(o - QPointF(0, 6), o);
    // Crosshairs every 10 mm, off the lines a ruler is laid on.
    p.setPen(QPen(Qt::darkGray, 0.1));
    for (int y = 10; y <= int(alongY); y += 10)
        for (int x = 10; x <= int(alongX); x += 10) {
            const QPointF c = o + QPointF(x, y);
            p.drawLine(c - QPointF(1.5, 0), c + QPointF(1.5, 0));
            p.drawLine(c - QPointF(0, 1.5), c + QPointF(0, 1.5));
        }
    p.setPen(Qt::black);
    QFont text(QStringLiteral("Sans"));
    text.setPixelSize(4);
    p.setFont(text);
    p.drawText(QRectF(o.x() + 10, o.y() + SquareMm + 10, alongX - 10, 60), Qt::TextWordWrap, note);
    p.restore();
}

QString Describe(const Correction &c)
{
    const auto signedMm = [](double v) {
        return (v >= 0 ? QStringLiteral("+") : QString()) + QString::number(v, 'f', 1);
    };
    return QStringLiteral("offset %1, %2 mm; scale %3 %, %4 %")
        .arg(signedMm(c.dxMm), signedMm(c.dyMm), QString::number(c.sx * 100, 'f', 2),
             QString::number(c.sy * 100, 'f', 2));
}

} // namespace calibration
