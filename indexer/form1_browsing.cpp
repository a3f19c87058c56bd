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
    if (keepFlowing_)
        FlowColumns(); // File1 and File2 may have come into view
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
    Dir1->SetNativePath(folder, root); // the lists are rooted at the drive, even when it was shown already
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
        d->SetNativePath(path, Dir1->Root());
    if (keepFlowing_)
        FlowColumns();
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
    for (fsl::FolderListBox *d : {Dir1, Dir2, Dir3, Dir4, Dir5, Dir6}) {
        if (!d->Refresh())
            return reportRefreshFailure(d->NativePath(), d->Root());
    }
    for (fsl::FileListBox *f : {File1, File2, File3, File4, File5, File6}) {
        if (!f->Refresh())
            return reportRefreshFailure(f->NativePath(), fsl::Volumes::RootOf(f->NativePath()));
    }
    if (keepFlowing_)
        FlowColumns();
}

void Form1::reportRefreshFailure(const QByteArray &path, const QByteArray &drive)
{
    // The drive error is for a drive that cannot be read (a disc taken out);
    // a folder that cannot be read on a readable drive is named, with why.
    const fsl::ListingPtr folder = fsl::ListingCache::Get(path); // this refresh's read, not a new one
    if (fsl::ListingCache::Get(drive)->ok) {
        ShowFolderError(path, folder->error);
        return;
    }
    Form5 &f = DriveError();
    f.show();
    f.raise();
    f.activateWindow();
}
