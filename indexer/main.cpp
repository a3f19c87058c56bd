#include <QApplication>

#include <cstdio>

#include "commandline.h"
#include "fonts.h"
#include "form1.h"

namespace {

// A run that writes a file speaks only in its own one-line messages.
void quiet(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg)
        std::fprintf(stderr, "sleeveindex: %s\n", qPrintable(message));
}

} // namespace

int main(int argc, char *argv[])
{
    // Understood before anything else: a mistyped command line needs no
    // display. Paths stay the bytes the system gave.
    QList<QByteArray> arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QByteArray(argv[i]);
    commandline::Options options;
    QString error;
    if (!commandline::Parse(arguments, &options, &error)) {
        std::fprintf(stderr, "sleeveindex: %s (see sleeveindex --help)\n", qPrintable(error));
        return commandline::BadArguments;
    }
    if (options.help) {
        std::fputs(commandline::Usage, stdout);
        return commandline::Done;
    }
    if (options.version) {
        std::fputs("sleeveindex " SLEEVE_VERSION "\n", stdout);
        return commandline::Done;
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
        return commandline::Export(options);

    Form1 form;
    form.Form_Initialize();
    int readError = 0;
    if (!commandline::Apply(options, form, &readError))
        form.ShowFolderError(fsl::CleanPath(options.folder), readError);
    return QApplication::exec();
}
