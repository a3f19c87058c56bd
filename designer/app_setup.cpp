#include "app_setup.h"

#include <QApplication>
#include <QFont>

#include "fontcolordialog.h"
#include "fonts.h"

void SetupDesignerApplication()
{
    fonts::InstallSubstitutions();
    // The titles start in this face, on paper as on screen, with or without widgets.
    QGuiApplication::setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        FontColorDialog::Install();
}
