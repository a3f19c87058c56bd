#include "cover_elements.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImageReader>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include <png.h>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

#include "bigimage.h"
#include "colors.h"
#include "fonts.h"
#include "inputs.h"

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

QSize ceilSize(double w, double h)
{
    return {std::max(1, int(std::ceil(w))), std::max(1, int(std::ceil(h)))};
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

// The size at which `area` of the source is decoded for the detail `need`.
QSize areaSize(const QRect &area, const QSize &src, const QSize &need)
{
    return ceilSize(area.width() * double(need.width()) / src.width(),
                    area.height() * double(need.height()) / src.height());
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

// A large picture is decoded into memory set up to fault in few, large pages
// (see bigimage.h); the reader uses it when its format and size are as
// expected, and allocates its own otherwise.
QImage preallocated(const QImageReader &reader, const QSize &size)
{
    const QImage::Format format = reader.imageFormat();
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    const qint64 bytes = qint64(size.width()) * size.height() * depth / 8;
    const qint64 limit = qint64(QImageReader::allocationLimit()) << 20;
    if (size.isEmpty() || depth <= 0 || bytes < bigimage::MinBytes || (limit > 0 && bytes > limit))
        return {};
    return bigimage::Allocate(size, format);
}

// PNG pictures that Qt would decode whole before scaling (16 bits a channel,
// grey, palette, interlaced) are read here row by row instead: each source
// pixel of `area` is added into the output pixel it falls in, so memory
// follows the output size, not the source's.
struct PngJob {
    QFile file;
    QRect area;
    QSize size;
    std::vector<unsigned char> row;  // one source row, RGBA 8 bits
    std::vector<std::uint64_t> sums; // premultiplied R, G, B, A and a count per output pixel
    int firstRow = 0;                // output row that sums[0] belongs to
    int rowsKept = 1;
    QImage out;
    QString error;
};

void pngRead(png_structp png, png_bytep data, png_size_t length)
{
    auto *job = static_cast<PngJob *>(png_get_io_ptr(png));
    if (job->file.read(reinterpret_cast<char *>(data), qint64(length)) != qint64(length))
        png_error(png, "truncated file");
}

void pngError(png_structp png, png_const_charp message)
{
    auto *job = static_cast<PngJob *>(png_get_error_ptr(png));
    job->error = QString::fromLatin1(message);
    png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp)
{}

// Writes the kept output rows from `first` on into the picture and clears them.
void flushPngRows(PngJob &job, int first, int count)
{
    const int w = job.size.width();
    for (int r = 0; r < count; ++r) {
        auto *line = reinterpret_cast<QRgb *>(job.out.scanLine(first + r));
        std::uint64_t *s = job.sums.data() + std::size_t(first - job.firstRow + r) * std::size_t(w) * 5;
        for (int x = 0; x < w; ++x, s += 5) {
            const std::uint64_t n = s[4] ? s[4] : 1;
            const auto a = int(s[3] / n);
            // Colour sums carry the alpha factor; dividing by 255 keeps them premultiplied.
            line[x] = qRgba(int(s[0] / (255 * n)), int(s[1] / (255 * n)), int(s[2] / (255 * n)), a);
            std::fill(s, s + 5, 0);
        }
    }
}

// Adds `cols` pixels of job.row, the pixels at x = x0, x0 + dx, ... of source row y.
void addPngRow(PngJob &job, int y, int x0, int dx, int cols)
{
    const QRect &a = job.area;
    if (y < a.top() || y > a.bottom())
        return;
    const int w = job.size.width();
    const int oy = int(qint64(y - a.top()) * job.size.height() / a.height());
    if (job.rowsKept == 1 && oy != job.firstRow) {
        flushPngRows(job, job.firstRow, 1);
        job.firstRow = oy;
    }
    std::uint64_t *line = job.sums.data() + std::size_t(oy - job.firstRow) * std::size_t(w) * 5;
    const unsigned char *p = job.row.data();
    for (int i = 0; i < cols; ++i, p += 4) {
        const int x = x0 + i * dx;
        if (x < a.left() || x > a.right())
            continue;
        const int ox = int(qint64(x - a.left()) * w / a.width());
        std::uint64_t *s = line + std::size_t(ox) * 5;
        s[0] += std::uint64_t(p[0]) * p[3];
        s[1] += std::uint64_t(p[1]) * p[3];
        s[2] += std::uint64_t(p[2]) * p[3];
        s[3] += p[3];
        s[4] += 1;
    }
}

// The reading itself: the only frame libpng jumps back to, holding nothing to destroy.
bool runPng(png_structp png, png_infop info, PngJob &job)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_read_fn(png, &job, pngRead);
    png_read_info(png, info);
    const auto width = int(png_get_image_width(png, info));
    const auto height = int(png_get_image_height(png, info));
    if (!QRect(0, 0, width, height).contains(job.area)) {
        job.error = QStringLiteral("The picture's size has changed.");
        return false;
    }
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xff, PNG_FILLER_AFTER);
    const bool interlaced = png_get_interlace_type(png, info) != PNG_INTERLACE_NONE;
    png_read_update_info(png, info);
    // Interlaced rows arrive in seven passes, so every output row stays open.
    job.rowsKept = interlaced ? job.size.height() : 1;
    const qint64 cells = qint64(job.rowsKept) * job.size.width() * 5;
    const qint64 limit = qint64(QImageReader::allocationLimit()) << 20;
    if (limit > 0 && cells * qint64(sizeof(std::uint64_t)) > limit) {
        job.error = QStringLiteral("The picture is too large to be read interlaced at this size.");
        return false;
    }
    job.sums.assign(std::size_t(cells), 0);
    job.row.assign(std::size_t(width) * 4, 0);
    if (!interlaced) {
        for (int y = 0; y <= job.area.bottom(); ++y) {
            png_read_row(png, job.row.data(), nullptr);
            addPngRow(job, y, 0, 1, width);
        }
        flushPngRows(job, job.firstRow, 1);
        return true;
    }
    for (int pass = 0; pass < 7; ++pass) {
        const auto cols = int(PNG_PASS_COLS(png_uint_32(width), pass));
        const auto rows = int(PNG_PASS_ROWS(png_uint_32(height), pass));
        if (cols == 0 || rows == 0)
            continue;
        for (int r = 0; r < rows; ++r) {
            png_read_row(png, job.row.data(), nullptr);
            addPngRow(job, int(PNG_ROW_FROM_PASS_ROW(png_uint_32(r), pass)), int(PNG_PASS_START_COL(pass)),
                      int(1U << PNG_PASS_COL_SHIFT(pass)), cols);
        }
    }
    flushPngRows(job, 0, job.size.height());
    return true;
}

// Decodes `area` of a PNG at `size` (no larger than the area); a null image
// and `error` on failure.
QImage decodePngArea(const QString &path, const QRect &area, const QSize &size, QString *error)
{
    PngJob job;
    job.area = area;
    job.size = size.boundedTo(area.size());
    job.file.setFileName(path);
    if (area.isEmpty() || job.size.isEmpty() || !job.file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = job.file.errorString();
        return {};
    }
    if (!QImageIOHandler::allocateImage(job.size, QImage::Format_ARGB32_Premultiplied, &job.out)) {
        if (error)
            *error = QStringLiteral("The picture is too large at this size.");
        return {};
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, pngError, pngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    const bool ok = info && runPng(png, info, job);
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    if (!ok) {
        if (error)
            *error = job.error;
        return {};
    }
    if (job.size != size)
        return job.out.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return std::move(job.out);
}

// Qt scales a PNG while reading it only when it decodes to 8 bits a channel.
bool qtScalesWhileReading(const QImageReader &reader)
{
    const QImage::Format f = reader.imageFormat();
    return f == QImage::Format_ARGB32 || f == QImage::Format_RGB32;
}

bool isPng(const QImageReader &reader)
{
    return reader.format() == "png";
}

} // namespace

namespace {

// Opens a regular file as a picture; false with the reason when it is not one that can be read.
bool openPicture(QImageReader &reader, const QString &path, QString *error)
{
    const QFileInfo fi(path);
    QString why;
    if (!fi.exists())
        why = QStringLiteral("The file does not exist.");
    else if (!fi.isFile())
        why = QStringLiteral("Not a regular file.");
    if (why.isEmpty()) {
        inputs::Note(path);
        reader.setFileName(path);
        reader.setAutoTransform(true);
        if (!reader.canRead())
            why = QStringLiteral("Not a picture that can be read.");
    }
    if (error && !why.isEmpty())
        *error = why;
    return why.isEmpty();
}

} // namespace

QSize ProbePicture(const QString &path, QString *error)
{
    QImageReader reader;
    if (!openPicture(reader, path, error))
        return {};
    return reader.size();
}

QImage DecodePicture(const QString &path, const QSize &bound, QSize *sourceSize, QString *error,
                     qint64 maxPixels)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return QImage();
    };
    QImageReader reader;
    if (!openPicture(reader, path, error))
        return {};
    const QSize src = reader.size();
    if (src.isValid()) {
        if (sourceSize)
            *sourceSize = src;
        QSize target = src;
        if (bound.isValid())
            target = QSize(std::min(src.width(), bound.width()), std::min(src.height(), bound.height()));
        const double pixels = double(target.width()) * target.height();
        if (maxPixels > 0 && pixels > double(maxPixels)) {
            const double k = std::sqrt(double(maxPixels) / pixels);
            target = QSize(std::max(1, int(target.width() * k)), std::max(1, int(target.height() * k)));
        }
        if (target != src)
            reader.setScaledSize(target);
    }
    const QSize size = reader.scaledSize().isValid() ? reader.scaledSize() : src;
    const bool png = isPng(reader); // asked before reading: a failed read forgets it
    if (src.isValid() && size != src && png && !qtScalesWhileReading(reader)) {
        QString why;
        QImage img = decodePngArea(path, QRect(QPoint(0, 0), src), size, &why);
        return img.isNull() ? fail(why) : img;
    }
    QImage img;
    if (src.isValid())
        img = preallocated(reader, size);
    if (!reader.read(&img) || img.isNull()) {
        // Past the allocation limit at full size (an interlaced PNG), rows still fit.
        if (src.isValid() && png) {
            img = decodePngArea(path, QRect(QPoint(0, 0), src), size, nullptr);
            if (!img.isNull())
                return img;
        }
        return fail(reader.errorString());
    }
    if (!src.isValid() && sourceSize)
        *sourceSize = img.size();
    return img;
}

QImage DecodePictureArea(const QString &path, const QRect &area, const QSize &size)
{
    if (!QFileInfo(path).isFile())
        return {};
    QImageReader reader(path);
    reader.setAutoTransform(true);
    // A turned picture's stored pixels are not where the box shows them.
    if (!reader.canRead() || reader.transformation() != QImageIOHandler::TransformationNone)
        return {};
    const QSize src = reader.size();
    if (!src.isValid() || !QRect(QPoint(0, 0), src).contains(area))
        return {};
    reader.setClipRect(area);
    if (size != area.size())
        reader.setScaledSize(size);
    const bool png = isPng(reader);
    QImage img = preallocated(reader, size);
    if (!reader.read(&img)) {
        // Qt cuts a PNG only after decoding all of it; past its limit, rows still fit.
        if (png)
            return decodePngArea(path, area, size, nullptr);
        return {};
    }
    return img;
}

CoverImage::CoverImage(QString name, std::function<void()> changed)
    : BoxElement(std::move(name), Kind::Image, std::move(changed))
{}

CoverImage::FileStamp CoverImage::stampOf(const QString &path)
{
    FileStamp s;
#ifdef Q_OS_UNIX
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
        s.device = qint64(st.st_dev);
        s.inode = qint64(st.st_ino);
        s.size = qint64(st.st_size);
        s.modified = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    }
#else
    const QFileInfo fi(path);
    if (fi.exists()) {
        s.size = fi.size();
        s.modified = fi.lastModified().toMSecsSinceEpoch();
    }
#endif
    return s;
}

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
    // Taken before reading: a file that changes meanwhile counts as changed.
    const FileStamp stamp = stampOf(path);
    QImage img = DecodePicture(path, want, &source, error, MaxWholeDecode);
    if (img.isNull())
        return false;
    path_ = path;
    stamp_ = stamp;
    sourceSize_ = source;
    paperOnly_ = false;
    builtIn_ = nullptr;
    screen_ = std::move(img);
    detail_ = QImage();
    cache_ = QPixmap();
    printCopy_ = QImage();
    changed();
    return true;
}

bool CoverImage::LoadPictureForPaper(const QString &path, QString *error)
{
    if (path.isEmpty()) {
        ClearPicture();
        return true;
    }
    const FileStamp stamp = stampOf(path);
    QString why;
    const QSize source = ProbePicture(path, &why);
    if (!why.isEmpty()) {
        if (error)
            *error = why;
        return false;
    }
    // A format that names no size before its pixels is read as the screen reads it.
    if (!source.isValid())
        return LoadPicture(path, error);
    path_ = path;
    stamp_ = stamp;
    sourceSize_ = source;
    screen_ = QImage();
    detail_ = QImage();
    cache_ = QPixmap();
    printCopy_ = QImage();
    paperOnly_ = true;
    builtIn_ = nullptr;
    changed();
    return true;
}

void CoverImage::ClearPicture()
{
    paperOnly_ = false;
    if (screen_.isNull() && path_.isEmpty() && !builtIn_)
        return;
    builtIn_ = nullptr;
    path_.clear();
    stamp_ = FileStamp();
    sourceSize_ = QSize();
    screen_ = QImage();
    detail_ = QImage();
    cache_ = QPixmap();
    printCopy_ = QImage();
    changed();
}

void CoverImage::SetBuiltIn(BuiltInPicture draw, QSize size)
{
    paperOnly_ = false;
    builtIn_ = draw;
    path_.clear();
    stamp_ = FileStamp();
    screen_ = QImage();
    sourceSize_ = size;
    detail_ = QImage();
    cache_ = QPixmap();
    printCopy_ = QImage();
    changed();
}

std::unique_ptr<CoverElement> CoverImage::clone() const
{
    // The screen copies are shared, not copied; paper's copies stay with the live picture.
    std::unique_ptr<CoverImage> c(new CoverImage(*this));
    c->detail_ = QImage();
    c->detailArea_ = QRect();
    c->printCopy_ = QImage();
    c->printArea_ = QRect();
    c->printNote_.clear();
    return c;
}

void CoverImage::assign(const CoverElement &other)
{
    if (sameAs(other))
        return;
    const auto &o = static_cast<const CoverImage &>(other);
    assignBox(o);
    if (path_ != o.path_ || stamp_ != o.stamp_ || (path_.isEmpty() && !sameBuiltIn(o))) {
        builtIn_ = o.builtIn_;
        path_ = o.path_;
        stamp_ = o.stamp_;
        sourceSize_ = o.sourceSize_;
        screen_ = o.screen_;
        paperOnly_ = o.paperOnly_;
        detail_ = QImage();
        printCopy_ = QImage();
    }
    cache_ = QPixmap();
    changed();
}

bool CoverImage::sameAs(const CoverElement &other) const
{
    const auto &o = static_cast<const CoverImage &>(other);
    // A file's picture is known by its file; a built-in one by its pixels.
    return sameBox(o) && path_ == o.path_ && stamp_ == o.stamp_ && sourceSize_ == o.sourceSize_ &&
           (!path_.isEmpty() || sameBuiltIn(o));
}

bool CoverImage::FileChanged() const
{
    return !path_.isEmpty() && stampOf(path_) != stamp_;
}

QImage CoverImage::printImage(const QSizeF &deviceSize, const QSizeF &boxSize, const QSizeF &pageSize) const
{
    // Paper gets the picture at the printer's resolution for its box, up to
    // MaxPrintDpi; finer detail cannot be seen and only slows the job.
    const double cap = MaxPrintDpi / 96.0;
    const QSize want = ceilSize(std::min(deviceSize.width(), boxSize.width() * cap),
                                std::min(deviceSize.height(), boxSize.height() * cap));
    if (screen_.width() >= want.width() && screen_.height() >= want.height())
        return screen_;
    // The decoder scales JPEGs by 1/2, 1/4 and 1/8 for nearly nothing; any
    // other size costs a slow resampling pass, so take the smallest of those
    // that still covers the box, unless it holds more pixels than the page.
    QSize target = sourceSize_;
    for (int k : {8, 4, 2}) {
        const QSize s(sourceSize_.width() / k, sourceSize_.height() / k);
        if (s.width() >= want.width() && s.height() >= want.height()) {
            target = s;
            break;
        }
    }
    const QSize page = ceilSize(pageSize.width(), pageSize.height());
    if (qint64(target.width()) * target.height() > qint64(page.width()) * page.height())
        target = want.boundedTo(sourceSize_).boundedTo(page);
    if (printCopy_.size() == target && printArea_ == QRect(QPoint(0, 0), sourceSize_))
        return printCopy_;
    QImage img = DecodePicture(path_, target, nullptr, nullptr);
    // Past the decoder's allocation limit at full size, the box's own size may still fit.
    if (img.isNull() && target != want.boundedTo(sourceSize_))
        img = DecodePicture(path_, want.boundedTo(sourceSize_), nullptr, nullptr);
    if (img.isNull())
        return {};
    printCopy_ = std::move(img);
    printArea_ = QRect(QPoint(0, 0), sourceSize_);
    return printCopy_;
}

QImage CoverImage::PaperCrop(const QSize &size) const
{
    if (!HasPicture() || size.isEmpty())
        return {};
    drawBuiltIn();
    const QSize source = sourceSize_.isValid() ? sourceSize_ : screen_.size();
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
    const QSize need = ceilSize(source.width() * k, source.height() * k).boundedTo(source);
    const auto fine = [&need](const QImage &img) {
        return !img.isNull() && img.width() >= need.width() && img.height() >= need.height();
    };
    const bool sameFile = !path_.isEmpty() && stampOf(path_) == stamp_;
    QImage whole;
    if (sameFile && printArea_ == QRect(QPoint(0, 0), sourceSize_) && fine(printCopy_))
        whole = printCopy_;
    else if (fine(screen_))
        whole = screen_;
    else if (sameFile)
        whole = DecodePicture(path_, need, nullptr, nullptr);
    // Noted as a paint on paper notes it: the file changed, or it could not be read again.
    if (!path_.isEmpty() && !sameFile)
        printNote_ = QStringLiteral("%1 has changed or is gone since it was loaded: the print used the "
                                    "picture's screen copy.")
                         .arg(path_);
    else if (!path_.isEmpty() && whole.isNull())
        printNote_ = QStringLiteral("%1 could not be read again: the print used the picture's screen "
                                    "copy.")
                         .arg(path_);
    if (whole.isNull())
        whole = screen_;
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
    if (printNote_.isEmpty() && this != &other)
        printNote_ = other.printNote_;
    if (this == &other || path_.isEmpty() || path_ != other.path_ || stamp_ != other.stamp_ ||
        sourceSize_ != other.sourceSize_ || other.printCopy_.isNull())
        return;
    printCopy_ = other.printCopy_;
    printArea_ = other.printArea_;
}

void CoverImage::paintOnPaper(QPainter &p, const QRectF &r, const QRectF &shown) const
{
    QImage img;
    QRectF target = r;
    if (!path_.isEmpty() && sourceSize_.isValid()) {
        if (!(stampOf(path_) == stamp_)) {
            printNote_ = QStringLiteral("%1 has changed or is gone since it was loaded: the print used the "
                                        "picture's screen copy.")
                             .arg(path_);
        } else {
            const QSizeF k = deviceScale(p);
            const double cap = MaxPrintDpi / 96.0;
            const QSizeF dots(std::min(k.width(), cap), std::min(k.height(), cap));
            const QSize whole = ceilSize(r.width() * dots.width(), r.height() * dots.height());
            const QRect part = partOf(r, shown, whole);
            const QRectF page = reachable(p);
            const QSizeF pageDots(page.width() * dots.width(), page.height() * dots.height());
            if (part != QRect(QPoint(0, 0), whole)) {
                // Only the part of the box on the page, at the print resolution.
                const QSize need = whole.boundedTo(sourceSize_);
                const QRect area = sourceArea(part, whole, sourceSize_, need);
                const QSize size = areaSize(area, sourceSize_, need);
                if (printArea_ != area || printCopy_.size() != size) {
                    printCopy_ = DecodePictureArea(path_, area, size);
                    printArea_ = area;
                }
                img = printCopy_;
                target = logicalOf(r, sourceSize_, area);
            }
            // The whole picture where the box is whole on the page, or where its
            // format cannot be cut (a turned photograph).
            if (img.isNull()) {
                img = printImage(QSizeF(r.width() * k.width(), r.height() * k.height()), r.size(), pageDots);
                target = r;
            }
            if (img.isNull())
                printNote_ = QStringLiteral("%1 could not be read again: the print used the picture's screen "
                                            "copy.")
                                 .arg(path_);
        }
    }
    if (img.isNull()) {
        img = screen_;
        target = r;
    }
    printedSize_ = img.size();
    p.drawImage(target, img);
}

QImage CoverImage::screenPart(const QSize &whole, const QRect &part) const
{
    // The file is read again only while it is the one loaded: the screen never
    // mixes in another picture that took its name.
    const bool sameFile = !path_.isEmpty() && stampOf(path_) == stamp_;
    if (part == QRect(QPoint(0, 0), whole)) {
        detail_ = QImage();
        // A box grown past the decoded copy reads the picture again at its size.
        const QSize target = screenTarget(whole);
        if (sameFile && (screen_.width() < target.width() || screen_.height() < target.height())) {
            QImage again = DecodePicture(path_, target, nullptr, nullptr, MaxWholeDecode);
            if (!again.isNull())
                screen_ = std::move(again);
        }
        return screen_.scaled(whole, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    // Only part of the box shows: that part is made, from the whole picture when
    // it is small enough to keep, else from the part of the source it shows.
    const QSize src = sourceSize_.isValid() ? sourceSize_ : screen_.size();
    const QSize need = whole.boundedTo(src);
    const QRect all(QPoint(0, 0), src);
    if (sameFile && (screen_.width() < need.width() || screen_.height() < need.height())) {
        if (qint64(need.width()) * need.height() <= MaxWholeDecode) {
            QImage again = DecodePicture(path_, need, nullptr, nullptr, MaxWholeDecode);
            if (!again.isNull())
                screen_ = std::move(again);
        } else {
            const QRect area = sourceArea(part, whole, src, need);
            const QSize size = areaSize(area, src, need);
            if (detail_.isNull() || !detailArea_.contains(area) ||
                areaSize(detailArea_, src, need) != detail_.size()) {
                detail_ = DecodePictureArea(path_, area, size);
                detailArea_ = area;
            }
            if (!detail_.isNull())
                return drawPart(detail_, detailArea_, src, whole, part);
        }
    }
    return drawPart(screen_, all, src, whole, part);
}

void CoverImage::paintOnScreen(QPainter &p, const QRectF &r, const QRectF &shown) const
{
    // Keep a copy scaled for the screen so a repaint costs a blit.
    const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    const QSizeF k = deviceScale(p);
    const QSize whole = ceilSize(r.width() * dpr * k.width(), r.height() * dpr * k.height());
    const QRect part = partOf(r, shown, whole);
    if (part.isEmpty())
        return;
    if (cache_.isNull() || cacheWhole_ != whole || cachePart_ != part) {
        cache_ = QPixmap::fromImage(screenPart(whole, part));
        cache_.setDevicePixelRatio(dpr);
        cacheWhole_ = whole;
        cachePart_ = part;
    }
    p.drawPixmap(logicalOf(r, whole, part), cache_, QRectF(QPointF(0, 0), QSizeF(cache_.size())));
}

void CoverImage::paint(QPainter &p, bool printing) const
{
    if (printing)
        printNote_.clear();
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
