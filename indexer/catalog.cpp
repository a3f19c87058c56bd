#include "catalog.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <iterator>
#include <utility>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fs_drawable.h"
#include "fslists.h"
#include "safewrite.h"

namespace catalog {

std::optional<Paper> PaperNamed(const QString &name)
{
    if (name == QLatin1String("booklet"))
        return Paper::Booklet;
    if (name == QLatin1String("a4"))
        return Paper::A4;
    if (name == QLatin1String("letter"))
        return Paper::Letter;
    return std::nullopt;
}

QPageSize PageSizeOf(Paper paper)
{
    switch (paper) {
    case Paper::A4: return QPageSize(QPageSize::A4);
    case Paper::Letter: return QPageSize(QPageSize::Letter);
    case Paper::Booklet: break;
    }
    return QPageSize(QSizeF(120, 119), QPageSize::Millimeter, QStringLiteral("Booklet 120 x 119 mm"),
                     QPageSize::ExactMatch);
}

std::optional<Sheet> SheetNamed(const QString &name)
{
    if (name == QLatin1String("a4"))
        return Sheet::A4;
    if (name == QLatin1String("letter"))
        return Sheet::Letter;
    return std::nullopt;
}

std::vector<std::pair<int, int>> BookletOrder(int pages)
{
    // Padded to whole sheets of four pages; sheet k holds the k-th pages from each end.
    const int padded = std::max(4, (pages + 3) / 4 * 4);
    std::vector<std::pair<int, int>> sides;
    for (int k = 0; 2 * k < padded / 2; ++k) {
        sides.emplace_back(padded - 2 * k, 2 * k + 1);     // front
        sides.emplace_back(2 * k + 2, padded - 2 * k - 1); // back
    }
    return sides;
}

namespace {

// The landscape sheet, in millimetres.
QSizeF sheetMm(Sheet sheet)
{
    return QPageSize(sheet == Sheet::A4 ? QPageSize::A4 : QPageSize::Letter)
        .size(QPageSize::Millimeter)
        .transposed();
}

// The booklet page's size in millimetres, and the top-left of the left page on the sheet.
constexpr double BookletW = 120, BookletH = 119;
QPointF leftPageAt(Sheet sheet)
{
    const QSizeF s = sheetMm(sheet);
    return {s.width() / 2 - BookletW, (s.height() - BookletH) / 2};
}

} // namespace

FoldMark FoldMarkOf(Sheet sheet)
{
    // 5 mm strokes, 2 mm off the pages: a trimmer or the fold never meets the text.
    const QPointF at = leftPageAt(sheet);
    const double x = at.x() + BookletW, top = at.y(), bottom = at.y() + BookletH;
    return {x, top - 7, top - 2, bottom + 2, bottom + 7};
}

namespace {

// SizeText into `out` (room for SizeChars), its length. The catalog prints one per file: worked
// out in integers, it costs a small part of what formatting a double does.
constexpr qsizetype SizeChars = 16;
qsizetype putSize(quint64 bytes, char16_t *out)
{
    __extension__ using Wide = unsigned __int128;
    qsizetype n = 0;
    auto number = [&](quint64 v, int decimals) {
        char16_t d[24];
        int k = 0;
        for (; k == 0 || v > 0 || k <= decimals; v /= 10) {
            if (k == decimals && decimals > 0)
                d[k++] = u'.';
            d[k++] = static_cast<char16_t>(u'0' + static_cast<int>(v % 10));
        }
        while (k > 0)
            out[n++] = d[--k];
    };
    static const char16_t units[][3] = {u"KB", u"MB", u"GB", u"TB", u"PB"};
    if (bytes < 1024) {
        number(bytes, 0);
        out[n++] = u' ';
        out[n++] = u'B';
        return n;
    }
    // The size in its unit is the double's value over a power of 1024, a division that is exact:
    // rounded half up as Qt prints a double, in whole numbers.
    const auto b = static_cast<Wide>(static_cast<double>(bytes));
    auto rounded = [b](Wide unit, Wide scale) { return (2 * scale * b + unit) / (2 * unit); };
    Wide unit = 1024;
    int u = 0;
    // The unit as the number is shown, rounded: 1,048,575 bytes is "1.0 MB", not "1024 KB".
    while (rounded(unit, 1) >= 1024 && u < 4) {
        unit *= 1024;
        ++u;
    }
    // At most 16384 PB: the number fits in 64 bits.
    if (b < 10 * unit)
        number(static_cast<quint64>(rounded(unit, 10)), 1);
    else
        number(static_cast<quint64>(rounded(unit, 1)), 0);
    out[n++] = u' ';
    out[n++] = units[u][0];
    out[n++] = units[u][1];
    return n;
}

} // namespace

QString SizeText(quint64 bytes)
{
    char16_t text[SizeChars];
    return QString(reinterpret_cast<const QChar *>(text), putSize(bytes, text));
}

namespace {

// The spool: records written in big blocks, read back in order.
//   folder: 'D', path (relative, readable), errno (0 read, -1 a loop), file count,
//   then per file: name (readable), link flag, size, modification time.
// Texts are kept as UTF-16: a name is painted as it was read, with no conversion on the way.
class SpoolWriter
{
public:
    explicit SpoolWriter(QIODevice &device) : device_(device) { buffer_.reserve(BlockSize + 4096); }
    void u8(quint8 v) { buffer_.append(static_cast<char>(v)); }
    void i64(qint64 v) { buffer_.append(reinterpret_cast<const char *>(&v), sizeof v); }
    void f64(double v) { buffer_.append(reinterpret_cast<const char *>(&v), sizeof v); }
    void raw(const void *data, qsizetype n) { buffer_.append(static_cast<const char *>(data), n); }
    // Where the next byte goes in the file.
    qint64 pos() const { return written_ + buffer_.size(); }
    void text(QStringView s)
    {
        i64(s.size());
        raw(s.data(), s.size() * qsizetype(sizeof(QChar)));
    }
    bool flushIfFull() { return buffer_.size() < BlockSize || flush(); }
    bool flush()
    {
        const bool ok = device_.write(buffer_) == buffer_.size();
        written_ += buffer_.size();
        buffer_.clear();
        return ok;
    }

private:
    static constexpr qsizetype BlockSize = 1 << 20;
    QIODevice &device_;
    QByteArray buffer_;
    qint64 written_ = 0;
};

class SpoolReader
{
public:
    explicit SpoolReader(QIODevice &device) : device_(device) {}
    bool atEnd() { return !fill(1); }
    quint8 u8() { return fill(1) ? static_cast<quint8>(buffer_[at_++]) : 0; }
    qint64 i64()
    {
        qint64 v = 0;
        if (fill(sizeof v)) {
            std::memcpy(&v, buffer_.constData() + at_, sizeof v);
            at_ += sizeof v;
        }
        return v;
    }
    double f64()
    {
        double v = 0;
        raw(&v, sizeof v);
        return v;
    }
    bool raw(void *data, qint64 n)
    {
        if (n < 0 || !fill(n))
            return false;
        std::memcpy(data, buffer_.constData() + at_, static_cast<size_t>(n));
        at_ += n;
        return true;
    }
    QString text() { return view().toString(); }
    // The text, in a buffer kept from one to the next: good until the next view().
    QStringView view()
    {
        const qint64 n = i64();
        if (n <= 0 || n > (1 << 26) || !fill(n * qint64(sizeof(char16_t))))
            return {};
        scratch_.resize(static_cast<size_t>(n));
        std::memcpy(scratch_.data(), buffer_.constData() + at_, scratch_.size() * sizeof(char16_t));
        at_ += n * qint64(sizeof(char16_t));
        return QStringView(scratch_.data(), n);
    }

private:
    bool fill(qint64 n)
    {
        if (buffer_.size() - at_ >= n)
            return true;
        buffer_.remove(0, at_);
        at_ = 0;
        while (buffer_.size() < n) {
            const QByteArray more = device_.read(std::max<qint64>(n, 1 << 20));
            if (more.isEmpty())
                return false;
            buffer_.append(more);
        }
        return true;
    }
    QIODevice &device_;
    QByteArray buffer_;
    qsizetype at_ = 0;
    std::vector<char16_t> scratch_;
};

struct FileInfo {
    bool link = false;
    qint64 size = 0;
    qint64 mtime = 0;
};

class Walker
{
public:
    Walker(const QByteArray &root, const Catalog::Hooks &hooks, SpoolWriter &out, Totals &totals)
        : root_(root), hooks_(hooks), out_(out), totals_(totals)
    {}

    // False when cancelled or the spool could not be written.
    bool walk(const QByteArray &rel, std::vector<std::pair<dev_t, ino_t>> &ancestors)
    {
        const QByteArray path = rel.isEmpty() ? root_ : fsl::JoinPath(root_, rel);
        if (hooks_.beforeRead)
            hooks_.beforeRead(path);
        ++totals_.folders;
        const QString heading = rel.isEmpty() ? QStringLiteral("/") : fsl::ReadablePath(rel);
        const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        DIR *d = fd < 0 ? nullptr : ::fdopendir(fd);
        if (!d) {
            const int error = errno;
            if (fd >= 0)
                ::close(fd);
            ++totals_.unreadable;
            return folderRecord(heading, error == 0 ? EIO : error, 0);
        }
        struct stat self;
        if (::fstat(fd, &self) == 0) {
            for (const auto &a : ancestors)
                if (a.first == self.st_dev && a.second == self.st_ino) {
                    ::closedir(d);
                    return folderRecord(heading, -1, 0);
                }
        }
        std::vector<fsl::Entry> folders, files;
        errno = 0;
        while (const dirent *e = ::readdir(d)) {
            const char *name = e->d_name;
            if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
                continue;
            bool isDir = e->d_type == DT_DIR;
            if (e->d_type == DT_UNKNOWN) {
                struct stat st;
                isDir = ::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
            }
            const auto n = static_cast<qsizetype>(std::strlen(name));
            (isDir ? folders : files).push_back({QByteArray(name, n), fsl::ReadableName(name, n)});
            errno = 0;
        }
        const int readError = errno;
        fsl::SortEntries(folders);
        fsl::SortEntries(files);
        if (readError != 0)
            ++totals_.unreadable;
        bool ok = folderRecord(heading, readError, files.size());
        for (const fsl::Entry &f : files) {
            struct stat st;
            FileInfo info;
            if (::fstatat(fd, f.raw.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
                info.link = S_ISLNK(st.st_mode);
                info.size = st.st_size;
                info.mtime = st.st_mtim.tv_sec;
            }
            ++totals_.files;
            totals_.bytes += static_cast<quint64>(info.size);
            out_.text(f.text);
            out_.u8(info.link ? 1 : 0);
            out_.i64(info.size);
            out_.i64(info.mtime);
        }
        ::closedir(d);
        files = {};
        ok = ok && out_.flushIfFull();
        if (ok && hooks_.progress && (totals_.folders % 32) == 0)
            ok = hooks_.progress(totals_);
        ancestors.emplace_back(self.st_dev, self.st_ino);
        for (const fsl::Entry &f : folders) {
            if (!ok)
                break;
            ok = walk(rel.isEmpty() ? f.raw : rel + '/' + f.raw, ancestors);
        }
        ancestors.pop_back();
        return ok;
    }

private:
    bool folderRecord(const QString &heading, int error, size_t files)
    {
        out_.u8('D');
        out_.text(heading);
        out_.i64(error);
        out_.i64(static_cast<qint64>(files));
        return true;
    }

    QByteArray root_;
    const Catalog::Hooks &hooks_;
    SpoolWriter &out_;
    Totals &totals_;
};

QString discNameOf(const QByteArray &root)
{
    for (const fsl::Volume &v : fsl::Volumes::List())
        if (v.root == root && !v.label.isEmpty())
            return v.label;
    const qsizetype slash = root.lastIndexOf('/');
    const QByteArray name = root.mid(slash + 1);
    return name.isEmpty() ? QStringLiteral("/") : fsl::ReadableName(name);
}

} // namespace

Catalog::Catalog() : date_(QDate::currentDate())
{}
Catalog::~Catalog() = default;

Catalog::Outcome Catalog::Read(const QByteArray &root, const Hooks &hooks, QString *error)
{
    root_ = fsl::CleanPath(root);
    discName_ = discNameOf(root_);
    totals_ = {};
    spool_ = std::make_unique<QTemporaryFile>();
    if (!spool_->open()) {
        if (error)
            *error = spool_->errorString();
        return Outcome::SpoolFailed;
    }
    // The root itself: a plain error, not a catalog of one unreadable folder.
    const int probe = ::open(root_.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (probe < 0) {
        if (error)
            *error = qt_error_string(errno);
        return Outcome::RootUnreadable;
    }
    ::close(probe);
    SpoolWriter out(*spool_);
    Walker walker(root_, hooks, out, totals_);
    std::vector<std::pair<dev_t, ino_t>> ancestors;
    if (!walker.walk({}, ancestors))
        return Outcome::Cancelled;
    if (!out.flush() || !spool_->flush()) {
        if (error)
            *error = spool_->errorString();
        return Outcome::SpoolFailed;
    }
    if (hooks.progress)
        hooks.progress(totals_);
    return Outcome::Read;
}

namespace {

// One face of the catalog's text. Latin letters (no shaping to do, no
// ligatures) have their glyph and width looked up once each: shaping and
// measuring each of a hundred thousand lines would be most of the time.
struct CatalogFace {
    static constexpr char16_t Cached = 0x250; // Latin
    static constexpr quint32 Unknown = ~0u;

    CatalogFace(const QFont &f, QPaintDevice &device, double pixelSize)
        : font(f), metrics(f, &device), raw(QRawFont::fromFont(QFont(f, &device)))
    {
        raw.setPixelSize(pixelSize);
    }

    // The glyph of a Latin letter; 0 when the font lacks it.
    quint32 glyphOf(char16_t u)
    {
        if (glyphs[u] == Unknown) {
            const QChar c(u);
            quint32 g = 0;
            int n = 1;
            if (!raw.glyphIndexesForChars(&c, 1, &g, &n) || n != 1)
                g = 0;
            QPointF a;
            if (g != 0)
                raw.advancesForGlyphIndexes(&g, &a, 1);
            glyphs[u] = g;
            widths[u] = a.x();
        }
        return glyphs[u];
    }

    // True when every letter of `s` has its glyph here.
    bool latin(QStringView s)
    {
        for (const QChar c : s)
            if (c.unicode() >= Cached || glyphOf(c.unicode()) == 0)
                return false;
        return true;
    }

    // The width of a line, in device units, as it is drawn.
    double width(QStringView s)
    {
        double w = 0;
        return cachedWidth(s, Cached, &w) ? w : metrics.horizontalAdvance(s.toString());
    }

    // The width as width() gives it, when each letter of `s` is below `limit` and has its
    // glyph here; false when one is not.
    bool cachedWidth(QStringView s, char16_t limit, double *w)
    {
        double sum = 0;
        for (const QChar c : s) {
            const char16_t u = c.unicode();
            if (u >= limit || glyphOf(u) == 0)
                return false;
            sum += widths[u];
        }
        *w = sum;
        return true;
    }

    QFont font;
    QFontMetricsF metrics;
    QRawFont raw;
    std::vector<quint32> glyphs = std::vector<quint32>(Cached, Unknown);
    std::vector<double> widths = std::vector<double>(Cached, 0.0);
};

// Lays the entries out in columns, page after page, in points.
class PageFlow
{
public:
    PageFlow(QPainter &p, QPagedPaintDevice &device, Paper paper) : p_(p), device_(device)
    {
        unit_ = device.logicalDpiY() / 72.0;
        const QSizeF page = PageSizeOf(paper).size(QPageSize::Point);
        const bool booklet = paper == Paper::Booklet;
        margin_ = booklet ? 14 : 40;
        columns_ = booklet ? 2 : 3;
        gap_ = booklet ? 10 : 14;
        const double size = booklet ? 6 : 8;
        QFont body;
        body.setFamily(QStringLiteral("DejaVu Sans"));
        body.setPointSizeF(size);
        // No ligatures: "fi" must come out of the PDF as two letters, for search.
        body.setStyleStrategy(QFont::PreferNoShaping);
        QFont bold = body;
        bold.setBold(true);
        italic_ = body;
        italic_.setItalic(true);
        title_ = bold;
        title_.setPointSizeF(size * 2);
        width_ = page.width();
        height_ = page.height();
        colW_ = (width_ - 2 * margin_ - (columns_ - 1) * gap_) / columns_;
        bottom_ = height_ - margin_ - size * 1.6; // the page number stands below
        body_ = std::make_unique<CatalogFace>(body, device_, size * unit_);
        bold_ = std::make_unique<CatalogFace>(bold, device_, size * unit_);
        line_ = body_->metrics.lineSpacing() / unit_;
        ascent_ = body_->metrics.ascent() / unit_;
        metaW_ = body_->width(QStringLiteral("  1023 KB  2000-00-00")) / unit_;
    }

    int pages() const { return page_; }

    // From here on the pages are written to `out` instead of painted, each
    // page's start (and the end) kept in `starts`, for replay() to paint anywhere.
    void record(SpoolWriter &out, std::vector<qint64> &starts)
    {
        rec_ = &out;
        starts_ = &starts;
        starts.push_back(out.pos());
    }
    // False when the file could not be written.
    bool endRecord()
    {
        flush();
        starts_->push_back(rec_->pos());
        rec_ = nullptr;
        return recorded_;
    }

    // Paints a page that record() wrote, in the painter's present coordinates.
    void replay(QIODevice &page)
    {
        SpoolReader in(page);
        while (!in.atEnd()) {
            const quint8 op = in.u8();
            const quint8 which = in.u8();
            if (op == 'G') {
                const qint64 n = in.i64();
                if (n <= 0 || n > (1 << 20))
                    return;
                QList<quint32> glyphs(n);
                QList<QPointF> positions(n);
                if (!in.raw(glyphs.data(), n * qint64(sizeof(quint32))) ||
                    !in.raw(positions.data(), n * qint64(sizeof(QPointF))))
                    return;
                QGlyphRun run;
                run.setRawFont(which == 0 ? body_->raw : bold_->raw);
                run.setGlyphIndexes(glyphs);
                run.setPositions(positions);
                p_.drawGlyphRun(QPointF(), run);
            } else if (op == 'T') {
                const double x = in.f64(), y = in.f64();
                const QString s = in.text();
                const QFont *fonts[] = {&body_->font, &bold_->font, &italic_, &title_};
                p_.setFont(*fonts[std::min<quint8>(which, 3)]);
                p_.drawText(QPointF(x, y), s);
            } else {
                return;
            }
        }
    }

    void summary(const Catalog &c)
    {
        double y = margin_;
        const double full = width_ - 2 * margin_;
        const QFontMetricsF tm(title_, &device_);
        for (const QString &l : wrap(fsl::Drawable(c.DiscName(), title_), full,
                                     [&tm](const QString &s) { return tm.horizontalAdvance(s); })) {
            y += tm.ascent() / unit_;
            shaped(title_, margin_, y, l);
            y += tm.descent() / unit_ + 2;
        }
        y += line_;
        const Totals &t = c.totals();
        QStringList lines;
        lines << QStringLiteral("%1 folders, %2 files").arg(t.folders).arg(t.files)
              << QStringLiteral("Total size: %1 (%2 bytes)").arg(SizeText(t.bytes)).arg(t.bytes)
              << QStringLiteral("Date: %1").arg(c.Date().toString(Qt::ISODate));
        if (t.unreadable > 0)
            lines << QStringLiteral("%1 folders could not be read; each is listed with the reason.")
                         .arg(t.unreadable);
        for (const QString &s : lines)
            for (const QString &l : wrap(*body_, s, full)) {
                y += line_;
                text(*body_, margin_, y, l);
            }
        footer();
    }

    void startListing()
    {
        flush();
        if (rec_) {
            recorded_ = rec_->flushIfFull() && recorded_;
            starts_->push_back(rec_->pos());
        } else {
            device_.newPage();
        }
        ++page_;
        col_ = 0;
        y_ = margin_;
    }

    void heading(const QString &path, int error, bool hasFiles)
    {
        const QStringList lines = wrap(*bold_, fsl::Drawable(path, bold_->font), colW_);
        QString note;
        if (error == -1)
            note = QStringLiteral("Not read again: the same folder as one above it");
        else if (error != 0)
            note = QStringLiteral("Not read: %1").arg(qt_error_string(error));
        const QStringList notes = note.isEmpty() ? QStringList() : wrap(*body_, note, colW_);
        const double gap = y_ > margin_ ? line_ * 0.6 : 0;
        // A heading stays with its first line; one longer than a column runs on into the next.
        const qsizetype keep = lines.size() + notes.size() + (hasFiles ? 1 : 0);
        room(gap + static_cast<double>(keep) * line_);
        if (y_ > margin_)
            y_ += line_ * 0.6;
        for (const QString &l : lines) {
            room(line_);
            text(*bold_, left(), y_ + ascent_, l);
            y_ += line_;
        }
        for (const QString &l : notes) {
            room(line_);
            shaped(italic_, left(), y_ + ascent_, l);
            y_ += line_;
        }
    }

    void file(QStringView name, bool link, qint64 size, qint64 mtime)
    {
        // Most names are Latin-1 the face has, on one line: drawn as they are, measured once.
        double w = 0;
        if (body_->cachedWidth(name, 0x100, &w) && w <= (colW_ - metaW_) * unit_) {
            room(line_);
            const double x = left();
            text(*body_, x, y_ + ascent_, name);
            metaText(x, y_ + ascent_, link, size, mtime);
            y_ += line_;
            return;
        }
        const QStringList lines = wrap(*body_, fsl::Drawable(name.toString(), body_->font), colW_ - metaW_);
        room(static_cast<double>(lines.size()) * line_);
        const double x = left();
        const double base = y_ + ascent_;
        // The whole name first, then its size and date on its first line:
        // a reader's search finds the name in one piece.
        for (const QString &l : lines) {
            text(*body_, x, y_ + ascent_, l);
            y_ += line_;
        }
        metaText(x, base, link, size, mtime);
    }

    void finish()
    {
        footer();
        flush();
    }

    // The day, UTC, as 2024-05-01; the same day's text is made once.
    QString dateText(qint64 secs)
    {
        const qint64 day = secs >= 0 ? secs / 86400 : (secs - 86399) / 86400;
        if (day != lastDay_ || lastDate_.isEmpty()) {
            lastDay_ = day;
            lastDate_ = QDate::fromJulianDay(2440588 + day).toString(Qt::ISODate);
        }
        return lastDate_;
    }

private:
    double left() const { return margin_ + col_ * (colW_ + gap_); }

    // A file's size (or "link") and date, flush right in the column at `x`.
    void metaText(double x, double base, bool link, qint64 size, qint64 mtime)
    {
        // Put together in place: one file's text costs no allocation.
        char16_t buf[64];
        qsizetype n = 0;
        auto put = [&](QStringView s) {
            for (const QChar c : s)
                if (n < qsizetype(std::size(buf)))
                    buf[n++] = c.unicode();
        };
        if (link) {
            put(u"link");
        } else {
            n += putSize(static_cast<quint64>(size), buf + n);
        }
        put(u"  ");
        put(dateText(mtime));
        const QStringView meta(buf, n);
        text(*body_, x + colW_ - body_->width(meta) / unit_, base, meta);
    }

    // A line at (x, y) points: Latin text joins the run of glyphs being
    // gathered, other text is shaped and drawn at once.
    void text(CatalogFace &face, double x, double y, QStringView s)
    {
        if (!face.latin(s)) {
            shaped(face.font, x, y, s.toString());
            return;
        }
        if (runFace_ != &face || runGlyphs_.size() > 4096)
            flush();
        runFace_ = &face;
        // Whole units of the device (1/1200 in on a PDF): the page's
        // numbers stay short, so there is less of them to write and pack.
        double pen = x * unit_;
        const double base = std::round(y * unit_);
        const qsizetype at = runGlyphs_.size();
        runGlyphs_.resize(at + s.size());
        runPositions_.resize(at + s.size());
        quint32 *glyph = runGlyphs_.data() + at;
        QPointF *position = runPositions_.data() + at;
        for (const QChar c : s) {
            *glyph++ = face.glyphs[c.unicode()];
            *position++ = QPointF(std::round(pen), base);
            pen += face.widths[c.unicode()];
        }
    }

    void shaped(const QFont &font, double x, double y, const QString &s)
    {
        flush();
        if (rec_) {
            rec_->u8('T');
            rec_->u8(&font == &body_->font ? 0 : &font == &bold_->font ? 1 : &font == &italic_ ? 2 : 3);
            rec_->f64(x * unit_);
            rec_->f64(y * unit_);
            rec_->text(s);
            return;
        }
        p_.setFont(font);
        p_.drawText(QPointF(x * unit_, y * unit_), s);
    }

    // Draws the glyphs gathered: one text object in the PDF for many lines.
    void flush()
    {
        if (runGlyphs_.isEmpty())
            return;
        if (rec_) {
            rec_->u8('G');
            rec_->u8(runFace_ == body_.get() ? 0 : 1);
            rec_->i64(runGlyphs_.size());
            rec_->raw(runGlyphs_.constData(), runGlyphs_.size() * qsizetype(sizeof(quint32)));
            rec_->raw(runPositions_.constData(), runPositions_.size() * qsizetype(sizeof(QPointF)));
        } else {
            QGlyphRun run;
            run.setRawFont(runFace_->raw);
            run.setGlyphIndexes(runGlyphs_);
            run.setPositions(runPositions_);
            p_.drawGlyphRun(QPointF(), run);
        }
        runGlyphs_.clear();
        runPositions_.clear();
    }

    // Makes room for `h` points in the column: the next column, or a new page.
    void room(double h)
    {
        if (y_ + h <= bottom_ || y_ <= margin_)
            return;
        if (++col_ < columns_) {
            y_ = margin_;
            return;
        }
        footer();
        startListing();
    }

    void footer()
    {
        if (footed_ == page_)
            return;
        footed_ = page_;
        const QString n = QString::number(page_);
        text(*body_, (width_ - body_->width(n) / unit_) / 2, height_ - margin_, n);
    }

    QStringList wrap(CatalogFace &face, const QString &s, double width)
    {
        return wrap(s, width, [&face](const QString &t) { return face.width(t); });
    }

    // Whole names on as many lines as they take; a line breaks after a
    // space, dash, underscore or dot where one is near the end, else anywhere.
    template <typename Measure> QStringList wrap(const QString &s, double width, const Measure &advance) const
    {
        const double w = width * unit_;
        if (advance(s) <= w)
            return {s};
        QStringList out;
        QString rest = s;
        while (!rest.isEmpty() && advance(rest) > w) {
            qsizetype lo = 1, hi = rest.size();
            while (lo < hi) { // the longest prefix that fits
                const qsizetype mid = (lo + hi + 1) / 2;
                if (advance(rest.left(mid)) <= w)
                    lo = mid;
                else
                    hi = mid - 1;
            }
            qsizetype cut = lo;
            if (cut < rest.size() && rest.at(cut).isLowSurrogate() && cut > 1)
                --cut;
            for (qsizetype i = cut; i > cut * 2 / 3; --i) {
                const QChar c = rest.at(i - 1);
                if (c == u' ' || c == u'-' || c == u'_' || c == u'.') {
                    cut = i;
                    break;
                }
            }
            out << rest.left(cut);
            rest = rest.mid(cut);
        }
        if (!rest.isEmpty())
            out << rest;
        return out;
    }

    QPainter &p_;
    QPagedPaintDevice &device_;
    double unit_ = 1, margin_ = 0, gap_ = 0, width_ = 0, height_ = 0, colW_ = 0, bottom_ = 0, line_ = 0,
           ascent_ = 0, metaW_ = 0, y_ = 0;
    int columns_ = 1, col_ = 0, page_ = 1, footed_ = 0;
    qint64 lastDay_ = 0;
    QString lastDate_;
    QFont italic_, title_;
    std::unique_ptr<CatalogFace> body_, bold_;
    CatalogFace *runFace_ = nullptr;
    SpoolWriter *rec_ = nullptr;
    bool recorded_ = true;
    std::vector<qint64> *starts_ = nullptr;
    QList<quint32> runGlyphs_;
    QList<QPointF> runPositions_;
};

void flowPages(const Catalog &c, QIODevice &spool, PageFlow &flow)
{
    flow.summary(c);
    flow.startListing();
    spool.seek(0);
    SpoolReader in(spool);
    while (!in.atEnd() && in.u8() == 'D') {
        const QString heading = in.text();
        const auto error = static_cast<int>(in.i64());
        const qint64 files = in.i64();
        flow.heading(heading, error, files > 0);
        for (qint64 i = 0; i < files; ++i) {
            const QStringView name = in.view();
            const bool link = in.u8() != 0;
            const qint64 size = in.i64();
            const qint64 mtime = in.i64();
            flow.file(name, link, size, mtime);
        }
    }
    flow.finish();
}

} // namespace

int Catalog::Paint(QPagedPaintDevice &device, Paper paper, const QTransform &calibrated) const
{
    if (!spool_)
        return 0;
    device.setPageLayout(QPageLayout(PageSizeOf(paper), QPageLayout::Portrait, QMarginsF()));
    QPainter p;
    if (!p.begin(&device))
        return 0;
    p.setTransform(calibrated); // kept from page to page: nothing here sets another
    p.setPen(Qt::black);
    PageFlow flow(p, device, paper);
    flowPages(*this, *spool_, flow);
    p.end();
    return flow.pages();
}

QPageLayout Catalog::ImposedLayout(Sheet sheet)
{
    return QPageLayout(QPageSize(sheet == Sheet::A4 ? QPageSize::A4 : QPageSize::Letter),
                       QPageLayout::Landscape, QMarginsF());
}

int Catalog::PaintImposed(QPagedPaintDevice &device, Sheet sheet, const QTransform &calibrated) const
{
    if (!spool_)
        return 0;
    device.setPageLayout(ImposedLayout(sheet));
    QPainter p;
    if (!p.begin(&device))
        return 0;
    p.setTransform(calibrated); // the pages' places are translated on top of it
    p.setPen(Qt::black);
    // The pages are laid out once into a file of their own, then each is
    // painted in its place: the sides want them out of order.
    QTemporaryFile pagesFile;
    if (!pagesFile.open())
        return 0;
    PageFlow flow(p, device, Paper::Booklet);
    std::vector<qint64> starts;
    {
        SpoolWriter out(pagesFile);
        flow.record(out, starts);
        flowPages(*this, *spool_, flow);
        if (!flow.endRecord() || !out.flush() || !pagesFile.flush())
            return 0;
    }
    const int pages = flow.pages();
    const double mm = device.logicalDpiX() / 25.4;
    const QPointF left = leftPageAt(sheet);
    const FoldMark fold = FoldMarkOf(sheet);
    bool first = true;
    for (const auto &[l, r] : BookletOrder(pages)) {
        if (!first)
            device.newPage();
        first = false;
        p.setPen(QPen(Qt::black, 0.25 * mm));
        p.drawLine(QPointF(fold.x, fold.top1) * mm, QPointF(fold.x, fold.top2) * mm);
        p.drawLine(QPointF(fold.x, fold.bottom1) * mm, QPointF(fold.x, fold.bottom2) * mm);
        p.setPen(Qt::black);
        for (const int page : {l, r}) {
            if (page > pages)
                continue; // a blank page of the padding
            const auto at = static_cast<size_t>(page - 1);
            pagesFile.seek(starts[at]);
            QByteArray bytes = pagesFile.read(starts[at + 1] - starts[at]);
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::ReadOnly);
            p.save();
            p.translate((left + QPointF(page == l ? 0 : BookletW, 0)) * mm);
            flow.replay(buffer);
            p.restore();
        }
    }
    p.end();
    return pages;
}

namespace {

bool writePdf(const QString &path, const Catalog &catalog, QString *error,
              const std::function<int(QPdfWriter &)> &paint)
{
    // The project's one writer: a full disk, a planted link or a FIFO leaves the old file as it was.
    safewrite::Writer file(path);
    if (!file.open(error))
        return false;
    {
        QPdfWriter pdf(file.device());
        pdf.setTitle(QStringLiteral("Catalog of %1").arg(catalog.DiscName()));
        pdf.setCreator(QStringLiteral("Sleeve"));
        if (paint(pdf) == 0) {
            if (error)
                *error = QStringLiteral("The pages could not be painted.");
            return false;
        }
    }
    return file.commit(error);
}

} // namespace

bool WritePdf(const QString &path, const Catalog &catalog, Paper paper, QString *error)
{
    return writePdf(path, catalog, error, [&](QPdfWriter &pdf) { return catalog.Paint(pdf, paper); });
}

bool WriteImposedPdf(const QString &path, const Catalog &catalog, Sheet sheet, QString *error)
{
    return writePdf(path, catalog, error, [&](QPdfWriter &pdf) { return catalog.PaintImposed(pdf, sheet); });
}

} // namespace catalog
