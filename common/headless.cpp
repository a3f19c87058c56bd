#include "headless.h"

#include <QByteArray>
#include <QtGlobal>

namespace headless {

bool Displayed()
{
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

void OffscreenWithoutDisplay()
{
    if (!Displayed())
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

} // namespace headless
