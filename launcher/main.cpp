// sleevegate, the launcher: checks the screen and starts the suite's programs.

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

const char *const Usage = "Usage: sleevegate [--resolve NAME]\n"
                          "Opens the Quirewell Program Launcher.\n"
                          "  --resolve NAME  print the file the launcher would start for NAME\n"
                          "                  (for example sleevedesk.exe) and exit; exit status 1\n"
                          "                  when it cannot be started.\n";

// --resolve answers without a window, so it works with no display: it is the
// same lookup the buttons use, run from wherever this executable lies.
int Resolve(int argc, char **argv, const QString &name)
{
    QCoreApplication app(argc, argv);
    const QString folder = programs::OwnFolder();
    const programs::Resolution found = programs::Resolve(name, folder);
    if (found.problem == programs::Problem::None) {
        terminal::Out(found.path);
        return 0;
    }
    terminal::Error(programs::Explain(name, found, folder));
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    terminal::SetProgram("sleevegate");
    if (argc >= 2 && std::strcmp(argv[1], "--resolve") == 0) {
        if (argc != 3) {
            terminal::ErrorLines(QString::fromLatin1(Usage));
            return 2;
        }
        return Resolve(argc, argv, names::Decode(QByteArrayView(argv[2])));
    }
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        terminal::OutLines(QString::fromLatin1(Usage));
        return 0;
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
