// Font and colour commands: each presets the window's one dialog service from the document,
// shows the dialog and, when confirmed, passes the choice to the document.
#include "design.h"

namespace {

// Dialog flags: screen and printer fonts with effects; colour dialog opening
// on the preset colour.
constexpr int FontFlags = 259;
constexpr int ColorFlags = 1;

void presetFont(CommonDialog &dlg, const CoverLabel &label)
{
    // The four style values are left as the last dialog left them.
    dlg.FontName = label.FontName();
    dlg.FontSize = label.FontSize();
    dlg.Color = label.ForeColor();
    dlg.Flags = FontFlags;
}

CoverDocument::Font chosenFont(const CommonDialog &dlg)
{
    return {dlg.FontName,   dlg.FontSize,       dlg.Color,        dlg.FontBold,
            dlg.FontItalic, dlg.FontStrikethru, dlg.FontUnderline};
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
    presetFont(CommonDialog1, doc_.topHeadline());
    if (!CommonDialog1.ShowFont())
        return;
    NameStep(QStringLiteral("Top Font"));
    doc_.setTopFont(chosenFont(CommonDialog1));
    Refresh();
}

void Design::Command10_Click()
{
    presetFont(CommonDialog1, doc_.bottomHeadline());
    if (!CommonDialog1.ShowFont())
        return;
    NameStep(QStringLiteral("Bottom Font"));
    doc_.setBottomFont(chosenFont(CommonDialog1));
    Refresh();
}

void Design::Command15_Click()
{
    presetFont(CommonDialog1, doc_.titlesStyle());
    if (!CommonDialog1.ShowFont())
        return;
    NameStep(QStringLiteral("Titles Font"));
    doc_.setTitlesFont(CommonDialog1.FontName, CommonDialog1.FontSize, CommonDialog1.Color);
    Refresh();
}

void Design::Command3_Click()
{
    if (!pickColor(CommonDialog1, doc_.panel().BackColor()))
        return;
    NameStep(QStringLiteral("Background Color"));
    doc_.setBackgroundColor(CommonDialog1.Color);
    Refresh();
}

void Design::Command6_Click()
{
    if (!pickColor(CommonDialog1, doc_.topRule().BorderColor()))
        return;
    NameStep(QStringLiteral("Line Color"));
    doc_.setRuleColor(CommonDialog1.Color);
    Refresh();
}

void Design::Command13_Click()
{
    if (!pickColor(CommonDialog1, doc_.outerBox().BorderColor()))
        return;
    NameStep(QStringLiteral("Box Color"));
    doc_.setBoxColor(CommonDialog1.Color);
    Refresh();
}
