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

bool Names(int argc, char **argv, std::initializer_list<const char *> options)
{
    for (int i = 1; i < argc && argv[i]; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--")
            return false; // what follows are file names
        for (const char *option : options)
            if (namesOption(arg, option))
                return true;
    }
    return false;
}

void ChooseOffscreenWithoutDisplay(int argc, char **argv, std::initializer_list<const char *> options)
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY") ||
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return;
    if (Names(argc, argv, options))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

} // namespace headless
