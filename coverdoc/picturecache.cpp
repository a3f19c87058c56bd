#include "picturecache.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <tuple>
#include <vector>

#include <png.h>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

#include "bigimage.h"
#include "inputs.h"

QSize CeilSize(double w, double h)
{
    return {std::max(1, int(std::ceil(w))), std::max(1, int(std::ceil(h)))};
}

namespace {

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

FileStamp FileStamp::Of(const QString &path)
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

namespace {

// The size at which `area` of the source is decoded for the detail `need`.
QSize areaSize(const QRect &area, const QSize &src, const QSize &need)
{
    return CeilSize(area.width() * double(need.width()) / src.width(),
                    area.height() * double(need.height()) / src.height());
}

bool covers(const QImage &img, const QSize &size)
{
    return !img.isNull() && img.width() >= size.width() && img.height() >= size.height();
}

// What DecodePicture makes of a source of `src` pixels for `bound`, under MaxWholeDecode.
QSize wholeSize(const QSize &src, const QSize &bound)
{
    QSize t = src.boundedTo(bound);
    const double pixels = double(t.width()) * t.height();
    if (pixels > double(Picture::MaxWholeDecode)) {
        const double k = std::sqrt(double(Picture::MaxWholeDecode) / pixels);
        t = QSize(std::max(1, int(t.width() * k)), std::max(1, int(t.height() * k)));
    }
    return t;
}

// Read again for another box, a shared copy grows to serve both boxes while it may.
QSize grown(const QSize &held, const QSize &want)
{
    const QSize both = want.expandedTo(held);
    return qint64(both.width()) * both.height() <= Picture::MaxWholeDecode ? both : want;
}

int decodes = 0;
int live = 0;

using Key = std::tuple<QString, FileStamp>;
// Pictures held, by file as it stood. Never destroyed: the last holder may go at exit.
std::map<Key, Picture *> &held()
{
    static auto *pictures = new std::map<Key, Picture *>;
    return *pictures;
}

} // namespace

Picture::Picture(QString path, FileStamp stamp, QSize source)
    : path_(std::move(path)), stamp_(stamp), source_(source)
{
    ++live;
}

Picture::~Picture()
{
    --live;
    if (kept_)
        held().erase(Key(path_, stamp_));
}

std::shared_ptr<Picture> Picture::find(const QString &path, const FileStamp &stamp)
{
    const auto it = held().find(Key(path, stamp));
    return it == held().end() ? nullptr : it->second->shared_from_this();
}

std::shared_ptr<Picture> Picture::make(const QString &path, const FileStamp &stamp, const QSize &source)
{
    std::shared_ptr<Picture> p(new Picture(path, stamp, source));
    // A file that could not be looked at is nobody else's.
    if (stamp.size >= 0) {
        p->kept_ = true;
        held()[Key(path, stamp)] = p.get();
    }
    return p;
}

std::shared_ptr<Picture> Picture::Load(const QString &path, const QSize &want, QString *error)
{
    // Taken before reading: a file that changes meanwhile counts as changed.
    const FileStamp stamp = FileStamp::Of(path);
    std::shared_ptr<Picture> p = find(path, stamp);
    if (p && covers(p->whole_, wholeSize(p->source_, want)))
        return p;
    QSize source;
    QImage img =
        DecodePicture(path, p ? grown(p->whole_.size(), want) : want, &source, error, MaxWholeDecode);
    ++decodes;
    if (img.isNull())
        return nullptr;
    if (!p)
        p = make(path, stamp, source);
    p->whole_ = std::move(img);
    return p;
}

std::shared_ptr<Picture> Picture::Probe(const QString &path, QString *error)
{
    const FileStamp stamp = FileStamp::Of(path);
    QString why;
    const QSize source = ProbePicture(path, &why);
    if (!why.isEmpty() && error)
        *error = why;
    if (!source.isValid())
        return nullptr;
    std::shared_ptr<Picture> p = find(path, stamp);
    return p ? p : make(path, stamp, source);
}

std::shared_ptr<Picture> Picture::Drawn(const QSize &size)
{
    return make(QString(), FileStamp(), size);
}

void Picture::wholeAtLeast(const QSize &target)
{
    if (whole_.width() >= target.width() && whole_.height() >= target.height())
        return;
    QImage again = DecodePicture(path_, grown(whole_.size(), target), nullptr, nullptr, MaxWholeDecode);
    ++decodes;
    if (!again.isNull())
        whole_ = std::move(again);
}

QImage Picture::detail(const QRect &area, const QSize &need)
{
    const QSize src = source_.isValid() ? source_ : whole_.size();
    if (detail_.isNull() || !detailArea_.contains(area) ||
        areaSize(detailArea_, src, need) != detail_.size()) {
        detail_ = DecodePictureArea(path_, area, areaSize(area, src, need));
        detailArea_ = area;
        ++decodes;
    }
    return detail_;
}

QImage Picture::paperPart(const QRect &area, const QSize &need)
{
    const QSize size = areaSize(area, source_, need);
    if (paperArea_ != area || paper_.size() != size) {
        paper_ = DecodePictureArea(path_, area, size);
        paperArea_ = area;
        ++decodes;
    }
    return paper_;
}

QImage Picture::paperWhole(const QSize &target, const QSize &fallback)
{
    if (paper_.size() == target && paperArea_ == QRect(QPoint(0, 0), source_))
        return paper_;
    QImage img = read(target);
    // Past the decoder's allocation limit at full size, the box's own size may still fit.
    if (img.isNull() && target != fallback)
        img = read(fallback);
    if (img.isNull())
        return {};
    paper_ = std::move(img);
    paperArea_ = QRect(QPoint(0, 0), source_);
    return paper_;
}

QImage Picture::paperOfWhole() const
{
    return paperArea_ == QRect(QPoint(0, 0), source_) ? paper_ : QImage();
}

QImage Picture::read(const QSize &size) const
{
    ++decodes;
    return DecodePicture(path_, size, nullptr, nullptr);
}

void Picture::dropFinerCopies()
{
    detail_ = QImage();
    detailArea_ = QRect();
    paper_ = QImage();
    paperArea_ = QRect();
}

int Picture::Decodes()
{
    return decodes;
}

int Picture::Held()
{
    return live;
}
