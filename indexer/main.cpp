#include <QApplication>

#include "fonts.h"
#include "form1.h"

int main(int argc, char *argv[])
{
    fonts::PrepareEnvironment();
    QApplication app(argc, argv);
    fonts::InstallSubstitutions();
    QApplication::setApplicationName(QStringLiteral("sleeveindex"));

    Form1 form;
    form.Form_Initialize();
    return QApplication::exec();
}
