#pragma once

#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <functional>
#include <memory>

#include "picturecache.h"

class QPainter;

// The cover's elements keep floating-point geometry exactly as the layout
// rules compute it (a centred 393-pixel picture stands at Left 31.5) and are
// painted by one routine for screen and paper.
class CoverElement
{
public:
    enum class Kind { Label, Line, Shape, Image };

    CoverElement(QString name, Kind kind, std::function<void()> changed)
        : name_(std::move(name)), kind_(kind), changed_(std::move(changed))
    {}
    virtual ~CoverElement() = default;
    CoverElement &operator=(const CoverElement &) = delete;

    // A copy for the design's history: the same values and the same decoded pictures, no
    // change notice.
    virtual std::unique_ptr<CoverElement> clone() const = 0;
    // Takes the values of `other` (an element of the same kind), telling of the change.
    virtual void assign(const CoverElement &other) = 0;
    // Equal values: what the element shows and what a design file keeps of it.
    virtual bool sameAs(const CoverElement &other) const = 0;
    void setChangeNotice(std::function<void()> changed) { changed_ = std::move(changed); }

    const QString &name() const { return name_; }
    Kind kind() const { return kind_; }

    bool Visible() const { return visible_; }
    void setVisible(bool v);
    void Show() { setVisible(true); }
    void Hide() { setVisible(false); }

    // printing: true on paper, where pictures use their full resolution.
    virtual void paint(QPainter &p, bool printing) const = 0;
    // Labels and pictures take pointer events; lines and shapes do not.
    virtual bool takesPointer() const { return false; }
    virtual bool contains(const QPointF &) const { return false; }

protected:
    // Copies values only: the copy tells nobody of its changes.
    CoverElement(const CoverElement &other) : name_(other.name_), kind_(other.kind_), visible_(other.visible_)
    {}
    bool sameBase(const CoverElement &o) const { return kind_ == o.kind_ && visible_ == o.visible_; }
    void assignBase(const CoverElement &o) { visible_ = o.visible_; }
    void changed() const
    {
        if (changed_)
            changed_();
    }

private:
    QString name_;
    Kind kind_;
    std::function<void()> changed_;
    bool visible_ = true;
};

// A rectangle element's position and size.
class BoxElement : public CoverElement
{
public:
    using CoverElement::CoverElement;

    double Left() const { return left_; }
    double Top() const { return top_; }
    double Width() const
    {
        settle();
        return width_;
    }
    double Height() const
    {
        settle();
        return height_;
    }
    // Values the window cannot hold (not finite, beyond +-32767, negative
    // sizes) are refused: the setter returns false and nothing changes.
    bool setLeft(double v);
    bool setTop(double v);
    virtual bool setWidth(double v);
    virtual bool setHeight(double v);
    void Move(double left, double top, double width, double height);
    QRectF rect() const
    {
        settle();
        return {left_, top_, width_, height_};
    }
    bool contains(const QPointF &pt) const override { return Visible() && rect().contains(pt); }

    static bool acceptsCoordinate(double v);

protected:
    BoxElement(const BoxElement &) = default;
    bool sameBox(const BoxElement &o) const
    {
        settle();
        o.settle();
        return sameBase(o) && left_ == o.left_ && top_ == o.top_ && width_ == o.width_ &&
               height_ == o.height_;
    }
    // A size still to be measured is taken as such.
    void assignBox(const BoxElement &o)
    {
        assignBase(o);
        left_ = o.left_;
        top_ = o.top_;
        width_ = o.width_;
        height_ = o.height_;
        sizePending_ = o.sizePending_;
    }
    // A size left to measure (a self-sizing label's) is measured when first asked for.
    void settle() const
    {
        if (sizePending_)
            measure();
    }
    virtual void measure() const {}
    double left_ = 0, top_ = 0;
    mutable double width_ = 0, height_ = 0;
    mutable bool sizePending_ = false;
};

class CoverLabel : public BoxElement
{
public:
    enum class Border { None, FixedSingle }; // FixedSingle: a thin black frame
    enum class Align { Left, Right, Centre };

    CoverLabel(QString name, std::function<void()> changed);

    const QString &Caption() const { return caption_; }
    void setCaption(const QString &text);

    const QString &FontName() const { return fontName_; }
    float FontSize() const { return fontSize_; }
    bool FontBold() const { return bold_; }
    bool FontItalic() const { return italic_; }
    bool FontStrikethru() const { return strike_; }
    bool FontUnderline() const { return underline_; }
    void setFontName(const QString &name);
    void setFontSize(float pt);
    void setFontBold(bool on);
    void setFontItalic(bool on);
    void setFontStrikethru(bool on);
    void setFontUnderline(bool on);

    qint32 ForeColor() const { return foreColor_; }
    void setForeColor(qint32 c);

    bool AutoSize() const { return autoSize_; }
    void setAutoSize(bool on);
    bool WordWrap() const { return wordWrap_; }
    void setWordWrap(bool on);
    Border BorderStyle() const { return borderStyle_; }
    void setBorderStyle(Border style);
    Align Alignment() const { return alignment_; }
    void setAlignment(Align a);

    // The font at 96 per inch as painted and measured.
    QFont font() const;
    void paint(QPainter &p, bool printing) const override;
    // A self-sizing line whose text would run past `right`: painted ending in "…" before it.
    bool Crosses(double right) const;
    void paintWithin(QPainter &p, double right) const;
    bool takesPointer() const override { return true; }
    std::unique_ptr<CoverElement> clone() const override;
    void assign(const CoverElement &other) override;
    bool sameAs(const CoverElement &other) const override;

private:
    CoverLabel(const CoverLabel &) = default;
    // Marks the size to be measured from the text and font: measuring loads the font, which a
    // hidden label never needs until its size is asked for.
    void resize();
    void measure() const override;
    void paintText(QPainter &p, const QString &text) const;
    QString caption_;
    QString fontName_;
    float fontSize_ = 8;
    bool bold_ = false, italic_ = false, strike_ = false, underline_ = false;
    qint32 foreColor_;
    bool autoSize_ = true;
    bool wordWrap_ = false;
    Border borderStyle_ = Border::None;
    Align alignment_ = Align::Left;
};

class CoverLine : public CoverElement
{
public:
    CoverLine(QString name, std::function<void()> changed);

    double X1() const { return x1_; }
    double Y1() const { return y1_; }
    double X2() const { return x2_; }
    double Y2() const { return y2_; }
    void setX1(double v);
    void setY1(double v);
    void setX2(double v);
    void setY2(double v);

    int BorderWidth() const { return borderWidth_; }
    // Refuses widths below 1 or above MaxBorderWidth.
    bool setBorderWidth(int w);
    qint32 BorderColor() const { return borderColor_; }
    void setBorderColor(qint32 c);

    static constexpr int MaxBorderWidth = 8192;
    void paint(QPainter &p, bool printing) const override;
    std::unique_ptr<CoverElement> clone() const override;
    void assign(const CoverElement &other) override;
    bool sameAs(const CoverElement &other) const override;

private:
    CoverLine(const CoverLine &) = default;
    double x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
    int borderWidth_ = 1;
    qint32 borderColor_ = 0;
};

class CoverShape : public BoxElement
{
public:
    enum class Outline { Solid, DashDotDot, InsideSolid };
    CoverShape(QString name, std::function<void()> changed);

    qint32 BackColor() const { return backColor_; }
    void setBackColor(qint32 c);
    bool Filled() const { return filled_; }
    void setFilled(bool on);
    int BorderWidth() const { return borderWidth_; }
    bool setBorderWidth(int w);
    qint32 BorderColor() const { return borderColor_; }
    void setBorderColor(qint32 c);
    Outline outline() const { return outline_; }
    void setOutline(Outline o);

    void paint(QPainter &p, bool printing) const override;
    std::unique_ptr<CoverElement> clone() const override;
    void assign(const CoverElement &other) override;
    bool sameAs(const CoverElement &other) const override;

private:
    CoverShape(const CoverShape &) = default;
    qint32 backColor_ = 0x00FFFFFF;
    bool filled_ = false;
    int borderWidth_ = 1;
    qint32 borderColor_ = 0;
    Outline outline_ = Outline::Solid;
};

// A picture stretched to the element's box. However large the box, the work
// and memory a paint takes are bounded by what the device shows of it: only the
// visible part of the box is scaled (and, for big pictures, decoded), looking
// there as the whole box scaled at once would.
class CoverImage : public BoxElement
{
public:
    CoverImage(QString name, std::function<void()> changed);

    // Loads a picture from a regular file; "" clears it. False (and the old
    // picture kept) when the file cannot be read as a picture.
    bool LoadPicture(const QString &path, QString *error = nullptr);
    // For paper only (the command line): the file is checked and its size read, but nothing is
    // decoded until a page asks for the picture at its own resolution.
    bool LoadPictureForPaper(const QString &path, QString *error = nullptr);
    void ClearPicture();
    bool HasPicture() const
    {
        return (picture_.picture && !picture_.picture->whole().isNull()) || paperOnly_ || builtIn_;
    }
    QSize SourceSize() const { return picture_.picture ? picture_.picture->sourceSize() : QSize(); }
    // A built-in picture (the circle-P symbol) of `size` pixels, drawn by `draw` only when first
    // painted: a document whose symbol stays hidden never loads the symbol's font.
    using BuiltInPicture = const QImage &(*)();
    void SetBuiltIn(BuiltInPicture draw, QSize size);

    // True when the picture came from a file that is no longer as it was then (changed, gone).
    bool FileChanged() const;

    void paint(QPainter &p, bool printing) const override;
    bool takesPointer() const override { return true; }
    std::unique_ptr<CoverElement> clone() const override;
    void assign(const CoverElement &other) override;
    bool sameAs(const CoverElement &other) const override;

    // Set by a paint on paper that could not use the picture's file (changed,
    // gone or unreadable since it was loaded) and drew the screen copy
    // instead; empty otherwise. Plain text naming the file.
    const QString &PrintNote() const { return picture_.note; }

    // The picture cut from its middle to the shape of `size` and scaled to it, for paper: from the
    // copy a print already decoded when that is fine enough, else read again at the detail needed.
    // Null without a picture.
    QImage PaperCrop(const QSize &size) const;
    // A copy of the document holds the same picture as `other`, the paper copy a print of it
    // decoded included: a second page of the same picture decodes nothing again. What that print
    // noted is kept here too (the first note of a job stays): a piece painted from a copy of the
    // document reports.
    void SharePaperCopy(const CoverImage &other) const;
    // A job of several pieces starts without the notes of the one before.
    void ForgetPrintNote() const { picture_.note.clear(); }

    // Pixel sizes of the copies the last paints made: the part of the box the
    // screen showed, the picture as decoded for the screen, the one drawn on paper.
    QSize ScreenCopySize() const { return picture_.shown.size(); }
    QSize DecodedSize() const { return picture_.picture ? picture_.picture->decodedSize() : QSize(); }
    QSize PrintCopySize() const { return picture_.printed; }

    // The smallest copy kept for the screen, so a box shrunk to nothing
    // still has a picture to grow from.
    static constexpr int MinScreenCopy = 64;
    // Pictures print at the printer's resolution up to this many dots per inch.
    static constexpr double MaxPrintDpi = 600;
    // The most pixels the screen keeps of a whole picture; a box whose visible
    // part needs finer detail than that has only that part decoded.
    static constexpr qint64 MaxWholeDecode = Picture::MaxWholeDecode;

private:
    CoverImage(const CoverImage &) = default;
    FileStamp stamp() const { return picture_.picture ? picture_.picture->stamp() : FileStamp(); }
    // Takes `picture` in place of the one held.
    void hold(std::shared_ptr<Picture> picture);

    QSize screenTarget(const QSize &want) const;
    QImage printImage(const QSizeF &deviceSize, const QSizeF &boxSize, const QSizeF &pageSize) const;
    void paintOnPaper(QPainter &p, const QRectF &box, const QRectF &shown) const;
    void paintOnScreen(QPainter &p, const QRectF &box, const QRectF &shown) const;
    QImage screenPart(const QSize &whole, const QRect &part) const;
    QString path_;
    bool paperOnly_ = false;
    BuiltInPicture builtIn_ = nullptr;
    mutable PictureHandle picture_;
    void drawBuiltIn() const
    {
        if (builtIn_ && picture_.picture && picture_.picture->whole().isNull())
            picture_.picture->setDrawn(builtIn_());
    }
    bool sameBuiltIn(const CoverImage &o) const
    {
        return builtIn_ == o.builtIn_ && (builtIn_ || picture_.picture == o.picture_.picture);
    }
};
