#include "app_setup.h"

#include <QApplication>
#include <QFont>

#include "fontcolordialog.h"
#include "fonts.h"

void SetupDesignerApplication()
{
    fonts::InstallSubstitutions();
    QApplication::setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    FontColorDialog::Install();
}
