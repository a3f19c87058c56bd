// The main picture, the two logos and their removal.
#include "design.h"

#include <QCheckBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

#include "module1.h"
#include "secondary_windows.h"
#include "textnumber.h"

using textnum::TextNumber;

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

bool Design::LoadPictureFile(CoverImage *image, QLabel *pathLabel, const QString &path)
{
    // The label names the picture shown, and is what a design file keeps: it
    // changes only with the picture.
    QString why;
    if (path.isEmpty() || !image->LoadPicture(path, &why)) {
        if (path.isEmpty())
            why = QStringLiteral("No file was given.");
        ShowNotice(QStringLiteral("Picture not loaded"),
                   QStringLiteral("The picture %1 could not be loaded: %2").arg(path, why));
        return false;
    }
    pathLabel->setText(path);
    if (image == Image1) {
        Image1->setTop((Shape1->Height() - Image1->Height()) / 2.0);
        Image1->setLeft(Centred(Image1->Width(), Centring::Exact));
    }
    return true;
}

void Design::loadPictureInto(CoverImage *image, QLabel *pathLabel)
{
    CommonDialog1.Filter = PictureFilter();
    // A cancelled dialog changes nothing.
    if (!CommonDialog1.ShowOpen())
        return;
    LoadPictureFile(image, pathLabel, CommonDialog1.FileName);
}

void Design::Command8_Click()
{
    loadPictureInto(Image1, PIXFLN);
}
void Design::Command9_Click()
{
    loadPictureInto(Image2, Label30);
}
void Design::Command12_Click()
{
    loadPictureInto(Image3, LOGO2FLN);
}

void Design::Text7_Change()
{
    Image1->Hide();
    // A width the picture cannot take (negative, not finite) keeps the old one.
    Image1->setWidth(TextNumber(Text7->text()));
    Image1->setLeft(Centred(Image1->Width(), Centring::Exact));
    Image1->Show();
}

void Design::Text8_Change()
{
    Image1->Hide();
    Image1->setHeight(TextNumber(Text8->text()));
    Image1->setTop((Shape1->Height() - Image1->Height()) / 2.0);
    Image1->Show();
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
        box = new QMessageBox(this);
        box->setObjectName(QStringLiteral("PrintedFromScreenCopy"));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setIcon(QMessageBox::Information);
        box->setWindowTitle(QStringLiteral("Print"));
        box->setStandardButtons(QMessageBox::Ok);
        box->setWindowModality(Qt::NonModal);
        box->setTextFormat(Qt::PlainText);
    }
    box->setText(notes.join(u'\n'));
    box->setInformativeText(QStringLiteral("Choose the picture again to print it at full detail."));
    box->show();
    box->raise();
}
