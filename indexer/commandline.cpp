#include "commandline.h"

#include <QPainter>
#include <QRadioButton>

#include "catalog.h"
#include "form1.h"
#include "fslists.h"
#include "indexpage.h"
#include "layouts.h"
#include "names.h"
#include "pageexport.h"
#include "terminal.h"

namespace indexcli {

const QList<exitcodes::Row> ExitCodes = {
    {Exit::Ok, QStringLiteral("done (a warning on stderr says what was left out)")},
    {Exit::Usage, QStringLiteral("the command line was not understood")},
    {Exit::Unreadable, QStringLiteral("the folder is missing or cannot be read")},
    {Exit::NotWritten, QStringLiteral("the PDF or PNG could not be written")},
};

const options::Table &Table()
{
    using O = options::Option;
    static const options::Table t = {
        "sleeveindex",
        {QStringLiteral("[--layout N] [--flow] [FOLDER]"),
         QStringLiteral("--export-pdf OUT.pdf [--layout N] [--flow] FOLDER"),
         QStringLiteral("--export-png OUT.png [--dpi N] [--layout N] [--flow] FOLDER"),
         QStringLiteral("--export-catalog OUT.pdf [--paper booklet|a4|letter] [--progress] FOLDER"),
         QStringLiteral("--export-catalog OUT.pdf --impose [--sheet a4|letter] [--progress] FOLDER")},
        QStringLiteral(
            "Index maker for data discs. Without --export-pdf, --export-png or --export-catalog it\n"
            "opens the window on FOLDER (or on the working folder)."),
        {
            O{{QStringLiteral("export-pdf")},
              QStringLiteral("OUT.pdf"),
              QStringLiteral("write the index page as a PDF, without a window")},
            O{{QStringLiteral("export-png")},
              QStringLiteral("OUT.png"),
              QStringLiteral("write the index page as a PNG, without a window")},
            O{{QStringLiteral("dpi")},
              QStringLiteral("N"),
              QStringLiteral("the PNG's resolution, 1 to %1; 300 when not given").arg(pageexport::MaxPngDpi)},
            O{{QStringLiteral("layout")},
              QStringLiteral("N"),
              QStringLiteral("index layout 1 to %1").arg(layouts::Count)},
            O{{QStringLiteral("flow")}, {}, QStringLiteral("flow the file columns")},
            O{{QStringLiteral("export-catalog")},
              QStringLiteral("OUT.pdf"),
              QStringLiteral("write every folder and file under FOLDER as a catalog")},
            O{{QStringLiteral("paper")},
              QStringLiteral("P"),
              QStringLiteral("the catalog's paper: booklet (120 x 119 mm, folds into the case; the default), "
                             "a4 or letter")},
            O{{QStringLiteral("impose")},
              {},
              QStringLiteral("print the booklet's pages two to a side of a landscape sheet, in booklet "
                             "order: print both sides (flip on the short edge), fold the stack once and it "
                             "reads in order")},
            O{{QStringLiteral("sheet")},
              QStringLiteral("S"),
              QStringLiteral("the sheet --impose prints on: a4 (the default) or letter")},
            O{{QStringLiteral("progress")},
              {},
              QStringLiteral("say how far the catalog has come, on stderr")},
        },
        {},
        ExitCodes,
    };
    return t;
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

bool Read(const options::Parsed &parsed, Options *options, QString *error)
{
    const auto isSet = [&parsed](const char *key) { return parsed.isSet(QString::fromLatin1(key)); };
    const auto value = [&parsed](const char *key) { return parsed.value(QString::fromLatin1(key)); };
    Options o;
    const int outputs = int(isSet("export-pdf")) + int(isSet("export-png")) + int(isSet("export-catalog"));
    if (outputs > 1)
        return refuse(error,
                      QStringLiteral("--export-pdf, --export-png and --export-catalog go one at a time"));
    for (const char *output : {"export-pdf", "export-png", "export-catalog"})
        if (isSet(output) && value(output).isEmpty())
            return refuse(error, QStringLiteral("--%1 needs a file name").arg(QLatin1String(output)));
    o.exportPdf = value("export-pdf");
    o.exportPng = value("export-png");
    o.exportCatalog = value("export-catalog");
    if (isSet("dpi")) {
        if (!isSet("export-png"))
            return refuse(error, QStringLiteral("--dpi goes with --export-png"));
        bool ok = false;
        o.dpi = value("dpi").toInt(&ok);
        if (!ok || o.dpi < 1 || o.dpi > pageexport::MaxPngDpi)
            return refuse(error, QStringLiteral("--dpi takes a whole number from 1 to %1, not \"%2\"")
                                     .arg(pageexport::MaxPngDpi)
                                     .arg(value("dpi")));
    }
    if (isSet("paper") || isSet("progress")) {
        if (!isSet("export-catalog"))
            return refuse(error,
                          QStringLiteral("--%1 goes with --export-catalog")
                              .arg(isSet("paper") ? QStringLiteral("paper") : QStringLiteral("progress")));
        if (isSet("paper")) {
            o.paper = value("paper");
            if (!catalog::PaperNamed(o.paper))
                return refuse(error,
                              QStringLiteral("the paper is booklet, a4 or letter, not \"%1\"").arg(o.paper));
        }
    }
    o.progress = isSet("progress");
    if (isSet("impose") && !isSet("export-catalog"))
        return refuse(error, QStringLiteral("--impose goes with --export-catalog"));
    if (isSet("sheet") && !isSet("impose"))
        return refuse(error, QStringLiteral("--sheet goes with --impose"));
    o.impose = isSet("impose");
    if (o.impose && o.paper != QLatin1String("booklet"))
        return refuse(
            error,
            QStringLiteral("--impose folds booklet pages; --paper %1 does not go with it").arg(o.paper));
    if (isSet("sheet")) {
        o.sheet = value("sheet");
        if (!catalog::SheetNamed(o.sheet))
            return refuse(error, QStringLiteral("the sheet is a4 or letter, not \"%1\"").arg(o.sheet));
    }
    if (isSet("export-catalog") && (isSet("layout") || isSet("flow")))
        return refuse(error, QStringLiteral("--layout and --flow go with the index page, not the catalog"));
    if (isSet("layout")) {
        bool ok = false;
        o.layout = value("layout").toInt(&ok);
        if (!ok || o.layout < 1 || o.layout > layouts::Count)
            return refuse(error, QStringLiteral("the layout must be a number from 1 to %1, not \"%2\"")
                                     .arg(layouts::Count)
                                     .arg(value("layout")));
    }
    o.flow = isSet("flow");
    const QStringList &rest = parsed.positional;
    if (rest.size() > 1)
        return refuse(error, QStringLiteral("one folder at a time, not %1").arg(rest.size()));
    if (!rest.isEmpty())
        o.folder = names::Encode(rest.first());
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
QString pageLeftOut(const IndexPage &page)
{
    const IndexPage::LeftOut left = page.NotShown();
    const QString folder = page.Row(0, page.AncestorCount(0) - 1);
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

bool Build(const Options &options, IndexPage *page, int *error)
{
    if (options.layout > 0)
        page->SetLayout(options.layout);
    // The folder given is the one every list shows, whether or not the
    // layout links the lists: none is left on the working folder.
    const QByteArray folder = fsl::CleanPath(options.folder);
    fsl::ListingCache::Batch batch;
    const fsl::ListingPtr listing = fsl::ListingCache::Get(folder);
    if (!listing->ok) {
        *error = listing->error;
        return false;
    }
    const QByteArray drive = fsl::Volumes::RootOf(folder);
    for (int i = 0; i < IndexPage::Lists; ++i)
        page->SetList(i, folder, listing, IndexPage::IsFolderList(i) ? drive : QByteArray());
    if (options.flow)
        page->Flow();
    // No one scrolls this page: it shows the folder itself.
    page->ShowCurrentFolders();
    return true;
}

Exit Export(const Options &options)
{
    if (!options.exportCatalog.isEmpty())
        return exportCatalog(options);
    IndexPage page;
    int error = 0;
    if (!Build(options, &page, &error)) {
        say(QStringLiteral("cannot read the folder \"%1\": %2")
                .arg(fsl::ReadablePath(options.folder), qt_error_string(error)));
        return Exit::Unreadable;
    }
    QString why;
    const bool png = !options.exportPng.isEmpty();
    const QString &out = png ? options.exportPng : options.exportPdf;
    const auto paint = [&page](QPainter &p) { page.Paint(p); };
    const QSizeF size(page.Size());
    const bool written =
        png ? pageexport::ExportPng(out, size, 0, options.dpi, paint, &why)
            : pageexport::ExportPdf(out,
                                    QStringLiteral("Index of %1").arg(fsl::ReadablePath(page.list(0).path)),
                                    size, 0, paint, &why);
    if (!written) {
        say(QStringLiteral("cannot write \"%1\": %2").arg(out, why));
        return Exit::NotWritten;
    }
    const QString left = pageLeftOut(page);
    if (!left.isEmpty())
        say(left);
    return Exit::Ok;
}

} // namespace indexcli
