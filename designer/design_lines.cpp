// Rules, outer box, headline frames and the circle-P symbol.
#include "design.h"

#include <QCheckBox>
#include <QLineEdit>

#include "textnumber.h"

using textnum::TextNumber;

void Design::Check1_Click()
{
    Line1->setVisible(Value(Check1) == 0);
}
void Design::Check2_Click()
{
    Line2->setVisible(Value(Check2) == 0);
}
void Design::Check3_Click()
{
    Label2->setBorderStyle(Value(Check3) == 1 ? CoverLabel::Border::FixedSingle : CoverLabel::Border::None);
}
void Design::Check4_Click()
{
    Label3->setBorderStyle(Value(Check4) == 1 ? CoverLabel::Border::FixedSingle : CoverLabel::Border::None);
}

void Design::SetNoticeRowTop(double top)
{
    Image4->setTop(top);
    Label28->setTop(top);
    Label29->setTop(top);
}

double Design::RaisedNoticeTop() const
{
    return NoticeBaseLine - (TextNumber(Text10->text()) - 2);
}

void Design::Text3_Change()
{
    const auto t = textnum::RoundInt16(TextNumber(Text3->text()));
    // A width the rules refuse (below 1, empty, not a number, too large)
    // puts "1" back into the field.
    if (!t || !Line1->setBorderWidth(*t) || !Line2->setBorderWidth(*t)) {
        Text3->setText(QStringLiteral("1"));
        Line1->setBorderWidth(1);
        Line2->setBorderWidth(1);
    }
}

void Design::Text10_Change()
{
    SetNoticeRowTop(NoticeBaseLine);
    const auto t = textnum::RoundInt16(TextNumber(Text10->text()));
    const bool accepted = t && Shape2->setBorderWidth(*t);
    if (accepted && Value(Check5) == 1)
        SetNoticeRowTop(RaisedNoticeTop());
    if (!accepted) {
        // Writing "1" runs this handler again, which places the row for 1.
        Text10->setText(QStringLiteral("1"));
        Shape2->setBorderWidth(1);
    }
}

void Design::Check5_Click()
{
    if (Value(Check5) == 1) {
        Shape2->Show();
        SetNoticeRowTop(RaisedNoticeTop());
    } else {
        Shape2->Hide();
        SetNoticeRowTop(NoticeBaseLine);
    }
}

void Design::Check10_Click()
{
    if (Value(Check10) == 1) {
        Image4->Show();
        Image4->setWidth(6);
        Label29->setLeft(Label28->Left() + 29 + 6 - 2);
    } else {
        Image4->Hide();
        Image4->setWidth(1);
        Label29->setLeft(Label28->Left() + 29 + 1);
    }
}
