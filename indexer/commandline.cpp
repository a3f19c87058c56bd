#include "commandline.h"

#include <QCommandLineParser>
#include <QFile>
#include <QRadioButton>

#include <cstdio>

#include "form1.h"
#include "layouts.h"

namespace commandline {

namespace {

void say(const QString &line)
{
    std::fprintf(stderr, "sleeveindex: %s\n", qPrintable(line));
}

} // namespace

bool Parse(const QStringList &arguments, Options *options, QString *error)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption exportPdf(
        QStringLiteral("export-pdf"),
        QStringLiteral("Writes the index page to a PDF file, without a window."), QStringLiteral("file"));
    const QCommandLineOption layout(QStringLiteral("layout"), QStringLiteral("Index layout 1 to 20."),
                                    QStringLiteral("n"));
    const QCommandLineOption flow(QStringLiteral("flow"), QStringLiteral("Flows the file columns."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("This help."));
    parser.addOptions({exportPdf, layout, flow, help});
    parser.addPositionalArgument(QStringLiteral("folder"), QStringLiteral("The folder to index."));
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return false;
    }
    Options o;
    o.help = parser.isSet(help);
    o.exportPdf = parser.value(exportPdf);
    if (parser.isSet(exportPdf) && o.exportPdf.isEmpty()) {
        *error = QStringLiteral("--export-pdf needs a file name");
        return false;
    }
    if (parser.isSet(layout)) {
        bool ok = false;
        o.layout = parser.value(layout).toInt(&ok);
        if (!ok || o.layout < 1 || o.layout > layouts::Count) {
            *error = QStringLiteral("the layout must be a number from 1 to %1, not \"%2\"")
                         .arg(layouts::Count)
                         .arg(parser.value(layout));
            return false;
        }
    }
    o.flow = parser.isSet(flow);
    const QStringList rest = parser.positionalArguments();
    if (rest.size() > 1) {
        *error = QStringLiteral("one folder at a time, not %1").arg(rest.size());
        return false;
    }
    if (!rest.isEmpty())
        o.folder = rest.first();
    if (!o.exportPdf.isEmpty() && o.folder.isEmpty()) {
        *error = QStringLiteral("--export-pdf needs the folder to index");
        return false;
    }
    *options = o;
    return true;
}

bool Apply(const Options &options, Form1 &form, int *error)
{
    if (options.layout > 0)
        form.Options[static_cast<size_t>(options.layout)]->setChecked(true);
    if (!options.folder.isEmpty() && !form.OpenFolder(QFile::encodeName(options.folder), error))
        return false;
    if (options.flow)
        form.FlowColumns();
    return true;
}

int ExportPdf(const Options &options)
{
    Form1 form;
    form.SetKeepFlowing(false, false); // the command line says whether to flow, not the window's setting
    // Laid out as on screen, never shown on one.
    form.setAttribute(Qt::WA_DontShowOnScreen);
    form.show();
    int error = 0;
    if (!Apply(options, form, &error)) {
        say(QStringLiteral("cannot read the folder \"%1\": %2").arg(options.folder, qt_error_string(error)));
        return FolderUnread;
    }
    QString why;
    if (!form.ExportPdf(options.exportPdf, &why)) {
        say(QStringLiteral("cannot write \"%1\": %2").arg(options.exportPdf, why));
        return NotWritten;
    }
    if (form.FilesNotShown() > 0)
        say(QStringLiteral("%1 files do not fit the columns and are not shown").arg(form.FilesNotShown()));
    return Done;
}

} // namespace commandline
