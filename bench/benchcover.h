#pragma once
// The full cover the designer's benchmarks print and export: a 6000 x 4000
// photograph, two logos, both headlines, 20 titles and the notice.

#include <QLineEdit>
#include <QTemporaryDir>

#include <utility>

#include "app_setup.h"
#include "benchphoto.h"
#include "command_line.h"
#include "commondialog.h"
#include "design.h"
#include "fonts.h"
#include "scripteddialog.h"
#include "titles.h"

namespace bench {

// Pictures are written into `tmp` and chosen through `dialogs`, as a person would.
inline void FillFullCover(Design &d, ScriptedDialogBackend &dialogs, const QTemporaryDir &tmp)
{
    const QString photo = tmp.filePath(QStringLiteral("photo.jpg"));
    const QString logo1 = tmp.filePath(QStringLiteral("logo1.jpg"));
    const QString logo2 = tmp.filePath(QStringLiteral("logo2.jpg"));
    MakePhoto(photo, QSize(6000, 4000), 1);
    MakePhoto(logo1, QSize(400, 400), 2);
    MakePhoto(logo2, QSize(300, 300), 3);
    for (auto [file, command] :
         {std::pair{photo, &Design::Command8_Click}, std::pair{logo1, &Design::Command9_Click},
          std::pair{logo2, &Design::Command12_Click}}) {
        dialogs.push(ScriptedDialogBackend::choose(file));
        (d.*command)();
    }
    d.Text1->setText(QStringLiteral("MIDNIGHT ORCHESTRA"));
    d.Text2->setText(QStringLiteral("Live at the Harbour Hall"));
    d.Command14_Click();
    for (int n = 1; n <= 20; ++n)
        d.TitlesForm()->Text(n)->setText(QStringLiteral("%1. Title number %1").arg(n));
    Design::SetValue(d.Check7, 1);
    Design::SetValue(d.Check9, 1);
    Design::SetValue(d.Check10, 1);
    d.Text12->setText(QStringLiteral("Harbour Records"));
}

// Before the QApplication: no display needed, the designer's fonts at 96 dpi, Qt's platform
// notes kept off the figures.
inline void PrepareHeadless()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    deskcli::QuietPlatformNotes();
    fonts::PrepareEnvironment();
}

// A designer window holding the full cover, its pictures in a folder of their own. Made after
// the QApplication.
struct FullCover {
    FullCover()
    {
        SetupDesignerApplication();
        CommonDialog::SetBackend(&dialogs);
        FillFullCover(design, dialogs, tmp);
    }
    ~FullCover() { CommonDialog::SetBackend(nullptr); }
    FullCover(const FullCover &) = delete;
    FullCover &operator=(const FullCover &) = delete;
    QString file(const char *name) const { return tmp.filePath(QString::fromLatin1(name)); }

    QTemporaryDir tmp;
    ScriptedDialogBackend dialogs;
    Design design;
};

} // namespace bench
