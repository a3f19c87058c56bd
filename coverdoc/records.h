#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <variant>

#include "designfile.h"

class CoverDocument;

// The design file's 75 records, each defined once (records.cpp): what it holds, how Save writes
// it, how Open reads it back and what Open sets from it. Save writes them in number order; Open
// applies them in the order the editing reactions need (CoverDocument::applyRecords).
namespace records {

// The records by what they hold, each with its line and the window's control it was saved from.
enum Number : int {
    TopHeadlineText = 1,          // line 1, Label2's caption
    TopHeadlineFont = 2,          // line 2, Label2's font name
    TopHeadlineSize = 3,          // line 3, Label2's font size
    TopHeadlineColor = 4,         // line 4, Label2's fore colour
    BottomHeadlineText = 5,       // line 5, Label3's caption
    BottomHeadlineFont = 6,       // line 6, Label3's font name
    BottomHeadlineSize = 7,       // line 7, Label3's font size
    BottomHeadlineColor = 8,      // line 8, Label3's fore colour
    PanelColor = 9,               // line 9, Shape1's back colour
    RuleThickness = 10,           // line 10, Line1's border width
    RuleColor = 11,               // line 11, Line1's border colour
    TopRuleHidden = 12,           // line 12, Check1's value
    BottomRuleHidden = 13,        // line 13, Check2's value
    MainPictureFile = 14,         // line 14, PIXFLN's caption
    MainPictureHeight = 15,       // line 15, Image1's height
    MainPictureWidth = 16,        // line 16, Image1's width
    Logo1File = 17,               // line 17, Label30's caption
    Logo2File = 18,               // line 18, LOGO2FLN's caption
    OuterBoxShown = 19,           // line 19, Check5's value
    OuterBoxThickness = 20,       // line 20, Text10's text
    OuterBoxColor = 21,           // line 21, Shape2's border colour
    TitlesShown = 22,             // line 22, Check7's value
    LowerLinesSmall = 23,         // line 23, Check6's value
    TitlesFont = 24,              // line 24, Label10's font name
    TitlesSize = 25,              // line 25, Label10's font size
    TitlesColor = 26,             // line 26, Label10's fore colour
    LowerLinesInBottomColor = 27, // line 27, Check8's value
    // Lines 29-50 (Label5 ... Label26) are titles 2-20 and credit lines 1-3: TitleLine1 + 1 ...
    TitleLine1 = 28,               // line 28, Label4's caption
    LowerParagraphText = 51,       // line 51, Label27's caption
    TopHeadlineTop = 52,           // line 52, Text5's text
    TopHeadlineLeft = 53,          // line 53, Text6's text
    BottomHeadlineTop = 54,        // line 54, Text4's text
    BottomHeadlineLeft = 55,       // line 55, Text9's text
    NoticeShown = 56,              // line 56, Check9's value
    NoticeSymbolAdded = 57,        // line 57, Check10's value
    NoticeBlack = 58,              // line 58, Check11's value
    NoticeYear = 59,               // line 59, Text11's text
    NoticeOwner = 60,              // line 60, Text12's text
    TopHeadlineCentred = 61,       // line 61, Check13's value
    BottomHeadlineCentred = 62,    // line 62, Check14's value
    LowerParagraphCentred = 63,    // line 63, Check15's value
    FrontCoverChosen = 64,         // line 64, Option1's value
    BackCoverChosen = 65,          // line 65, Option4's value
    TopHeadlineBoxed = 66,         // line 66, Check3's value
    BottomHeadlineBoxed = 67,      // line 67, Check4's value
    TopHeadlineBold = 68,          // line 68, Label2's font bold
    TopHeadlineItalic = 69,        // line 69, Label2's font italic
    TopHeadlineStruck = 70,        // line 70, Label2's font strikethru
    TopHeadlineUnderlined = 71,    // line 71, Label2's font underline
    BottomHeadlineBold = 72,       // line 72, Label3's font bold
    BottomHeadlineItalic = 73,     // line 73, Label3's font italic
    BottomHeadlineStruck = 74,     // line 74, Label3's font strikethru
    BottomHeadlineUnderlined = 75, // line 75, Label3's font underline
};
static_assert(BottomHeadlineUnderlined == designfile::RecordCount);

// How Save writes a value (the forms of common/textnumber.h).
enum class Form { Text, Int16, Int32, Real, Bool };
// How Open converts the line it read (designfile's typed readings).
enum class Reading { Text, Number, NumberInt16, Int16, Int32, Real, Bool };

// A record's value between the document and the file: text, a number or a truth value.
using Value = std::variant<QString, double, bool>;

struct Record {
    Number number;
    const char *holds;
    Form form;
    Reading reading;
    Value (*save)(const CoverDocument &);
    void (*apply)(CoverDocument &, const Value &);
};

const std::array<Record, designfile::RecordCount> &Map();
const Record &At(int number);

// The record's line as Save writes it.
QString Written(const Record &record, const CoverDocument &design);
// The record's value as Open reads it (an empty or unreadable line gives "", 0 or false).
Value Read(const Record &record, const designfile::Records &lines);

// Save: the 75 lines of the design as it stands.
QStringList Lines(const CoverDocument &design);
// Whether the lines are a design file at all: all 75 of them, and every record that holds a
// whole number or a truth value holds one. False with the reason otherwise (a script given the
// wrong file is told so rather than handed a blank cover).
bool LooksLikeDesign(const designfile::Records &lines, QString *why);

// Open: reads one record from the lines and applies it to the document.
void Apply(CoverDocument &design, const designfile::Records &lines, int number);

} // namespace records
