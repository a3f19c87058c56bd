// Recovery copies: kept while the design is modified, offered back after a crash or a kill.
#include "design.h"

#include <QDialog>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTimer>

#include "plaintext.h"
#include "terminal.h"

namespace {

// The offer's answers (QDialog::done codes); its close box answers nothing (Rejected).
enum OfferAnswer { Restore = 1, Discard = 2 };

QDialog *makeOffer(QWidget *parent, const RecoveryStore::Orphan &orphan)
{
    auto *dlg = new QDialog(parent);
    dlg->setObjectName(QStringLiteral("RecoveryOffer"));
    dlg->setWindowTitle(QStringLiteral("Restore Unsaved Design?"));
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    dlg->setFixedSize(380, 150);
    const QString design =
        orphan.designPath.isEmpty() ? QStringLiteral("An untitled design") : orphan.designPath;
    auto *text = plaintext::Label(
        QStringLiteral("The designer ended before this design was saved:\n\n%1\nlast changed %2.\n\n"
                       "Restore it, or discard it?")
            .arg(design, QLocale().toString(orphan.written, QLocale::ShortFormat)),
        dlg);
    text->setObjectName(QStringLiteral("Label1"));
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text->setGeometry(12, 10, 356, 96);
    auto button = [dlg](const char *name, const char *caption, int x, int code) {
        auto *b = new QPushButton(QString::fromLatin1(caption), dlg);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        b->setGeometry(x, 114, 89, 27);
        QObject::connect(b, &QPushButton::clicked, dlg, [dlg, code] { dlg->done(code); });
        return b;
    };
    button("Restore", "Restore", 92, Restore)->setDefault(true);
    button("Discard", "Discard", 199, Discard);
    return dlg;
}

} // namespace

void Design::StartRecovery(const QString &folder)
{
    recovery_ = std::make_unique<RecoveryStore>(folder.isEmpty() ? RecoveryStore::DefaultFolder() : folder);
    if (!recoveryTimer_) {
        recoveryTimer_ = new QTimer(this);
        recoveryTimer_->setSingleShot(true);
        recoveryTimer_->setInterval(RecoveryDelayMs);
        connect(recoveryTimer_, &QTimer::timeout, this, &Design::WriteRecoveryCopy);
    }
    orphans_ = recovery_->TakeOrphans();
    offerRecovery();
}

bool Design::RecoveryCopyDue() const
{
    return recoveryTimer_ && recoveryTimer_->isActive();
}

void Design::noteChange()
{
    noteUndoable();
    // At most one copy every few seconds, and nothing else on the keystroke itself.
    if (recoveryTimer_ && !recoveryTimer_->isActive())
        recoveryTimer_->start();
}

void Design::WriteRecoveryCopy()
{
    if (recoveryTimer_)
        recoveryTimer_->stop();
    // A refused folder was said once: recovery is off for the run.
    if (!recovery_ || recovery_->Off())
        return;
    QStringList records = DesignRecords();
    if (records == unmodifiedRecords_) {
        recovery_->Remove();
        recoveryWritten_.clear();
        return;
    }
    if (records == recoveryWritten_)
        return;
    QString error;
    if (recovery_->Write(records, DesignPath(), &error))
        recoveryWritten_ = std::move(records);
    else if (recoveryWritten_.isEmpty())
        terminal::Error(QStringLiteral("no recovery copy: ") + error);
}

void Design::offerRecovery()
{
    if (orphans_.isEmpty())
        return;
    const RecoveryStore::Orphan orphan = orphans_.takeFirst();
    QDialog *dlg = makeOffer(this, orphan);
    connect(dlg, &QDialog::finished, this, [this, orphan](int answer) {
        if (answer == Discard) {
            recovery_->Discard(orphan);
            // The next one, if any, once this question is gone.
            QTimer::singleShot(0, this, &Design::offerRecovery);
            return;
        }
        if (answer == Restore)
            restoreRecovery(orphan);
        else
            recovery_->Release(orphan);
        // One design at a time: the older copies wait for a later start.
        for (const RecoveryStore::Orphan &o : std::as_const(orphans_))
            recovery_->Release(o);
        orphans_.clear();
    });
    dlg->open();
}

void Design::restoreRecovery(const RecoveryStore::Orphan &orphan)
{
    QString error;
    const auto records = RecoveryStore::ReadCopy(orphan.copyPath, &error);
    if (!records) {
        recovery_->Release(orphan);
        ReportProblem(QStringLiteral("Not restored"),
                      QStringLiteral("%1 could not be read: %2").arg(orphan.copyPath, error));
        return;
    }
    // The copy is kept as this designer's own until the design is saved or closed cleanly.
    recovery_->Adopt(orphan);
    recoveryWritten_.clear();
    ApplyRecords(*records, orphan.designPath);
    WriteRecoveryCopy();
}
