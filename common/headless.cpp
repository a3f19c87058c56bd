#include "headless.h"

#include <QByteArray>
#include <QtGlobal>

namespace headless {

void ChooseOffscreenWithoutDisplay(int argc, char **argv, std::initializer_list<const char *> options)
{
    if (!qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
        !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return;
    for (int i = 1; i < argc && argv[i]; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--")
            break;
        for (const char *option : options) {
            if (arg == option || arg.startsWith(QByteArray(option) + '=')) {
                qputenv("QT_QPA_PLATFORM", "offscreen");
                return;
            }
        }
    }
}

} // namespace headless
