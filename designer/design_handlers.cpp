// The editing controls' handlers: each passes the control's value to the document's operation
// and shows the outcome; the controls are then set from the document without reacting again.
#include "design.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>

#include <algorithm>

#include "titles.h"

namespace {

void showValue(QCheckBox *box, bool on)
{
    if (box->isChecked() == on)
        return;
    const QSignalBlocker quiet(box);
    box->setChecked(on);
}

// Only a different text is written: writing the same one would move the cursor of a field
// being typed in.
void showValue(QLineEdit *field, const QString &text)
{
    if (field->text() == text)
        return;
    const QSignalBlocker quiet(field);
    field->setText(text);
}

void showValue(QLabel *label, const QString &text)
{
    if (label->text() != text)
        label->setText(text);
}

} // namespace

void Design::Refresh()
{
    const CoverDocument &d = doc_;
    showValue(Text1, d.top.text);
    showValue(Text5, d.top.topTyped);
    showValue(Text6, d.top.leftTyped);
    showValue(Check3, d.top.boxed);
    showValue(Check13, d.top.centred);
    showValue(Text2, d.bottom.text);
    showValue(Text4, d.bottom.topTyped);
    showValue(Text9, d.bottom.leftTyped);
    showValue(Check4, d.bottom.boxed);
    showValue(Check14, d.bottom.centred);
    showValue(Check1, d.rules.hideTop);
    showValue(Check2, d.rules.hideBottom);
    showValue(Text3, d.rules.thicknessTyped);
    showValue(Check5, d.box.shown);
    showValue(Text10, d.box.thicknessTyped);
    showValue(PIXFLN, d.pictures.mainPath);
    showValue(Label30, d.pictures.logo1Path);
    showValue(LOGO2FLN, d.pictures.logo2Path);
    showValue(Text7, d.pictures.widthTyped);
    showValue(Text8, d.pictures.heightTyped);
    showValue(Check7, d.titles.shown);
    showValue(Check6, d.titles.lowerSmall);
    showValue(Check8, d.titles.lowerBlack);
    showValue(Check15, d.titles.lowerCentred);
    showValue(Check9, d.notice.posted);
    showValue(Check10, d.notice.symbol);
    showValue(Check11, d.notice.black);
    showValue(Text11, d.notice.year);
    showValue(Text12, d.notice.owner);
    // The notice's own controls belong to a posted notice.
    for (QWidget *w : std::initializer_list<QWidget *>{Check10, Check11, Text11, Text12})
        if (w->isVisibleTo(this) != d.notice.posted)
            w->setVisible(d.notice.posted);
    for (auto [option, on] : {std::pair{Option1, d.layout.front}, std::pair{Option4, d.layout.back}}) {
        const QSignalBlocker quiet(option);
        SetValue(option, on);
    }
    if (titles_)
        for (int n = 1; n <= CoverDocument::TitleLines; ++n)
            showValue(titles_->Text(n), d.titleLine(n).Caption());
    update();
}

// ---------------------------------------------------------------- headlines

void Design::Text1_Change()
{
    edit([this] { doc_.setTopText(Text1->text()); });
}
void Design::Text2_Change()
{
    edit([this] { doc_.setBottomText(Text2->text()); });
}
void Design::Text5_Change()
{
    edit([this] { doc_.setTopTopTyped(Text5->text()); });
}
void Design::Text6_Change()
{
    edit([this] { doc_.setTopLeftTyped(Text6->text()); });
}
void Design::Text4_Change()
{
    edit([this] { doc_.setBottomTopTyped(Text4->text()); });
}
void Design::Text9_Change()
{
    edit([this] { doc_.setBottomLeftTyped(Text9->text()); });
}
void Design::Check13_Click()
{
    edit([this] { doc_.setTopCentred(Value(Check13) == 1); });
}
void Design::Check14_Click()
{
    edit([this] { doc_.setBottomCentred(Value(Check14) == 1); });
}

// ---------------------------------------------------------------- lines, box and symbol

void Design::Check1_Click()
{
    edit([this] { doc_.setTopRuleHidden(Value(Check1) == 1); });
}
void Design::Check2_Click()
{
    edit([this] { doc_.setBottomRuleHidden(Value(Check2) == 1); });
}
void Design::Check3_Click()
{
    edit([this] { doc_.setTopBoxed(Value(Check3) == 1); });
}
void Design::Check4_Click()
{
    edit([this] { doc_.setBottomBoxed(Value(Check4) == 1); });
}
void Design::Check5_Click()
{
    edit([this] { doc_.setBoxShown(Value(Check5) == 1); });
}
void Design::Check10_Click()
{
    edit([this] { doc_.setSymbolAdded(Value(Check10) == 1); });
}
void Design::Text3_Change()
{
    edit([this] { doc_.setRuleThicknessTyped(Text3->text()); });
}
void Design::Text10_Change()
{
    edit([this] { doc_.setBoxThicknessTyped(Text10->text()); });
}

// ---------------------------------------------------------------- titles block

void Design::Check7_Click()
{
    edit([this] { doc_.setTitlesShown(Value(Check7) == 1); });
}
void Design::Check6_Click()
{
    edit([this] { doc_.setLowerSmall(Value(Check6) == 1); });
}
void Design::Check8_Click()
{
    edit([this] { doc_.setLowerBlack(Value(Check8) == 1); });
}
void Design::Check15_Click()
{
    edit([this] { doc_.setLowerCentred(Value(Check15) == 1); });
}

void Design::TitleTyped(int line, const QString &text)
{
    doc_.setTitle(line, text);
    update();
}

// "Enter Title Names": fill the titles window from the document and show it.
void Design::Command14_Click()
{
    const bool fresh = !TitlesLoaded() || !TitlesForm()->isVisible();
    Titles *t = TitlesForm();
    for (int n = 1; n <= CoverDocument::TitleLines; ++n)
        t->Text(n)->setText(doc_.titleLine(n).Caption());
    t->show();
    if (fresh) {
        // Beside the design window where the screen allows, so neither hides the other, and
        // always whole on the screen. Measured once shown; a frame the window manager has not
        // added yet is taken to be as wide as the design window's own.
        const QRect area = screen() ? screen()->availableGeometry() : QRect();
        const QMargins frame(
            geometry().left() - frameGeometry().left(), geometry().top() - frameGeometry().top(),
            frameGeometry().right() - geometry().right(), frameGeometry().bottom() - geometry().bottom());
        const QSize outer = t->frameGeometry().size().expandedTo(t->size().grownBy(frame));
        QPoint at(frameGeometry().right() + 8, frameGeometry().top());
        if (area.isValid()) {
            if (at.x() + outer.width() > area.right() + 1)
                at = QPoint(area.right() + 1 - outer.width(), frameGeometry().bottom() + 8);
            at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() + 1 - outer.width())));
            at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() + 1 - outer.height())));
        }
        t->move(at);
    }
    t->raise();
    t->activateWindow();
}

// ---------------------------------------------------------------- copyright notice

void Design::Check9_Click()
{
    edit([this] { doc_.setNoticePosted(Value(Check9) == 1); });
}
void Design::Check11_Click()
{
    edit([this] { doc_.setNoticeBlack(Value(Check11) == 1); });
}
void Design::Text11_Change()
{
    edit([this] { doc_.setNoticeYear(Text11->text()); });
}
void Design::Text12_Change()
{
    edit([this] { doc_.setNoticeOwner(Text12->text()); });
}

// ---------------------------------------------------------------- layouts

void Design::Option1_Click()
{
    edit([this] { doc_.setFront(Value(Option1)); });
}
void Design::Option4_Click()
{
    edit([this] { doc_.setBack(Value(Option4)); });
}
