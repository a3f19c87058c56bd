#pragma once

#include <QFont>

class QPaintDevice;

namespace fonts {

// Maps the Windows faces that designs name onto installed, metric-compatible
// faces. Call once after the application object exists.
void InstallSubstitutions();

// A font given in points at 96 per inch, adjusted so that it paints at the
// same logical size on any device whose painter works in 96-per-inch units
// (the screen, or a printer with the painter scaled by resolution / 96).
QFont ForDevice(QFont font, const QPaintDevice *device);

// A 96-per-inch device for measuring text independent of the screen.
const QPaintDevice *Reference96();

// Call before constructing the application: fixes the font resolution at 96
// so that the fixed-size windows look the same on every screen.
void PrepareEnvironment();

} // namespace fonts
