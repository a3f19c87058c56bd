#include <QApplication>

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
    return app.exec();
}
