#include "design_records.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "design.h"
#include "textnumber.h"

namespace records {
namespace {

const QString &text(const Value &v)
{
    return std::get<QString>(v);
}
double number(const Value &v)
{
    return std::get<double>(v);
}
bool truth(const Value &v)
{
    return std::get<bool>(v);
}
int check(const Value &v)
{
    return static_cast<int>(number(v));
}

// A face the label cannot take (empty) keeps the current one; a size it refuses (0) likewise.
void setFontName(CoverLabel *l, const Value &v)
{
    if (!text(v).isEmpty())
        l->setFontName(text(v));
}

template <int N> constexpr Record caption(Number n, const char *holds)
{
    return {n,
            holds,
            Form::Text,
            Reading::Text,
            [](const Design &d) -> Value { return d.CoverLabelN(N)->Caption(); },
            [](Design &d, const Value &v) { d.CoverLabelN(N)->setCaption(text(v)); }};
}

using D = Design;
using V = Value;

// clang-format off
constexpr std::array<Record, designfile::RecordCount> map = {{
    {Label2Caption, "top headline text", Form::Text, Reading::Text,
     [](const D &d) -> V { return d.Label2->Caption(); },
     // The field's reaction places the headline; the caption is set too in case the field
     // already held the text.
     [](D &d, const V &v) { d.Text1->setText(text(v)); d.Label2->setCaption(text(v)); }},
    {Label2FontName, "top headline font face", Form::Text, Reading::Text,
     [](const D &d) -> V { return d.Label2->FontName(); },
     [](D &d, const V &v) { setFontName(d.Label2, v); }},
    {Label2FontSize, "top headline size (pt)", Form::Real, Reading::Number,
     [](const D &d) -> V { return double(d.Label2->FontSize()); },
     [](D &d, const V &v) { d.Label2->setFontSize(static_cast<float>(number(v))); }},
    {Label2ForeColor, "top headline colour", Form::Int32, Reading::Int32,
     [](const D &d) -> V { return double(d.Label2->ForeColor()); },
     [](D &d, const V &v) { d.Label2->setForeColor(static_cast<qint32>(number(v))); }},
    {Label3Caption, "bottom headline text", Form::Text, Reading::Text,
     [](const D &d) -> V { return d.Label3->Caption(); },
     [](D &d, const V &v) { d.Text2->setText(text(v)); d.Label3->setCaption(text(v)); }},
    {Label3FontName, "bottom headline font face", Form::Text, Reading::Text,
     [](const D &d) -> V { return d.Label3->FontName(); },
     [](D &d, const V &v) { setFontName(d.Label3, v); }},
    {Label3FontSize, "bottom headline size (pt)", Form::Real, Reading::Number,
     [](const D &d) -> V { return double(d.Label3->FontSize()); },
     [](D &d, const V &v) { d.Label3->setFontSize(static_cast<float>(number(v))); }},
    {Label3ForeColor, "bottom headline colour", Form::Int32, Reading::Int32,
     [](const D &d) -> V { return double(d.Label3->ForeColor()); },
     [](D &d, const V &v) { d.Label3->setForeColor(static_cast<qint32>(number(v))); }},
    {Shape1BackColor, "background colour of the panel", Form::Int32, Reading::Int32,
     [](const D &d) -> V { return double(d.Shape1->BackColor()); },
     [](D &d, const V &v) { d.Shape1->setBackColor(static_cast<qint32>(number(v))); }},
    {Line1BorderWidth, "thickness of both rules", Form::Int16, Reading::NumberInt16,
     [](const D &d) -> V { return double(d.Line1->BorderWidth()); },
     [](D &d, const V &v) { d.Line1->setBorderWidth(check(v)); d.Line2->setBorderWidth(check(v)); }},
    {Line1BorderColor, "colour of both rules", Form::Int32, Reading::Int32,
     [](const D &d) -> V { return double(d.Line1->BorderColor()); },
     [](D &d, const V &v) {
         d.Line1->setBorderColor(static_cast<qint32>(number(v)));
         d.Line2->setBorderColor(static_cast<qint32>(number(v)));
     }},
    {Check1Value, "hide the top rule", Form::Int16, Reading::NumberInt16,
     [](const D &d) -> V { return double(D::Value(d.Check1)); },
     [](D &d, const V &v) { D::SetValue(d.Check1, check(v)); }},
    {Check2Value, "hide the bottom rule", Form::Int16, Reading::NumberInt16,
     [](const D &d) -> V { return double(D::Value(d.Check2)); },
     [](D &d, const V &v) { D::SetValue(d.Check2, check(v)); }},
    {PIXFLNCaption, "path of the main picture", Form::Text, Reading::Text,
     [](const D &d) -> V { return d.PIXFLN->text(); },
     [](D &d, const V &v) { d.PIXFLN->setText(text(v)); }, &D::Image1},
    {Image1Height, "main picture height (px)", Form::Real, Reading::Number,
     [](const D &d) -> V { return double(static_cast<float>(d.Image1->Height())); },
     [](D &d, const V &v) { d.Image1->setHeight(number(v)); }},
    {Image1Width, "main picture width (px)", Form::Real, Reading::Number,
     [](const D &d) -> V { return double(static_cast<float>(d.Image1->Width())); },
     [](D &d, const V &v) { d.Image1->setWidth(number(v)); }},
    {Label30Caption, "path of logo 1, lower left", Form::Text, Reading::Text,
     [](const D &d) -> V { return d.Label30->text(); },
     [](D &d, const V &v) { d.Label30->setText(text(v)); }, &D::Image2},
    {LOGO2FLNCaption, "path of logo 2, lower right", Form::Text, Reading::Text,
     [](const D &d) -> V { return d.LOGO2FLN->text(); },
     [](D &d, const V &v) { d.LOGO2FLN->setText(text(v)); }, &D::Image3},
    {Check5Value, "show the outer box", Form::Int16, Reading::Int16,
     [](const D &d) -> V { return double(D::Value(d.Check5)); },
     [](D &d, const V &v) { D::SetValue(d.Check5, check(v)); }},
    {Text10Text, "outer box thickness as typed", Form::Text, Reading::Text,
     [](const D &d) -> V { return d.Text10->text(); },
     [](D &d, const V &v) {
         d.Text10->setText(text(v));
         // The field may already have held the text, so its reaction may not have run.
         if (const auto w = textnum::RoundInt16(textnum::TextNumber(d.Text10->text())))
             d.Shape2->setBorderWidth(*w);
     }},
    {Shape2BorderColor, "outer box colour", Form::Int32, Reading::Int32,
     [](const D &d) -> V { return double(d.Shape2->BorderColor()); },
     [](D &d, const V &v) { d.Shape2->setBorderColor(static_cast<qint32>(number(v))); }},
    {Check7Value, "show the titles block", Form::Int16, Reading::Int16,
     [](const D &d) -> V { return double(D::Value(d.Check7)); },
     [](D &d, const V &v) { D::SetValue(d.Check7, check(v)); }},
    {Check6Value, "small type for the lower lines", Form::Int16, Reading::Int16,
     [](const D &d) -> V { return double(D::Value(d.Check6)); },
     [](D &d, const V &v) { D::SetValue(d.Check6, check(v)); }},
    {Label10FontName, "titles font face", Form::Text, Reading::Text,
     [](const D &d) -> V { return d.Label10->FontName(); },
     [](D &d, const V &v) { setFontName(d.Label10, v); }},
    {Label10FontSize, "titles size (pt)", Form::Real, Reading::Real,
     [](const D &d) -> V { return double(d.Label10->FontSize()); },
     [](D &d, const V &v) { d.Label10->setFontSize(static_cast<float>(number(v))); }},
    {Label10ForeColor, "titles colour", Form::Int32, Reading::Int32,
     [](const D &d) -> V { return double(d.Label10->ForeColor()); },
     [](D &d, const V &v) { d.Label10->setForeColor(static_cast<qint32>(number(v))); }},
    {Check8Value, "lower lines in the bottom headline's colour", Form::Int16, Reading::Int16,
     [](const D &d) -> V { return double(D::Value(d.Check8)); },
     [](D &d, const V &v) { D::SetValue(d.Check8, check(v)); }},
    caption<4>(Number(28), "titles line 1"),
    caption<5>(Number(29), "titles line 2"),
    caption<6>(Number(30), "titles line 3"),
    caption<7>(Number(31), "titles line 4"),
    caption<8>(Number(32), "titles line 5"),
    caption<9>(Number(33), "titles line 6"),
    caption<10>(Number(34), "titles line 7"),
    caption<11>(Number(35), "titles line 8"),
    caption<12>(Number(36), "titles line 9"),
    caption<13>(Number(37), "titles line 10"),
    caption<14>(Number(38), "titles line 11"),
    caption<15>(Number(39), "titles line 12"),
    caption<16>(Number(40), "titles line 13"),
    caption<17>(Number(41), "titles line 14"),
    caption<18>(Number(42), "titles line 15"),
    caption<19>(Number(43), "titles line 16"),
    caption<20>(Number(44), "titles line 17"),
    caption<21>(Number(45), "titles line 18"),
    caption<22>(Number(46), "titles line 19"),
    caption<23>(Number(47), "titles line 20"),
    caption<24>(Number(48), "credit line 1 (publisher)"),
    caption<25>(Number(49), "credit line 2 (producer)"),
    caption<26>(Number(50), "credit line 3 (engineer)"),
    caption<27>(Label27Caption, "lower information paragraph"),
    // The position fields keep what was typed; the headline takes the number. The field may
    // already have held the text, so the coordinate is set as well.
    {Text5Text, "top headline Top as typed", Form::Text, Reading::Text,
     [](const D &d) -> V { return d.Text5->text(); },
     [](D &d, const V &v) { d.Text5->setText(text(v)); d.Label2->setTop(textnum::TextNumber(text(v))); }},
    {Text6Text, "top headline Left as typed", Form::Text, Reading::Text,
     [](const D &d) -> V { return d.Text6->text(); },
     [](D &d, const V &v) { d.Text6->setText(text(v)); d.Label2->setLeft(textnum::TextNumber(text(v))); }},
    {Text4Text, "bottom headline Top as typed", Form::Text, Reading::Text,
     [](const D &d) -> V { return d.Text4->text(); },
     [](D &d, const V &v) { d.Text4->setText(text(v)); d.Label3->setTop(textnum::TextNumber(text(v))); }},
    {Text9Text, "bottom headline Left as typed", Form::Text, Reading::Text,
     [](const D &d) -> V { return d.Text9->text(); },
     [](D &d, const V &v) { d.Text9->setText(text(v)); d.Label3->setLeft(textnum::TextNumber(text(v))); }},
    {Check9Value, "show the copyright notice", Form::Int16, Reading::Int16,
     [](const D &d) -> V { return double(D::Value(d.Check9)); },
     [](D &d, const V &v) { D::SetValue(d.Check9, check(v)); }},
    {Check10Value, "add the circle-P symbol", Form::Int16, Reading::Int16,
     [](const D &d) -> V { return double(D::Value(d.Check10)); },
     [](D &d, const V &v) { D::SetValue(d.Check10, check(v)); }},
    {Check11Value, "copyright notice in black", Form::Int16, Reading::Int16,
     [](const D &d) -> V { return double(D::Value(d.Check11)); },
     [](D &d, const V &v) { D::SetValue(d.Check11, check(v)); }},
    {Text11Text, "copyright year", Form::Text, Reading::Text,
     [](const D &d) -> V { return d.Text11->text(); },
     [](D &d, const V &v) { d.Text11->setText(text(v)); }},
    {Text12Text, "copyright owner", Form::Text, Reading::Text,
     [](const D &d) -> V { return d.Text12->text(); },
     [](D &d, const V &v) { d.Text12->setText(text(v)); }},
    {Check13Value, "keep the top headline centred", Form::Int16, Reading::Int16,
     [](const D &d) -> V { return double(D::Value(d.Check13)); },
     [](D &d, const V &v) { D::SetValue(d.Check13, check(v)); }},
    {Check14Value, "keep the bottom headline centred", Form::Int16, Reading::Int16,
     [](const D &d) -> V { return double(D::Value(d.Check14)); },
     [](D &d, const V &v) { D::SetValue(d.Check14, check(v)); }},
    {Check15Value, "centre the lower information paragraph", Form::Int16, Reading::Int16,
     [](const D &d) -> V { return double(D::Value(d.Check15)); },
     [](D &d, const V &v) { D::SetValue(d.Check15, check(v)); }},
    {Option1Value, "front cover layout selected", Form::Bool, Reading::Bool,
     [](const D &d) -> V { return D::Value(d.Option1); },
     [](D &d, const V &v) { D::SetValue(d.Option1, truth(v)); }},
    {Option4Value, "back cover layout selected", Form::Bool, Reading::Bool,
     [](const D &d) -> V { return D::Value(d.Option4); },
     [](D &d, const V &v) { D::SetValue(d.Option4, truth(v)); }},
    {Check3Value, "frame around the top headline", Form::Int16, Reading::Int16,
     [](const D &d) -> V { return double(D::Value(d.Check3)); },
     [](D &d, const V &v) { D::SetValue(d.Check3, check(v)); }},
    {Check4Value, "frame around the bottom headline", Form::Int16, Reading::Int16,
     [](const D &d) -> V { return double(D::Value(d.Check4)); },
     [](D &d, const V &v) { D::SetValue(d.Check4, check(v)); }},
    {Label2FontBold, "top headline bold", Form::Bool, Reading::Bool,
     [](const D &d) -> V { return d.Label2->FontBold(); },
     [](D &d, const V &v) { d.Label2->setFontBold(truth(v)); }},
    {Label2FontItalic, "top headline italic", Form::Bool, Reading::Bool,
     [](const D &d) -> V { return d.Label2->FontItalic(); },
     [](D &d, const V &v) { d.Label2->setFontItalic(truth(v)); }},
    {Label2FontStrikethru, "top headline struck through", Form::Bool, Reading::Bool,
     [](const D &d) -> V { return d.Label2->FontStrikethru(); },
     [](D &d, const V &v) { d.Label2->setFontStrikethru(truth(v)); }},
    {Label2FontUnderline, "top headline underlined", Form::Bool, Reading::Bool,
     [](const D &d) -> V { return d.Label2->FontUnderline(); },
     [](D &d, const V &v) { d.Label2->setFontUnderline(truth(v)); }},
    {Label3FontBold, "bottom headline bold", Form::Bool, Reading::Bool,
     [](const D &d) -> V { return d.Label3->FontBold(); },
     [](D &d, const V &v) { d.Label3->setFontBold(truth(v)); }},
    {Label3FontItalic, "bottom headline italic", Form::Bool, Reading::Bool,
     [](const D &d) -> V { return d.Label3->FontItalic(); },
     [](D &d, const V &v) { d.Label3->setFontItalic(truth(v)); }},
    {Label3FontStrikethru, "bottom headline struck through", Form::Bool, Reading::Bool,
     [](const D &d) -> V { return d.Label3->FontStrikethru(); },
     [](D &d, const V &v) { d.Label3->setFontStrikethru(truth(v)); }},
    {Label3FontUnderline, "bottom headline underlined", Form::Bool, Reading::Bool,
     [](const D &d) -> V { return d.Label3->FontUnderline(); },
     [](D &d, const V &v) { d.Label3->setFontUnderline(truth(v)); }},
}};
// clang-format on

constexpr bool inNumberOrder()
{
    for (size_t i = 0; i < map.size(); ++i)
        if (map[i].number != static_cast<int>(i) + 1)
            return false;
    return true;
}
static_assert(inNumberOrder(), "the map lists records 1 to 75 in order");

} // namespace

const std::array<Record, designfile::RecordCount> &Map()
{
    return map;
}

const Record &At(int number)
{
    Q_ASSERT(number >= 1 && number <= designfile::RecordCount);
    return map[static_cast<size_t>(number - 1)];
}

QString Written(const Record &record, const Design &design)
{
    const Value v = record.save(design);
    switch (record.form) {
    case Form::Text: return text(v);
    case Form::Int16: return textnum::Int16Form(static_cast<int>(number(v)));
    case Form::Int32: return textnum::Int32Form(static_cast<qint32>(number(v)));
    case Form::Real: return textnum::RealForm(static_cast<float>(number(v)));
    case Form::Bool: return textnum::BoolForm(truth(v));
    }
    return {};
}

Value Read(const Record &record, const designfile::Records &lines)
{
    const int n = record.number;
    switch (record.reading) {
    case Reading::Text: return designfile::Text(lines, n);
    case Reading::Number: return designfile::Number(lines, n);
    case Reading::NumberInt16: return double(designfile::NumberInt16(lines, n));
    case Reading::Int16: return double(designfile::Int16(lines, n));
    case Reading::Int32: return double(designfile::Int32(lines, n));
    case Reading::Real: return double(designfile::Real(lines, n));
    case Reading::Bool: return designfile::Bool(lines, n);
    }
    return {};
}

QStringList Lines(const Design &design)
{
    QStringList lines;
    lines.reserve(designfile::RecordCount);
    for (const Record &r : map)
        lines << Written(r, design);
    return lines;
}

void Apply(Design &design, const designfile::Records &lines, int number)
{
    const Record &r = At(number);
    r.apply(design, Read(r, lines));
}

} // namespace records
