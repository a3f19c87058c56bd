// Front and back cover layouts.
#include "design.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include "module1.h"
#include "textnumber.h"

namespace {

struct LayoutValues {
    float panelWidth;
    double paragraphWidth;
    double noticeShift;
    double logoShift;
    double ruleRight;
    double rightColumn;
};

constexpr LayoutValues Front{456, 360, -31, -63, 432, 250};
constexpr LayoutValues Back{519, 422, 31, 63, 495, 300};

} // namespace

static void switchLayout(Design &d, QRadioButton *option, const LayoutValues &v)
{
    if (Design::Value(option))
        Module1::PanelWidth = v.panelWidth;
    d.Label27->setWidth(v.paragraphWidth);
    for (BoxElement *e : std::initializer_list<BoxElement *>{d.Label28, d.Label29, d.Image4})
        e->setLeft(e->Left() + v.noticeShift);
    d.Image3->setLeft(d.Image3->Left() + v.logoShift);
    d.Shape1->setWidth(v.panelWidth);
    if (Design::Value(d.Check13))
        d.Label2->setLeft(Design::Centred(d.Label2->Width(), Design::Centring::TruncatedAbsolute));
    if (Design::Value(d.Check14))
        d.Label3->setLeft(Design::Centred(d.Label3->Width(), Design::Centring::TruncatedAbsolute));
    else
        d.Label3->setLeft(d.Label3->Left() + v.logoShift);
    d.Text6->setText(textnum::PositionText(d.Label2->Left()));
    d.Text9->setText(textnum::PositionText(d.Label3->Left()));
    d.Shape2->setWidth(static_cast<double>(Module1::PanelWidth) - 12);
    d.Image1->setLeft(Design::Centred(d.Image1->Width(), Design::Centring::Exact));
    d.Line1->setX2(v.ruleRight);
    d.Line2->setX2(v.ruleRight);
    for (int n = 14; n <= 23; ++n)
        d.CoverLabelN(n)->setLeft(v.rightColumn);
    d.Label26->setLeft(v.rightColumn);
    d.Refresh();
}

void Design::Option1_Click()
{
    switchLayout(*this, Option1, Front);
}

void Design::Option4_Click()
{
    switchLayout(*this, Option4, Back);
}
