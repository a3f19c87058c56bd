// Export: the cover panel and its cut line as a page of its own, as a PDF or a
// PNG, without a printer.
#include "design.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>

#include <iterator>

#include "coverpage.h"
#include "pageexport.h"

namespace {

// The PNG file types of the export dialog, in the order of PngDpiChoices.
const QString PngFilter =
    QStringLiteral("PNG image, 96 dpi|*.png|PNG image, 300 dpi|*.png|PNG image, 600 dpi|*.png");

// The design's own name with the export's extension, beside it.
QString proposedName(const QString &designPath, const QString &suffix)
{
    if (designPath.isEmpty())
        return QStringLiteral("Untitled") + suffix;
    const QFileInfo fi(designPath);
    return fi.dir().filePath(fi.completeBaseName() + suffix);
}

// Keeps the dialog service's settings as the other commands left them.
struct DialogSettings {
    explicit DialogSettings(CommonDialog &d)
        : dlg(d), fileName(d.FileName), filter(d.Filter), defaultExt(d.DefaultExt),
          filterIndex(d.FilterIndex), flags(d.Flags)
    {}
    ~DialogSettings()
    {
        dlg.FileName = fileName;
        dlg.Filter = filter;
        dlg.DefaultExt = defaultExt;
        dlg.FilterIndex = filterIndex;
        dlg.Flags = flags;
    }
    DialogSettings(const DialogSettings &) = delete;
    DialogSettings &operator=(const DialogSettings &) = delete;
    CommonDialog &dlg;
    QString fileName, filter, defaultExt;
    int filterIndex, flags;
};

} // namespace

bool Design::ExportCover(const QString &path, pageexport::Format format, int dpi, QString *error,
                         const safewrite::Options &options) const
{
    return coverpage::Export(doc_, path, format, dpi, coverpage::Title(DesignPath()), error, options);
}

void Design::ExportPdf()
{
    exportWithDialog(pageexport::Format::Pdf);
}

void Design::ExportPng()
{
    exportWithDialog(pageexport::Format::Png);
}

void Design::exportWithDialog(pageexport::Format format)
{
    const auto &choices = pageexport::PngDpiChoices;
    const bool pdf = format == pageexport::Format::Pdf;
    QString path;
    int dpi = pngDpi_;
    {
        DialogSettings keep(CommonDialog1);
        CommonDialog1.Filter = pdf ? QStringLiteral("PDF document|*.pdf") : PngFilter;
        CommonDialog1.FilterIndex = 1;
        for (size_t i = 0; i < std::size(choices); ++i)
            if (!pdf && choices[i] == pngDpi_)
                CommonDialog1.FilterIndex = int(i) + 1;
        CommonDialog1.DefaultExt = pdf ? QStringLiteral(".pdf") : QStringLiteral(".png");
        CommonDialog1.Flags = 2; // ask before replacing a file
        CommonDialog1.FileName = proposedName(DesignPath(), CommonDialog1.DefaultExt);
        if (!CommonDialog1.ShowSave() || CommonDialog1.FileName.isEmpty())
            return;
        path = CommonDialog1.FileName;
        const int index = CommonDialog1.FilterIndex;
        if (!pdf && index >= 1 && index <= int(std::size(choices)))
            dpi = choices[index - 1];
    }
    if (!pdf)
        pngDpi_ = dpi;
    QString error;
    // The open design is never replaced by its own export.
    safewrite::Options output;
    if (!DesignPath().isEmpty())
        output.inputs << DesignPath();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool done = ExportCover(path, format, dpi, &error, output);
    QApplication::restoreOverrideCursor();
    if (!done)
        ShowNotice(QStringLiteral("Not exported"),
                   QStringLiteral("The cover was not exported to %1: %2").arg(path, error));
}
