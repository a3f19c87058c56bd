// Font and colour commands: each presets the window's one dialog service
// from the element, shows the dialog and, when confirmed, restyles it.
#include "design.h"

#include <QCheckBox>

#include "module1.h"

namespace {

// Dialog flags: screen and printer fonts with effects; colour dialog opening
// on the preset colour.
constexpr int FontFlags = 259;
constexpr int ColorFlags = 1;

// Title and credit lines that follow Label10's font, in the order they take it.
constexpr int TitlesFollowingLabel10[] = {11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21,
                                          22, 23, 24, 25, 26, 4,  5,  6,  7,  8,  9};

// Name, size and colour from the dialog. False when the label refuses the
// size: the command stops there, keeping what it already applied.
bool applyFont(CoverLabel *label, const CommonDialog &dlg)
{
    label->setFontName(dlg.FontName);
    label->setFontSize(dlg.FontSize);
    if (label->FontSize() != dlg.FontSize)
        return false;
    label->setForeColor(dlg.Color);
    return true;
}

bool copyFont(CoverLabel *to, const CoverLabel *from)
{
    to->setFontName(from->FontName());
    to->setFontSize(from->FontSize());
    to->setForeColor(from->ForeColor());
    return to->FontSize() == from->FontSize();
}

void presetFont(CommonDialog &dlg, const CoverLabel *label)
{
    // The four style values are left as the last dialog left them.
    dlg.FontName = label->FontName();
    dlg.FontSize = label->FontSize();
    dlg.Color = label->ForeColor();
    dlg.Flags = FontFlags;
}

// Top Font and Bottom Font: all seven attributes, then re-centring measured
// in the new font and style. The position field keeps its number.
void headlineFont(Design &d, CoverLabel *headline, bool free, Design::Centring how)
{
    CommonDialog &dlg = d.CommonDialog1;
    presetFont(dlg, headline);
    if (!dlg.ShowFont())
        return;
    if (!applyFont(headline, dlg))
        return;
    headline->setFontBold(dlg.FontBold);
    headline->setFontItalic(dlg.FontItalic);
    headline->setFontStrikethru(dlg.FontStrikethru);
    headline->setFontUnderline(dlg.FontUnderline);
    if (!free && !headline->setLeft(Design::Centred(headline->Width(), how)))
        return;
    d.Refresh();
}

// Presets the colour dialog; true when the user confirmed a colour.
bool pickColor(CommonDialog &dlg, qint32 preset)
{
    dlg.Color = preset;
    dlg.Flags = ColorFlags;
    return dlg.ShowColor();
}

} // namespace

void Design::Command5_Click()
{
    headlineFont(*this, Label2, Module1::TopHeadlineFree, Centring::TruncatedAbsolute);
}

void Design::Command10_Click()
{
    headlineFont(*this, Label3, Module1::BottomHeadlineFree, Centring::Truncated);
}

void Design::Command15_Click()
{
    presetFont(CommonDialog1, Label10);
    if (!CommonDialog1.ShowFont())
        return;
    // The titles keep their own style values; Label27 keeps its fixed face.
    if (!applyFont(Label10, CommonDialog1))
        return;
    for (int n : TitlesFollowingLabel10)
        if (!copyFont(CoverLabelN(n), Label10))
            return;
    if (Value(Check11) == 0) {
        Label28->setForeColor(Label10->ForeColor());
        Label29->setForeColor(Label10->ForeColor());
    }
    Refresh();
}

void Design::Command3_Click()
{
    if (!pickColor(CommonDialog1, Shape1->BackColor()))
        return;
    Shape1->setBackColor(CommonDialog1.Color);
    Refresh();
}

void Design::Command6_Click()
{
    if (!pickColor(CommonDialog1, Line1->BorderColor()))
        return;
    Line1->setBorderColor(CommonDialog1.Color);
    Line2->setBorderColor(CommonDialog1.Color);
}

void Design::Command13_Click()
{
    if (!pickColor(CommonDialog1, Shape2->BorderColor()))
        return;
    Shape2->setBorderColor(CommonDialog1.Color);
    Refresh();
}
