#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <variant>

#include "designfile.h"

class CoverDocument;

// The design file's 75 records, each defined once (records.cpp): what it holds, how Save writes
// it, how Open reads it back and what Open sets from it. Save writes them in number order; Open
// applies them in the order the editing reactions need (CoverDocument::applyRecords). The
// numbers are named after the window's controls and cover elements they have always come from.
namespace records {

// Names of the records after the property Save writes them from.
enum Number : int {
    Label2Caption = 1,
    Label2FontName,
    Label2FontSize,
    Label2ForeColor,
    Label3Caption,
    Label3FontName,
    Label3FontSize,
    Label3ForeColor,
    Shape1BackColor,
    Line1BorderWidth,
    Line1BorderColor,
    Check1Value,
    Check2Value,
    PIXFLNCaption,
    Image1Height,
    Image1Width,
    Label30Caption,
    LOGO2FLNCaption,
    Check5Value,
    Text10Text,
    Shape2BorderColor,
    Check7Value,
    Check6Value,
    Label10FontName,
    Label10FontSize,
    Label10ForeColor,
    Check8Value,
    Label4Caption, // 28 ... 51: Label4 ... Label27
    Label27Caption = Label4Caption + 23,
    Text5Text,
    Text6Text,
    Text4Text,
    Text9Text,
    Check9Value,
    Check10Value,
    Check11Value,
    Text11Text,
    Text12Text,
    Check13Value,
    Check14Value,
    Check15Value,
    Option1Value,
    Option4Value,
    Check3Value,
    Check4Value,
    Label2FontBold,
    Label2FontItalic,
    Label2FontStrikethru,
    Label2FontUnderline,
    Label3FontBold,
    Label3FontItalic,
    Label3FontStrikethru,
    Label3FontUnderline,
};
static_assert(Label3FontUnderline == designfile::RecordCount);

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
