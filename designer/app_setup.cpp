#include "app_setup.h"

#include <QApplication>
#include <QFont>

#include "fonts.h"

void SetupDesignerApplication()
{
    fonts::InstallSubstitutions();
    QApplication::setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
}
