// Form1: drive, folder and file browsing, Refresh and the activation step.
#include "form1.h"

#include <QRadioButton>

#include "form5.h"
#include "texts.h"

void Form1::Form_Initialize()
{
    show();
    activateWindow();
    Form_Activate();
}

void Form1::Form_Activate()
{
    move(x(), 0);
    move(0, 0);
    Dir2->setGeometry(132, 3, 129, 396);
    Dir3->setGeometry(265, 3, 129, 396);
    Dir4->setGeometry(435, 3, 112, 405);
    Dir5->setGeometry(550, 3, 107, 405);
    Dir6->setGeometry(660, 3, 107, 405);
    File4->setGeometry(435, 0, 112, 405);
    File5->setGeometry(550, 0, 107, 405);
    File6->setGeometry(660, 0, 107, 405);
    File1->show();
    File2->show();
    Dir2->hide();
    Dir3->hide();
    Dir4->hide();
    Dir5->hide();
    Dir6->hide();
}

void Form1::Drive1_GotFocus()
{
    setWindowTitle(QString::fromLatin1(texts::Drive1Help));
}

void Form1::Drive1_Change()
{
    fsl::ListingCache::Batch batch; // the check's read is the one Dir1 then shows
    const QByteArray root = Drive1->NativeDrive();
    const QByteArray folder = root.isEmpty() ? QByteArray() : fsl::Volumes::OpenFolderOf(root);
    if (folder.isEmpty() || !fsl::ListingCache::Get(folder)->ok) {
        Form5 &f = DriveError();
        f.show();
        f.raise();
        f.activateWindow();
        return;
    }
    Dir1->SetNativePath(folder);
}

void Form1::Dir1_Change()
{
    const QByteArray &path = Dir1->NativePath();
    File1->SetNativePath(path);
    if (Option14->isChecked() || Option13->isChecked() || Option12->isChecked())
        return;
    for (fsl::FileListBox *f : {File2, File3, File4, File5, File6})
        f->SetNativePath(path);
    for (fsl::FolderListBox *d : {Dir2, Dir3, Dir4, Dir5, Dir6})
        d->SetNativePath(path);
}

void Form1::Dir3_Change()
{
    if (Option12->isChecked())
        File4->SetNativePath(Dir3->NativePath());
}

void Form1::Dir5_Change()
{
    if (Option12->isChecked())
        File6->SetNativePath(Dir5->NativePath());
}

void Form1::Command4_Click()
{
    fsl::ListingCache::Batch batch; // each folder is read anew once
    const bool ok = Dir1->Refresh() && Dir2->Refresh() && Dir3->Refresh() && Dir4->Refresh() &&
                    Dir5->Refresh() && Dir6->Refresh() && File1->Refresh() && File2->Refresh() &&
                    File3->Refresh() && File4->Refresh() && File5->Refresh() && File6->Refresh();
    if (!ok) {
        Form5 &f = DriveError();
        f.show();
        f.raise();
        f.activateWindow();
    }
}
