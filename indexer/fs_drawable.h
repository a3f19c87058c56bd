#pragma once

#include <QFont>
#include <QString>

namespace fsl {

// A readable name as `font` draws it. Each character that neither the font nor any installed
// font it falls back to can draw (an emoji on a system without an emoji font, a script without a
// font) is shown as the escapes of its bytes, as ReadableName shows a control: otherwise every
// such character draws as the same empty box, or as nothing, and two names read alike.
QString Drawable(const QString &text, const QFont &font);

} // namespace fsl
