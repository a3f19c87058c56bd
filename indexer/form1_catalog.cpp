// Form1: the catalog of the whole tree under the shown folder, exported,
// previewed or printed, read with a progress dialog that can cancel it.
#include "form1.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPrinter>
#include <QProgressDialog>

#include "catalog.h"
#include "pageprint.h"
#include "plaintext.h"

namespace {

// The queue's calibration, taken on the catalog's own page layout (no margins), which is where
// its painter starts.
QTransform calibrationOn(QPrinter &printer, const QPageLayout &layout)
{
    printer.setPageLayout(layout);
    return pageprint::Calibration(printer);
}

} // namespace

bool Form1::ReadCatalog(catalog::Catalog &c)
{
    const QByteArray root = Dir1->NativePath();
    // The path is a folder's name, which may read as markup.
    const std::unique_ptr<QProgressDialog> dialog = plaintext::Progress(
        QStringLiteral("Reading \"%1\"…").arg(fsl::ReadablePath(root)), QStringLiteral("Cancel"), 0, 0, this);
    QProgressDialog &progress = *dialog;
    progress.setWindowTitle(QStringLiteral("Catalog"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    catalog::Catalog::Hooks hooks = CatalogHooks;
    QElapsedTimer shown;
    shown.start();
    hooks.progress = [&](const catalog::Totals &t) {
        if (shown.elapsed() >= 50) { // often enough to answer Cancel, seldom enough to cost nothing
            progress.setLabelText(QStringLiteral("%1 folders, %2 files read").arg(t.folders).arg(t.files));
            progress.setValue(0);
            QCoreApplication::processEvents();
            shown.restart();
        }
        return !progress.wasCanceled();
    };
    QString why;
    const catalog::Catalog::Outcome outcome = c.Read(root, hooks, &why);
    progress.close();
    switch (outcome) {
    case catalog::Catalog::Outcome::Read: break;
    case catalog::Catalog::Outcome::Cancelled: return false;
    case catalog::Catalog::Outcome::RootUnreadable:
    case catalog::Catalog::Outcome::SpoolFailed:
        platform_.ask(
            this, QStringLiteral("Catalog"),
            QStringLiteral("The folder \"%1\" could not be read: %2").arg(fsl::ReadablePath(root), why),
            {QStringLiteral("OK")});
        return false;
    }
    return true;
}

void Form1::Catalog_Click()
{
    const QString export_ = QStringLiteral("Export PDF…"), preview = QStringLiteral("Print Preview…"),
                  print = QStringLiteral("Print…");
    const QString what = platform_.ask(
        this, QStringLiteral("Catalog"),
        QStringLiteral("A catalog of every folder and file under \"%1\", on as many pages as it takes.")
            .arg(Dir1->Path()),
        {export_, preview, print, QStringLiteral("Cancel")});
    if (what != export_ && what != preview && what != print)
        return;
    const QStringList papers{QStringLiteral("Booklet (120 × 119 mm)"), QStringLiteral("A4"),
                             QStringLiteral("Letter")};
    bool impose = false;
    const QString chosen = platform_.askChecked(
        this, QStringLiteral("Catalog"), QStringLiteral("The paper:"),
        papers + QStringList{QStringLiteral("Cancel")},
        QStringLiteral("Booklet pages two to a side, to fold (on A4 or Letter)"), &impose);
    const qsizetype at = papers.indexOf(chosen);
    if (at < 0)
        return;
    const catalog::Paper paper = at == 0   ? catalog::Paper::Booklet
                                 : at == 1 ? catalog::Paper::A4
                                           : catalog::Paper::Letter;
    // Folded, the booklet's pages go on the sheet chosen; A4 when the booklet itself was.
    const catalog::Sheet sheet = at == 2 ? catalog::Sheet::Letter : catalog::Sheet::A4;
    QString path;
    if (what == export_) {
        path = platform_.chooseSaveFile(this, QStringLiteral("Export Catalog"),
                                        QDir::home().filePath(QStringLiteral("catalog.pdf")),
                                        QStringLiteral("PDF files (*.pdf)"));
        if (path.isEmpty())
            return;
        if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
            path += QLatin1String(".pdf");
    }
    catalog::Catalog c;
    if (!ReadCatalog(c))
        return;
    // A preview shows the page as it is; a print carries the printer's calibration.
    auto paint = [&c, paper, impose, sheet](QPrinter &target, bool calibrated) {
        if (!impose) {
            const QPageLayout layout(catalog::PageSizeOf(paper), QPageLayout::Portrait, QMarginsF());
            return c.Paint(target, paper, calibrated ? calibrationOn(target, layout) : QTransform());
        }
        const QPrinter::DuplexMode duplex = target.duplex();
        target.setDuplex(QPrinter::DuplexShortSide);
        const QPageLayout layout = catalog::Catalog::ImposedLayout(sheet);
        const int pages =
            c.PaintImposed(target, sheet, calibrated ? calibrationOn(target, layout) : QTransform());
        target.setDuplex(duplex);
        return pages;
    };
    QString why;
    QPrinter &printer = CommonDialog1.Printer();
    const QPageLayout pageLayout = printer.pageLayout(); // the index page's paper stays as it was
    if (what == export_) {
        if (!(impose ? catalog::WriteImposedPdf(path, c, sheet, &why)
                     : catalog::WritePdf(path, c, paper, &why)))
            platform_.ask(this, QStringLiteral("Not exported"),
                          QStringLiteral("The catalog could not be written to \"%1\": %2").arg(path, why),
                          {QStringLiteral("OK")});
    } else if (what == preview) {
        platform_.preview(this, printer, [&paint](QPrinter &target) { paint(target, false); });
    } else if (!pageprint::PrinterAvailable(printer) || paint(printer, true) == 0) {
        platform_.ask(this, QStringLiteral("Not printed"),
                      QStringLiteral("The catalog could not be printed."), {QStringLiteral("OK")});
    }
    printer.setPageLayout(pageLayout);
    if (c.totals().unreadable > 0)
        platform_.ask(this, QStringLiteral("Catalog"),
                      QStringLiteral("%1 folders could not be read; the catalog lists each with the reason.")
                          .arg(c.totals().unreadable),
                      {QStringLiteral("OK")});
}
