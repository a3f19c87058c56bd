#include "commondialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

#include "colors.h"
#include "plaintext.h"

namespace {
DialogBackend *g_backend = nullptr;

QtDialogBackend &qtBackend()
{
    static QtDialogBackend b;
    return b;
}

bool runFileDialog(CommonDialog &dlg, QWidget *parent, bool saving)
{
    QFileDialog fd(parent);
    QCheckBox *check = nullptr;
    if (!dlg.CheckBoxText.isEmpty()) {
        // Only Qt's own dialog can hold a widget of ours.
        fd.setOption(QFileDialog::DontUseNativeDialog);
        check = new QCheckBox(dlg.CheckBoxText, &fd);
        check->setObjectName(QStringLiteral("CommonDialogCheckBox"));
        check->setChecked(dlg.CheckBoxChecked);
        if (auto *grid = qobject_cast<QGridLayout *>(fd.layout()))
            grid->addWidget(check, grid->rowCount(), 0, 1, grid->columnCount());
    }
    fd.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    fd.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    fd.setNameFilter(CommonDialog::QtFilter(dlg.Filter));
    const QStringList filters = fd.nameFilters();
    if (dlg.FilterIndex >= 1 && dlg.FilterIndex <= filters.size())
        fd.selectNameFilter(filters.at(dlg.FilterIndex - 1));
    QString ext = dlg.DefaultExt;
    if (ext.startsWith(u'.'))
        ext.remove(0, 1);
    if (saving && !ext.isEmpty())
        fd.setDefaultSuffix(ext);
    // The overwrite question is asked by the dialog when flag 2 is set.
    fd.setOption(QFileDialog::DontConfirmOverwrite, saving && !(dlg.Flags & 2));
    if (!dlg.FileName.isEmpty()) {
        QFileInfo fi(dlg.FileName);
        if (fi.isAbsolute())
            fd.setDirectory(fi.absolutePath());
        fd.selectFile(fi.fileName());
    }
    if (fd.exec() != QDialog::Accepted || fd.selectedFiles().isEmpty())
        return false;
    dlg.FileName = fd.selectedFiles().constFirst();
    dlg.FilterIndex = int(filters.indexOf(fd.selectedNameFilter())) + 1;
    if (check)
        dlg.CheckBoxChecked = check->isChecked();
    return true;
}
} // namespace

std::function<bool(CommonDialog &, QWidget *)> QtDialogBackend::fontChooser;

CommonDialog::CommonDialog(QWidget *owner) : owner_(owner)
{}
CommonDialog::~CommonDialog() = default;

void CommonDialog::SetBackend(DialogBackend *backend)
{
    g_backend = backend;
}

DialogBackend &CommonDialog::backend()
{
    return g_backend ? *g_backend : qtBackend();
}

bool CommonDialog::ShowOpen()
{
    const bool ok = backend().open(*this, owner_);
    // The check box was this dialog's: the next one shows none unless asked again.
    CheckBoxText.clear();
    if (!ok)
        FileName.clear();
    return ok;
}

bool CommonDialog::ShowSave()
{
    const bool ok = backend().save(*this, owner_);
    CheckBoxText.clear();
    return ok;
}

bool CommonDialog::ShowColor()
{
    return backend().color(*this, owner_);
}
bool CommonDialog::ShowFont()
{
    return backend().font(*this, owner_);
}
bool CommonDialog::ShowPrinter()
{
    const bool ok = backend().printer(*this, owner_);
    if (ok)
        PrinterChosen = true;
    return ok;
}

bool CommonDialog::Ask(const QString &title, const QString &text)
{
    return backend().question(*this, owner_, title, text);
}

QPrinter &CommonDialog::Printer()
{
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

QString CommonDialog::QtFilter(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(u';', u' ');
        out << parts.at(i) + QStringLiteral(" (") + patterns + u')';
    }
    if (out.isEmpty())
        return QStringLiteral("All Files (*)");
    return out.join(QStringLiteral(";;"));
}

bool QtDialogBackend::open(CommonDialog &dlg, QWidget *parent)
{
    return runFileDialog(dlg, parent, false);
}
bool QtDialogBackend::save(CommonDialog &dlg, QWidget *parent)
{
    return runFileDialog(dlg, parent, true);
}

bool QtDialogBackend::color(CommonDialog &dlg, QWidget *parent)
{
    QColorDialog cd(colors::ToQColor(dlg.Color), parent);
    if (cd.exec() != QDialog::Accepted)
        return false;
    dlg.Color = colors::FromQColor(cd.selectedColor());
    return true;
}

bool QtDialogBackend::font(CommonDialog &dlg, QWidget *parent)
{
    if (fontChooser)
        return fontChooser(dlg, parent);
    QFont f(dlg.FontName);
    if (dlg.FontSize > 0)
        f.setPointSizeF(static_cast<double>(dlg.FontSize));
    f.setBold(dlg.FontBold);
    f.setItalic(dlg.FontItalic);
    f.setStrikeOut(dlg.FontStrikethru);
    f.setUnderline(dlg.FontUnderline);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, f, parent);
    if (!ok)
        return false;
    dlg.FontName = chosen.family();
    dlg.FontSize = static_cast<float>(chosen.pointSizeF());
    dlg.FontBold = chosen.bold();
    dlg.FontItalic = chosen.italic();
    dlg.FontStrikethru = chosen.strikeOut();
    dlg.FontUnderline = chosen.underline();
    return true;
}

bool QtDialogBackend::printer(CommonDialog &dlg, QWidget *parent)
{
    QPrintDialog pd(&dlg.Printer(), parent);
    pd.setWindowTitle(QStringLiteral("Print Set Up"));
    // Set-up only keeps the choices; its button must not promise a print.
    if (auto *buttons = pd.findChild<QDialogButtonBox *>())
        if (QPushButton *ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(QStringLiteral("OK"));
    return pd.exec() == QDialog::Accepted;
}

bool DialogBackend::question(CommonDialog &, QWidget *, const QString &, const QString &)
{
    return false;
}

bool QtDialogBackend::question(CommonDialog &, QWidget *parent, const QString &title, const QString &text)
{
    return plaintext::AskYesNo(parent, title, text);
}
