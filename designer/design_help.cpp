// Title-bar help: pointing at a control puts one sentence about it into the
// title of its window.
#include "design.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "titlehelp.h"
#include "titles.h"

namespace {

struct HelpText {
    QWidget *control;
    const char *text;
};

} // namespace

void Design::installHelpTexts()
{
    const HelpText texts[] = {
        {Text1, "Top headline of text for your software, artist, album name, etc."},
        {Check3, "Enclose top line of text in a thin outline that is ALWAYS BLACK in color."},
        {Command5, "Change font face, size or color of top line of text."},
        {Check13, "When checked top line of text centers.  Unchecked it stays where you put it."},
        {TLUD, "Adjust the UP and DOWN position of your top line of text in pixels."},
        {Text5, "Adjust the UP and DOWN position of your top line of text in pixels."},
        {TLLR, "Adjust the LEFT to RIGHT centering of your top line of text in pixels."},
        {Text6, "Adjust the LEFT to RIGHT position of your top line of text in pixels when the 'Center' "
                "check box is NOT CHECKED!"},
        {Check1, "Hides the top, thick line if you do not want to use this element in your design."},
        {Check2, "Hides the lower, thick line if you do not want to use this element in your design."},
        {Command6, "Changes the color of BOTH top and bottom line.  Default is black."},
        {LTHICK, "Changes the thickness of BOTH top and bottom lines."},
        {Text3, "Changes the thickness of BOTH top and bottom lines."},
        {Command3, "Changes the background color of the design (remember this will use more of your ink "
                   "supply plus increase printing time)."},
        {Command8, "Select a JPG, GIF or BMP image from your drive for the center of the design."},
        {PIXW, "Adjust the WIDTH of your picture in pixels to either FIT the form or normalize "
               "stretched images."},
        {Text7, "Adjust the WIDTH of your picture in pixels to either FIT the form or normalize "
                "stretched images."},
        {PIXH, "Adjust the HEIGHT of your picture in pixels to either FIT the form or normalize "
               "stretched images."},
        {Text8, "Adjust the HEIGHT of your picture in pixels to either FIT the form or normalize "
                "stretched images."},
        {Command16,
         "Pressing this button lets you clear one or more of the current picture images or logos."},
        {PIXFLN, "This is the path location and file name of your picture."},
        {Command9, "Places a JPG, GIF or BMP small image or logo at lower left corner."},
        {Label30, "This is the path location and file name of your left logo"},
        {Command12, "Places a JPG, GIF or BMP small image or logo at lower right corner."},
        {LOGO2FLN, "This is the file path and name of your lower right logo or image."},
        {Text2, "Lower, centered headline of text for your software, artist or album name, etc."},
        {Check4, "Enclose bottom line of text in a thin outline that is ALWAYS BLACK in color."},
        {Command10, "Change font face, size or color of lower line of text."},
        {Check14, "When checked bottom line of text centers.  Unchecked it stays where you put it."},
        {BLUD, "Adjust the UP and DOWN position of your lower line of text in pixels."},
        {Text4, "Adjust the UP and DOWN position of your lower line of text in pixels."},
        {BLLR, "Adjust the LEFT to RIGHT position of your bottom line of text in pixels when the "
               "'Center' check box is NOT CHECKED!"},
        {Text9, "Adjust the LEFT to RIGHT position of your bottom line of text in pixels when the "
                "'Center' check box is NOT CHECKED!"},
        {Check5, "Places a rectangle around the outside of the design."},
        {Command13, "Selects a color for your outer box.  Default is black."},
        {Label1, "Changes the thickness of the outer box in pixels."},
        {Text10, "Changes the thickness of the outer box in pixels."},
        {Check9, "Displays a default copyright notice at the bottom of the cover (you can modify date or "
                 "add name)."},
        {Check10, "Putting a check mark here will add a 'Circle P' Phonorecord symbol for musical "
                  "recordings (a BMP image)."},
        {Check11, "If this is checked the Copyright notice will be black.  If UNCHECKED same color as "
                  "titles."},
        {Text11, "Shows the current time-clock year or you can manually change this to any other year."},
        {Text12, "The name or initials of the legal Copyright owner/author goes here."},
        {Check7, "Displays optional 25 areas for song titles or software features plus misc. information."},
        {Command14, "Calls up a new form on which you enter and edit song titles or software feature list, "
                    "etc."},
        {Command15, "Changes font face, color and size of the titles and producer text.  Note: White shows "
                    "good over most images!"},
        {Check8, "Lower misc. information will be shown in BLACK if checked or in TITLE color if not "
                 "checked."},
        {Check6, "When check the lower box of misc. info stays at 6 point type.  Unchecked uses same "
                 "size at titles.  Font face is fixed."},
        {Check15, "When checked this centers the lower paragraph of misc. information.  Unchecked it is "
                  "flush left."},
        {Check12, "If CHECKED a 'SAVE WORK?' prompt appears when OPEN, NEW or CLOSE is clicked. UNCHECKED "
                  "no prompt."},
        {Option1, "Sets up a square smaller area for the front or inside front jewel case cover."},
        {Option4, "Sets up a wider design for the larger back (underneath) side of the jewel case."},
        {Command1, "Opens a previously saved design and text layout."},
        {Command2, "Lets you save your design layout and text elements for re-use."},
        {Command4, "Starts a brand new design from default settings."},
        {Command7, "Prints design to paper in most ink and laser jet printers.  Outside line is CUT zone "
                   "to fit case.  Also see: Print Set Up."},
        {Command11, "Lets you set up your printer for PORTRAIT, LANDSCAPE and PRINT QUALITY (must be set "
                    "each new time)."},
    };
    for (const auto &[control, text] : texts)
        titlehelp::Attach(control, this, QString::fromLatin1(text));
}

void Design::InstallTitlesHelp(Titles *titles)
{
    static const char *const songTitle = "Enter your CD song titles or features of your software, etc.";
    const HelpText texts[] = {
        {titles->Text(1), songTitle},
        {titles->Text(10), songTitle},
        {titles->Text(11), songTitle},
        {titles->Text(12), songTitle},
        {titles->Text(13), songTitle},
        {titles->Text(14), songTitle},
        {titles->Text(15), songTitle},
        {titles->Text(21), "Enter publisher name, etc., in this place.  Option to show as small font."},
        {titles->Text(22), "Enter producer or programmer name here.  Option to show as small font."},
        {titles->Text(23), "Enter engineer or programmer name here.  Option to show as small font."},
        {titles->Text(24), "Enter misc. information here (you can show this as small or normal size)."},
    };
    for (const auto &[control, text] : texts)
        titlehelp::Attach(control, titles, QString::fromLatin1(text));
}
