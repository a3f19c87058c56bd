#include "coverdocument.h"

#include <QGuiApplication>
#include <QPainter>

#include <cmath>

#include "colors.h"
#include "textnumber.h"

namespace {

// The circle-P symbol, drawn once at 100 x 100 (when first shown) and stretched to its box;
// shared by every copy.
const QImage &circlePSymbol()
{
    static const QImage symbol = [] {
        QImage img(100, 100, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::black, 9));
        p.drawEllipse(QRectF(6, 6, 88, 88));
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(64);
        f.setBold(true);
        p.setFont(f);
        p.drawText(QRectF(0, 0, 100, 100), Qt::AlignCenter, QStringLiteral("P"));
        return img;
    }();
    return symbol;
}

QString partName(int p)
{
    using D = CoverDocument;
    switch (p) {
    case D::Panel: return QStringLiteral("Shape1");
    case D::MainPicture: return QStringLiteral("Image1");
    case D::TopRule: return QStringLiteral("Line1");
    case D::BottomRule: return QStringLiteral("Line2");
    case D::OuterBox: return QStringLiteral("Shape2");
    case D::Logo1: return QStringLiteral("Image2");
    case D::Logo2: return QStringLiteral("Image3");
    case D::NoticeLeft: return QStringLiteral("Label28");
    case D::NoticeSymbol: return QStringLiteral("Image4");
    case D::NoticeRight: return QStringLiteral("Label29");
    case D::BottomHeadline: return QStringLiteral("Label3");
    case D::TopHeadline: return QStringLiteral("Label2");
    default: return QStringLiteral("Label%1").arg(p - D::FirstTitleLine + 4);
    }
}

} // namespace

CoverDocument::CoverDocument(const QString &uiFontName, float uiFontSize)
{
    const QString uiFace = uiFontName.isEmpty() ? QGuiApplication::font().family() : uiFontName;
    const float uiSize =
        uiFontName.isEmpty() ? static_cast<float>(QGuiApplication::font().pointSizeF()) : uiFontSize;
    for (int p = 0; p < PartCount; ++p) {
        const QString name = partName(p);
        std::unique_ptr<CoverElement> e;
        switch (p) {
        case Panel:
        case OuterBox: e = std::make_unique<CoverShape>(name, nullptr); break;
        case TopRule:
        case BottomRule: e = std::make_unique<CoverLine>(name, nullptr); break;
        case MainPicture:
        case Logo1:
        case Logo2:
        case NoticeSymbol: e = std::make_unique<CoverImage>(name, nullptr); break;
        default: e = std::make_unique<CoverLabel>(name, nullptr); break;
        }
        order_.push_back(e.get());
        parts_[size_t(p)] = std::move(e);
    }

    CoverShape &back = panel();
    back.Move(0, 0, FrontWidth, FrontWidth);
    back.setFilled(true);
    back.setBackColor(colors::White);
    back.setOutline(CoverShape::Outline::DashDotDot);
    back.setBorderColor(colors::WindowText);

    mainPicture().Move(32, 76, 393, 289);
    for (auto [rule, y] : {std::pair{&topRule(), 64.0}, std::pair{&bottomRule(), 392.0}}) {
        rule->setX1(24);
        rule->setY1(y);
        rule->setX2(432);
        rule->setY2(y);
        rule->setBorderWidth(4);
        rule->setBorderColor(0);
    }
    CoverShape &frame = outerBox();
    frame.Move(6, 6, 441, 443);
    frame.setOutline(CoverShape::Outline::InsideSolid);
    frame.setBorderWidth(2);
    frame.setBorderColor(0);
    frame.Hide();
    logo1().Move(25, 400, 40, 40);
    logo2().Move(390, 400, 40, 40);

    // The paragraph's box is set below: it never takes the size of its text, so it is not
    // measured in the face it starts with.
    titleLine(24).setAutoSize(false);
    for (int n = 1; n <= TitleLines; ++n) {
        CoverLabel &l = titleLine(n);
        l.setFontName(uiFace);
        l.setFontSize(uiSize);
        if (n <= 10) {
            l.setLeft(50);
            l.setTop(80 + 20 * (n - 1));
        } else if (n <= 20) {
            l.setLeft(250);
            l.setTop(80 + 20 * (n - 11));
        }
        l.Hide();
    }
    // The credit lines start in small type ("Lower Small" starts ticked).
    titleLine(21).setLeft(50);
    titleLine(21).setTop(280);
    titleLine(22).setLeft(50);
    titleLine(22).setTop(300);
    titleLine(23).setLeft(250);
    titleLine(23).setTop(300);
    for (int n : {21, 22, 23})
        titleLine(n).setFontSize(7);
    CoverLabel &paragraph = titleLine(24);
    paragraph.setWordWrap(true);
    paragraph.setFontName(QStringLiteral("Arial"));
    paragraph.setFontSize(6);
    paragraph.Move(50, 320, 360, 100);

    for (CoverLabel *l : {&noticeLeft(), &noticeRight()}) {
        l->setFontName(QStringLiteral("Arial"));
        l->setFontSize(3.75f);
        l->setTop(NoticeBaseLine);
        l->Hide();
    }
    noticeLeft().setCaption(NoticeLeftText());
    noticeLeft().setLeft(165);
    noticeRight().setLeft(224);
    noticeSymbol().Move(210, NoticeBaseLine, 6, 6);
    noticeSymbol().SetBuiltIn(circlePSymbol, QSize(100, 100));
    noticeSymbol().Hide();

    CoverLabel &lower = bottomHeadline();
    lower.setFontName(QStringLiteral("MS Sans Serif"));
    lower.setFontSize(13.5f);
    lower.setLeft(96);
    lower.setTop(408);
    CoverLabel &upper = topHeadline();
    upper.setFontName(QStringLiteral("MS Sans Serif"));
    upper.setFontSize(18);
    upper.setFontBold(true);
    upper.setLeft(104);
    upper.setTop(8);

    // The fields are filled as the window starts, each with its reaction: the year lays out
    // the notice row, the picture's size centres it (Left 31.5).
    using textnum::PositionText;
    defaults = {uiFace, uiSize};
    setNoticeYear(textnum::YearText());
    setTopTopTyped(PositionText(upper.Top()));
    setTopLeftTyped(PositionText(upper.Left()));
    setPictureWidthTyped(PositionText(mainPicture().Width()));
    setPictureHeightTyped(PositionText(mainPicture().Height()));
    setBottomTopTyped(PositionText(lower.Top()));
    setBottomLeftTyped(PositionText(lower.Left()));
}

CoverDocument::CoverDocument(const CoverDocument &other)
    : top(other.top), bottom(other.bottom), rules(other.rules), box(other.box), pictures(other.pictures),
      titles(other.titles), notice(other.notice), layout(other.layout), defaults(other.defaults),
      caseSet(other.caseSet)
{
    for (size_t p = 0; p < parts_.size(); ++p)
        parts_[p] = other.parts_[p]->clone();
    order_.reserve(other.order_.size());
    for (const CoverElement *e : other.order_)
        for (size_t p = 0; p < parts_.size(); ++p)
            if (other.parts_[p].get() == e)
                order_.push_back(parts_[p].get());
}

CoverDocument &CoverDocument::operator=(const CoverDocument &other)
{
    if (this == &other)
        return *this;
    for (size_t p = 0; p < parts_.size(); ++p)
        parts_[p]->assign(*other.parts_[p]);
    for (size_t i = 0; i < order_.size(); ++i)
        for (size_t p = 0; p < parts_.size(); ++p)
            if (other.parts_[p].get() == other.order_[i])
                order_[i] = parts_[p].get();
    top = other.top;
    bottom = other.bottom;
    rules = other.rules;
    box = other.box;
    pictures = other.pictures;
    titles = other.titles;
    notice = other.notice;
    layout = other.layout;
    defaults = other.defaults;
    caseSet = other.caseSet;
    return *this;
}

CoverDocument::~CoverDocument() = default;

bool CoverDocument::operator==(const CoverDocument &other) const
{
    if (!(top == other.top && bottom == other.bottom && rules == other.rules && box == other.box &&
          pictures == other.pictures && titles == other.titles && notice == other.notice &&
          layout == other.layout && defaults == other.defaults && caseSet == other.caseSet))
        return false;
    for (size_t p = 0; p < parts_.size(); ++p)
        if (!parts_[p]->sameAs(*other.parts_[p]))
            return false;
    for (size_t i = 0; i < order_.size(); ++i)
        if (order_[i]->name() != other.order_[i]->name())
            return false;
    return true;
}

void CoverDocument::setChangeNotice(const std::function<void()> &changed)
{
    for (auto &p : parts_)
        p->setChangeNotice(changed);
}

void CoverDocument::bringToFront(Part p)
{
    CoverElement *e = parts_[size_t(p)].get();
    auto it = std::find(order_.begin(), order_.end(), e);
    if (it == order_.end() || it + 1 == order_.end())
        return;
    std::rotate(it, it + 1, order_.end());
}

void CoverDocument::paint(QPainter &p, bool printing, bool withPanel) const
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    // A long list takes the place of the 20 title lines, where the first of them is painted.
    const bool longList = LongList();
    const CoverElement *firstLine = parts_[size_t(FirstTitleLine)].get();
    // Title lines 1 to 23 (titles and credit lines) by their number; 0 for any other part.
    const auto lineOf = [this](const CoverElement *e) {
        for (int n = 1; n <= CoverTitleLines + 3; ++n)
            if (e == &titleLine(n))
                return n;
        return 0;
    };
    // The title and credit lines end inside the cut line.
    const double edge = LineEdge();
    for (const CoverElement *e : order_) {
        if (!e->Visible() || (!withPanel && e == parts_[size_t(Panel)].get()))
            continue;
        p.save();
        const int line = lineOf(e);
        if (longList && line >= 1 && line <= CoverTitleLines) {
            if (e == firstLine)
                paintList(p);
        } else if (line > 0) {
            static_cast<const CoverLabel *>(e)->paintWithin(p, edge);
        } else {
            e->paint(p, printing);
        }
        p.restore();
    }
}

double CoverDocument::LineEdge() const
{
    const CoverShape &cut = panel();
    return cut.Left() + cut.Width() - cut.BorderWidth();
}

CoverDocument::CutShort CoverDocument::TitlesCutShort() const
{
    CutShort out;
    if (LongList())
        out.inColumns = LayOutList().cut;
    const double edge = LineEdge();
    for (int n = LongList() ? CoverTitleLines + 1 : 1; n <= CoverTitleLines + 3; ++n)
        if (titleLine(n).Visible() && titleLine(n).Crosses(edge))
            ++out.atEdge;
    return out;
}

double CoverDocument::Centred(double width, Centring how) const
{
    const double q = (static_cast<double>(layout.panelWidth) - width) / 2.0;
    switch (how) {
    case Centring::Truncated: return std::trunc(q);
    case Centring::TruncatedAbsolute: return std::fabs(std::trunc(q));
    case Centring::Exact: break;
    }
    return q;
}

QString CoverDocument::NoticeLeftText()
{
    return QStringLiteral("Copyright ") + QChar(0x00A9);
}

CoverImage &CoverDocument::picture(Slot slot)
{
    switch (slot) {
    case Slot::Logo1: return logo1();
    case Slot::Logo2: return logo2();
    case Slot::Main: break;
    }
    return mainPicture();
}

const QString &CoverDocument::picturePath(Slot slot) const
{
    switch (slot) {
    case Slot::Logo1: return pictures.logo1Path;
    case Slot::Logo2: return pictures.logo2Path;
    case Slot::Main: break;
    }
    return pictures.mainPath;
}
