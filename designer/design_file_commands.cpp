// Design files: Save, Open, New, the save prompt and closing.
#include "design.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>

#include <cmath>

#include "designfile.h"
#include "module1.h"
#include "recent_designs.h"
#include "secondary_windows.h"
#include "textnumber.h"
#include "titles.h"

using namespace textnum;

namespace {

QString checkForm(const QCheckBox *box)
{
    return Int16Form(Design::Value(box));
}

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
    QStringList r;
    r.reserve(designfile::RecordCount);
    auto headline = [&r](const CoverLabel *l) {
        r << l->Caption() << l->FontName() << RealForm(l->FontSize()) << Int32Form(l->ForeColor());
    };
    headline(Label2);                                   // 1 - 4
    headline(Label3);                                   // 5 - 8
    r << Int32Form(Shape1->BackColor())                 // 9
      << Int16Form(Line1->BorderWidth())                // 10
      << Int32Form(Line1->BorderColor())                // 11
      << checkForm(Check1) << checkForm(Check2)         // 12, 13
      << PIXFLN->text()                                 // 14
      << RealForm(static_cast<float>(Image1->Height())) // 15
      << RealForm(static_cast<float>(Image1->Width()))  // 16
      << Label30->text() << LOGO2FLN->text()            // 17, 18
      << checkForm(Check5) << Text10->text()            // 19, 20
      << Int32Form(Shape2->BorderColor())               // 21
      << checkForm(Check7) << checkForm(Check6)         // 22, 23
      << Label10->FontName() << RealForm(Label10->FontSize()) << Int32Form(Label10->ForeColor())
      << checkForm(Check8);       // 24 - 27
    for (int n = 4; n <= 27; ++n) // 28 - 51
        r << CoverLabelN(n)->Caption();
    r << Text5->text() << Text6->text() << Text4->text() << Text9->text(); // 52 - 55
    r << checkForm(Check9) << checkForm(Check10) << checkForm(Check11)     // 56 - 58
      << Text11->text() << Text12->text()                                  // 59, 60
      << checkForm(Check13) << checkForm(Check14) << checkForm(Check15)    // 61 - 63
      << BoolForm(Value(Option1)) << BoolForm(Value(Option4))              // 64, 65
      << checkForm(Check3) << checkForm(Check4);                           // 66, 67
    for (const CoverLabel *l : {Label2, Label3})                           // 68 - 75
        r << BoolForm(l->FontBold()) << BoolForm(l->FontItalic()) << BoolForm(l->FontStrikethru())
          << BoolForm(l->FontUnderline());
    return r;
}

void Design::ReportProblem(const QString &title, const QString &text)
{
    lastProblem_ = text;
    auto *box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok, this);
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
    ShowOver(s);
    s->raise();
    s->activateWindow();
}

bool Design::PromptWanted() const
{
    return Value(Check12) == 1 && Module1::SavePromptArmed == 1;
}

// ---------------------------------------------------------------- Save

void Design::Command2_Click()
{
    // Disarmed before the dialog: a cancelled save still counts as answered.
    Module1::SavePromptArmed = 0;
    CommonDialog1.CancelError = true;
    CommonDialog1.DefaultExt = QStringLiteral(".qwd");
    CommonDialog1.Flags = 2;
    CommonDialog1.Filter = QStringLiteral("Quirewell Files|*.qwd");
    CommonDialog1.FileName =
        Module1::DesignFileName.isEmpty() ? QStringLiteral("Untitled") : Module1::DesignFileName;
    if (!CommonDialog1.ShowSave())
        return;
    QString error;
    // Written beside the target and swapped in only when complete: a failed
    // save leaves the previous file as it was, and says so.
    if (!designfile::Write(CommonDialog1.FileName, DesignRecords(), &error))
        ReportProblem(
            QStringLiteral("Not saved"),
            QStringLiteral("The design was not saved to %1: %2").arg(CommonDialog1.FileName, error));
    else
        recentdesigns::Add(CommonDialog1.FileName);
}

// ---------------------------------------------------------------- Open

void Design::Command1_Click()
{
    SetNoticeRowTop(NoticeBaseLine);
    Module1::PendingAction = 1;
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
    using namespace designfile;
    BusyCursor busy;
    Wait *wait = WaitForm();
    ShowOver(wait);

    Image1->ClearPicture();
    Image2->ClearPicture();
    Image3->ClearPicture();
    Label2->setCaption(QString());
    PIXFLN->setText(QString());
    LOGO2FLN->setText(QString());
    Label30->setText(QString());
    Module1::DesignFileName = path;

    // Phase A: headlines, options, lines.
    SetNoticeRowTop(NoticeBaseLine);
    Text1->setText(Text(r, 1));
    Text2->setText(Text(r, 5));
    SetValue(Option1, Bool(r, 64));
    SetValue(Option4, Bool(r, 65));
    SetValue(Check3, Int16(r, 66));
    SetValue(Check4, Int16(r, 67));
    Label2->setFontBold(Bool(r, 68));
    Label2->setFontItalic(Bool(r, 69));
    Label2->setFontStrikethru(Bool(r, 70));
    Label2->setFontUnderline(Bool(r, 71));
    Label3->setFontBold(Bool(r, 72));
    Label3->setFontItalic(Bool(r, 73));
    Label3->setFontStrikethru(Bool(r, 74));
    Label3->setFontUnderline(Bool(r, 75));
    if (Value(Check13) == 1)
        Module1::TopHeadlineFree = 1;
    if (Value(Check14) == 1)
        Module1::BottomHeadlineFree = 1;
    SetValue(Check13, Int16(r, 61));
    SetValue(Check14, Int16(r, 62));
    SetValue(Check1, NumberInt16(r, 12));
    SetValue(Check2, NumberInt16(r, 13));
    SetValue(Check3, Int16(r, 66));
    SetValue(Check4, Int16(r, 67));
    SetValue(Check5, Int16(r, 19));
    SetValue(Check6, Int16(r, 23));
    auto headline = [&r](CoverLabel *l, int first) {
        l->setCaption(Text(r, first));
        // A face or size the label cannot take (empty, 0) keeps the current one.
        if (!Text(r, first + 1).isEmpty())
            l->setFontName(Text(r, first + 1));
        l->setFontSize(static_cast<float>(Number(r, first + 2)));
        l->setForeColor(Int32(r, first + 3));
    };
    headline(Label2, 1);
    headline(Label3, 5);
    Shape1->setBackColor(Int32(r, 9));
    Line1->setBorderWidth(NumberInt16(r, 10));
    Line1->setBorderColor(Int32(r, 11));
    Line2->setBorderColor(Int32(r, 11));
    Line2->setBorderWidth(NumberInt16(r, 10));
    Text5->setText(Text(r, 52));
    Text6->setText(Text(r, 53));
    Text4->setText(Text(r, 54));
    Text9->setText(Text(r, 55));
    Label2->setTop(Number(r, 52));
    Label3->setTop(Number(r, 54));
    Label2->setLeft(Number(r, 53));
    Label3->setLeft(Number(r, 55));

    // Phase B: pictures, box, titles, notice. A picture that cannot be
    // loaded skips the remaining pictures and says so.
    SetNoticeRowTop(NoticeBaseLine);
    SetValue(Check13, Int16(r, 61));
    SetValue(Check14, Int16(r, 62));
    const bool picturesLoaded = [&] {
        if (!Text(r, 14).isEmpty() && !Image1->LoadPicture(Text(r, 14)))
            return false;
        PIXFLN->setText(Text(r, 14));
        Label30->setText(Text(r, 17));
        Image1->setHeight(Number(r, 15));
        Image1->setWidth(Number(r, 16));
        if (!Text(r, 17).isEmpty() && !Image2->LoadPicture(Text(r, 17)))
            return false;
        LOGO2FLN->setText(Text(r, 18));
        if (!Text(r, 18).isEmpty() && !Image3->LoadPicture(Text(r, 18)))
            return false;
        Image1->setLeft(Centred(Image1->Width(), Centring::Exact));
        Image1->setTop((456 - Image1->Height()) / 2.0);
        Text8->setText(PositionText(std::floor(Image1->Height())));
        Text7->setText(PositionText(std::floor(Image1->Width())));
        return true;
    }();
    if (!picturesLoaded) {
        SetNoticeRowTop(NoticeBaseLine);
        ShowOver(ErrorForm());
    }

    SetValue(Check5, Int16(r, 19));
    Text10->setText(Text(r, 20));
    if (const auto w = RoundInt16(TextNumber(Text10->text())))
        Shape2->setBorderWidth(*w);
    Shape2->setBorderColor(Int32(r, 21));
    SetValue(Check7, Int16(r, 22));
    SetValue(Check8, Int16(r, 27));
    SetValue(Check6, Int16(r, 23));
    if (!Text(r, 24).isEmpty())
        Label10->setFontName(Text(r, 24));
    Label10->setFontSize(Real(r, 25));
    Label10->setForeColor(Int32(r, 26));
    for (int n = 4; n <= 27; ++n)
        CoverLabelN(n)->setCaption(Text(r, n + 24));
    for (int n : TitleFontOrder()) {
        CoverLabel *l = CoverLabelN(n);
        l->setFontName(Label10->FontName());
        l->setFontSize(Label10->FontSize());
        l->setForeColor(Label10->ForeColor());
    }
    const qint32 lower = Value(Check8) == 1 ? Label3->ForeColor() : Label10->ForeColor();
    for (CoverLabel *l : {Label25, Label26, Label27})
        l->setForeColor(lower);
    SetValue(Check15, Int16(r, 63));
    Label27->setAlignment(Value(Check15) == 1 ? 2 : 0);
    if (Value(Check6) == 1) {
        Label27->setFontSize(6);
        for (CoverLabel *l : {Label26, Label25, Label24})
            l->setFontSize(7);
    } else {
        for (CoverLabel *l : {Label27, Label26, Label25, Label24})
            l->setFontSize(Label10->FontSize());
    }
    SetValue(Check9, Int16(r, 56));
    SetValue(Check10, Int16(r, 57));
    SetValue(Check11, Int16(r, 58));
    Text11->setText(Text(r, 59));
    Text12->setText(Text(r, 60));
    Image4->setVisible(Value(Check9) == 1);
    if (Value(Check11) == 0) {
        Label28->setForeColor(Label10->ForeColor());
        Label29->setForeColor(Label10->ForeColor());
    }
    SetNoticeRowTop(Value(Check5) == 1 ? RaisedNoticeTop() : NoticeBaseLine);
    Refresh();
    Module1::SavePromptArmed = 1;
    wait->hide();
}

// ---------------------------------------------------------------- New

void Design::Command4_Click()
{
    Module1::PendingAction = 2;
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
    const auto black = static_cast<qint32>(Module1::Black);
    Shape1->setBackColor(0x00FFFFFF);
    Shape2->setBorderColor(black);
    Shape2->setBorderWidth(2);
    Line1->setBorderWidth(4);
    Line2->setBorderWidth(4);
    Line1->setBorderColor(black);
    Line2->setBorderColor(black);
    SetValue(Check5, 0);
    SetValue(Check1, 0);
    SetValue(Check2, 0);
    SetValue(Check7, 0);
    SetValue(Check6, 1);
    SetValue(Check8, 0);
    Text11->setText(YearText());
    Text1->setText(QString());
    Label2->setCaption(QString());
    PIXFLN->setText(QString());
    LOGO2FLN->setText(QString());
    Label30->setText(QString());
    Label10->setFontSize(Module1::DefaultTitleFontSize);
    Line2->Show();
    Line1->Show();
    Text2->setText(QString());
    Label3->setCaption(QString());
    Label2->setCaption(QString());
    for (int n = 4; n <= 27; ++n)
        CoverLabelN(n)->setCaption(QString());
    // The titles window is made (hidden) if it does not exist yet.
    Titles *t = TitlesForm();
    for (int n = 1; n <= 24; ++n)
        t->Text(n)->setText(QString());
    Image1->ClearPicture();
    Image2->ClearPicture();
    Image3->ClearPicture();
    Text3->setText(QStringLiteral("4"));
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
    SetValue(Check7, 1);
    SetValue(Check8, 0);
    Refresh();
    Module1::SavePromptArmed = 1;
}

// ---------------------------------------------------------------- prompt and closing

void Design::Check12_Click()
{
    Module1::SavePromptArmed = Value(Check12) == 1 ? 1.0f : 0.0f;
}

void Design::Form_QueryUnload(bool &cancel)
{
    Module1::PendingAction = 3;
    if (PromptWanted()) {
        cancel = true;
        ShowSavePrompt();
    }
}
