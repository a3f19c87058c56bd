// sleevegate, the launcher: checks the screen and starts the suite's programs.

#include "exitcodes.h"
#include "fonts.h"
#include "options.h"
#include "programs.h"
#include "startup.h"
#include "terminal.h"

#include <QApplication>
#include <QCoreApplication>
#include <QScreen>

namespace {

const options::Table &table()
{
    static const options::Table t = {
        "sleevegate",
        {QString(), QStringLiteral("--resolve NAME")},
        QStringLiteral("Opens the Quirewell Program Launcher, which starts the cover designer (sleevedesk),\n"
                       "the index maker (sleeveindex) and the user guide (sleeveguide). Its exit codes are\n"
                       "those of sleevedesk and sleeveindex where the meanings agree."),
        {{{QStringLiteral("resolve")},
          QStringLiteral("NAME"),
          QStringLiteral("print the file the launcher would start for NAME (for example sleevedesk.exe) and "
                         "exit, without a window")}},
        {},
        {
            {Exit::Ok, QStringLiteral("done")},
            {Exit::Usage, QStringLiteral("the command line was not understood")},
            {Exit::Unreadable, QStringLiteral("the program NAME names is missing or cannot be started")},
        },
    };
    return t;
}

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

} // namespace

int main(int argc, char **argv)
{
    terminal::SetProgram("sleevegate");
    options::Parsed parsed;
    if (const std::optional<Exit> done = options::Read(table(), argc, argv, &parsed))
        return int(*done);
    const bool resolve = parsed.isSet(QStringLiteral("resolve"));
    if (!parsed.positional.isEmpty())
        return int(options::UsageError(
            table(), resolve
                         ? QStringLiteral("--resolve takes one NAME")
                         : QStringLiteral("\"%1\" is not an option").arg(parsed.positional.constFirst())));
    if (resolve)
        return int(Resolve(argc, argv, parsed.value(QStringLiteral("resolve"))));

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
