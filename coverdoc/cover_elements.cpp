#include "cover_elements.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

#include "colors.h"
#include "fonts.h"

void CoverElement::setVisible(bool v)
{
    if (visible_ == v)
        return;
    visible_ = v;
    changed();
}

bool BoxElement::acceptsCoordinate(double v)
{
    return std::isfinite(v) && v >= -32768.0 && v <= 32767.0;
}

// Geometry is held at single precision, as the window stores it.
static double single(double v)
{
    return static_cast<double>(static_cast<float>(v));
}

bool BoxElement::setLeft(double v)
{
    if (!acceptsCoordinate(v))
        return false;
    if (left_ != single(v)) {
        left_ = single(v);
        changed();
    }
    return true;
}

bool BoxElement::setTop(double v)
{
    if (!acceptsCoordinate(v))
        return false;
    if (top_ != single(v)) {
        top_ = single(v);
        changed();
    }
    return true;
}

bool BoxElement::setWidth(double v)
{
    if (!acceptsCoordinate(v) || v < 0)
        return false;
    settle();
    if (width_ != single(v)) {
        width_ = single(v);
        changed();
    }
    return true;
}

bool BoxElement::setHeight(double v)
{
    if (!acceptsCoordinate(v) || v < 0)
        return false;
    settle();
    if (height_ != single(v)) {
        height_ = single(v);
        changed();
    }
    return true;
}

void BoxElement::Move(double left, double top, double width, double height)
{
    setLeft(left);
    setTop(top);
    setWidth(width);
    setHeight(height);
}

// ---------------------------------------------------------------- labels

CoverLabel::CoverLabel(QString name, std::function<void()> changed)
    : BoxElement(std::move(name), Kind::Label, std::move(changed)), foreColor_(colors::WindowText)
{}

QFont CoverLabel::font() const
{
    QFont f(fontName_);
    f.setPointSizeF(fontSize_ > 0 ? static_cast<double>(fontSize_) : 1.0);
    f.setBold(bold_);
    f.setItalic(italic_);
    f.setStrikeOut(strike_);
    f.setUnderline(underline_);
    // Unhinted metrics are the same on screen and paper.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

void CoverLabel::resize()
{
    if (autoSize_ && !wordWrap_)
        sizePending_ = true;
}

void CoverLabel::measure() const
{
    sizePending_ = false;
    const QFontMetricsF fm(font(), fonts::Reference96());
    width_ = std::ceil(fm.horizontalAdvance(caption_));
    height_ = std::ceil(fm.height());
}

void CoverLabel::setCaption(const QString &text)
{
    if (caption_ == text)
        return;
    caption_ = text;
    resize();
    changed();
}

#define LABEL_SETTER(fn, member, type)                                                                       \
    void CoverLabel::fn(type v)                                                                              \
    {                                                                                                        \
        if (member == v)                                                                                     \
            return;                                                                                          \
        member = v;                                                                                          \
        resize();                                                                                            \
        changed();                                                                                           \
    }
LABEL_SETTER(setFontName, fontName_, const QString &)
LABEL_SETTER(setFontBold, bold_, bool)
LABEL_SETTER(setFontItalic, italic_, bool)
LABEL_SETTER(setFontStrikethru, strike_, bool)
LABEL_SETTER(setFontUnderline, underline_, bool)
#undef LABEL_SETTER

// A label that stops sizing itself keeps the size its text had.
void CoverLabel::setAutoSize(bool on)
{
    if (autoSize_ == on)
        return;
    if (!on)
        settle();
    autoSize_ = on;
    resize();
    changed();
}

void CoverLabel::setWordWrap(bool on)
{
    if (wordWrap_ == on)
        return;
    if (on)
        settle();
    wordWrap_ = on;
    resize();
    changed();
}

void CoverLabel::setFontSize(float pt)
{
    if (!std::isfinite(pt) || pt <= 0 || pt > 2048 || fontSize_ == pt)
        return;
    fontSize_ = pt;
    resize();
    changed();
}

void CoverLabel::setForeColor(qint32 c)
{
    if (foreColor_ == c)
        return;
    foreColor_ = c;
    changed();
}

void CoverLabel::setBorderStyle(Border style)
{
    if (borderStyle_ == style)
        return;
    borderStyle_ = style;
    changed();
}

void CoverLabel::setAlignment(Align a)
{
    if (alignment_ == a)
        return;
    alignment_ = a;
    changed();
}

std::unique_ptr<CoverElement> CoverLabel::clone() const
{
    return std::unique_ptr<CoverElement>(new CoverLabel(*this));
}

void CoverLabel::assign(const CoverElement &other)
{
    if (sameAs(other))
        return;
    const auto &o = static_cast<const CoverLabel &>(other);
    assignBox(o);
    caption_ = o.caption_;
    fontName_ = o.fontName_;
    fontSize_ = o.fontSize_;
    bold_ = o.bold_;
    italic_ = o.italic_;
    strike_ = o.strike_;
    underline_ = o.underline_;
    foreColor_ = o.foreColor_;
    autoSize_ = o.autoSize_;
    wordWrap_ = o.wordWrap_;
    borderStyle_ = o.borderStyle_;
    alignment_ = o.alignment_;
    changed();
}

bool CoverLabel::sameAs(const CoverElement &other) const
{
    const auto &o = static_cast<const CoverLabel &>(other);
    // Two sizes still to measure from the same text and font are the same: neither is measured.
    const bool pending = sizePending_ && o.sizePending_;
    return (pending ? sameBase(o) && left_ == o.left_ && top_ == o.top_ : sameBox(o)) &&
           caption_ == o.caption_ && fontName_ == o.fontName_ && fontSize_ == o.fontSize_ &&
           bold_ == o.bold_ && italic_ == o.italic_ && strike_ == o.strike_ && underline_ == o.underline_ &&
           foreColor_ == o.foreColor_ && autoSize_ == o.autoSize_ && wordWrap_ == o.wordWrap_ &&
           borderStyle_ == o.borderStyle_ && alignment_ == o.alignment_;
}

bool CoverLabel::Crosses(double right) const
{
    // The measured width is rounded up: within it, the text is within too.
    if (caption_.isEmpty() || !autoSize_ || wordWrap_ || left_ + Width() <= right)
        return false;
    return left_ + QFontMetricsF(font(), fonts::Reference96()).horizontalAdvance(caption_) > right;
}

void CoverLabel::paintWithin(QPainter &p, double right) const
{
    if (!Crosses(right)) {
        paintText(p, caption_);
        return;
    }
    const QFontMetricsF fm(font(), fonts::Reference96());
    paintText(p, fm.elidedText(caption_, Qt::ElideRight, std::max(0.0, right - left_)));
}

void CoverLabel::paint(QPainter &p, bool) const
{
    paintText(p, caption_);
}

void CoverLabel::paintText(QPainter &p, const QString &caption) const
{
    const QRectF r = rect();
    if (!caption.isEmpty()) {
        p.setFont(fonts::ForDevice(font(), p.device()));
        p.setPen(colors::ToQColor(foreColor_));
        int flags = Qt::AlignTop | Qt::TextExpandTabs;
        flags |= alignment_ == Align::Centre  ? Qt::AlignHCenter
                 : alignment_ == Align::Right ? Qt::AlignRight
                                              : Qt::AlignLeft;
        if (wordWrap_ || !autoSize_)
            flags |= Qt::TextWordWrap;
        p.save();
        if (!autoSize_)
            p.setClipRect(r);
        // Self-sizing labels never clip: their box is their text.
        p.drawText(autoSize_ && !wordWrap_ ? QRectF(r.topLeft(), QSizeF(r.width() + 64, r.height())) : r,
                   flags, caption);
        p.restore();
    }
    if (borderStyle_ == Border::FixedSingle && r.width() > 0 && r.height() > 0) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
    }
}

// ---------------------------------------------------------------- lines

CoverLine::CoverLine(QString name, std::function<void()> changed)
    : CoverElement(std::move(name), Kind::Line, std::move(changed))
{}

#define LINE_COORD(fn, member)                                                                               \
    void CoverLine::fn(double v)                                                                             \
    {                                                                                                        \
        if (!BoxElement::acceptsCoordinate(v) || member == single(v))                                        \
            return;                                                                                          \
        member = single(v);                                                                                  \
        changed();                                                                                           \
    }
LINE_COORD(setX1, x1_)
LINE_COORD(setY1, y1_)
LINE_COORD(setX2, x2_)
LINE_COORD(setY2, y2_)
#undef LINE_COORD

bool CoverLine::setBorderWidth(int w)
{
    if (w < 1 || w > MaxBorderWidth)
        return false;
    if (borderWidth_ != w) {
        borderWidth_ = w;
        changed();
    }
    return true;
}

void CoverLine::setBorderColor(qint32 c)
{
    if (borderColor_ == c)
        return;
    borderColor_ = c;
    changed();
}

std::unique_ptr<CoverElement> CoverLine::clone() const
{
    return std::unique_ptr<CoverElement>(new CoverLine(*this));
}

void CoverLine::assign(const CoverElement &other)
{
    if (sameAs(other))
        return;
    const auto &o = static_cast<const CoverLine &>(other);
    assignBase(o);
    x1_ = o.x1_;
    y1_ = o.y1_;
    x2_ = o.x2_;
    y2_ = o.y2_;
    borderWidth_ = o.borderWidth_;
    borderColor_ = o.borderColor_;
    changed();
}

bool CoverLine::sameAs(const CoverElement &other) const
{
    const auto &o = static_cast<const CoverLine &>(other);
    return sameBase(o) && x1_ == o.x1_ && y1_ == o.y1_ && x2_ == o.x2_ && y2_ == o.y2_ &&
           borderWidth_ == o.borderWidth_ && borderColor_ == o.borderColor_;
}

void CoverLine::paint(QPainter &p, bool) const
{
    QPen pen(colors::ToQColor(borderColor_), borderWidth_);
    pen.setCapStyle(borderWidth_ > 1 ? Qt::RoundCap : Qt::FlatCap);
    p.setPen(pen);
    // A one-pixel line covers the pixel row it names.
    const double off = borderWidth_ % 2 ? 0.5 : 0.0;
    p.drawLine(QLineF(x1_, y1_ + off, x2_, y2_ + off));
}

// ---------------------------------------------------------------- shapes

CoverShape::CoverShape(QString name, std::function<void()> changed)
    : BoxElement(std::move(name), Kind::Shape, std::move(changed))
{}

void CoverShape::setBackColor(qint32 c)
{
    if (backColor_ == c)
        return;
    backColor_ = c;
    changed();
}

void CoverShape::setFilled(bool on)
{
    if (filled_ == on)
        return;
    filled_ = on;
    changed();
}

bool CoverShape::setBorderWidth(int w)
{
    if (w < 1 || w > CoverLine::MaxBorderWidth)
        return false;
    if (borderWidth_ != w) {
        borderWidth_ = w;
        changed();
    }
    return true;
}

void CoverShape::setBorderColor(qint32 c)
{
    if (borderColor_ == c)
        return;
    borderColor_ = c;
    changed();
}

void CoverShape::setOutline(Outline o)
{
    if (outline_ == o)
        return;
    outline_ = o;
    changed();
}

std::unique_ptr<CoverElement> CoverShape::clone() const
{
    return std::unique_ptr<CoverElement>(new CoverShape(*this));
}

void CoverShape::assign(const CoverElement &other)
{
    if (sameAs(other))
        return;
    const auto &o = static_cast<const CoverShape &>(other);
    assignBox(o);
    backColor_ = o.backColor_;
    filled_ = o.filled_;
    borderWidth_ = o.borderWidth_;
    borderColor_ = o.borderColor_;
    outline_ = o.outline_;
    changed();
}

bool CoverShape::sameAs(const CoverElement &other) const
{
    const auto &o = static_cast<const CoverShape &>(other);
    return sameBox(o) && backColor_ == o.backColor_ && filled_ == o.filled_ &&
           borderWidth_ == o.borderWidth_ && borderColor_ == o.borderColor_ && outline_ == o.outline_;
}

void CoverShape::paint(QPainter &p, bool) const
{
    const QRectF r = rect();
    if (filled_)
        p.fillRect(r, colors::ToQColor(backColor_));
    QPen pen(colors::ToQColor(borderColor_), borderWidth_);
    pen.setJoinStyle(Qt::MiterJoin);
    if (outline_ == Outline::DashDotDot) {
        pen.setStyle(Qt::DashDotDotLine);
        pen.setCapStyle(Qt::FlatCap);
    }
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    // The outline lies inside the bounds, so the outer edge is the box's edge.
    const double inset = borderWidth_ / 2.0;
    const QRectF inner = r.adjusted(inset, inset, -inset, -inset);
    if (inner.width() >= 0 && inner.height() >= 0)
        p.drawRect(inner);
}

// ---------------------------------------------------------------- pictures

namespace {

// The part of the device a painter reaches, in its logical coordinates.
QRectF reachable(const QPainter &p)
{
    bool invertible = false;
    const QTransform back = p.combinedTransform().inverted(&invertible);
    if (!invertible)
        return {};
    QRectF area = back.mapRect(QRectF(p.viewport()));
    if (p.hasClipping())
        area &= p.clipBoundingRect();
    return area;
}

// Device pixels per logical pixel, across and down.
QSizeF deviceScale(const QPainter &p)
{
    const QTransform t = p.transform();
    return {std::hypot(t.m11(), t.m12()), std::hypot(t.m21(), t.m22())};
}

// The pixels of the box scaled to `whole` that the logical part `shown` of the box `r` covers.
QRect partOf(const QRectF &r, const QRectF &shown, const QSize &whole)
{
    // A hair of tolerance, so an edge that lies on a pixel boundary stays there.
    constexpr double eps = 1e-6;
    const double kx = whole.width() / r.width(), ky = whole.height() / r.height();
    const int x0 = std::clamp(int(std::floor((shown.left() - r.left()) * kx + eps)), 0, whole.width());
    const int y0 = std::clamp(int(std::floor((shown.top() - r.top()) * ky + eps)), 0, whole.height());
    const int x1 = std::clamp(int(std::ceil((shown.right() - r.left()) * kx - eps)), x0, whole.width());
    const int y1 = std::clamp(int(std::ceil((shown.bottom() - r.top()) * ky - eps)), y0, whole.height());
    return {x0, y0, x1 - x0, y1 - y0};
}

// The logical rectangle that the pixels `part` of the box scaled to `whole` cover.
QRectF logicalOf(const QRectF &r, const QSize &whole, const QRectF &part)
{
    const double kx = r.width() / whole.width(), ky = r.height() / whole.height();
    return {r.left() + part.x() * kx, r.top() + part.y() * ky, part.width() * kx, part.height() * ky};
}

// The source pixels a part of the box scaled to `whole` shows, with a margin for
// the smoothing at its edges; `need` is the whole source at the detail the box needs.
QRect sourceArea(const QRect &part, const QSize &whole, const QSize &src, const QSize &need)
{
    const double kx = double(src.width()) / whole.width(), ky = double(src.height()) / whole.height();
    const int mx = 2 * int(std::ceil(double(src.width()) / need.width())) + 1;
    const int my = 2 * int(std::ceil(double(src.height()) / need.height())) + 1;
    const int x0 = std::max(0, int(std::floor(part.left() * kx)) - mx);
    const int y0 = std::max(0, int(std::floor(part.top() * ky)) - my);
    const int x1 = std::min(src.width(), int(std::ceil((part.left() + part.width()) * kx)) + mx);
    const int y1 = std::min(src.height(), int(std::ceil((part.top() + part.height()) * ky)) + my);
    return {x0, y0, std::max(1, x1 - x0), std::max(1, y1 - y0)};
}

// The pixels `part` of the whole box scaled to `whole`, from `piece`, which holds
// the source pixels `area` of a source of size `src`.
QImage drawPart(const QImage &piece, const QRect &area, const QSize &src, const QSize &whole,
                const QRect &part)
{
    const double kx = double(whole.width()) / src.width(), ky = double(whole.height()) / src.height();
    const QRectF target(area.x() * kx, area.y() * ky, area.width() * kx, area.height() * ky);
    // Where the box is smaller than the piece, the piece is scaled down smoothly
    // first, as the whole picture would be; what is left is enlarged pixel by pixel.
    const QSize down(std::min(piece.width(), std::max(1, qRound(target.width()))),
                     std::min(piece.height(), std::max(1, qRound(target.height()))));
    const QImage base =
        down == piece.size() ? piece : piece.scaled(down, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QImage out(part.size(), QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter q(&out);
    q.setRenderHint(QPainter::SmoothPixmapTransform, true);
    q.translate(-part.x(), -part.y());
    q.drawImage(target, base);
    return out;
}

} // namespace

CoverImage::CoverImage(QString name, std::function<void()> changed)
    : BoxElement(std::move(name), Kind::Image, std::move(changed))
{}

QSize CoverImage::screenTarget(const QSize &want) const
{
    QSize t(std::max(want.width(), MinScreenCopy), std::max(want.height(), MinScreenCopy));
    return SourceSize().isValid() ? t.boundedTo(SourceSize()) : t;
}

void CoverImage::hold(std::shared_ptr<Picture> picture)
{
    // What only this element's paper and huge boxes needed goes with it; the copies of the
    // document that still show the picture keep its screen copy.
    if (picture_.picture && picture_.picture != picture)
        picture_.picture->dropFinerCopies();
    picture_.picture = std::move(picture);
    picture_.shown = QPixmap();
}

bool CoverImage::LoadPicture(const QString &path, QString *error)
{
    if (path.isEmpty()) {
        ClearPicture();
        return true;
    }
    // Decoded at the size the box needs on screen; the full picture is read
    // again only for paper.
    const QSize box(int(std::ceil(width_)), int(std::ceil(height_)));
    const QSize want(std::max(box.width(), MinScreenCopy), std::max(box.height(), MinScreenCopy));
    std::shared_ptr<Picture> picture = Picture::Load(path, want, error);
    if (!picture)
        return false;
    path_ = path;
    paperOnly_ = false;
    builtIn_ = nullptr;
    hold(std::move(picture));
    changed();
    return true;
}

bool CoverImage::LoadPictureForPaper(const QString &path, QString *error)
{
    if (path.isEmpty()) {
        ClearPicture();
        return true;
    }
    QString why;
    std::shared_ptr<Picture> picture = Picture::Probe(path, &why);
    if (!why.isEmpty()) {
        if (error)
            *error = why;
        return false;
    }
    // A format that names no size before its pixels is read as the screen reads it.
    if (!picture)
        return LoadPicture(path, error);
    path_ = path;
    paperOnly_ = true;
    builtIn_ = nullptr;
    hold(std::move(picture));
    changed();
    return true;
}

void CoverImage::ClearPicture()
{
    paperOnly_ = false;
    if (!picture_.picture && path_.isEmpty() && !builtIn_)
        return;
    builtIn_ = nullptr;
    path_.clear();
    hold(nullptr);
    changed();
}

void CoverImage::SetBuiltIn(BuiltInPicture draw, QSize size)
{
    paperOnly_ = false;
    builtIn_ = draw;
    path_.clear();
    hold(Picture::Drawn(size));
    changed();
}

std::unique_ptr<CoverElement> CoverImage::clone() const
{
    return std::unique_ptr<CoverElement>(new CoverImage(*this));
}

void CoverImage::assign(const CoverElement &other)
{
    if (sameAs(other))
        return;
    const auto &o = static_cast<const CoverImage &>(other);
    assignBox(o);
    if (path_ != o.path_ || stamp() != o.stamp() || (path_.isEmpty() && !sameBuiltIn(o))) {
        builtIn_ = o.builtIn_;
        path_ = o.path_;
        paperOnly_ = o.paperOnly_;
        hold(o.picture_.picture);
    }
    picture_.shown = QPixmap();
    changed();
}

bool CoverImage::sameAs(const CoverElement &other) const
{
    const auto &o = static_cast<const CoverImage &>(other);
    // A file's picture is known by its file; a built-in one by its pixels.
    return sameBox(o) && path_ == o.path_ && stamp() == o.stamp() && SourceSize() == o.SourceSize() &&
           (!path_.isEmpty() || sameBuiltIn(o));
}

bool CoverImage::FileChanged() const
{
    return !path_.isEmpty() && FileStamp::Of(path_) != stamp();
}

QImage CoverImage::printImage(const QSizeF &deviceSize, const QSizeF &boxSize, const QSizeF &pageSize) const
{
    // Paper gets the picture at the printer's resolution for its box, up to
    // MaxPrintDpi; finer detail cannot be seen and only slows the job.
    const double cap = MaxPrintDpi / 96.0;
    const QSize want = CeilSize(std::min(deviceSize.width(), boxSize.width() * cap),
                                std::min(deviceSize.height(), boxSize.height() * cap));
    Picture &picture = *picture_.picture;
    if (picture.whole().width() >= want.width() && picture.whole().height() >= want.height())
        return picture.whole();
    // The decoder scales JPEGs by 1/2, 1/4 and 1/8 for nearly nothing; any
    // other size costs a slow resampling pass, so take the smallest of those
    // that still covers the box, unless it holds more pixels than the page.
    const QSize source = picture.sourceSize();
    QSize target = source;
    for (int k : {8, 4, 2}) {
        const QSize s(source.width() / k, source.height() / k);
        if (s.width() >= want.width() && s.height() >= want.height()) {
            target = s;
            break;
        }
    }
    const QSize page = CeilSize(pageSize.width(), pageSize.height());
    if (qint64(target.width()) * target.height() > qint64(page.width()) * page.height())
        target = want.boundedTo(source).boundedTo(page);
    return picture.paperWhole(target, want.boundedTo(source));
}

QImage CoverImage::PaperCrop(const QSize &size) const
{
    if (!HasPicture() || size.isEmpty())
        return {};
    drawBuiltIn();
    const Picture &picture = *picture_.picture;
    const QImage &screen = picture.whole();
    const QSize source = picture.sourceSize().isValid() ? picture.sourceSize() : screen.size();
    if (source.isEmpty())
        return {};
    // The largest part of the source with the target's shape, around its middle.
    const double aspect = double(size.width()) / size.height();
    QSizeF cut(source.width(), source.height());
    if (cut.width() / cut.height() > aspect)
        cut.setWidth(cut.height() * aspect);
    else
        cut.setHeight(cut.width() / aspect);
    // The whole picture at the scale the target needs of it, never above the source.
    const double k = std::min(1.0, size.width() / cut.width());
    const QSize need = CeilSize(source.width() * k, source.height() * k).boundedTo(source);
    const auto fine = [&need](const QImage &img) {
        return !img.isNull() && img.width() >= need.width() && img.height() >= need.height();
    };
    const bool sameFile = !path_.isEmpty() && picture.unchanged();
    QImage whole;
    if (sameFile && fine(picture.paperOfWhole()))
        whole = picture.paperOfWhole();
    else if (fine(screen))
        whole = screen;
    else if (sameFile)
        whole = picture.read(need);
    // Noted as a paint on paper notes it: the file changed, or it could not be read again.
    if (!path_.isEmpty() && !sameFile)
        picture_.note = QStringLiteral("%1 has changed or is gone since it was loaded: the print used the "
                                       "picture's screen copy.")
                            .arg(path_);
    else if (!path_.isEmpty() && whole.isNull())
        picture_.note = QStringLiteral("%1 could not be read again: the print used the picture's screen "
                                       "copy.")
                            .arg(path_);
    if (whole.isNull())
        whole = screen;
    if (whole.isNull())
        return {};
    const double sx = double(whole.width()) / source.width();
    const double sy = double(whole.height()) / source.height();
    const QRect part(int(std::lround((source.width() - cut.width()) / 2 * sx)),
                     int(std::lround((source.height() - cut.height()) / 2 * sy)),
                     std::max(1, int(std::lround(cut.width() * sx))),
                     std::max(1, int(std::lround(cut.height() * sy))));
    return whole.copy(part).scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void CoverImage::SharePaperCopy(const CoverImage &other) const
{
    // The paper copy itself is shared already: copies of a document hold the same picture.
    if (picture_.note.isEmpty() && this != &other)
        picture_.note = other.picture_.note;
}

void CoverImage::paintOnPaper(QPainter &p, const QRectF &r, const QRectF &shown) const
{
    Picture &picture = *picture_.picture;
    const QSize source = picture.sourceSize();
    QImage img;
    QRectF target = r;
    if (!path_.isEmpty() && source.isValid()) {
        if (!picture.unchanged()) {
            picture_.note =
                QStringLiteral("%1 has changed or is gone since it was loaded: the print used the "
                               "picture's screen copy.")
                    .arg(path_);
        } else {
            const QSizeF k = deviceScale(p);
            const double cap = MaxPrintDpi / 96.0;
            const QSizeF dots(std::min(k.width(), cap), std::min(k.height(), cap));
            const QSize whole = CeilSize(r.width() * dots.width(), r.height() * dots.height());
            const QRect part = partOf(r, shown, whole);
            const QRectF page = reachable(p);
            const QSizeF pageDots(page.width() * dots.width(), page.height() * dots.height());
            if (part != QRect(QPoint(0, 0), whole)) {
                // Only the part of the box on the page, at the print resolution.
                const QSize need = whole.boundedTo(source);
                const QRect area = sourceArea(part, whole, source, need);
                img = picture.paperPart(area, need);
                target = logicalOf(r, source, area);
            }
            // The whole picture where the box is whole on the page, or where its
            // format cannot be cut (a turned photograph).
            if (img.isNull()) {
                img = printImage(QSizeF(r.width() * k.width(), r.height() * k.height()), r.size(), pageDots);
                target = r;
            }
            if (img.isNull())
                picture_.note =
                    QStringLiteral("%1 could not be read again: the print used the picture's screen "
                                   "copy.")
                        .arg(path_);
        }
    }
    if (img.isNull()) {
        img = picture.whole();
        target = r;
    }
    picture_.printed = img.size();
    p.drawImage(target, img);
}

QImage CoverImage::screenPart(const QSize &whole, const QRect &part) const
{
    Picture &picture = *picture_.picture;
    // The file is read again only while it is the one loaded: the screen never
    // mixes in another picture that took its name.
    const bool sameFile = !path_.isEmpty() && picture.unchanged();
    if (part == QRect(QPoint(0, 0), whole)) {
        picture.dropDetail();
        // A box grown past the decoded copy reads the picture again at its size.
        if (sameFile)
            picture.wholeAtLeast(screenTarget(whole));
        return picture.whole().scaled(whole, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    // Only part of the box shows: that part is made, from the whole picture when
    // it is small enough to keep, else from the part of the source it shows.
    const QSize src = picture.sourceSize().isValid() ? picture.sourceSize() : picture.whole().size();
    const QSize need = whole.boundedTo(src);
    const QRect all(QPoint(0, 0), src);
    if (sameFile && (picture.whole().width() < need.width() || picture.whole().height() < need.height())) {
        if (qint64(need.width()) * need.height() <= MaxWholeDecode) {
            picture.wholeAtLeast(need);
        } else {
            const QImage detail = picture.detail(sourceArea(part, whole, src, need), need);
            if (!detail.isNull())
                return drawPart(detail, picture.detailArea(), src, whole, part);
        }
    }
    return drawPart(picture.whole(), all, src, whole, part);
}

void CoverImage::paintOnScreen(QPainter &p, const QRectF &r, const QRectF &shown) const
{
    // Keep a copy scaled for the screen so a repaint costs a blit.
    const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    const QSizeF k = deviceScale(p);
    const QSize whole = CeilSize(r.width() * dpr * k.width(), r.height() * dpr * k.height());
    const QRect part = partOf(r, shown, whole);
    if (part.isEmpty())
        return;
    PictureHandle &h = picture_;
    if (h.shown.isNull() || h.shownWhole != whole || h.shownPart != part) {
        h.shown = QPixmap::fromImage(screenPart(whole, part));
        h.shown.setDevicePixelRatio(dpr);
        h.shownWhole = whole;
        h.shownPart = part;
    }
    p.drawPixmap(logicalOf(r, whole, part), h.shown, QRectF(QPointF(0, 0), QSizeF(h.shown.size())));
}

void CoverImage::paint(QPainter &p, bool printing) const
{
    if (printing)
        picture_.note.clear();
    if (!HasPicture() || width_ <= 0 || height_ <= 0)
        return;
    drawBuiltIn();
    const QRectF r = rect();
    // Only what the device shows of the box costs work, however large the box.
    const QRectF shown = r & reachable(p);
    if (shown.isEmpty())
        return;
    if (printing)
        paintOnPaper(p, r, shown);
    else
        paintOnScreen(p, r, shown);
}
