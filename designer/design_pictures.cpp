// The main picture, the two logos and their removal.
#include "design.h"

#include <QCheckBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSettings>

#include "plaintext.h"
#include "secondary_windows.h"

QString Design::PictureFilter()
{
    // The first three as they always were, then every other format the
    // installed readers know. Both cases: the file dialog's patterns are
    // case-sensitive here.
    QStringList first = {QStringLiteral("jpg"), QStringLiteral("gif"), QStringLiteral("bmp")};
    QStringList more;
    for (const QByteArray &format : QImageReader::supportedImageFormats()) {
        const QString ext = QString::fromLatin1(format).toLower();
        more << ext;
        if (ext == QLatin1String("jpeg"))
            more << QStringLiteral("jpe");
    }
    more.sort();
    more.removeDuplicates();
    QStringList patterns;
    for (const QString &ext : first)
        patterns << QStringLiteral("*.") + ext;
    for (const QString &ext : first)
        patterns << QStringLiteral("*.") + ext.toUpper();
    for (const QString &ext : std::as_const(more))
        if (!first.contains(ext))
            patterns << QStringLiteral("*.") + ext << QStringLiteral("*.") + ext.toUpper();
    return QStringLiteral("Image Files|") + patterns.join(u';') + QStringLiteral("|All files|*");
}

bool Design::LoadPictureFile(CoverDocument::Slot slot, const QString &path)
{
    QString why;
    if (!doc_.loadPicture(slot, path, &why)) {
        ShowNotice(QStringLiteral("Picture not loaded"),
                   QStringLiteral("The picture %1 could not be loaded: %2").arg(path, why));
        return false;
    }
    Refresh();
    return true;
}

void Design::ClearPicture(CoverDocument::Slot slot)
{
    doc_.clearPicture(slot);
    Refresh();
}

void Design::loadPictureInto(CoverDocument::Slot slot)
{
    CommonDialog1.Filter = PictureFilter();
    // The slot's own picture, or nothing: never the name of a design.
    CommonDialog1.FileName = doc_.picturePath(slot);
    // Only the main picture has a box to fit; its choice is offered again as last left.
    const bool main = slot == CoverDocument::Slot::Main;
    const QString fitKey = QStringLiteral("Pictures/FitBoxToPicture");
    QSettings settings(QStringLiteral("Sleeve"), QStringLiteral("sleevedesk"));
    if (main) {
        CommonDialog1.CheckBoxText = QStringLiteral("Fit Box to Picture");
        CommonDialog1.CheckBoxChecked = settings.value(fitKey, false).toBool();
    }
    // A cancelled dialog changes nothing.
    if (!CommonDialog1.ShowOpen())
        return;
    const bool fit = main && CommonDialog1.CheckBoxChecked;
    if (main)
        settings.setValue(fitKey, fit);
    // The picture and its box are one step: undoing it brings back both.
    NameStep(fit ? QStringLiteral("Fit Box to Picture") : QStringLiteral("Picture"));
    if (LoadPictureFile(slot, CommonDialog1.FileName) && fit) {
        doc_.fitBoxToPicture();
        Refresh();
    }
}

void Design::Command8_Click()
{
    loadPictureInto(CoverDocument::Slot::Main);
}
void Design::Command9_Click()
{
    loadPictureInto(CoverDocument::Slot::Logo1);
}
void Design::Command12_Click()
{
    loadPictureInto(CoverDocument::Slot::Logo2);
}

bool Design::FitBoxToPicture()
{
    if (!Image1->HasPicture() || Image1->SourceSize().isEmpty())
        return false;
    FlushUndo(); // typing before it is a step of its own
    NameStep(QStringLiteral("Fit Box to Picture"));
    doc_.fitBoxToPicture();
    Refresh();
    noteChange();
    FlushUndo();
    return true;
}

void Design::Command16_Click()
{
    Pixclear *p = PixclearForm();
    p->show();
    p->raise();
    p->activateWindow();
}

void Design::reportPicturesFromScreenCopies()
{
    QStringList notes;
    for (const CoverImage *image : {Image1, Image2, Image3})
        if (image->Visible() && !image->PrintNote().isEmpty())
            notes << image->PrintNote();
    if (notes.isEmpty())
        return;
    // Non-blocking, one at a time; file names are shown as they are, never as markup.
    auto *box = findChild<QMessageBox *>(QStringLiteral("PrintedFromScreenCopy"), Qt::FindDirectChildrenOnly);
    if (!box) {
        box = plaintext::Message(QMessageBox::Information, QStringLiteral("Print"), QString(),
                                 QMessageBox::Ok, this);
        box->setObjectName(QStringLiteral("PrintedFromScreenCopy"));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::NonModal);
    }
    box->setText(notes.join(u'\n'));
    box->setInformativeText(QStringLiteral("Choose the picture again to print it at full detail."));
    box->show();
    box->raise();
}
