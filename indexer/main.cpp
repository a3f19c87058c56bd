#include <QApplication>

#include "commandline.h"
#include "fonts.h"
#include "form1.h"
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
    QList<QByteArray> arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QByteArray(argv[i]);
    commandline::Options options;
    QString error;
    if (!commandline::Parse(arguments, &options, &error)) {
        terminal::Error(error + QStringLiteral(" (see sleeveindex --help)"));
        return int(Exit::Usage);
    }
    if (options.help) {
        terminal::OutLines(commandline::Help());
        return int(Exit::Ok);
    }
    if (options.version) {
        terminal::Out(QStringLiteral("sleeveindex " SLEEVE_VERSION));
        return int(Exit::Ok);
    }
    const bool exporting = options.Batch();
    if (exporting) {
        qInstallMessageHandler(quiet);
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
            qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    fonts::PrepareEnvironment();
    QApplication app(argc, argv);
    fonts::InstallSubstitutions();
    QApplication::setApplicationName(QStringLiteral("sleeveindex"));
    if (exporting)
        return int(commandline::Export(options));

    Form1 form;
    form.Form_Initialize();
    int readError = 0;
    if (!commandline::Apply(options, form, &readError))
        form.ShowFolderError(fsl::CleanPath(options.folder), readError);
    return QApplication::exec();
}
