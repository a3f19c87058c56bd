#include "cover_elements.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QImageReader>
#include <QPainter>
#include <QPen>

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
    if (!autoSize_ || wordWrap_)
        return;
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
LABEL_SETTER(setAutoSize, autoSize_, bool)
LABEL_SETTER(setWordWrap, wordWrap_, bool)
#undef LABEL_SETTER

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

void CoverLabel::paint(QPainter &p, bool) const
{
    const QRectF r = rect();
    if (!caption_.isEmpty()) {
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
                   flags, caption_);
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

QImage DecodePicture(const QString &path, const QSize &bound, QSize *sourceSize, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return QImage();
    };
    const QFileInfo fi(path);
    if (!fi.exists())
        return fail(QStringLiteral("The file does not exist."));
    if (!fi.isFile())
        return fail(QStringLiteral("Not a regular file."));
    QImageReader reader(path);
    reader.setAutoTransform(true);
    if (!reader.canRead())
        return fail(QStringLiteral("Not a picture that can be read."));
    const QSize src = reader.size();
    if (src.isValid()) {
        if (sourceSize)
            *sourceSize = src;
        QSize target = src;
        if (bound.isValid())
            target = QSize(std::min(src.width(), bound.width()), std::min(src.height(), bound.height()));
        if (target != src)
            reader.setScaledSize(target);
    }
    QImage img = reader.read();
    if (img.isNull())
        return fail(reader.errorString());
    if (!src.isValid() && sourceSize)
        *sourceSize = img.size();
    return img;
}

CoverImage::CoverImage(QString name, std::function<void()> changed)
    : BoxElement(std::move(name), Kind::Image, std::move(changed))
{}

QSize CoverImage::screenTarget(const QSize &want) const
{
    QSize t(std::max(want.width(), MinScreenCopy), std::max(want.height(), MinScreenCopy));
    return sourceSize_.isValid() ? t.boundedTo(sourceSize_) : t;
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
    QSize source;
    const QSize want(std::max(box.width(), MinScreenCopy), std::max(box.height(), MinScreenCopy));
    QImage img = DecodePicture(path, want, &source, error);
    if (img.isNull())
        return false;
    path_ = path;
    sourceSize_ = source;
    screen_ = std::move(img);
    cache_ = QPixmap();
    printCopy_ = QImage();
    changed();
    return true;
}

void CoverImage::ClearPicture()
{
    if (screen_.isNull() && path_.isEmpty())
        return;
    path_.clear();
    sourceSize_ = QSize();
    screen_ = QImage();
    cache_ = QPixmap();
    printCopy_ = QImage();
    changed();
}

void CoverImage::SetBuiltIn(const QImage &img)
{
    path_.clear();
    screen_ = img;
    sourceSize_ = img.size();
    cache_ = QPixmap();
    changed();
}

QImage CoverImage::printImage(const QSizeF &deviceSize, const QSizeF &boxSize) const
{
    if (path_.isEmpty() || !sourceSize_.isValid())
        return screen_;
    // Paper gets the picture at the printer's resolution for its box, up to
    // MaxPrintDpi; finer detail cannot be seen and only slows the job.
    const double cap = MaxPrintDpi / 96.0;
    const QSize want(std::max(1, int(std::ceil(std::min(deviceSize.width(), boxSize.width() * cap)))),
                     std::max(1, int(std::ceil(std::min(deviceSize.height(), boxSize.height() * cap)))));
    if (screen_.width() >= want.width() && screen_.height() >= want.height())
        return screen_;
    // The decoder scales JPEGs by 1/2, 1/4 and 1/8 for nearly nothing; any
    // other size costs a slow resampling pass, so take the smallest of those
    // that still covers the box.
    QSize target = sourceSize_;
    for (int k : {8, 4, 2}) {
        const QSize s(sourceSize_.width() / k, sourceSize_.height() / k);
        if (s.width() >= want.width() && s.height() >= want.height()) {
            target = s;
            break;
        }
    }
    if (printCopy_.size() == target)
        return printCopy_;
    QImage img = DecodePicture(path_, target, nullptr, nullptr);
    if (img.isNull())
        return screen_;
    printCopy_ = std::move(img);
    return printCopy_;
}

void CoverImage::paint(QPainter &p, bool printing) const
{
    if (screen_.isNull() || width_ <= 0 || height_ <= 0)
        return;
    const QRectF r = rect();
    if (printing) {
        const QRectF dev = p.transform().mapRect(r);
        p.drawImage(r, printImage(dev.size(), r.size()));
        return;
    }
    // Keep a copy scaled for the screen so a repaint costs a blit.
    const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    const QSize want(std::max(1, int(std::ceil(r.width() * dpr))),
                     std::max(1, int(std::ceil(r.height() * dpr))));
    if (cache_.isNull() || cacheSize_ != want) {
        // A box grown past the decoded copy reads the picture again at its size.
        const QSize target = screenTarget(want);
        if (!path_.isEmpty() && (screen_.width() < target.width() || screen_.height() < target.height())) {
            QImage again = DecodePicture(path_, target, nullptr, nullptr);
            if (!again.isNull())
                screen_ = std::move(again);
        }
        cache_ = QPixmap::fromImage(screen_.scaled(want, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        cache_.setDevicePixelRatio(dpr);
        cacheSize_ = want;
    }
    p.drawPixmap(r, cache_, QRectF(QPointF(0, 0), QSizeF(cache_.size())));
}
