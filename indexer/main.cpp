#include <QApplication>
#include <QFile>

#include <cstdio>

#include "commandline.h"
#include "fonts.h"
#include "form1.h"
#include "headless.h"

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
    // Understood before anything else: a mistyped command line needs no display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    commandline::Options options;
    QString error;
    if (!commandline::Parse(arguments, &options, &error)) {
        std::fprintf(stderr, "sleeveindex: %s\n", qPrintable(error));
        return commandline::BadArguments;
    }
    if (options.help) {
        std::fputs(commandline::Usage, stdout);
        return commandline::Done;
    }
    const bool exporting = !options.exportPdf.isEmpty();
    if (exporting)
        qInstallMessageHandler(quiet);
    headless::ChooseOffscreenWithoutDisplay(argc, argv, {"--export-pdf", "-export-pdf"});
    fonts::PrepareEnvironment();
    QApplication app(argc, argv);
    fonts::InstallSubstitutions();
    QApplication::setApplicationName(QStringLiteral("sleeveindex"));
    if (exporting)
        return commandline::ExportPdf(options);

    Form1 form;
    form.Form_Initialize();
    int readError = 0;
    if (!commandline::Apply(options, form, &readError))
        form.ShowFolderError(QFile::encodeName(options.folder), readError);
    return QApplication::exec();
}
