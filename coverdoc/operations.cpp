// The editing commands as operations on the document. Each keeps the order of steps the window
// has always had: a value that changes runs its reaction, and a reaction that writes a field
// runs that field's reaction in turn (a headline's text writes its Left field, which places the
// headline again from the rounded number).
#include "coverdocument.h"

#include <algorithm>
#include <cmath>

#include "colors.h"
#include "coverformat.h"
#include "textnumber.h"

using textnum::PositionText;
using textnum::TextNumber;

namespace {

// Sets a value; true when it changed, so that its reaction runs.
template <class T> bool change(T &value, const T &to)
{
    if (value == to)
        return false;
    value = to;
    return true;
}

// Room allowed for "Copyright (c)", whatever its measured width.
constexpr double LeftTextAllowance = 29;

} // namespace

// ---------------------------------------------------------------- headlines

void CoverDocument::headlineTextChanged(Headline &h, Part p, Centring how, bool toFront)
{
    CoverLabel &l = label(p);
    l.Hide();
    l.setCaption(h.text);
    if (toFront)
        bringToFront(p);
    if (!h.free)
        l.setLeft(Centred(l.Width(), how));
    if (&h == &top)
        setTopLeftTyped(PositionText(l.Left()));
    else
        setBottomLeftTyped(PositionText(l.Left()));
    l.Show();
}

void CoverDocument::setTopText(const QString &text)
{
    if (change(top.text, text))
        headlineTextChanged(top, TopHeadline, Centring::TruncatedAbsolute, true);
}

void CoverDocument::setBottomText(const QString &text)
{
    if (change(bottom.text, text))
        headlineTextChanged(bottom, BottomHeadline, Centring::Truncated, false);
}

// A position the panel cannot hold (1E30) leaves the headline where it is.
void CoverDocument::setTopTopTyped(const QString &text)
{
    if (change(top.topTyped, text))
        topHeadline().setTop(TextNumber(text));
}
void CoverDocument::setTopLeftTyped(const QString &text)
{
    if (change(top.leftTyped, text))
        topHeadline().setLeft(TextNumber(text));
}
void CoverDocument::setBottomTopTyped(const QString &text)
{
    if (change(bottom.topTyped, text))
        bottomHeadline().setTop(TextNumber(text));
}
void CoverDocument::setBottomLeftTyped(const QString &text)
{
    if (change(bottom.leftTyped, text))
        bottomHeadline().setLeft(TextNumber(text));
}

void CoverDocument::setTopCentred(bool on)
{
    if (!change(top.centred, on))
        return;
    if (on) {
        topHeadline().setLeft(Centred(topHeadline().Width(), Centring::Truncated));
        top.free = false;
        setTopLeftTyped(PositionText(topHeadline().Left()));
    } else {
        top.free = true;
    }
}

void CoverDocument::setBottomCentred(bool on)
{
    if (!change(bottom.centred, on))
        return;
    if (on) {
        bottomHeadline().setLeft(Centred(bottomHeadline().Width(), Centring::TruncatedAbsolute));
        bottom.free = false;
        setBottomLeftTyped(PositionText(bottomHeadline().Left()));
    } else {
        bottom.free = true;
    }
}

void CoverDocument::setTopBoxed(bool on)
{
    if (change(top.boxed, on))
        topHeadline().setBorderStyle(on ? CoverLabel::Border::FixedSingle : CoverLabel::Border::None);
}

void CoverDocument::setBottomBoxed(bool on)
{
    if (change(bottom.boxed, on))
        bottomHeadline().setBorderStyle(on ? CoverLabel::Border::FixedSingle : CoverLabel::Border::None);
}

namespace {

// Name, size and colour. False when the label refuses the size: the command stops there.
bool applyFont(CoverLabel &label, const QString &name, float size, qint32 color)
{
    label.setFontName(name);
    label.setFontSize(size);
    if (label.FontSize() != size)
        return false;
    label.setForeColor(color);
    return true;
}

} // namespace

// The position field keeps its number: only the headline moves.
static bool headlineFont(CoverDocument &d, CoverLabel &headline, bool free, CoverDocument::Centring how,
                         const CoverDocument::Font &font)
{
    if (!applyFont(headline, font.name, font.size, font.color))
        return false;
    headline.setFontBold(font.bold);
    headline.setFontItalic(font.italic);
    headline.setFontStrikethru(font.strikethru);
    headline.setFontUnderline(font.underline);
    return free || headline.setLeft(d.Centred(headline.Width(), how));
}

bool CoverDocument::setTopFont(const Font &font)
{
    return headlineFont(*this, topHeadline(), top.free, Centring::TruncatedAbsolute, font);
}

bool CoverDocument::setBottomFont(const Font &font)
{
    return headlineFont(*this, bottomHeadline(), bottom.free, Centring::Truncated, font);
}

// ---------------------------------------------------------------- rules, box, symbol, colours

void CoverDocument::setTopRuleHidden(bool on)
{
    if (change(rules.hideTop, on))
        topRule().setVisible(!on);
}

void CoverDocument::setBottomRuleHidden(bool on)
{
    if (change(rules.hideBottom, on))
        bottomRule().setVisible(!on);
}

void CoverDocument::setRuleThicknessTyped(const QString &text)
{
    if (!change(rules.thicknessTyped, text))
        return;
    const auto t = textnum::RoundInt16(TextNumber(text));
    // A width the rules refuse (below 1, empty, not a number, too large) puts "1" back.
    if (!t || !topRule().setBorderWidth(*t) || !bottomRule().setBorderWidth(*t)) {
        setRuleThicknessTyped(QStringLiteral("1"));
        topRule().setBorderWidth(1);
        bottomRule().setBorderWidth(1);
    }
}

void CoverDocument::setNoticeRowTop(double rowTop)
{
    noticeSymbol().setTop(rowTop);
    noticeLeft().setTop(rowTop);
    noticeRight().setTop(rowTop);
}

double CoverDocument::raisedNoticeTop() const
{
    return NoticeBaseLine - (TextNumber(box.thicknessTyped) - 2);
}

void CoverDocument::setBoxThicknessTyped(const QString &text)
{
    if (!change(box.thicknessTyped, text))
        return;
    setNoticeRowTop(NoticeBaseLine);
    const auto t = textnum::RoundInt16(TextNumber(text));
    const bool accepted = t && outerBox().setBorderWidth(*t);
    if (accepted && box.shown)
        setNoticeRowTop(raisedNoticeTop());
    if (!accepted) {
        // Writing "1" runs this again, which places the row for 1.
        setBoxThicknessTyped(QStringLiteral("1"));
        outerBox().setBorderWidth(1);
    }
}

void CoverDocument::setBoxShown(bool on)
{
    if (!change(box.shown, on))
        return;
    outerBox().setVisible(on);
    setNoticeRowTop(on ? raisedNoticeTop() : NoticeBaseLine);
}

void CoverDocument::setSymbolAdded(bool on)
{
    if (!change(notice.symbol, on))
        return;
    noticeSymbol().setVisible(on);
    noticeSymbol().setWidth(on ? 6 : 1);
    noticeRight().setLeft(noticeLeft().Left() + LeftTextAllowance + (on ? 6 - 2 : 1));
}

void CoverDocument::setBackgroundColor(qint32 color)
{
    panel().setBackColor(color);
}

void CoverDocument::setRuleColor(qint32 color)
{
    topRule().setBorderColor(color);
    bottomRule().setBorderColor(color);
}

void CoverDocument::setBoxColor(qint32 color)
{
    outerBox().setBorderColor(color);
}

// ---------------------------------------------------------------- titles block

void CoverDocument::setTitlesShown(bool on)
{
    if (!change(titles.shown, on))
        return;
    for (int n = 1; n <= TitleLines; ++n)
        titleLine(n).setVisible(on);
}

void CoverDocument::setLowerSmall(bool on)
{
    if (!change(titles.lowerSmall, on))
        return;
    if (on) {
        titleLine(24).setFontSize(6);
        for (int n : {23, 22, 21})
            titleLine(n).setFontSize(7);
    } else {
        for (int n : {24, 23, 22, 21})
            titleLine(n).setFontSize(titlesStyle().FontSize());
    }
}

void CoverDocument::setLowerBlack(bool on)
{
    if (!change(titles.lowerBlack, on))
        return;
    const qint32 color = on ? bottomHeadline().ForeColor() : titlesStyle().ForeColor();
    for (int n : {22, 23, 24})
        titleLine(n).setForeColor(color);
}

void CoverDocument::setLowerCentred(bool on)
{
    if (change(titles.lowerCentred, on))
        titleLine(24).setAlignment(on ? CoverLabel::Align::Centre : CoverLabel::Align::Left);
}

void CoverDocument::setTitle(int line, const QString &text)
{
    if (line < 1 || line > TitleLines)
        return;
    titleLine(line).setCaption(text);
    if (line <= CoverTitleLines && LongList())
        titles.list[line - 1] = ListTitle(text);
}

bool CoverDocument::setTitlesFont(const QString &name, float size, qint32 color)
{
    // Title and credit lines that follow line 7's font, in the order they take it; the
    // paragraph keeps its own face.
    static constexpr int following[] = {8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18,
                                        19, 20, 21, 22, 23, 1,  2,  3,  4,  5,  6};
    CoverLabel &style = titleLine(7);
    if (!applyFont(style, name, size, color))
        return false;
    for (int n : following) {
        CoverLabel &l = titleLine(n);
        l.setFontName(style.FontName());
        l.setFontSize(style.FontSize());
        l.setForeColor(style.ForeColor());
        if (l.FontSize() != style.FontSize())
            return false;
    }
    if (!notice.black) {
        noticeLeft().setForeColor(style.ForeColor());
        noticeRight().setForeColor(style.ForeColor());
    }
    return true;
}

// ---------------------------------------------------------------- copyright notice

void CoverDocument::setNoticeRightCaption(const QString &text)
{
    CoverLabel &right = noticeRight();
    if (right.Caption() == text)
        return;
    right.setCaption(text);
    right.setLeft(Centred(right.Width(), Centring::Exact));
}

void CoverDocument::setNoticeTexts()
{
    setNoticeRightCaption(notice.year + u' ' + notice.owner + QStringLiteral(" All Rights Reserved."));
}

void CoverDocument::layoutNoticeRow()
{
    CoverLabel &left = noticeLeft();
    CoverImage &symbol = noticeSymbol();
    CoverLabel &right = noticeRight();
    left.setLeft((static_cast<double>(layout.panelWidth) - (left.Width() + symbol.Width() + right.Width())) /
                 2.0);
    symbol.setLeft(left.Left() + LeftTextAllowance);
    right.setLeft(left.Left() + LeftTextAllowance + symbol.Width() - 2);
}

void CoverDocument::setNoticePosted(bool on)
{
    if (!change(notice.posted, on))
        return;
    setNoticeRowTop(NoticeBaseLine);
    if (on) {
        noticeLeft().Show();
        noticeLeft().setCaption(NoticeLeftText());
        setNoticeTexts();
        if (notice.symbol) {
            noticeSymbol().Show();
            noticeSymbol().setWidth(6);
        }
        if (box.shown)
            setNoticeRowTop(raisedNoticeTop());
        if (!notice.symbol) {
            noticeSymbol().Hide();
            noticeSymbol().setWidth(1);
        }
        noticeRight().Show();
        layoutNoticeRow();
    } else {
        noticeLeft().Hide();
        noticeSymbol().Hide();
        noticeRight().Hide();
    }
}

void CoverDocument::setNoticeBlack(bool on)
{
    if (!change(notice.black, on))
        return;
    const qint32 color = on ? 0 : titlesStyle().ForeColor();
    noticeLeft().setForeColor(color);
    noticeRight().setForeColor(color);
}

void CoverDocument::setNoticeYear(const QString &text)
{
    if (!change(notice.year, text))
        return;
    setNoticeTexts();
    layoutNoticeRow();
}

void CoverDocument::setNoticeOwner(const QString &text)
{
    if (!change(notice.owner, text))
        return;
    setNoticeTexts();
    layoutNoticeRow();
}

// ---------------------------------------------------------------- pictures

bool CoverDocument::loadPicture(Slot slot, const QString &path, QString *error)
{
    // The path names the picture shown, and is what a design file keeps: it changes only with
    // the picture.
    CoverImage &image = picture(slot);
    if (path.isEmpty()) {
        if (error)
            *error = QStringLiteral("No file was given.");
        return false;
    }
    if (!image.LoadPicture(path, error))
        return false;
    const_cast<QString &>(picturePath(slot)) = path;
    if (slot == Slot::Main) {
        image.setTop((panel().Height() - image.Height()) / 2.0);
        image.setLeft(Centred(image.Width(), Centring::Exact));
    }
    return true;
}

void CoverDocument::clearPicture(Slot slot)
{
    const_cast<QString &>(picturePath(slot)).clear();
    picture(slot).ClearPicture();
}

void CoverDocument::setPictureWidthTyped(const QString &text)
{
    if (!change(pictures.widthTyped, text))
        return;
    CoverImage &image = mainPicture();
    // A width the picture cannot take (negative, not finite) keeps the old one.
    image.setWidth(TextNumber(text));
    image.setLeft(Centred(image.Width(), Centring::Exact));
}

void CoverDocument::setPictureHeightTyped(const QString &text)
{
    if (!change(pictures.heightTyped, text))
        return;
    CoverImage &image = mainPicture();
    image.setHeight(TextNumber(text));
    image.setTop((panel().Height() - image.Height()) / 2.0);
}

bool CoverDocument::fitBoxToPicture()
{
    const CoverImage &image = mainPicture();
    const QSize source = image.SourceSize();
    if (!image.HasPicture() || source.isEmpty())
        return false;
    const double across = double(source.width()) / source.height();
    const double room = panel().Height();
    double width = std::min(image.Width(), double(layout.panelWidth));
    double height = width / across;
    if (height > room) {
        height = room;
        width = room * across;
    }
    const auto typed = [](double v) { return QString::number(std::max(1L, std::lround(v))); };
    if (width != image.Width())
        setPictureWidthTyped(typed(width));
    setPictureHeightTyped(typed(height));
    return true;
}

// ---------------------------------------------------------------- layouts

namespace {

struct LayoutValues {
    float panelWidth;
    double paragraphWidth;
    double noticeShift;
    double logoShift;
    double ruleRight;
    double rightColumn;
};

constexpr LayoutValues Front{CoverDocument::FrontWidth, 360, -31, -63, 432, 250};
constexpr LayoutValues Back{CoverDocument::BackWidth, 422, 31, 63, 495, 300};

} // namespace

void CoverDocument::switchLayout(bool selected, bool front)
{
    const LayoutValues &v = front ? Front : Back;
    if (selected)
        layout.panelWidth = v.panelWidth;
    titleLine(24).setWidth(v.paragraphWidth);
    for (BoxElement *e : std::initializer_list<BoxElement *>{&noticeLeft(), &noticeRight(), &noticeSymbol()})
        e->setLeft(e->Left() + v.noticeShift);
    logo2().setLeft(logo2().Left() + v.logoShift);
    panel().setWidth(v.panelWidth);
    if (top.centred)
        topHeadline().setLeft(Centred(topHeadline().Width(), Centring::TruncatedAbsolute));
    if (bottom.centred)
        bottomHeadline().setLeft(Centred(bottomHeadline().Width(), Centring::TruncatedAbsolute));
    else
        bottomHeadline().setLeft(bottomHeadline().Left() + v.logoShift);
    setTopLeftTyped(PositionText(topHeadline().Left()));
    setBottomLeftTyped(PositionText(bottomHeadline().Left()));
    outerBox().setWidth(static_cast<double>(layout.panelWidth) - 12);
    mainPicture().setLeft(Centred(mainPicture().Width(), Centring::Exact));
    topRule().setX2(v.ruleRight);
    bottomRule().setX2(v.ruleRight);
    for (int n = 11; n <= 20; ++n)
        titleLine(n).setLeft(v.rightColumn);
    titleLine(23).setLeft(v.rightColumn);
}

// The two layouts are exclusive: selecting one clears the other, which does not react.
void CoverDocument::setFront(bool on)
{
    if (!change(layout.front, on) || !on)
        return;
    layout.back = false;
    switchLayout(true, true);
}

void CoverDocument::setBack(bool on)
{
    if (!change(layout.back, on) || !on)
        return;
    layout.front = false;
    switchLayout(true, false);
}

// ---------------------------------------------------------------- New

void CoverDocument::newDesign(const QString &year)
{
    setNoticeRowTop(NoticeBaseLine);
    setTopBoxed(false);
    setBottomBoxed(false);
    setNoticeOwner(QString());
    setNoticeYear(year);
    setNoticeRightCaption(notice.year + u' ' + notice.owner + QStringLiteral(" All Rights Reserved."));
    setSymbolAdded(false);
    setTopCentred(true);
    setBottomCentred(true);
    for (Slot s : {Slot::Main, Slot::Logo1, Slot::Logo2})
        picture(s).ClearPicture();
    const qint32 black = 0;
    panel().setBackColor(colors::White);
    outerBox().setBorderColor(black);
    outerBox().setBorderWidth(2);
    setRuleColor(black);
    setBoxShown(false);
    setTopRuleHidden(false);
    setBottomRuleHidden(false);
    setLowerSmall(true);
    setLowerBlack(false);
    // The headlines' reactions empty them.
    setTopText(QString());
    setBottomText(QString());
    pictures.mainPath.clear();
    pictures.logo1Path.clear();
    pictures.logo2Path.clear();
    bottomRule().Show();
    topRule().Show();
    for (int n = 1; n <= TitleLines; ++n)
        titleLine(n).setCaption(QString());
    setRuleThicknessTyped(QStringLiteral("4"));
    // Open sets the rules without the field, so it may read 4 already while they differ.
    topRule().setBorderWidth(4);
    bottomRule().setBorderWidth(4);
    bottomHeadline().setForeColor(black);
    topHeadline().setForeColor(black);
    CoverLabel &style = titleLine(7);
    style.setForeColor(black);
    style.setFontSize(defaults.fontSize);
    for (CoverLabel *l : {&style, &bottomHeadline(), &topHeadline()})
        l->setFontName(defaults.fontName);
    bottomHeadline().setFontSize(defaults.fontSize);
    topHeadline().setFontSize(defaults.fontSize);
    setTitlesShown(true); // shown, now empty
    titles.list.clear();
    caseSet = {};
}

void CoverDocument::applyTrackImport(const tracklist::CoverTexts &texts)
{
    setTitleList(texts.titles);
    if (texts.topHeadline)
        setTopText(*texts.topHeadline);
    if (texts.bottomHeadline)
        setBottomText(*texts.bottomHeadline);
    setTitlesShown(true);
}
