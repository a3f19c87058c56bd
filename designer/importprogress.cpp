#include "importprogress.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include <algorithm>
#include <climits>

#include "plaintext.h"

ImportProgress::ImportProgress(QWidget *parent) : parent_(parent)
{
    clock_.start();
}

ImportProgress::~ImportProgress() = default;

tracklist::Progress ImportProgress::Callback()
{
    return [this](qsizetype done, qsizetype total) { return step(done, total); };
}

bool ImportProgress::step(qsizetype done, qsizetype total)
{
    if (!dialog_) {
        if (clock_.elapsed() < ShowAfterMs)
            return true;
        dialog_ =
            plaintext::Progress(QCoreApplication::translate("ImportProgress", "Reading the track list\u2026"),
                                QCoreApplication::translate("ImportProgress", "Cancel"), 0, 0, parent_);
        dialog_->setObjectName(QStringLiteral("importProgress"));
        dialog_->setWindowTitle(QCoreApplication::translate("ImportProgress", "Import Track List"));
        dialog_->setWindowModality(Qt::WindowModal);
        dialog_->setMinimumDuration(0);
        dialog_->setAutoReset(false);
        dialog_->setAutoClose(false);
        dialog_->show();
    }
    // A total of 0 (not known yet) shows a busy bar.
    dialog_->setMaximum(int(std::min<qsizetype>(total, INT_MAX)));
    dialog_->setValue(int(std::min<qsizetype>(done, INT_MAX)));
    QCoreApplication::processEvents(); // Cancel is seen even when the count stands still
    return !dialog_->wasCanceled();
}
