// The window's editing controls, one row each: name, caption, place, the document value the
// control shows and the operation it calls. The binding loop in design_handlers.cpp makes,
// connects and refreshes them from this table alone.
#include "design.h"

namespace {

using Row = Design::ControlRow;
using D = CoverDocument;
using OnOf = bool (*)(const D &);
using TextOf = QString (*)(const D &);

// Check boxes are 17 pixels high unless told; a width of 0 takes the caption's.
Row check(const char *name, const char *caption, QRect at, QCheckBox *Design::*m, OnOf on,
          void (D::*set)(bool), OnOf when = nullptr)
{
    return Row{name, caption, at, m, on, nullptr, set, nullptr, nullptr, when};
}

Row field(const char *name, QRect at, QLineEdit *Design::*m, TextOf text, void (D::*set)(const QString &),
          OnOf when = nullptr)
{
    return Row{name, "", at, m, nullptr, text, nullptr, set, nullptr, when};
}

Row button(const char *name, const char *caption, QRect at, QPushButton *Design::*m,
           void (Design::*command)())
{
    return Row{name, caption, at, m, nullptr, nullptr, nullptr, nullptr, command, nullptr};
}

Row caption(const char *name, const char *text, QRect at, QLabel *Design::*m)
{
    return Row{name, text, at, m, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
}

// A path from a dialog or a design file.
Row path(const char *name, QRect at, QLabel *Design::*m, TextOf text)
{
    return Row{name, "", at, m, nullptr, text, nullptr, nullptr, nullptr, nullptr};
}

Row option(const char *name, const char *caption, QRect at, QRadioButton *Design::*m, OnOf on,
           void (D::*set)(bool))
{
    return Row{name, caption, at, m, on, nullptr, set, nullptr, nullptr, nullptr};
}

// The notice's own controls belong to a posted notice.
bool posted(const D &d)
{
    return d.notice.posted;
}

} // namespace

// In the order the controls are made, which is also their tab order.
const std::vector<Design::ControlRow> &Design::ControlTable()
{
    using W = Design;
    static const std::vector<Row> table{
        // Top headline
        button("Command5", "Top Font", {544, 3, 65, 17}, &W::Command5, &W::Command5_Click),
        check(
            "Check3", "Boxed Text", {632, 3, 0, 17}, &W::Check3, [](const D &d) { return d.top.boxed; },
            &D::setTopBoxed),
        field(
            "Text1", {528, 24, 217, 19}, &W::Text1, [](const D &d) { return d.top.text; }, &D::setTopText),
        caption("TLUD", "U - D", {528, 49, 30, 17}, &W::TLUD),
        field(
            "Text5", {560, 48, 41, 19}, &W::Text5, [](const D &d) { return d.top.topTyped; },
            &D::setTopTopTyped),
        caption("TLLR", "L - R", {608, 49, 30, 17}, &W::TLLR),
        field(
            "Text6", {640, 48, 41, 19}, &W::Text6, [](const D &d) { return d.top.leftTyped; },
            &D::setTopLeftTyped),
        check(
            "Check13", "Center", {688, 52, 62, 17}, &W::Check13, [](const D &d) { return d.top.centred; },
            &D::setTopCentred),
        // Rules
        check(
            "Check1", "Hide Top Line", {536, 72, 92, 17}, &W::Check1,
            [](const D &d) { return d.rules.hideTop; }, &D::setTopRuleHidden),
        check(
            "Check2", "Hide Bottom Line", {632, 72, 112, 17}, &W::Check2,
            [](const D &d) { return d.rules.hideBottom; }, &D::setBottomRuleHidden),
        button("Command6", "Line Color", {544, 96, 65, 17}, &W::Command6, &W::Command6_Click),
        caption("LTHICK", "Line Thickness", {624, 97, 78, 17}, &W::LTHICK),
        field(
            "Text3", {704, 96, 25, 19}, &W::Text3, [](const D &d) { return d.rules.thicknessTyped; },
            &D::setRuleThicknessTyped),
        button("Command3", "Background color", {544, 120, 105, 17}, &W::Command3, &W::Command3_Click),
        // Pictures
        button("Command8", "Picture", {544, 144, 49, 17}, &W::Command8, &W::Command8_Click),
        caption("PIXW", "W", {604, 145, 11, 17}, &W::PIXW),
        field(
            "Text7", {616, 144, 33, 19}, &W::Text7, [](const D &d) { return d.pictures.widthTyped; },
            &D::setPictureWidthTyped),
        caption("PIXH", "H", {660, 145, 11, 17}, &W::PIXH),
        field(
            "Text8", {672, 144, 33, 19}, &W::Text8, [](const D &d) { return d.pictures.heightTyped; },
            &D::setPictureHeightTyped),
        button("Command16", "CLR", {712, 144, 33, 17}, &W::Command16, &W::Command16_Click),
        path("PIXFLN", {544, 162, 201, 20}, &W::PIXFLN, [](const D &d) { return d.pictures.mainPath; }),
        button("Command9", "Logo 1", {544, 184, 49, 17}, &W::Command9, &W::Command9_Click),
        path("Label30", {600, 182, 145, 27}, &W::Label30, [](const D &d) { return d.pictures.logo1Path; }),
        button("Command12", "Logo 2", {544, 216, 49, 17}, &W::Command12, &W::Command12_Click),
        path("LOGO2FLN", {600, 216, 153, 23}, &W::LOGO2FLN, [](const D &d) { return d.pictures.logo2Path; }),
        // Bottom headline
        button("Command10", "Bottom Font", {544, 240, 73, 17}, &W::Command10, &W::Command10_Click),
        check(
            "Check4", "Boxed Text", {632, 240, 0, 17}, &W::Check4, [](const D &d) { return d.bottom.boxed; },
            &D::setBottomBoxed),
        field(
            "Text2", {528, 261, 217, 19}, &W::Text2, [](const D &d) { return d.bottom.text; },
            &D::setBottomText),
        caption("BLUD", "U - D", {528, 286, 30, 17}, &W::BLUD),
        field(
            "Text4", {560, 285, 41, 19}, &W::Text4, [](const D &d) { return d.bottom.topTyped; },
            &D::setBottomTopTyped),
        caption("BLLR", "L - R", {608, 286, 30, 17}, &W::BLLR),
        field(
            "Text9", {640, 285, 41, 19}, &W::Text9, [](const D &d) { return d.bottom.leftTyped; },
            &D::setBottomLeftTyped),
        check(
            "Check14", "Center", {688, 286, 62, 17}, &W::Check14, [](const D &d) { return d.bottom.centred; },
            &D::setBottomCentred),
        // Outer box
        check(
            "Check5", "Show Box", {544, 308, 90, 17}, &W::Check5, [](const D &d) { return d.box.shown; },
            &D::setBoxShown),
        caption("Label1", "Thickness", {640, 309, 62, 17}, &W::Label1),
        field(
            "Text10", {704, 308, 25, 19}, &W::Text10, [](const D &d) { return d.box.thicknessTyped; },
            &D::setBoxThicknessTyped),
        button("Command13", "Box Color", {544, 328, 65, 17}, &W::Command13, &W::Command13_Click),
        // Copyright notice
        check(
            "Check11", "Copyright Black", {640, 328, 110, 17}, &W::Check11,
            [](const D &d) { return d.notice.black; }, &D::setNoticeBlack, posted),
        check("Check9", "Post Copyright", {544, 352, 94, 17}, &W::Check9, posted, &D::setNoticePosted),
        check(
            "Check10", "Add ( P )", {640, 352, 62, 17}, &W::Check10,
            [](const D &d) { return d.notice.symbol; }, &D::setSymbolAdded, posted),
        field(
            "Text11", {704, 348, 41, 19}, &W::Text11, [](const D &d) { return d.notice.year; },
            &D::setNoticeYear, posted),
        field(
            "Text12", {528, 368, 217, 19}, &W::Text12, [](const D &d) { return d.notice.owner; },
            &D::setNoticeOwner, posted),
        // Titles block
        check(
            "Check7", "Show Titles", {528, 388, 96, 17}, &W::Check7,
            [](const D &d) { return d.titles.shown; }, &D::setTitlesShown),
        button("Command14", "Enter Title Names", {632, 388, 113, 17}, &W::Command14, &W::Command14_Click),
        check(
            "Check6", "Lower Small", {528, 405, 90, 16}, &W::Check6,
            [](const D &d) { return d.titles.lowerSmall; }, &D::setLowerSmall),
        check(
            "Check8", "Lower Black", {632, 405, 100, 16}, &W::Check8,
            [](const D &d) { return d.titles.lowerBlack; }, &D::setLowerBlack),
        check(
            "Check15", "Center Lower", {632, 422, 110, 16}, &W::Check15,
            [](const D &d) { return d.titles.lowerCentred; }, &D::setLowerCentred),
        button("Command15", "Titles Font", {544, 432, 73, 17}, &W::Command15, &W::Command15_Click),
        // "Save Prompt" is the window's own, not the document's: it starts ticked.
        check("Check12", "Save Prompt", {656, 440, 97, 17}, &W::Check12, nullptr, nullptr),
        // Command row
        option(
            "Option1", "Front Cover", {64, 464, 89, 17}, &W::Option1,
            [](const D &d) { return d.layout.front; }, &D::setFront),
        option(
            "Option4", "Back Cover", {168, 464, 89, 17}, &W::Option4,
            [](const D &d) { return d.layout.back; }, &D::setBack),
        button("Command11", "Print Set Up", {304, 464, 73, 17}, &W::Command11, &W::Command11_Click),
        button("Command7", "Print", {424, 464, 41, 17}, &W::Command7, &W::Command7_Click),
        button("Command1", "Open", {512, 464, 41, 17}, &W::Command1, &W::Command1_Click),
        button("Command4", "New", {600, 464, 41, 17}, &W::Command4, &W::Command4_Click),
        button("Command2", "Save", {688, 464, 41, 17}, &W::Command2, &W::Command2_Click),
    };
    return table;
}
