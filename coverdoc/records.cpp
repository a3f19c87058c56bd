#include "records.h"

#include "coverdocument.h"

#include <algorithm>
#include <cmath>

#include "textnumber.h"

namespace records {
namespace {

using D = CoverDocument;
using V = Value;

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
// A box's value as read: any number but 0 ticks it.
bool ticked(const Value &v)
{
    return static_cast<int>(number(v)) != 0;
}
V box(bool on)
{
    return double(on ? 1 : 0);
}
qint32 color(const Value &v)
{
    return static_cast<qint32>(number(v));
}

const CoverLabel &label(const D &d, D::Part p)
{
    return static_cast<const CoverLabel &>(d.part(p));
}
const CoverLine &line(const D &d, D::Part p)
{
    return static_cast<const CoverLine &>(d.part(p));
}
const CoverShape &shape(const D &d, D::Part p)
{
    return static_cast<const CoverShape &>(d.part(p));
}

// A face the label cannot take (empty) keeps the current one; a size it refuses (0) likewise.
void setFontName(CoverLabel &l, const Value &v)
{
    if (!text(v).isEmpty())
        l.setFontName(text(v));
}

template <int Line> constexpr Record caption(Number n, const char *holds)
{
    return {n,
            holds,
            Form::Text,
            Reading::Text,
            [](const D &d) -> V { return d.titleLine(Line).Caption(); },
            [](D &d, const V &v) { d.titleLine(Line).setCaption(text(v)); }};
}

// clang-format off
constexpr std::array<Record, designfile::RecordCount> map = {{
    {TopHeadlineText, "top headline text", Form::Text, Reading::Text,
     [](const D &d) -> V { return label(d, D::TopHeadline).Caption(); },
     // The field's reaction places the headline; the caption is set too in case the field
     // already held the text.
     [](D &d, const V &v) { d.setTopText(text(v)); d.topHeadline().setCaption(text(v)); }},
    {TopHeadlineFont, "top headline font face", Form::Text, Reading::Text,
     [](const D &d) -> V { return label(d, D::TopHeadline).FontName(); },
     [](D &d, const V &v) { setFontName(d.topHeadline(), v); }},
    {TopHeadlineSize, "top headline size (pt)", Form::Real, Reading::Number,
     [](const D &d) -> V { return double(label(d, D::TopHeadline).FontSize()); },
     [](D &d, const V &v) { d.topHeadline().setFontSize(static_cast<float>(number(v))); }},
    {TopHeadlineColor, "top headline colour", Form::Int32, Reading::Int32,
     [](const D &d) -> V { return double(label(d, D::TopHeadline).ForeColor()); },
     [](D &d, const V &v) { d.topHeadline().setForeColor(color(v)); }},
    {BottomHeadlineText, "bottom headline text", Form::Text, Reading::Text,
     [](const D &d) -> V { return label(d, D::BottomHeadline).Caption(); },
     [](D &d, const V &v) { d.setBottomText(text(v)); d.bottomHeadline().setCaption(text(v)); }},
    {BottomHeadlineFont, "bottom headline font face", Form::Text, Reading::Text,
     [](const D &d) -> V { return label(d, D::BottomHeadline).FontName(); },
     [](D &d, const V &v) { setFontName(d.bottomHeadline(), v); }},
    {BottomHeadlineSize, "bottom headline size (pt)", Form::Real, Reading::Number,
     [](const D &d) -> V { return double(label(d, D::BottomHeadline).FontSize()); },
     [](D &d, const V &v) { d.bottomHeadline().setFontSize(static_cast<float>(number(v))); }},
    {BottomHeadlineColor, "bottom headline colour", Form::Int32, Reading::Int32,
     [](const D &d) -> V { return double(label(d, D::BottomHeadline).ForeColor()); },
     [](D &d, const V &v) { d.bottomHeadline().setForeColor(color(v)); }},
    {PanelColor, "background colour of the panel", Form::Int32, Reading::Int32,
     [](const D &d) -> V { return double(shape(d, D::Panel).BackColor()); },
     [](D &d, const V &v) { d.panel().setBackColor(color(v)); }},
    {RuleThickness, "thickness of both rules", Form::Int16, Reading::NumberInt16,
     [](const D &d) -> V { return double(line(d, D::TopRule).BorderWidth()); },
     [](D &d, const V &v) {
         d.topRule().setBorderWidth(static_cast<int>(number(v)));
         d.bottomRule().setBorderWidth(static_cast<int>(number(v)));
     }},
    {RuleColor, "colour of both rules", Form::Int32, Reading::Int32,
     [](const D &d) -> V { return double(line(d, D::TopRule).BorderColor()); },
     [](D &d, const V &v) { d.setRuleColor(color(v)); }},
    {TopRuleHidden, "hide the top rule", Form::Int16, Reading::NumberInt16,
     [](const D &d) -> V { return box(d.rules.hideTop); },
     [](D &d, const V &v) { d.setTopRuleHidden(ticked(v)); }},
    {BottomRuleHidden, "hide the bottom rule", Form::Int16, Reading::NumberInt16,
     [](const D &d) -> V { return box(d.rules.hideBottom); },
     [](D &d, const V &v) { d.setBottomRuleHidden(ticked(v)); }},
    {MainPictureFile, "path of the main picture", Form::Text, Reading::Text,
     [](const D &d) -> V { return d.pictures.mainPath; },
     [](D &d, const V &v) { d.pictures.mainPath = text(v); }},
    {MainPictureHeight, "main picture height (px)", Form::Real, Reading::Number,
     [](const D &d) -> V { return double(static_cast<float>(d.image(D::MainPicture).Height())); },
     [](D &d, const V &v) { d.mainPicture().setHeight(number(v)); }},
    {MainPictureWidth, "main picture width (px)", Form::Real, Reading::Number,
     [](const D &d) -> V { return double(static_cast<float>(d.image(D::MainPicture).Width())); },
     [](D &d, const V &v) { d.mainPicture().setWidth(number(v)); }},
    {Logo1File, "path of logo 1, lower left", Form::Text, Reading::Text,
     [](const D &d) -> V { return d.pictures.logo1Path; },
     [](D &d, const V &v) { d.pictures.logo1Path = text(v); }},
    {Logo2File, "path of logo 2, lower right", Form::Text, Reading::Text,
     [](const D &d) -> V { return d.pictures.logo2Path; },
     [](D &d, const V &v) { d.pictures.logo2Path = text(v); }},
    {OuterBoxShown, "show the outer box", Form::Int16, Reading::Int16,
     [](const D &d) -> V { return box(d.box.shown); },
     [](D &d, const V &v) { d.setBoxShown(ticked(v)); }},
    {OuterBoxThickness, "outer box thickness as typed", Form::Text, Reading::Text,
     [](const D &d) -> V { return d.box.thicknessTyped; },
     [](D &d, const V &v) {
         d.setBoxThicknessTyped(text(v));
         // The field may already have held the text, so its reaction may not have run.
         if (const auto w = textnum::RoundInt16(textnum::TextNumber(d.box.thicknessTyped)))
             d.outerBox().setBorderWidth(*w);
     }},
    {OuterBoxColor, "outer box colour", Form::Int32, Reading::Int32,
     [](const D &d) -> V { return double(shape(d, D::OuterBox).BorderColor()); },
     [](D &d, const V &v) { d.setBoxColor(color(v)); }},
    {TitlesShown, "show the titles block", Form::Int16, Reading::Int16,
     [](const D &d) -> V { return box(d.titles.shown); },
     [](D &d, const V &v) { d.setTitlesShown(ticked(v)); }},
    {LowerLinesSmall, "small type for the lower lines", Form::Int16, Reading::Int16,
     [](const D &d) -> V { return box(d.titles.lowerSmall); },
     [](D &d, const V &v) { d.setLowerSmall(ticked(v)); }},
    {TitlesFont, "titles font face", Form::Text, Reading::Text,
     [](const D &d) -> V { return d.titlesStyle().FontName(); },
     [](D &d, const V &v) { setFontName(d.titleLine(7), v); }},
    {TitlesSize, "titles size (pt)", Form::Real, Reading::Real,
     [](const D &d) -> V { return double(d.titlesStyle().FontSize()); },
     [](D &d, const V &v) { d.titleLine(7).setFontSize(static_cast<float>(number(v))); }},
    {TitlesColor, "titles colour", Form::Int32, Reading::Int32,
     [](const D &d) -> V { return double(d.titlesStyle().ForeColor()); },
     [](D &d, const V &v) { d.titleLine(7).setForeColor(color(v)); }},
    {LowerLinesInBottomColor, "lower lines in the bottom headline's colour", Form::Int16, Reading::Int16,
     [](const D &d) -> V { return box(d.titles.lowerBlack); },
     [](D &d, const V &v) { d.setLowerBlack(ticked(v)); }},
    caption<1>(TitleLine1, "titles line 1"),
    caption<2>(Number(TitleLine1 + 1), "titles line 2"),
    caption<3>(Number(TitleLine1 + 2), "titles line 3"),
    caption<4>(Number(TitleLine1 + 3), "titles line 4"),
    caption<5>(Number(TitleLine1 + 4), "titles line 5"),
    caption<6>(Number(TitleLine1 + 5), "titles line 6"),
    caption<7>(Number(TitleLine1 + 6), "titles line 7"),
    caption<8>(Number(TitleLine1 + 7), "titles line 8"),
    caption<9>(Number(TitleLine1 + 8), "titles line 9"),
    caption<10>(Number(TitleLine1 + 9), "titles line 10"),
    caption<11>(Number(TitleLine1 + 10), "titles line 11"),
    caption<12>(Number(TitleLine1 + 11), "titles line 12"),
    caption<13>(Number(TitleLine1 + 12), "titles line 13"),
    caption<14>(Number(TitleLine1 + 13), "titles line 14"),
    caption<15>(Number(TitleLine1 + 14), "titles line 15"),
    caption<16>(Number(TitleLine1 + 15), "titles line 16"),
    caption<17>(Number(TitleLine1 + 16), "titles line 17"),
    caption<18>(Number(TitleLine1 + 17), "titles line 18"),
    caption<19>(Number(TitleLine1 + 18), "titles line 19"),
    caption<20>(Number(TitleLine1 + 19), "titles line 20"),
    caption<21>(Number(TitleLine1 + 20), "credit line 1 (publisher)"),
    caption<22>(Number(TitleLine1 + 21), "credit line 2 (producer)"),
    caption<23>(Number(TitleLine1 + 22), "credit line 3 (engineer)"),
    caption<24>(LowerParagraphText, "lower information paragraph"),
    // The position fields keep what was typed; the headline takes the number. The field may
    // already have held the text, so the coordinate is set as well.
    {TopHeadlineTop, "top headline Top as typed", Form::Text, Reading::Text,
     [](const D &d) -> V { return d.top.topTyped; },
     [](D &d, const V &v) { d.setTopTopTyped(text(v)); d.topHeadline().setTop(textnum::TextNumber(text(v))); }},
    {TopHeadlineLeft, "top headline Left as typed", Form::Text, Reading::Text,
     [](const D &d) -> V { return d.top.leftTyped; },
     [](D &d, const V &v) { d.setTopLeftTyped(text(v)); d.topHeadline().setLeft(textnum::TextNumber(text(v))); }},
    {BottomHeadlineTop, "bottom headline Top as typed", Form::Text, Reading::Text,
     [](const D &d) -> V { return d.bottom.topTyped; },
     [](D &d, const V &v) { d.setBottomTopTyped(text(v)); d.bottomHeadline().setTop(textnum::TextNumber(text(v))); }},
    {BottomHeadlineLeft, "bottom headline Left as typed", Form::Text, Reading::Text,
     [](const D &d) -> V { return d.bottom.leftTyped; },
     [](D &d, const V &v) { d.setBottomLeftTyped(text(v)); d.bottomHeadline().setLeft(textnum::TextNumber(text(v))); }},
    {NoticeShown, "show the copyright notice", Form::Int16, Reading::Int16,
     [](const D &d) -> V { return box(d.notice.posted); },
     [](D &d, const V &v) { d.setNoticePosted(ticked(v)); }},
    {NoticeSymbolAdded, "add the circle-P symbol", Form::Int16, Reading::Int16,
     [](const D &d) -> V { return box(d.notice.symbol); },
     [](D &d, const V &v) { d.setSymbolAdded(ticked(v)); }},
    {NoticeBlack, "copyright notice in black", Form::Int16, Reading::Int16,
     [](const D &d) -> V { return box(d.notice.black); },
     [](D &d, const V &v) { d.setNoticeBlack(ticked(v)); }},
    {NoticeYear, "copyright year", Form::Text, Reading::Text,
     [](const D &d) -> V { return d.notice.year; },
     [](D &d, const V &v) { d.setNoticeYear(text(v)); }},
    {NoticeOwner, "copyright owner", Form::Text, Reading::Text,
     [](const D &d) -> V { return d.notice.owner; },
     [](D &d, const V &v) { d.setNoticeOwner(text(v)); }},
    {TopHeadlineCentred, "keep the top headline centred", Form::Int16, Reading::Int16,
     [](const D &d) -> V { return box(d.top.centred); },
     [](D &d, const V &v) { d.setTopCentred(ticked(v)); }},
    {BottomHeadlineCentred, "keep the bottom headline centred", Form::Int16, Reading::Int16,
     [](const D &d) -> V { return box(d.bottom.centred); },
     [](D &d, const V &v) { d.setBottomCentred(ticked(v)); }},
    {LowerParagraphCentred, "centre the lower information paragraph", Form::Int16, Reading::Int16,
     [](const D &d) -> V { return box(d.titles.lowerCentred); },
     [](D &d, const V &v) { d.setLowerCentred(ticked(v)); }},
    {FrontCoverChosen, "front cover layout selected", Form::Bool, Reading::Bool,
     [](const D &d) -> V { return d.layout.front; },
     [](D &d, const V &v) { d.setFront(truth(v)); }},
    {BackCoverChosen, "back cover layout selected", Form::Bool, Reading::Bool,
     [](const D &d) -> V { return d.layout.back; },
     [](D &d, const V &v) { d.setBack(truth(v)); }},
    {TopHeadlineBoxed, "frame around the top headline", Form::Int16, Reading::Int16,
     [](const D &d) -> V { return box(d.top.boxed); },
     [](D &d, const V &v) { d.setTopBoxed(ticked(v)); }},
    {BottomHeadlineBoxed, "frame around the bottom headline", Form::Int16, Reading::Int16,
     [](const D &d) -> V { return box(d.bottom.boxed); },
     [](D &d, const V &v) { d.setBottomBoxed(ticked(v)); }},
    {TopHeadlineBold, "top headline bold", Form::Bool, Reading::Bool,
     [](const D &d) -> V { return label(d, D::TopHeadline).FontBold(); },
     [](D &d, const V &v) { d.topHeadline().setFontBold(truth(v)); }},
    {TopHeadlineItalic, "top headline italic", Form::Bool, Reading::Bool,
     [](const D &d) -> V { return label(d, D::TopHeadline).FontItalic(); },
     [](D &d, const V &v) { d.topHeadline().setFontItalic(truth(v)); }},
    {TopHeadlineStruck, "top headline struck through", Form::Bool, Reading::Bool,
     [](const D &d) -> V { return label(d, D::TopHeadline).FontStrikethru(); },
     [](D &d, const V &v) { d.topHeadline().setFontStrikethru(truth(v)); }},
    {TopHeadlineUnderlined, "top headline underlined", Form::Bool, Reading::Bool,
     [](const D &d) -> V { return label(d, D::TopHeadline).FontUnderline(); },
     [](D &d, const V &v) { d.topHeadline().setFontUnderline(truth(v)); }},
    {BottomHeadlineBold, "bottom headline bold", Form::Bool, Reading::Bool,
     [](const D &d) -> V { return label(d, D::BottomHeadline).FontBold(); },
     [](D &d, const V &v) { d.bottomHeadline().setFontBold(truth(v)); }},
    {BottomHeadlineItalic, "bottom headline italic", Form::Bool, Reading::Bool,
     [](const D &d) -> V { return label(d, D::BottomHeadline).FontItalic(); },
     [](D &d, const V &v) { d.bottomHeadline().setFontItalic(truth(v)); }},
    {BottomHeadlineStruck, "bottom headline struck through", Form::Bool, Reading::Bool,
     [](const D &d) -> V { return label(d, D::BottomHeadline).FontStrikethru(); },
     [](D &d, const V &v) { d.bottomHeadline().setFontStrikethru(truth(v)); }},
    {BottomHeadlineUnderlined, "bottom headline underlined", Form::Bool, Reading::Bool,
     [](const D &d) -> V { return label(d, D::BottomHeadline).FontUnderline(); },
     [](D &d, const V &v) { d.bottomHeadline().setFontUnderline(truth(v)); }},
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

QString Written(const Record &record, const CoverDocument &design)
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

bool LooksLikeDesign(const designfile::Records &lines, QString *why)
{
    const auto count = std::count_if(lines.begin(), lines.end(), [](const auto &l) { return l.has_value(); });
    if (count < designfile::RecordCount) {
        if (why)
            *why = QStringLiteral("it has %1 lines where a design has %2.")
                       .arg(count)
                       .arg(designfile::RecordCount);
        return false;
    }
    for (const Record &r : map) {
        const QString &text = *lines[size_t(r.number - 1)];
        const bool readable = r.reading == Reading::Bool    ? textnum::ToBool(text).has_value()
                              : r.reading == Reading::Int16 ? textnum::ToInt16(text).has_value()
                              : r.reading == Reading::Int32 ? textnum::ToInt32(text).has_value()
                                                            : true;
        if (!readable) {
            if (why)
                *why = QStringLiteral("line %1 should hold the %2.")
                           .arg(r.number)
                           .arg(QString::fromLatin1(r.holds));
            return false;
        }
    }
    return true;
}

QStringList Lines(const CoverDocument &design)
{
    QStringList lines;
    lines.reserve(designfile::RecordCount);
    for (const Record &r : map)
        lines << Written(r, design);
    return lines;
}

void Apply(CoverDocument &design, const designfile::Records &lines, int number)
{
    const Record &r = At(number);
    r.apply(design, Read(r, lines));
}

} // namespace records

// ---------------------------------------------------------------- the document's records

QStringList CoverDocument::Records() const
{
    return records::Lines(*this);
}

bool CoverDocument::applyRecords(const designfile::Records &r, const PictureReader &readPicture,
                                 bool keepSame)
{
    using namespace records;
    const auto apply = [&](std::initializer_list<int> numbers) {
        for (int n : numbers)
            Apply(*this, r, n);
    };
    static constexpr std::array<int, 3> paths{MainPictureFile, Logo1File, Logo2File};
    static constexpr std::array<Slot, 3> pictureSlots{Slot::Main, Slot::Logo1, Slot::Logo2};
    std::array<bool, paths.size()> keep{};
    for (size_t i = 0; i < keep.size(); ++i)
        keep[i] = keepSame && picture(pictureSlots[i]).HasPicture() &&
                  designfile::Text(r, paths[i]) == picturePath(pictureSlots[i]);
    const auto loadPicture = [&](size_t i) {
        const QString file = designfile::Text(r, paths[i]);
        CoverImage &image = picture(pictureSlots[i]);
        return keep[i] || file.isEmpty() ||
               (readPicture ? readPicture(image, file) : image.LoadPicture(file));
    };

    // Pictures and their paths start empty: one that cannot be loaded leaves itself and the
    // later ones out.
    for (size_t i = 0; i < paths.size(); ++i) {
        if (keep[i])
            continue;
        picture(pictureSlots[i]).ClearPicture();
        At(paths[i]).apply(*this, QString());
    }

    // Headlines, layout, lines. The layout switch runs before the stored positions are applied,
    // so they win over its defaults.
    apply({TopHeadlineText, BottomHeadlineText, FrontCoverChosen, BackCoverChosen, TopHeadlineBoxed,
           BottomHeadlineBoxed});
    apply({TopHeadlineBold, TopHeadlineItalic, TopHeadlineStruck, TopHeadlineUnderlined});
    apply({BottomHeadlineBold, BottomHeadlineItalic, BottomHeadlineStruck, BottomHeadlineUnderlined});
    apply({TopHeadlineCentred, BottomHeadlineCentred, TopRuleHidden, BottomRuleHidden, OuterBoxShown,
           LowerLinesSmall});
    apply({TopHeadlineFont, TopHeadlineSize, TopHeadlineColor, BottomHeadlineFont, BottomHeadlineSize,
           BottomHeadlineColor});
    apply({PanelColor, RuleThickness, RuleColor});
    // After the "Center" boxes, whose reactions move the headlines.
    apply({TopHeadlineTop, TopHeadlineLeft, BottomHeadlineTop, BottomHeadlineLeft});
    // The file's positions stand; a headline whose "Center" is ticked is centred again by
    // its next change of text or font, one whose box is clear stays where it is.
    top.free = !top.centred;
    bottom.free = !bottom.centred;

    // Pictures. One that cannot be loaded skips the remaining ones.
    const bool picturesLoaded = [&] {
        if (!loadPicture(0))
            return false;
        apply({MainPictureFile, Logo1File, MainPictureHeight, MainPictureWidth});
        if (!loadPicture(1))
            return false;
        apply({Logo2File});
        if (!loadPicture(2))
            return false;
        CoverImage &main = mainPicture();
        main.setLeft(Centred(main.Width(), Centring::Exact));
        main.setTop((456 - main.Height()) / 2.0);
        setPictureHeightTyped(textnum::PositionText(std::floor(main.Height())));
        setPictureWidthTyped(textnum::PositionText(std::floor(main.Width())));
        return true;
    }();

    // Box and titles.
    apply({OuterBoxThickness, OuterBoxColor, TitlesShown, LowerLinesInBottomColor});
    apply({TitlesFont, TitlesSize, TitlesColor});
    for (int n = TitleLine1; n <= LowerParagraphText; ++n)
        Apply(*this, r, n);
    // The titles font in the order the lines take it: titles 8-20, credit lines 1-2,
    // titles 1-6 (the credit line 3 and the paragraph keep theirs).
    static constexpr int fontOrder[] = {8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18,
                                        19, 20, 21, 22, 1,  2,  3,  4,  5,  6};
    const CoverLabel &style = titlesStyle();
    for (int n : fontOrder) {
        CoverLabel &l = titleLine(n);
        l.setFontName(style.FontName());
        l.setFontSize(style.FontSize());
        l.setForeColor(style.ForeColor());
    }
    // "Lower Black" and "Lower Small" reacted (if at all) before the titles font arrived.
    const qint32 lower = titles.lowerBlack ? bottomHeadline().ForeColor() : style.ForeColor();
    for (int n : {22, 23, 24})
        titleLine(n).setForeColor(lower);
    apply({LowerParagraphCentred});
    if (titles.lowerSmall) {
        titleLine(24).setFontSize(6);
        for (int n : {23, 22, 21})
            titleLine(n).setFontSize(7);
    } else {
        for (int n : {24, 23, 22, 21})
            titleLine(n).setFontSize(style.FontSize());
    }

    // Copyright notice.
    apply({NoticeShown, NoticeSymbolAdded, NoticeBlack, NoticeYear, NoticeOwner});
    // "Add ( P )" shows the symbol by itself; it belongs to a posted notice only.
    noticeSymbol().setVisible(notice.posted);
    // Unless black, the notice has the titles' colour, which may have changed.
    if (!notice.black) {
        noticeLeft().setForeColor(style.ForeColor());
        noticeRight().setForeColor(style.ForeColor());
    }
    setNoticeRowTop(box.shown ? raisedNoticeTop() : NoticeBaseLine);
    applySettings(r.settings);
    return picturesLoaded;
}
