// Headline texts, the centring rule and the position fields.
#include "design.h"

#include <QCheckBox>
#include <QLineEdit>

#include <cmath>

#include "module1.h"
#include "textnumber.h"

using textnum::PositionText;
using textnum::TextNumber;

double Design::Centred(double width, Centring how)
{
    const double q = (static_cast<double>(Module1::PanelWidth) - width) / 2.0;
    switch (how) {
    case Centring::Truncated: return std::trunc(q);
    case Centring::TruncatedAbsolute: return std::fabs(std::trunc(q));
    case Centring::Exact: break;
    }
    return q;
}

void Design::headlineTextChanged(CoverLabel *label, QLineEdit *field, QLineEdit *leftField, bool free,
                                 Centring how, bool bringToFront)
{
    label->Hide();
    label->setCaption(field->text());
    if (bringToFront)
        ZOrderFront(label);
    if (!free)
        label->setLeft(Centred(label->Width(), how));
    leftField->setText(PositionText(label->Left()));
    label->Show();
}

void Design::Text1_Change()
{
    headlineTextChanged(Label2, Text1, Text6, Module1::TopHeadlineFree, Centring::TruncatedAbsolute, true);
}

void Design::Text2_Change()
{
    headlineTextChanged(Label3, Text2, Text9, Module1::BottomHeadlineFree, Centring::Truncated, false);
}

// Position fields: each sets one coordinate of one headline. A value the
// window cannot hold (1E30) leaves the headline where it is.
void Design::Text5_Change()
{
    Label2->setTop(TextNumber(Text5->text()));
}
void Design::Text6_Change()
{
    Label2->setLeft(TextNumber(Text6->text()));
}
void Design::Text4_Change()
{
    Label3->setTop(TextNumber(Text4->text()));
}
void Design::Text9_Change()
{
    Label3->setLeft(TextNumber(Text9->text()));
}

void Design::Check13_Click()
{
    if (Value(Check13) == 1) {
        Label2->setLeft(Centred(Label2->Width(), Centring::Truncated));
        Module1::TopHeadlineFree = false;
        Text6->setText(PositionText(Label2->Left()));
        Refresh();
    }
    if (Value(Check13) == 0)
        Module1::TopHeadlineFree = true;
}

void Design::Check14_Click()
{
    if (Value(Check14) == 1) {
        Label3->setLeft(Centred(Label3->Width(), Centring::TruncatedAbsolute));
        Module1::BottomHeadlineFree = false;
        Text9->setText(PositionText(Label3->Left()));
        Refresh();
    }
    if (Value(Check14) == 0)
        Module1::BottomHeadlineFree = true;
}

void Design::Label29_Change()
{
    Label29->setLeft(Centred(Label29->Width(), Centring::Exact));
}
