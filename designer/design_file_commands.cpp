// Design files: Save, Open, New, the save prompt and closing.
#include "design.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QTimer>

#include <cmath>
#include <utility>

#include "designfile.h"
#include "plaintext.h"
#include "recent_designs.h"
#include "records.h"
#include "secondary_windows.h"
#include "textnumber.h"
#include "titles.h"

using namespace textnum;

namespace {

// Keeps a failure of the bracketed work from leaving the pointer busy.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

} // namespace

QStringList Design::DesignRecords() const
{
    return doc_.Records() + doc_.Settings();
}

namespace {

// What counts for "modified": the records, less the position of a headline that has no text
// (it prints nothing, and typing then erasing a text moves it).
QStringList comparable(QStringList records)
{
    using namespace records;
    if (records.size() < designfile::RecordCount)
        return records;
    for (auto [text, top, left] : {std::array{TopHeadlineText, TopHeadlineTop, TopHeadlineLeft},
                                   std::array{BottomHeadlineText, BottomHeadlineTop, BottomHeadlineLeft}})
        if (records[text - 1].isEmpty()) {
            records[top - 1].clear();
            records[left - 1].clear();
        }
    return records;
}

} // namespace

bool Design::IsModified() const
{
    return comparable(DesignRecords()) != comparable(unmodifiedRecords_);
}

const QString &Design::DesignPath() const
{
    return documents_[document_].path;
}

void Design::markUnmodified(QStringList records)
{
    unmodifiedRecords_ = std::move(records);
    documents_[document_].unmodified = unmodifiedRecords_;
    // Nothing is left to recover.
    if (recoveryTimer_)
        recoveryTimer_->stop();
    if (recovery_)
        recovery_->Remove();
    recoveryWritten_.clear();
}

void Design::ReportProblem(const QString &title, const QString &text)
{
    lastProblem_ = text;
    auto *box = plaintext::Message(QMessageBox::Warning, title, text, QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("problem"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

void Design::ShowOver(QWidget *w)
{
    // Over the middle of the design window, which it concerns.
    if (!w->isVisible())
        w->move(frameGeometry().center() - QPoint(w->width() / 2, w->height() / 2));
    w->show();
    w->raise();
}

void Design::ShowSavePrompt()
{
    Save *s = SaveForm();
    s->AskBefore(pending_ == Pending::Close);
    ShowOver(s);
    s->raise();
    s->activateWindow();
}

// Asked only when there is something to lose, and not again by the command the prompt's
// answer goes on with.
bool Design::PromptWanted()
{
    if (std::exchange(promptAnswered_, false))
        return false;
    return Value(Check12) == 1 && IsModified();
}

void Design::ContinuePendingAction()
{
    promptAnswered_ = true;
    switch (pending_) {
    case Pending::Open: Command1_Click(); break;
    case Pending::New: Command4_Click(); break;
    case Pending::Close:
        // Closes the other windows too; with the last window the program ends.
        if (close())
            QApplication::quit();
        break;
    case Pending::None: break;
    }
    promptAnswered_ = false;
}

// ---------------------------------------------------------------- Save

void Design::Command2_Click()
{
    SaveDesign();
}

bool Design::SaveDesign(bool askName)
{
    if (askName || DesignPath().isEmpty()) {
        CommonDialog1.CancelError = true;
        CommonDialog1.DefaultExt = QStringLiteral(".qwd");
        CommonDialog1.Flags = 2;
        CommonDialog1.Filter = QStringLiteral("Quirewell Files|*.qwd");
        CommonDialog1.FileName = DesignPath().isEmpty() ? QStringLiteral("Untitled") : DesignPath();
        if (!CommonDialog1.ShowSave())
            return false;
    } else {
        CommonDialog1.FileName = DesignPath();
    }
    QString error;
    // A link to a missing file would create that file wherever it points: asked first.
    bool declined = false;
    designfile::WriteOptions options;
    options.replacesDesign = true; // a design read in this run, never a track or a picture
    options.createLinkTarget = [this, &declined](const QString &link, const QString &target) {
        declined = !CommonDialog1.Ask(
            QStringLiteral("Save"),
            QStringLiteral("%1 is a link to %2, which does not exist.\n\nCreate %2?").arg(link, target));
        return !declined;
    };
    // Written beside the target and swapped in only when complete: a failed
    // save leaves the previous file as it was, and says so.
    QStringList records = DesignRecords();
    if (!designfile::Write(CommonDialog1.FileName, records.mid(0, designfile::RecordCount),
                           records.mid(designfile::RecordCount), &error, options)) {
        // A declined question has already said what there is to say.
        if (!declined)
            ReportProblem(
                QStringLiteral("Not saved"),
                QStringLiteral("The design was not saved to %1: %2").arg(CommonDialog1.FileName, error));
        return false;
    }
    // The next Save proposes this file, and recovery copies name it.
    documents_[document_].path = CommonDialog1.FileName;
    markUnmodified(std::move(records));
    recentdesigns::Add(CommonDialog1.FileName);
    return true;
}

// ---------------------------------------------------------------- Open

void Design::Command1_Click()
{
    pending_ = Pending::Open;
    if (PromptWanted()) {
        ShowSavePrompt();
        return;
    }
    // A design dropped on the window or picked from Open Recent needs no dialog.
    if (OpenPendingPath())
        return;
    CommonDialog1.FileName.clear();
    CommonDialog1.Filter = QStringLiteral("Jewel Case Files|*.qwd");
    if (!CommonDialog1.ShowOpen() || CommonDialog1.FileName.isEmpty())
        return;
    if (OpenDesignFile(CommonDialog1.FileName))
        recentdesigns::Add(CommonDialog1.FileName);
}

bool Design::OpenDesignFile(const QString &path)
{
    // Read before anything changes: a file that cannot be read leaves the
    // current design as it is.
    QString error;
    const auto records = designfile::Read(path, &error);
    if (!records) {
        ReportProblem(QStringLiteral("Not opened"),
                      QStringLiteral("%1 could not be opened: %2").arg(path, error));
        return false;
    }
    LoadDesign(path, *records);
    return true;
}

void Design::LoadDesign(const QString &path, const designfile::Records &r)
{
    loadRecords(r, Loading::Open);
    startDocument();
    documents_[document_].path = path;
    markUnmodified(DesignRecords());
}

void Design::ApplyRecords(const designfile::Records &r, const QString &designPath)
{
    loadRecords(r, Loading::Apply);
    documents_[document_].path = designPath;
}

void Design::loadRecords(const designfile::Records &r, Loading how)
{
    BusyCursor busy;
    Wait *wait = how == Loading::Open ? WaitForm() : nullptr;
    if (wait)
        ShowOver(wait);
    NameStep(how == Loading::Open ? QStringLiteral("Open") : QStringLiteral("Restore"));
    // Open reads every picture again (the file may have changed); applying records keeps a
    // picture whose path stays the same.
    const bool picturesLoaded = doc_.applyRecords(r, {}, how == Loading::Apply);
    if (!picturesLoaded)
        ShowOver(ErrorForm());
    Refresh();
    if (wait)
        wait->hide();
}

// ---------------------------------------------------------------- New

void Design::Command4_Click()
{
    pending_ = Pending::New;
    if (PromptWanted()) {
        ShowSavePrompt();
        return;
    }
    NameStep(QStringLiteral("New"));
    doc_.newDesign(YearText());
    // The titles window is made (hidden) if it does not exist yet.
    TitlesForm();
    Refresh();
    startDocument();
    markUnmodified(DesignRecords());
}

// ---------------------------------------------------------------- prompt and closing

void Design::Form_QueryUnload(bool &cancel)
{
    pending_ = Pending::Close;
    if (PromptWanted()) {
        cancel = true;
        ShowSavePrompt();
    }
}
