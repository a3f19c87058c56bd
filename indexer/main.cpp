#include <QApplication>

#include "commandline.h"
#include "fonts.h"
#include "form1.h"
#include "headless.h"
#include "terminal.h"

namespace {

// A run that writes a file speaks only in its own one-line messages.
void quiet(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg)
        terminal::Error(message);
}

} // namespace

int main(int argc, char *argv[])
{
    // Understood before anything else: a mistyped command line needs no
    // display. Paths stay the bytes the system gave.
    terminal::SetProgram("sleeveindex");
    options::Parsed parsed;
    if (const std::optional<Exit> done = options::Read(indexcli::Table(), argc, argv, &parsed))
        return int(*done);
    indexcli::Options asked;
    if (QString error; !indexcli::Read(parsed, &asked, &error))
        return int(options::UsageError(indexcli::Table(), error));
    const bool exporting = asked.Batch();
    if (exporting) {
        qInstallMessageHandler(quiet);
        headless::OffscreenWithoutDisplay();
    }
    fonts::PrepareEnvironment();
    QApplication app(argc, argv);
    fonts::InstallSubstitutions();
    QApplication::setApplicationName(QStringLiteral("sleeveindex"));
    if (exporting)
        return int(indexcli::Export(asked));

    Form1 form;
    form.Form_Initialize();
    int readError = 0;
    if (!indexcli::Apply(asked, form, &readError))
        form.ShowFolderError(fsl::CleanPath(asked.folder), readError);
    return QApplication::exec();
}
