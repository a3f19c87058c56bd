#pragma once

#include <QRectF>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "cover_elements.h"
#include "designfile.h"

class QPainter;
namespace tracklist {
struct CoverTexts;
}

// A cover design as a value: the panel's parts in painting order, the values that the editing
// fields and boxes hold, and what governs behaviour without being stored (which headlines are
// kept centred, the panel's width). The window shows it; printing, export, undo, recovery and
// the command line work on it. Its operations are the editing commands, each with the steps
// and quirks the window has always had; a value set to what it already holds does nothing, as
// a field or box set to its own value never reacts.
class CoverDocument
{
public:
    // The panel's parts, in the order they were made (the first painted first, until a
    // headline's text brings it to the front). The window's names in the comments.
    enum Part : int {
        Panel,          // Shape1: the background; its dashed outline is the cut line
        MainPicture,    // Image1
        TopRule,        // Line1
        BottomRule,     // Line2
        OuterBox,       // Shape2
        Logo1,          // Image2, lower left
        Logo2,          // Image3, lower right
        FirstTitleLine, // Label4 ... Label27: titles 1-20, three credit lines, the paragraph
        LastTitleLine = FirstTitleLine + 23,
        NoticeLeft,     // Label28: "Copyright (c)"
        NoticeSymbol,   // Image4: the circle-P symbol
        NoticeRight,    // Label29: year, owner, "All Rights Reserved."
        BottomHeadline, // Label3
        TopHeadline,    // Label2
        PartCount
    };
    static constexpr int TitleLines = 24; // 20 titles, 3 credit lines, the lower paragraph
    static constexpr double NoticeBaseLine = 439;
    static constexpr float FrontWidth = 456, BackWidth = 519;

    // A headline and its fields: text (Text1/Text2), position as typed (Text5, Text6 / Text4,
    // Text9), "Boxed Text" (Check3/Check4), "Center" (Check13/Check14).
    struct Headline {
        QString text;
        QString topTyped, leftTyped;
        bool boxed = false;
        bool centred = true;
        // Left where it stands rather than re-centred when its text or font changes.
        bool free = false;
        bool operator==(const Headline &) const = default;
    };
    // "Hide Top Line" (Check1), "Hide Bottom Line" (Check2), "Line Thickness" as typed (Text3).
    struct Rules {
        bool hideTop = false, hideBottom = false;
        QString thicknessTyped = QStringLiteral("4");
        bool operator==(const Rules &) const = default;
    };
    // "Show Box" (Check5), its "Thickness" as typed (Text10).
    struct Box {
        bool shown = false;
        QString thicknessTyped = QStringLiteral("2");
        bool operator==(const Box &) const = default;
    };
    // The paths shown and stored (PIXFLN, Label30, LOGO2FLN) and the main picture's size as
    // typed ("W" Text7, "H" Text8).
    struct Pictures {
        QString mainPath, logo1Path, logo2Path;
        QString widthTyped, heightTyped;
        bool operator==(const Pictures &) const = default;
    };
    // "Show Titles" (Check7), "Lower Small" (Check6), "Lower Black" (Check8), "Center Lower"
    // (Check15).
    struct TitlesBlock {
        bool shown = false, lowerSmall = true, lowerBlack = false, lowerCentred = false;
        // The whole list when it is longer than the 20 title lines (a setting after the
        // records); empty otherwise.
        QStringList list;
        bool operator==(const TitlesBlock &) const = default;
    };
    static constexpr int MaxTitles = 99;
    static constexpr int CoverTitleLines = 20;
    static constexpr int MaxTitleLength = 255;
    // The tray card's spines and the disc face (settings after the records).
    struct CaseSet {
        QString spineText;                        // as typed; empty: the headlines
        bool spineUpward = false;                 // the hinge-side spine reads bottom to top
        double discDiameter = 118, discHole = 41; // millimetres
        bool operator==(const CaseSet &) const = default;
    };
    static constexpr double MinDiscDiameter = 100, MaxDiscDiameter = 120;
    static constexpr double MinDiscHole = 15, MaxDiscHole = 46;
    // "Post Copyright" (Check9), "Add ( P )" (Check10), "Copyright Black" (Check11), year (Text11)
    // and owner (Text12).
    struct Notice {
        bool posted = false, symbol = false, black = false;
        QString year, owner;
        bool operator==(const Notice &) const = default;
    };
    // "Front Cover" (Option1), "Back Cover" (Option4); the panel's width follows the selected one.
    struct Layout {
        bool front = true, back = false;
        float panelWidth = FrontWidth;
        bool operator==(const Layout &) const = default;
    };
    // The headline and titles face and size that New restores.
    struct Defaults {
        QString fontName;
        float fontSize = 8;
        bool operator==(const Defaults &) const = default;
    };

    // The start-up design; `uiFont` is the face and size of the window's labels, which the
    // titles start in and New restores.
    explicit CoverDocument(const QString &uiFontName = QString(), float uiFontSize = 8);
    CoverDocument(const CoverDocument &other);
    // Takes the other's values part by part: the parts stay where they are in memory.
    CoverDocument &operator=(const CoverDocument &other);
    ~CoverDocument();
    bool operator==(const CoverDocument &other) const;

    // Told of every change of a part (set once, by the window).
    void setChangeNotice(const std::function<void()> &notice);

    // ---- parts
    CoverElement &part(Part p) { return *parts_[size_t(p)]; }
    const CoverElement &part(Part p) const { return *parts_[size_t(p)]; }
    CoverShape &panel() { return shape(Panel); }
    CoverShape &outerBox() { return shape(OuterBox); }
    CoverLine &topRule() { return line(TopRule); }
    CoverLine &bottomRule() { return line(BottomRule); }
    CoverImage &mainPicture() { return image(MainPicture); }
    CoverImage &logo1() { return image(Logo1); }
    CoverImage &logo2() { return image(Logo2); }
    CoverImage &noticeSymbol() { return image(NoticeSymbol); }
    CoverLabel &topHeadline() { return label(TopHeadline); }
    CoverLabel &bottomHeadline() { return label(BottomHeadline); }
    CoverLabel &noticeLeft() { return label(NoticeLeft); }
    CoverLabel &noticeRight() { return label(NoticeRight); }
    // Title lines 1 to 24 (titles 1-20, credit lines 21-23, the paragraph 24).
    CoverLabel &titleLine(int line) { return label(Part(FirstTitleLine + line - 1)); }
    const CoverLabel &titleLine(int line) const { return label(Part(FirstTitleLine + line - 1)); }
    // Line 7 carries the titles' font and colour.
    const CoverLabel &titlesStyle() const { return titleLine(7); }
    const CoverLabel &topHeadline() const { return label(TopHeadline); }
    const CoverLabel &bottomHeadline() const { return label(BottomHeadline); }
    const CoverShape &panel() const { return static_cast<const CoverShape &>(part(Panel)); }
    const CoverImage &image(Part p) const { return static_cast<const CoverImage &>(part(p)); }
    // In painting order, the first painted first.
    const std::vector<CoverElement *> &PaintingOrder() const { return order_; }

    // ---- values
    Headline top, bottom;
    Rules rules;
    Box box;
    Pictures pictures;
    TitlesBlock titles;
    Notice notice;
    Layout layout;
    Defaults defaults;
    CaseSet caseSet;

    // ---- the centring rule: Left = (panel width - width) / 2, reduced three ways
    enum class Centring { Truncated, TruncatedAbsolute, Exact };
    double Centred(double width, Centring how) const;

    // ---- headlines and position fields
    void setTopText(const QString &text);         // Text1_Change
    void setBottomText(const QString &text);      // Text2_Change
    void setTopTopTyped(const QString &text);     // Text5_Change
    void setTopLeftTyped(const QString &text);    // Text6_Change
    void setBottomTopTyped(const QString &text);  // Text4_Change
    void setBottomLeftTyped(const QString &text); // Text9_Change
    void setTopCentred(bool on);                  // Check13_Click
    void setBottomCentred(bool on);               // Check14_Click
    void setTopBoxed(bool on);                    // Check3_Click
    void setBottomBoxed(bool on);                 // Check4_Click
    // Top Font and Bottom Font: all seven attributes, then re-centred in the new font. False
    // when the size was refused (what was applied before it stays).
    struct Font {
        QString name;
        float size = 8;
        qint32 color = 0;
        bool bold = false, italic = false, strikethru = false, underline = false;
    };
    bool setTopFont(const Font &font);
    bool setBottomFont(const Font &font);

    // ---- rules, box, symbol, colours
    void setTopRuleHidden(bool on);                  // Check1_Click
    void setBottomRuleHidden(bool on);               // Check2_Click
    void setRuleThicknessTyped(const QString &text); // Text3_Change
    void setBoxShown(bool on);                       // Check5_Click
    void setBoxThicknessTyped(const QString &text);  // Text10_Change
    void setSymbolAdded(bool on);                    // Check10_Click
    void setBackgroundColor(qint32 color);
    void setRuleColor(qint32 color);
    void setBoxColor(qint32 color);

    // ---- titles block
    void setTitlesShown(bool on);  // Check7_Click
    void setLowerSmall(bool on);   // Check6_Click
    void setLowerBlack(bool on);   // Check8_Click
    void setLowerCentred(bool on); // Check15_Click
    // A title line as typed; while a long list is present, title lines 1 to 20 are its first 20.
    void setTitle(int line, const QString &text);
    // Titles Font: false when a line refused the size (the lines before it keep the new font).
    bool setTitlesFont(const QString &name, float size, qint32 color);

    // ---- the whole list of titles
    // The titles in order: the long list while there is one, else the 20 title lines up to the
    // last one that is not empty.
    QStringList TitleList() const;
    // Sets the whole list (the list editor, an import): 20 or fewer go to the title lines and the
    // lines past them are emptied; a longer list is kept whole, its first 20 in the lines as
    // well. The credit lines and the note are never touched. Returns how many titles past
    // MaxTitles were left out.
    qsizetype setTitleList(const QStringList &titles);
    // A title as a list keeps it: one line without control characters, at most MaxTitleLength.
    static QString ListTitle(QString text);
    // Where the long list stands: the area of the 20 title lines down to the first credit line,
    // in 2 to 4 columns filled top to bottom, at the largest size up to the titles' own that
    // fits, never below MinListPoints. Titles that 6 pt cannot hold are not shown.
    struct ListLayout {
        QRectF area;
        float points = 0;
        int columns = 0, rows = 0;
        double pitch = 0;       // from one row's top to the next
        double columnWidth = 0; // a title wider than its column is cut short at its edge
        qsizetype shown = 0;    // titles drawn
        qsizetype cut = 0;      // titles drawn cut short
    };
    static constexpr float MinListPoints = 6;
    bool LongList() const { return titles.list.size() > CoverTitleLines; }
    ListLayout LayOutList() const;
    // How far right a title or credit line reaches on the page: the inner edge of the cut line.
    // A shown line that would run past it is painted ending in "…" there.
    double LineEdge() const;
    // Titles painted cut short: the long list's at its columns, and the title lines (the 20, when
    // no list stands in their place, and the three credit lines) at the cut line.
    struct CutShort {
        qsizetype inColumns = 0;
        int atEdge = 0;
        qsizetype total() const { return inColumns + atEdge; }
    };
    CutShort TitlesCutShort() const;

    // ---- copyright notice
    void setNoticePosted(bool on);            // Check9_Click
    void setNoticeBlack(bool on);             // Check11_Click
    void setNoticeYear(const QString &text);  // Text11_Change
    void setNoticeOwner(const QString &text); // Text12_Change
    static QString NoticeLeftText();

    // ---- pictures
    enum class Slot { Main, Logo1, Logo2 };
    CoverImage &picture(Slot slot);
    const QString &picturePath(Slot slot) const;
    // Loads a picture as Picture, Logo 1 and Logo 2 do; false (nothing changed) with a reason.
    bool loadPicture(Slot slot, const QString &path, QString *error);
    void clearPicture(Slot slot);                    // the removal's "Yes"
    void setPictureWidthTyped(const QString &text);  // Text7_Change
    void setPictureHeightTyped(const QString &text); // Text8_Change
    // "Fit Box to Picture": the main picture's box keeps its width and takes the height of the
    // picture's proportions, in whole pixels, as if typed into W and H. A box that would leave
    // the panel is made smaller, in the same proportions, to fit it. False without a picture.
    bool fitBoxToPicture();

    // ---- layouts
    void setFront(bool on); // Option1_Click when selected
    void setBack(bool on);  // Option4_Click when selected

    // ---- whole designs
    void newDesign(const QString &year); // New, after its question
    // A track list: its titles as if typed into the titles window, its headlines as if typed
    // into theirs, and the titles block shown.
    void applyTrackImport(const tracklist::CoverTexts &texts);
    // The 75 records as Save writes them.
    QStringList Records() const;
    // The settings lines Save writes after them: none while every setting has its default, so
    // that such a design is written exactly as the records alone.
    QStringList Settings() const;
    // The case set's settings as the dialogs change them. A spine text longer than MaxTitleLength
    // or holding control characters, and disc sizes out of range, are refused: false, a reason,
    // nothing changed. The text is kept as typed, never read as markup; "" follows the headlines.
    bool setSpineText(const QString &text, QString *error = nullptr);
    void setSpineUpward(bool on);
    bool setDiscSize(double diameter, double hole, QString *error = nullptr);
    // Takes the settings from lines read after the records: unknown keys and values out of
    // range are passed over, and what the lines do not set has its default.
    void applySettings(const QStringList &lines);
    // Open: applies a design file's records (and the settings read with them) in the order the editing
    // reactions need. Every picture is read again, unless `keepSame` and the picture shown has the path the
    // records name; one that cannot be read leaves itself and the later ones out (false). `readPicture` loads
    // a path into a picture (the screen's loader by default).
    using PictureReader = std::function<bool(CoverImage &, const QString &)>;
    bool applyRecords(const designfile::Records &records, const PictureReader &readPicture = {},
                      bool keepSame = false);

    // Paints the visible parts, the first painted first; `printing` on paper.
    // Without the panel, a piece of the case paints its own background and cut line.
    void paint(QPainter &p, bool printing, bool withPanel = true) const;
    // Brings a part to the front of the painting order.
    void bringToFront(Part p);

private:
    CoverLabel &label(Part p) { return static_cast<CoverLabel &>(part(p)); }
    const CoverLabel &label(Part p) const { return static_cast<const CoverLabel &>(part(p)); }
    CoverLine &line(Part p) { return static_cast<CoverLine &>(part(p)); }
    CoverShape &shape(Part p) { return static_cast<CoverShape &>(part(p)); }
    CoverImage &image(Part p) { return static_cast<CoverImage &>(part(p)); }
    void headlineTextChanged(Headline &h, Part p, Centring how, bool toFront);
    void setNoticeRowTop(double top);
    double raisedNoticeTop() const;
    void layoutNoticeRow();
    void setNoticeTexts();
    void setNoticeRightCaption(const QString &text);
    void switchLayout(bool selected, bool front);
    void applyLowerStyle();
    void paintList(QPainter &p) const;
    // The layout, and each title's width per pixel of type size (for the painting).
    ListLayout layOutList(std::vector<double> *widths) const;

    std::array<std::unique_ptr<CoverElement>, PartCount> parts_;
    std::vector<CoverElement *> order_;
};
