#include <QApplication>
#include <QFileInfo>
#include <QTimer>

#include "app_setup.h"
#include "design.h"
#include "fonts.h"

int main(int argc, char *argv[])
{
    fonts::PrepareEnvironment();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("sleevedesk"));
    QApplication::setApplicationDisplayName(QString());
    SetupDesignerApplication();
    Design design;
    design.show();
    // A design file named on the command line (a double-click in the file manager).
    const QStringList args = QCoreApplication::arguments().mid(1);
    for (const QString &arg : args) {
        if (!arg.startsWith(u'-')) {
            design.OpenDesignFile(QFileInfo(arg).absoluteFilePath());
            break;
        }
    }
    // Unsaved work of a designer that ended without saving is offered back.
    design.StartRecovery();
    // Start-up measurements: leave as soon as the first frame is painted.
    if (QCoreApplication::arguments().contains(QStringLiteral("--quit-when-shown")))
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
