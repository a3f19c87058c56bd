#pragma once

#include <QImage>
#include <QPixmap>
#include <QRect>
#include <QSize>
#include <QString>

#include <memory>
#include <tuple>

// Where a picture's file stood when it was read: which file (device and inode), its size and
// the time it was written. A file rewritten, replaced or gone since stands elsewhere.
struct FileStamp {
    qint64 device = -1, inode = -1, size = -1, modified = -1;
    bool operator==(const FileStamp &) const = default;
    bool operator<(const FileStamp &o) const
    {
        return std::tie(device, inode, size, modified) < std::tie(o.device, o.inode, o.size, o.modified);
    }
    static FileStamp Of(const QString &path);
};

// A picture decoded from a file as it stood, with the copies made of it: the whole picture for
// the screen, a finer part of it for a huge box, and the copy for paper. Every element and
// every copy of a document that shows the file as it was holds the same one, so none decodes
// it again; the last of them to let go frees it. GUI thread only.
class Picture : public std::enable_shared_from_this<Picture>
{
public:
    // The most pixels the screen keeps of a whole picture; a box whose visible part needs finer
    // detail than that has only that part decoded.
    static constexpr qint64 MaxWholeDecode = qint64(2048) * 2048;

    // The picture of the regular file `path` decoded to `want` pixels in each direction (no more
    // than it has, MaxWholeDecode in all): the one held already when it has that detail. Null,
    // with the reason, when the file cannot be read as a picture.
    static std::shared_ptr<Picture> Load(const QString &path, const QSize &want, QString *error);
    // The picture of `path` with its size read from the header and nothing decoded. Null with
    // *error when the file is not a picture that can be read, without one when its format does
    // not say its size.
    static std::shared_ptr<Picture> Probe(const QString &path, QString *error);
    // A picture from no file, of `size` pixels, drawn by its holder when first painted.
    static std::shared_ptr<Picture> Drawn(const QSize &size);

    Picture(const Picture &) = delete;
    Picture &operator=(const Picture &) = delete;
    ~Picture();

    const QString &path() const { return path_; }
    const FileStamp &stamp() const { return stamp_; }
    QSize sourceSize() const { return source_; }
    // True while the file is as it was read.
    bool unchanged() const { return !path_.isEmpty() && FileStamp::Of(path_) == stamp_; }

    // The whole picture, at most MaxWholeDecode pixels.
    const QImage &whole() const { return whole_; }
    void setDrawn(const QImage &img) { whole_ = img; }
    // Reads the whole picture again at `target` when the copy held is smaller either way; the
    // old copy stays when that fails.
    void wholeAtLeast(const QSize &target);
    // The part `area` of the source at the detail `need` (the whole source's size at that
    // detail): the part held when it covers the area at that detail. Null when the file or its
    // format cannot be cut.
    QImage detail(const QRect &area, const QSize &need);
    QRect detailArea() const { return detailArea_; }
    void dropDetail() { detail_ = QImage(); }
    // The size of what the screen decoded last: the finer part when there is one.
    QSize decodedSize() const { return detail_.isNull() ? whole_.size() : detail_.size(); }

    // For paper: the part `area` at the detail `need`, kept for the next print of it.
    QImage paperPart(const QRect &area, const QSize &need);
    // For paper: the whole picture at `target`, or at `fallback` when `target` is past the
    // decoder's limit; kept for the next print of that size. Null when neither can be read.
    QImage paperWhole(const QSize &target, const QSize &fallback);
    // The copy for paper, when it is of the whole picture.
    QImage paperOfWhole() const;
    // The whole picture at `size`, read now and not kept.
    QImage read(const QSize &size) const;
    // Let go of by a live element: the copies only paper and huge boxes need go, the screen's
    // stays for the copies of the document that still show it.
    void dropFinerCopies();

    // Pictures decoded so far, and pictures held (each shared by all its holders).
    static int Decodes();
    static int Held();

private:
    Picture(QString path, FileStamp stamp, QSize source);
    static std::shared_ptr<Picture> find(const QString &path, const FileStamp &stamp);
    static std::shared_ptr<Picture> make(const QString &path, const FileStamp &stamp, const QSize &source);
    QString path_;
    FileStamp stamp_;
    QSize source_;
    bool kept_ = false; // known to the cache by its path and stamp
    QImage whole_;
    QImage detail_;
    QRect detailArea_; // source pixels that detail_ covers
    QImage paper_;
    QRect paperArea_;
};

// An element's hold on its picture. A copy (the design's history, a print's piece) holds the same
// decoded picture but not what the paints of the original made of it: the scaled part that only
// its window shows, and the note of its print.
struct PictureHandle {
    PictureHandle() = default;
    PictureHandle(const PictureHandle &o) : picture(o.picture), printed(o.printed) {}
    PictureHandle &operator=(const PictureHandle &) = delete;

    std::shared_ptr<Picture> picture;
    QPixmap shown; // the visible part of the box, scaled for the screen
    QSize shownWhole;
    QRect shownPart;
    QSize printed;
    QString note;
};

// Whole pixels, at least one each way, that hold w by h.
QSize CeilSize(double w, double h);

// Decodes a picture from a regular file under an allocation limit, at most
// `bound` pixels in each direction and, when maxPixels > 0, at most that many
// pixels in all (scaled down evenly); a null image on failure.
QImage DecodePicture(const QString &path, const QSize &bound, QSize *sourceSize, QString *error,
                     qint64 maxPixels = 0);
// The size a picture file says it has, read from its header; invalid with *error when the file
// is not a picture that can be read, invalid without one when the format does not say.
QSize ProbePicture(const QString &path, QString *error);
// Decodes the part `area` (source pixels) of a picture at `size` pixels; a
// null image when the file cannot be read or the format cannot be cut.
QImage DecodePictureArea(const QString &path, const QRect &area, const QSize &size);
