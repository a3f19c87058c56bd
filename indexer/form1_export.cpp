// Form1: the page on paper that does not fit, in a preview, and in files.
#include "form1.h"

#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

#include "pageexport.h"
#include "pageprint.h"

namespace {

QString inches(double px)
{
    return QString::number(px / 96.0, 'f', 2);
}

QString withSuffix(QString path, const QString &suffix)
{
    if (!path.endsWith(suffix, Qt::CaseInsensitive))
        path += suffix;
    return path;
}

} // namespace

bool Form1::ConfirmPageFits()
{
    QPrinter &printer = CommonDialog1.Printer();
    if (!pageprint::PrinterAvailable(printer))
        return true;                                    // printing fails as it always did
    const QSizeF page(width() / 96.0, height() / 96.0); // inches, as printed
    auto fits = [&](const QPageLayout &l) {
        const QRectF area = l.paintRect(QPageLayout::Inch);
        return page.width() <= area.width() + 1e-6 && page.height() <= area.height() + 1e-6;
    };
    const QPageLayout layout = printer.pageLayout();
    if (fits(layout))
        return true;
    QPageLayout turned = layout;
    const bool portrait = layout.orientation() == QPageLayout::Portrait;
    turned.setOrientation(portrait ? QPageLayout::Landscape : QPageLayout::Portrait);
    const bool turnedFits = fits(turned);
    const QRectF area = layout.paintRect(QPageLayout::Inch);
    QString text =
        QStringLiteral("The index measures %1 × %2 in; the paper (%3, %4) can be printed on %5 × %6 in, "
                       "so part of the index would not be printed.")
            .arg(inches(width()), inches(height()), layout.pageSize().name(),
                 portrait ? QStringLiteral("portrait") : QStringLiteral("landscape"),
                 QString::number(area.width(), 'f', 2), QString::number(area.height(), 'f', 2));
    QStringList buttons;
    const QString turn = portrait ? QStringLiteral("Turn to Landscape") : QStringLiteral("Turn to Portrait");
    if (turnedFits) {
        text += QStringLiteral(" Turned, the page holds all of it.");
        buttons << turn;
    }
    buttons << QStringLiteral("Print As It Is") << QStringLiteral("Cancel");
    const QString answer = platform_.ask(this, QStringLiteral("Page Size"), text, buttons);
    if (answer == turn && turnedFits) {
        printer.setPageOrientation(
            turned.orientation()); // held for later prints, as Print Set-Up's choice is
        return true;
    }
    return answer == QStringLiteral("Print As It Is");
}

void Form1::paintPageOn(QPrinter &printer)
{
    QPainter p;
    if (!p.begin(&printer))
        return;
    const double scale = printer.resolution() / 96.0;
    p.scale(scale, scale);
    PaintPage(p);
}

void Form1::PrintPreview()
{
    platform_.preview(this, CommonDialog1.Printer(), [this](QPrinter &printer) { paintPageOn(printer); });
}

bool Form1::ExportPdf(const QString &path, QString *why)
{
    return pageexport::ExportPdf(
        path, QStringLiteral("Index of %1").arg(Dir1->Path()), QSizeF(size()), 0,
        [this](QPainter &p) { PaintPage(p); }, why);
}

bool Form1::ExportPng(const QString &path, int dpi, QString *why)
{
    return pageexport::ExportPng(
        path, QSizeF(size()), 0, dpi, [this](QPainter &p) { PaintPage(p); }, why);
}

void Form1::ExportPdf_Click()
{
    const QString suggested = QDir::home().filePath(QStringLiteral("index.pdf"));
    QString path = platform_.chooseSaveFile(this, QStringLiteral("Export PDF"), suggested,
                                            QStringLiteral("PDF files (*.pdf)"));
    if (path.isEmpty())
        return;
    path = withSuffix(path, QStringLiteral(".pdf"));
    QString why;
    if (!ExportPdf(path, &why))
        platform_.ask(this, QStringLiteral("Not exported"),
                      QStringLiteral("The index could not be written to \"%1\": %2").arg(path, why),
                      {QStringLiteral("OK")});
}

void Form1::ExportPng_Click()
{
    const QString suggested = QDir::home().filePath(QStringLiteral("index.png"));
    QString path = platform_.chooseSaveFile(this, QStringLiteral("Export PNG"), suggested,
                                            QStringLiteral("PNG images (*.png)"));
    if (path.isEmpty())
        return;
    path = withSuffix(path, QStringLiteral(".png"));
    QStringList choices;
    for (const int dpi : pageexport::PngDpiChoices)
        choices << QStringLiteral("%1 dpi").arg(dpi);
    choices << QStringLiteral("Cancel");
    const QString answer = platform_.ask(this, QStringLiteral("Export PNG"),
                                         QStringLiteral("Pixels to the inch for \"%1\":").arg(path), choices);
    const int dpi = answer.section(u' ', 0, 0).toInt();
    if (dpi <= 0)
        return;
    QString why;
    if (!ExportPng(path, dpi, &why))
        platform_.ask(this, QStringLiteral("Not exported"),
                      QStringLiteral("The index could not be written to \"%1\": %2").arg(path, why),
                      {QStringLiteral("OK")});
}
