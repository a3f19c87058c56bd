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

#include "design_records.h"
#include "designfile.h"
#include "module1.h"
#include "recent_designs.h"
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
    return records::Lines(*this);
}

bool Design::IsModified() const
{
    return DesignRecords() != unmodifiedRecords_;
}

void Design::markUnmodified(QStringList records)
{
    unmodifiedRecords_ = std::move(records);
    documents_[document_] = {Module1::DesignFileName, unmodifiedRecords_};
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
    auto *box = new QMessageBox(QMessageBox::Warning, title, QString(), QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("problem"));
    // The text names files: shown as it is, never read as markup.
    box->setTextFormat(Qt::PlainText);
    box->setText(text);
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
    s->AskBefore(Module1::PendingAction);
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
    switch (Module1::PendingAction) {
    case Module1::Pending::Open: Command1_Click(); break;
    case Module1::Pending::New: Command4_Click(); break;
    case Module1::Pending::Close:
        // Closes the other windows too; with the last window the program ends.
        if (close())
            QApplication::quit();
        break;
    case Module1::Pending::None: break;
    }
    promptAnswered_ = false;
}

// ---------------------------------------------------------------- Save

void Design::Command2_Click()
{
    SaveDesign();
}

bool Design::SaveDesign()
{
    CommonDialog1.CancelError = true;
    CommonDialog1.DefaultExt = QStringLiteral(".qwd");
    CommonDialog1.Flags = 2;
    CommonDialog1.Filter = QStringLiteral("Quirewell Files|*.qwd");
    CommonDialog1.FileName =
        Module1::DesignFileName.isEmpty() ? QStringLiteral("Untitled") : Module1::DesignFileName;
    if (!CommonDialog1.ShowSave())
        return false;
    QString error;
    // A link to a missing file would create that file wherever it points: asked first.
    bool declined = false;
    designfile::WriteOptions options;
    options.createLinkTarget = [this, &declined](const QString &link, const QString &target) {
        declined = !CommonDialog1.Ask(
            QStringLiteral("Save"),
            QStringLiteral("%1 is a link to %2, which does not exist.\n\nCreate %2?").arg(link, target));
        return !declined;
    };
    // Written beside the target and swapped in only when complete: a failed
    // save leaves the previous file as it was, and says so.
    QStringList records = DesignRecords();
    if (!designfile::Write(CommonDialog1.FileName, records, &error, options)) {
        // A declined question has already said what there is to say.
        if (!declined)
            ReportProblem(
                QStringLiteral("Not saved"),
                QStringLiteral("The design was not saved to %1: %2").arg(CommonDialog1.FileName, error));
        return false;
    }
    markUnmodified(std::move(records));
    recentdesigns::Add(CommonDialog1.FileName);
    return true;
}

// ---------------------------------------------------------------- Open

void Design::Command1_Click()
{
    Module1::PendingAction = Module1::Pending::Open;
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
    loadRecords(path, r, Loading::Open);
    startDocument();
    markUnmodified(DesignRecords());
}

void Design::ApplyRecords(const designfile::Records &r, const QString &designPath)
{
    loadRecords(designPath, r, Loading::Apply);
}

void Design::loadRecords(const QString &path, const designfile::Records &r, Loading how)
{
    using namespace records;
    BusyCursor busy;
    Wait *wait = how == Loading::Open ? WaitForm() : nullptr;
    if (wait)
        ShowOver(wait);
    const auto apply = [&](std::initializer_list<int> numbers) {
        for (int n : numbers)
            Apply(*this, r, n);
    };
    // Open reads every picture again (the file may have changed); applying records keeps a
    // picture whose path stays the same.
    static constexpr std::array<int, 3> pictures{PIXFLNCaption, Label30Caption, LOGO2FLNCaption};
    std::array<bool, pictures.size()> keep{};
    for (size_t i = 0; i < keep.size(); ++i) {
        const Record &rec = At(pictures[i]);
        keep[i] =
            how == Loading::Apply && (this->*rec.picture)->HasPicture() && Read(rec, r) == rec.save(*this);
    }
    const auto loadPicture = [&](size_t i) {
        const QString file = designfile::Text(r, pictures[i]);
        CoverImage *image = this->*At(pictures[i]).picture;
        // Undo takes a recent picture back from its screen copy.
        return keep[i] || file.isEmpty() || (how == Loading::Apply && restorePicture(image, file)) ||
               image->LoadPicture(file);
    };

    // Pictures and their paths start empty: one that cannot be loaded leaves itself and the
    // later ones out.
    for (size_t i = 0; i < keep.size(); ++i) {
        if (!keep[i]) {
            (this->*At(pictures[i]).picture)->ClearPicture();
            At(pictures[i]).apply(*this, QString()); // no path
        }
    }
    Module1::DesignFileName = path;

    // Headlines, layout, lines. The layout switch runs before the stored positions are applied,
    // so they win over its defaults.
    apply({Label2Caption, Label3Caption, Option1Value, Option4Value, Check3Value, Check4Value});
    apply({Label2FontBold, Label2FontItalic, Label2FontStrikethru, Label2FontUnderline});
    apply({Label3FontBold, Label3FontItalic, Label3FontStrikethru, Label3FontUnderline});
    // A "Center" box that stays checked leaves its headline where the file puts it.
    if (Value(Check13) == 1)
        Module1::TopHeadlineFree = true;
    if (Value(Check14) == 1)
        Module1::BottomHeadlineFree = true;
    apply({Check13Value, Check14Value, Check1Value, Check2Value, Check5Value, Check6Value});
    apply({Label2FontName, Label2FontSize, Label2ForeColor, Label3FontName, Label3FontSize, Label3ForeColor});
    apply({Shape1BackColor, Line1BorderWidth, Line1BorderColor});
    // After the "Center" boxes, whose reactions move the headlines.
    apply({Text5Text, Text6Text, Text4Text, Text9Text});

    // Pictures. One that cannot be loaded skips the remaining ones and says so.
    const bool picturesLoaded = [&] {
        if (!loadPicture(0))
            return false;
        apply({PIXFLNCaption, Label30Caption, Image1Height, Image1Width});
        if (!loadPicture(1))
            return false;
        apply({LOGO2FLNCaption});
        if (!loadPicture(2))
            return false;
        Image1->setLeft(Centred(Image1->Width(), Centring::Exact));
        Image1->setTop((456 - Image1->Height()) / 2.0);
        Text8->setText(PositionText(std::floor(Image1->Height())));
        Text7->setText(PositionText(std::floor(Image1->Width())));
        return true;
    }();
    if (!picturesLoaded)
        ShowOver(ErrorForm());

    // Box and titles.
    apply({Text10Text, Shape2BorderColor, Check7Value, Check8Value});
    apply({Label10FontName, Label10FontSize, Label10ForeColor});
    for (int n = Label4Caption; n <= Label27Caption; ++n)
        Apply(*this, r, n);
    for (int n : TitleFontOrder()) {
        CoverLabel *l = CoverLabelN(n);
        l->setFontName(Label10->FontName());
        l->setFontSize(Label10->FontSize());
        l->setForeColor(Label10->ForeColor());
    }
    // "Lower Black" and "Lower Small" reacted (if at all) before the titles font arrived.
    const qint32 lower = Value(Check8) == 1 ? Label3->ForeColor() : Label10->ForeColor();
    for (CoverLabel *l : {Label25, Label26, Label27})
        l->setForeColor(lower);
    apply({Check15Value});
    if (Value(Check6) == 1) {
        Label27->setFontSize(6);
        for (CoverLabel *l : {Label26, Label25, Label24})
            l->setFontSize(7);
    } else {
        for (CoverLabel *l : {Label27, Label26, Label25, Label24})
            l->setFontSize(Label10->FontSize());
    }

    // Copyright notice.
    apply({Check9Value, Check10Value, Check11Value, Text11Text, Text12Text});
    // "Add ( P )" shows the symbol by itself; it belongs to a posted notice only.
    Image4->setVisible(Value(Check9) == 1);
    // Unless black, the notice has the titles' colour, which may have changed.
    if (Value(Check11) == 0) {
        Label28->setForeColor(Label10->ForeColor());
        Label29->setForeColor(Label10->ForeColor());
    }
    SetNoticeRowTop(Value(Check5) == 1 ? RaisedNoticeTop() : NoticeBaseLine);
    Refresh();
    if (wait)
        wait->hide();
}

// ---------------------------------------------------------------- New

void Design::Command4_Click()
{
    Module1::PendingAction = Module1::Pending::New;
    if (PromptWanted()) {
        ShowSavePrompt();
        return;
    }
    SetNoticeRowTop(NoticeBaseLine);
    SetValue(Check3, 0);
    SetValue(Check4, 0);
    Text12->setText(QString());
    Text11->setText(YearText());
    SetLabel29Caption(Text11->text() + u' ' + Text12->text() + QStringLiteral(" All Rights Reserved."));
    SetValue(Check10, 0);
    SetValue(Check13, 1);
    SetValue(Check14, 1);
    Module1::DesignFileName.clear();
    Image1->ClearPicture();
    Image2->ClearPicture();
    Image3->ClearPicture();
    const qint32 black = Module1::Black;
    Shape1->setBackColor(0x00FFFFFF);
    Shape2->setBorderColor(black);
    Shape2->setBorderWidth(2);
    Line1->setBorderColor(black);
    Line2->setBorderColor(black);
    SetValue(Check5, 0);
    SetValue(Check1, 0);
    SetValue(Check2, 0);
    SetValue(Check6, 1);
    SetValue(Check8, 0);
    // The headline fields' reactions empty the headlines.
    Text1->setText(QString());
    Text2->setText(QString());
    PIXFLN->setText(QString());
    LOGO2FLN->setText(QString());
    Label30->setText(QString());
    Line2->Show();
    Line1->Show();
    for (int n = 4; n <= 27; ++n)
        CoverLabelN(n)->setCaption(QString());
    // The titles window is made (hidden) if it does not exist yet.
    Titles *t = TitlesForm();
    for (int n = 1; n <= 24; ++n)
        t->Text(n)->setText(QString());
    Text3->setText(QStringLiteral("4"));
    // Open sets the rules without the field, so it may read 4 already while they differ.
    Line1->setBorderWidth(4);
    Line2->setBorderWidth(4);
    Label3->setForeColor(black);
    Label2->setForeColor(black);
    Label10->setForeColor(black);
    Label10->setFontSize(Module1::DefaultFontSize);
    for (CoverLabel *l : {Label10, Label3, Label2})
        l->setFontName(Module1::DefaultFontName);
    Label3->setFontSize(Module1::DefaultFontSize);
    Label2->setFontSize(Module1::DefaultFontSize);
    SetValue(Check7, 1); // the titles block shown, now empty
    Refresh();
    startDocument();
    markUnmodified(DesignRecords());
}

// ---------------------------------------------------------------- prompt and closing

void Design::Form_QueryUnload(bool &cancel)
{
    Module1::PendingAction = Module1::Pending::Close;
    if (PromptWanted()) {
        cancel = true;
        ShowSavePrompt();
    }
}
