// sleevegate, the launcher: checks the screen and starts the suite's programs.

#include "exitcodes.h"
#include "fonts.h"
#include "names.h"
#include "programs.h"
#include "startup.h"
#include "terminal.h"

#include <QApplication>
#include <QCoreApplication>
#include <QScreen>

#include <cstring>

namespace {

const QList<exitcodes::Row> exitCodes = {
    {Exit::Ok, QStringLiteral("done")},
    {Exit::Usage, QStringLiteral("the command line was not understood")},
    // --resolve
    {Exit::Unreadable, QStringLiteral("the program NAME names is missing or cannot be started")},
};

const char *const launcherUsage =
    "Usage: sleevegate\n"
    "  or:  sleevegate --resolve NAME\n"
    "\n"
    "Opens the Quirewell Program Launcher, which starts the cover designer (sleevedesk),\n"
    "the index maker (sleeveindex) and the user guide (sleeveguide). Its exit codes are\n"
    "those of sleevedesk and sleeveindex where the meanings agree.\n"
    "\n"
    "  --resolve NAME  print the file the launcher would start for NAME (for example\n"
    "                  sleevedesk.exe) and exit, without a window\n"
    "  -h, --help      this help\n"
    "  -v, --version   the version\n"
    "\n";

// --resolve answers without a window, so it works with no display: it is the
// same lookup the buttons use, run from wherever this executable lies.
Exit Resolve(int argc, char **argv, const QString &name)
{
    QCoreApplication app(argc, argv);
    const QString folder = programs::OwnFolder();
    const programs::Resolution found = programs::Resolve(name, folder);
    if (found.problem == programs::Problem::None) {
        terminal::Out(found.path);
        return Exit::Ok;
    }
    terminal::Error(programs::Explain(name, found, folder));
    return Exit::Unreadable;
}

bool Is(const char *argument, const char *longName, const char *shortName)
{
    return std::strcmp(argument, longName) == 0 || std::strcmp(argument, shortName) == 0;
}

} // namespace

int main(int argc, char **argv)
{
    terminal::SetProgram("sleevegate");
    if (argc >= 2 && std::strcmp(argv[1], "--resolve") == 0) {
        if (argc != 3) {
            terminal::Error(u"--resolve takes one NAME (see sleevegate --help)");
            return int(Exit::Usage);
        }
        return int(Resolve(argc, argv, names::Decode(QByteArrayView(argv[2]))));
    }
    if (argc >= 2 && Is(argv[1], "--help", "-h")) {
        terminal::OutLines(QString::fromUtf8(launcherUsage) + exitcodes::Table(exitCodes));
        return int(Exit::Ok);
    }
    if (argc == 2 && Is(argv[1], "--version", "-v")) {
        terminal::Out(u"sleevegate " SLEEVE_VERSION);
        return int(Exit::Ok);
    }

    fonts::PrepareEnvironment();
    QApplication app(argc, argv);
    fonts::InstallSubstitutions();
    QApplication::setApplicationName(QStringLiteral("sleevegate"));
    QGuiApplication::setDesktopFileName(QStringLiteral("sleevegate"));

    Startup startup;
    // Open in the middle of the work area.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        startup.move(area.center() - startup.rect().center());
    }
    startup.show();
    return app.exec();
}
