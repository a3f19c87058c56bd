#include "headless.h"

#include <QByteArray>
#include <QtGlobal>

namespace headless {

namespace {

bool namesOption(const QByteArray &arg, const char *option)
{
    const QByteArray opt(option);
    return arg == opt || arg.startsWith(opt + '=');
}

} // namespace

void ChooseOffscreenWithoutDisplay(int argc, char **argv, std::initializer_list<const char *> options)
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY") ||
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return;
    for (int i = 1; i < argc && argv[i]; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--")
            return; // what follows are file names
        for (const char *option : options)
            if (namesOption(arg, option)) {
                qputenv("QT_QPA_PLATFORM", "offscreen");
                return;
            }
    }
}

} // namespace headless
