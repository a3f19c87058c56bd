#pragma once

#include <QPointF>
#include <QSizeF>
#include <QString>
#include <QTransform>

#include <optional>

class QPainter;

// What a printer does wrong to a page, and the correction that undoes it: an offset and a scale per
// axis for each print queue, kept in the user's settings and laid on every print to that queue.
namespace calibration {

// The offset's bound and step, in millimetres; the scale's, in per cent of true size.
inline constexpr double MaxOffsetMm = 10, OffsetStepMm = 0.1;
inline constexpr double MaxScalePercent = 3, ScaleStepPercent = 0.01;

struct Correction {
    double dxMm = 0, dyMm = 0; // where the paper's origin goes
    double sx = 1, sy = 1;     // 1.02 prints 2 % larger
    bool isIdentity() const { return dxMm == 0 && dyMm == 0 && sx == 1 && sy == 1; }
    bool operator==(const Correction &) const = default;
};

// True when every part lies within its bound (before rounding).
bool InRange(const Correction &c);
// Held to the bounds and rounded to the steps.
Correction Clamped(const Correction &c);

// The stored correction of a queue; none (identity) for a queue never calibrated.
Correction Load(const QString &queue);
// Clamped, then kept; an identity correction forgets the queue.
void Save(const QString &queue, const Correction &c);

// The correction on a painter whose unit is `unitsPerMm` and whose origin lies at `originMm` on the
// paper: the offset in millimetres, then the scale about the paper's top-left corner.
QTransform Transform(const Correction &c, double unitsPerMm, QPointF originMm = {});

// The calibration page, in millimetres from the paper's top-left corner: the origin mark and the
// square whose corner sits on it.
inline constexpr double PageOriginMm = 20, SquareMm = 100;

// Paints the calibration page on a painter in 96-per-inch pixels whose origin lies at `originMm`
// on paper of `paperMm`: millimetre rulers from the origin mark along both axes, a crosshair
// every 10 mm, the square, and `note` (the queue and how to measure).
void PaintPage(QPainter &p, QPointF originMm, QSizeF paperMm, const QString &note);

// The correction that makes a page printed with `current` come out true, from where the user
// found the origin mark (from the paper's left and top edges) and the square's measured size.
// Nothing for a measurement that cannot be right (a square of no size).
std::optional<Correction> FromMeasured(const Correction &current, QPointF originMm, QSizeF squareMm);

// "offset +2.0, +3.0 mm; scale 100.00 %, 100.00 %": the correction as one line.
QString Describe(const Correction &c);

} // namespace calibration
