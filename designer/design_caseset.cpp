// The case set from the window: Print As, Export As, the preview's choice, and the dialogs of
// the spine and the disc. Each output is painted from the document, never from the window.
#include "design.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPrinter>

#include <iterator>

#include "caseprint.h"
#include "pageexport.h"
#include "printqueue.h"
#include "spinedialog.h"

namespace {

// The export dialog's file types: PDF, then PNG at the resolutions offered.
const QString CaseFilter = QStringLiteral(
    "PDF document|*.pdf|PNG image, 96 dpi|*.png|PNG image, 300 dpi|*.png|PNG image, 600 dpi|*.png");

QString proposedOutputName(const QString &designPath, casepages::Output output)
{
    const QString stem =
        designPath.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(designPath).completeBaseName();
    const QString name = stem + u'-' + casepages::Name(output) + QStringLiteral(".pdf");
    return designPath.isEmpty() ? name : QFileInfo(designPath).dir().filePath(name);
}

} // namespace

bool Design::ExportOutput(casepages::Output output, const QString &path, pageexport::Format format, int dpi,
                          QString *error, const safewrite::Options &options) const
{
    return casepages::Export(doc_, output, path, format, dpi, coverpage::Title(DesignPath()), error, options);
}

void Design::PrintAs(casepages::Output output)
{
    if (output == casepages::Output::Cover) {
        Command7_Click();
        return;
    }
    QString error;
    QPrinter &printer = CommonDialog1.Printer();
    const QString queue = CommonDialog1.PrinterChosen ? printer.printerName() : QString();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool printed = printqueue::UseChosenOrDefault(printer, queue, &error) &&
                         caseprint::Print(printer, doc_, output, coverpage::Title(DesignPath()), &error,
                                          caseprint::CropMarksWanted());
    QApplication::restoreOverrideCursor();
    if (!printed)
        ShowPrintFailure(error);
    else
        reportPicturesFromScreenCopies();
}

void Design::ExportAs(casepages::Output output)
{
    QString path;
    pageexport::Format format = pageexport::Format::Pdf;
    int dpi = pngDpi_;
    {
        // The dialog service's settings as the other commands left them.
        const QString fileName = CommonDialog1.FileName, filter = CommonDialog1.Filter,
                      defaultExt = CommonDialog1.DefaultExt;
        const int filterIndex = CommonDialog1.FilterIndex, flags = CommonDialog1.Flags;
        CommonDialog1.Filter = CaseFilter;
        CommonDialog1.FilterIndex = 1;
        CommonDialog1.DefaultExt = QStringLiteral(".pdf");
        CommonDialog1.Flags = 2; // ask before replacing a file
        CommonDialog1.FileName = proposedOutputName(DesignPath(), output);
        const bool chosen = CommonDialog1.ShowSave() && !CommonDialog1.FileName.isEmpty();
        path = CommonDialog1.FileName;
        const int index = CommonDialog1.FilterIndex;
        CommonDialog1.FileName = fileName;
        CommonDialog1.Filter = filter;
        CommonDialog1.DefaultExt = defaultExt;
        CommonDialog1.FilterIndex = filterIndex;
        CommonDialog1.Flags = flags;
        if (!chosen)
            return;
        // The name's own extension decides; without one, the file type chosen.
        const QString suffix = QFileInfo(path).suffix().toLower();
        const bool png = suffix == u"png" || (suffix != u"pdf" && index >= 2);
        if (png) {
            format = pageexport::Format::Png;
            if (index >= 2 && index <= 1 + int(std::size(pageexport::PngDpiChoices)))
                dpi = pageexport::PngDpiChoices[index - 2];
            pngDpi_ = dpi;
        }
    }
    safewrite::Options options;
    if (!DesignPath().isEmpty())
        options.inputs << DesignPath();
    QString error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool done = ExportOutput(output, path, format, dpi, &error, options);
    QApplication::restoreOverrideCursor();
    if (!done)
        ShowNotice(QStringLiteral("Not exported"),
                   QStringLiteral("The %1 was not exported to %2: %3")
                       .arg(casepages::Caption(output).toLower(), path, error));
    else
        reportPicturesFromScreenCopies();
}

void Design::EditSpine()
{
    auto *dialog = new SpineDialog(this, doc_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this,
            [this, dialog] { applySpine(dialog->text(), dialog->upward()); });
    dialog->open();
}

void Design::EditDisc()
{
    auto *dialog = new DiscDialog(this, doc_.caseSet.discDiameter, doc_.caseSet.discHole);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this,
            [this, dialog] { applyDisc(dialog->diameter(), dialog->hole()); });
    dialog->open();
}

void Design::applySpine(const QString &text, bool upward)
{
    FlushUndo();
    // Each change is a step of its own, named after what changed.
    if (text != doc_.caseSet.spineText) {
        QString error;
        if (!doc_.setSpineText(text, &error)) {
            ShowNotice(QStringLiteral("Spine"), error);
            return;
        }
        NameStep(QStringLiteral("Spine Text"));
        noteChange();
        FlushUndo();
    }
    if (upward != doc_.caseSet.spineUpward) {
        doc_.setSpineUpward(upward);
        NameStep(QStringLiteral("Spine Direction"));
        noteChange();
        FlushUndo();
    }
}

void Design::applyDisc(double diameter, double hole)
{
    FlushUndo();
    QString error;
    const CoverDocument::CaseSet before = doc_.caseSet;
    if (!doc_.setDiscSize(diameter, hole, &error)) {
        ShowNotice(QStringLiteral("Disc Face"), error);
        return;
    }
    if (doc_.caseSet == before)
        return;
    NameStep(QStringLiteral("Disc Size"));
    noteChange();
    FlushUndo();
}
