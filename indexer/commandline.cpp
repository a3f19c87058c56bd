#include "commandline.h"

#include <QCommandLineParser>
#include <QHash>
#include <QRadioButton>

#include "catalog.h"
#include "form1.h"
#include "fslists.h"
#include "layouts.h"
#include "pageexport.h"
#include "terminal.h"

namespace commandline {

const QList<exitcodes::Row> ExitCodes = {
    {Exit::Ok, QStringLiteral("done (a warning on stderr says what was left out)")},
    {Exit::Usage, QStringLiteral("the command line was not understood")},
    {Exit::Unreadable, QStringLiteral("the folder is missing or cannot be read")},
    {Exit::NotWritten, QStringLiteral("the PDF or PNG could not be written")},
};

QString Help()
{
    return QStringLiteral(
               "usage: sleeveindex [--layout N] [--flow] [FOLDER]\n"
               "       sleeveindex --export-pdf OUT.pdf [--layout N] [--flow] FOLDER\n"
               "       sleeveindex --export-png OUT.png [--dpi N] [--layout N] [--flow] FOLDER\n"
               "       sleeveindex --export-catalog OUT.pdf [--paper booklet|a4|letter] [--progress] FOLDER\n"
               "       sleeveindex --export-catalog OUT.pdf --impose [--sheet a4|letter] [--progress] "
               "FOLDER\n"
               "\n"
               "Index maker for data discs. Without --export-pdf, --export-png or --export-catalog it\n"
               "opens the window on FOLDER (or on the working folder).\n"
               "\n"
               "  --export-pdf OUT.pdf      write the index page as a PDF, without a window\n"
               "  --export-png OUT.png      write the index page as a PNG, without a window\n"
               "  --dpi N                   the PNG's resolution, 1 to 600; 300 when not given\n"
               "  --layout N                index layout 1 to 20\n"
               "  --flow                    flow the file columns\n"
               "  --export-catalog OUT.pdf  write every folder and file under FOLDER as a catalog\n"
               "  --paper P                 the catalog's paper: booklet (120 x 119 mm, folds into\n"
               "                            the case; the default), a4 or letter\n"
               "  --impose                  print the booklet's pages two to a side of a landscape\n"
               "                            sheet, in booklet order: print both sides (flip on the\n"
               "                            short edge), fold the stack once and it reads in order\n"
               "  --sheet S                 the sheet --impose prints on: a4 (the default) or letter\n"
               "  --progress                say how far the catalog has come, on stderr\n"
               "  -h, --help                this help\n"
               "  -v, --version             the version\n"
               "\n") +
           exitcodes::Table(ExitCodes);
}

namespace {

void say(const QString &line)
{
    terminal::Error(line);
}

bool refuse(QString *error, const QString &why)
{
    *error = why;
    return false;
}

} // namespace

bool Parse(const QList<QByteArray> &arguments, Options *options, QString *error)
{
    // The parser works on text; an argument that does not come back to the
    // same bytes from text (not UTF-8 under a UTF-8 locale) stands in it as
    // a token, and its bytes are taken from here.
    QStringList args;
    QHash<QString, QByteArray> raw;
    for (const QByteArray &a : arguments) {
        const QString text = QString::fromLocal8Bit(a);
        if (text.toLocal8Bit() == a) {
            args << text;
            continue;
        }
        const QString token = QStringLiteral("\uFDD0%1\uFDD1").arg(raw.size());
        const qsizetype eq = a.startsWith("--") ? a.indexOf('=') : -1;
        if (eq > 0) { // --option=value
            raw.insert(token, a.mid(eq + 1));
            args << QString::fromLocal8Bit(a.left(eq + 1)) + token;
        } else {
            raw.insert(token, a);
            args << token;
        }
    }
    auto bytesOf = [&raw](const QString &value) {
        return raw.contains(value) ? raw.value(value) : value.toLocal8Bit();
    };

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption exportPdf(QStringLiteral("export-pdf"), {}, QStringLiteral("file"));
    const QCommandLineOption exportPng(QStringLiteral("export-png"), {}, QStringLiteral("file"));
    const QCommandLineOption dpi(QStringLiteral("dpi"), {}, QStringLiteral("n"));
    const QCommandLineOption exportCatalog(QStringLiteral("export-catalog"), {}, QStringLiteral("file"));
    const QCommandLineOption paper(QStringLiteral("paper"), {}, QStringLiteral("paper"));
    const QCommandLineOption progress(QStringLiteral("progress"), {});
    const QCommandLineOption impose(QStringLiteral("impose"), {});
    const QCommandLineOption sheet(QStringLiteral("sheet"), {}, QStringLiteral("sheet"));
    const QCommandLineOption layout(QStringLiteral("layout"), {}, QStringLiteral("n"));
    const QCommandLineOption flow(QStringLiteral("flow"), {});
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, {});
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, {});
    parser.addOptions({exportPdf, exportPng, dpi, exportCatalog, paper, progress, impose, sheet, layout, flow,
                       help, version});
    if (!parser.parse(args))
        return refuse(error, parser.errorText());
    Options o;
    o.help = parser.isSet(help);
    o.version = parser.isSet(version);
    if (o.help || o.version) {
        *options = o;
        return true;
    }
    for (const QCommandLineOption *once :
         {&exportPdf, &exportPng, &dpi, &exportCatalog, &paper, &sheet, &layout})
        if (parser.values(*once).size() > 1)
            return refuse(error,
                          QStringLiteral("--%1 is given more than once").arg(once->names().constFirst()));
    const int outputs =
        int(parser.isSet(exportPdf)) + int(parser.isSet(exportPng)) + int(parser.isSet(exportCatalog));
    if (outputs > 1)
        return refuse(error,
                      QStringLiteral("--export-pdf, --export-png and --export-catalog go one at a time"));
    for (const QCommandLineOption *output : {&exportPdf, &exportPng, &exportCatalog}) {
        if (!parser.isSet(*output))
            continue;
        const QString value = parser.value(*output);
        if (value.isEmpty())
            return refuse(error, QStringLiteral("--%1 needs a file name").arg(output->names().constFirst()));
        // The writers take text: a name that is not valid text cannot be written to faithfully.
        if (raw.contains(value))
            return refuse(error, QStringLiteral("the file name for --%1 is not valid text in this locale")
                                     .arg(output->names().constFirst()));
    }
    o.exportPdf = parser.value(exportPdf);
    o.exportPng = parser.value(exportPng);
    o.exportCatalog = parser.value(exportCatalog);
    if (parser.isSet(dpi)) {
        if (!parser.isSet(exportPng))
            return refuse(error, QStringLiteral("--dpi goes with --export-png"));
        bool ok = false;
        o.dpi = parser.value(dpi).toInt(&ok);
        if (!ok || o.dpi < 1 || o.dpi > pageexport::MaxPngDpi)
            return refuse(error, QStringLiteral("--dpi takes a whole number from 1 to %1, not \"%2\"")
                                     .arg(pageexport::MaxPngDpi)
                                     .arg(parser.value(dpi)));
    }
    if (parser.isSet(paper) || parser.isSet(progress)) {
        if (!parser.isSet(exportCatalog))
            return refuse(
                error, QStringLiteral("--%1 goes with --export-catalog")
                           .arg(parser.isSet(paper) ? QStringLiteral("paper") : QStringLiteral("progress")));
        if (parser.isSet(paper)) {
            o.paper = parser.value(paper);
            if (!catalog::PaperNamed(o.paper))
                return refuse(error,
                              QStringLiteral("the paper is booklet, a4 or letter, not \"%1\"").arg(o.paper));
        }
    }
    o.progress = parser.isSet(progress);
    if (parser.isSet(impose) && !parser.isSet(exportCatalog))
        return refuse(error, QStringLiteral("--impose goes with --export-catalog"));
    if (parser.isSet(sheet) && !parser.isSet(impose))
        return refuse(error, QStringLiteral("--sheet goes with --impose"));
    o.impose = parser.isSet(impose);
    if (o.impose && o.paper != QLatin1String("booklet"))
        return refuse(
            error,
            QStringLiteral("--impose folds booklet pages; --paper %1 does not go with it").arg(o.paper));
    if (parser.isSet(sheet)) {
        o.sheet = parser.value(sheet);
        if (!catalog::SheetNamed(o.sheet))
            return refuse(error, QStringLiteral("the sheet is a4 or letter, not \"%1\"").arg(o.sheet));
    }
    if (parser.isSet(exportCatalog) && (parser.isSet(layout) || parser.isSet(flow)))
        return refuse(error, QStringLiteral("--layout and --flow go with the index page, not the catalog"));
    if (parser.isSet(layout)) {
        bool ok = false;
        o.layout = parser.value(layout).toInt(&ok);
        if (!ok || o.layout < 1 || o.layout > layouts::Count)
            return refuse(error, QStringLiteral("the layout must be a number from 1 to %1, not \"%2\"")
                                     .arg(layouts::Count)
                                     .arg(parser.value(layout)));
    }
    o.flow = parser.isSet(flow);
    const QStringList rest = parser.positionalArguments();
    if (rest.size() > 1)
        return refuse(error, QStringLiteral("one folder at a time, not %1").arg(rest.size()));
    if (!rest.isEmpty())
        o.folder = bytesOf(rest.first());
    if (rest.isEmpty() && outputs == 1)
        return refuse(error, QStringLiteral("--%1 needs the folder to index")
                                 .arg(!o.exportPdf.isEmpty()   ? QStringLiteral("export-pdf")
                                      : !o.exportPng.isEmpty() ? QStringLiteral("export-png")
                                                               : QStringLiteral("export-catalog")));
    *options = o;
    return true;
}

bool Apply(const Options &options, Form1 &form, int *error)
{
    if (options.layout > 0)
        form.Options[static_cast<size_t>(options.layout)]->setChecked(true);
    // The folder given is the one every list shows, whether or not the
    // layout links the lists: none is left on the working folder.
    if (!options.folder.isEmpty() && !form.OpenFolder(options.folder, error, true))
        return false;
    if (options.flow)
        form.FlowColumns();
    return true;
}

namespace {

Exit exportCatalog(const Options &options)
{
    catalog::Catalog c;
    catalog::Catalog::Hooks hooks;
    if (options.progress)
        hooks.progress = [](const catalog::Totals &t) {
            terminal::Error(QStringLiteral("%1 folders, %2 files read").arg(t.folders).arg(t.files));
            return true;
        };
    QString why;
    switch (c.Read(options.folder, hooks, &why)) {
    case catalog::Catalog::Outcome::Read: break;
    case catalog::Catalog::Outcome::RootUnreadable:
        say(QStringLiteral("cannot read the folder \"%1\": %2").arg(fsl::ReadablePath(options.folder), why));
        return Exit::Unreadable;
    case catalog::Catalog::Outcome::Cancelled: // the command line does not cancel
    case catalog::Catalog::Outcome::SpoolFailed:
        say(QStringLiteral("cannot write \"%1\": %2").arg(options.exportCatalog, why));
        return Exit::NotWritten;
    }
    const bool written =
        options.impose
            ? catalog::WriteImposedPdf(options.exportCatalog, c, *catalog::SheetNamed(options.sheet), &why)
            : catalog::WritePdf(options.exportCatalog, c, *catalog::PaperNamed(options.paper), &why);
    if (!written) {
        say(QStringLiteral("cannot write \"%1\": %2").arg(options.exportCatalog, why));
        return Exit::NotWritten;
    }
    if (c.totals().unreadable > 0)
        say(QStringLiteral("warning: %1 folders could not be read; the catalog lists them with the reason")
                .arg(c.totals().unreadable));
    return Exit::Ok;
}

// What the page leaves out, in one line; "" when it shows everything.
QString pageLeftOut(const Form1 &form)
{
    const Form1::LeftOut left = form.NotShownOnPage();
    const QString folder = form.Dir1->List(form.Dir1->AncestorCount() - 1);
    QStringList parts;
    if (left.files > 0)
        parts << QStringLiteral("%1 files").arg(left.files);
    if (left.subfolders > 0)
        parts << QStringLiteral("%1 subfolders of \"%2\"").arg(QString::number(left.subfolders), folder);
    if (left.above > 0)
        parts << QStringLiteral("the %1 folders above \"%2\"").arg(QString::number(left.above), folder);
    QString line;
    if (!parts.isEmpty()) {
        const QString last = parts.takeLast();
        line = (parts.isEmpty() ? last : parts.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last) +
               QStringLiteral(" do not fit the columns and are not shown");
    }
    if (!left.named)
        line += (line.isEmpty() ? QString() : QStringLiteral("; ")) +
                QStringLiteral("the layout has no folder list to name \"%1\"").arg(folder);
    return line;
}

} // namespace

Exit Export(const Options &options)
{
    if (!options.exportCatalog.isEmpty())
        return exportCatalog(options);
    Form1 form;
    form.SetKeepFlowing(false, false); // the command line says whether to flow, not the window's setting
    // Laid out as on screen, never shown on one.
    form.setAttribute(Qt::WA_DontShowOnScreen);
    form.show();
    int error = 0;
    if (!Apply(options, form, &error)) {
        say(QStringLiteral("cannot read the folder \"%1\": %2")
                .arg(fsl::ReadablePath(options.folder), qt_error_string(error)));
        return Exit::Unreadable;
    }
    // No one scrolls this page: it shows the folder itself.
    form.ShowCurrentFolders();
    QString why;
    const bool png = !options.exportPng.isEmpty();
    const QString &out = png ? options.exportPng : options.exportPdf;
    if (!(png ? form.ExportPng(out, options.dpi, &why) : form.ExportPdf(out, &why))) {
        say(QStringLiteral("cannot write \"%1\": %2").arg(out, why));
        return Exit::NotWritten;
    }
    const QString left = pageLeftOut(form);
    if (!left.isEmpty())
        say(left);
    return Exit::Ok;
}

} // namespace commandline
