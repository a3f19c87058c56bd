#pragma once

#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "commondialog.h"
#include "cover_elements.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class Titles;
class Save;
class Wait;
class Error;
class Pixclear;
namespace tracklist {
struct CoverTexts;
}

// The cover designer's main window: the left part is the cover panel, the
// right part and the bottom row hold the editing controls. There is no
// separate document: the design is the elements' and controls' properties.
class Design : public QWidget
{
    Q_OBJECT
public:
    explicit Design(QWidget *parent = nullptr);
    ~Design() override;

    static constexpr int ClientWidth = 754;
    static constexpr int ClientHeight = 487;
    static constexpr double NoticeBaseLine = 439;
    // Text fields hold whatever a design file's record can (64 KiB).
    static constexpr int LongestText = 64 * 1024;

    // ---- cover elements (z-order: first painted first)
    CoverShape *Shape1 = nullptr;
    CoverShape *Shape2 = nullptr;
    CoverLine *Line1 = nullptr;
    CoverLine *Line2 = nullptr;
    CoverImage *Image1 = nullptr, *Image2 = nullptr, *Image3 = nullptr, *Image4 = nullptr;
    CoverLabel *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr, *Label5 = nullptr, *Label6 = nullptr,
               *Label7 = nullptr, *Label8 = nullptr, *Label9 = nullptr, *Label10 = nullptr,
               *Label11 = nullptr, *Label12 = nullptr, *Label13 = nullptr, *Label14 = nullptr,
               *Label15 = nullptr, *Label16 = nullptr, *Label17 = nullptr, *Label18 = nullptr,
               *Label19 = nullptr, *Label20 = nullptr, *Label21 = nullptr, *Label22 = nullptr,
               *Label23 = nullptr, *Label24 = nullptr, *Label25 = nullptr, *Label26 = nullptr,
               *Label27 = nullptr, *Label28 = nullptr, *Label29 = nullptr;
    // Label2 ... Label29 by number.
    CoverLabel *CoverLabelN(int n) const;
    // An element by its name ("Label2", "Image1", "Line1", "Shape2").
    CoverElement *Element(const QString &name) const;
    const std::vector<std::unique_ptr<CoverElement>> &Elements() const { return elements_; }

    // ---- editing controls
    QCheckBox *Check1 = nullptr, *Check2 = nullptr, *Check3 = nullptr, *Check4 = nullptr, *Check5 = nullptr,
              *Check6 = nullptr, *Check7 = nullptr, *Check8 = nullptr, *Check9 = nullptr, *Check10 = nullptr,
              *Check11 = nullptr, *Check12 = nullptr, *Check13 = nullptr, *Check14 = nullptr,
              *Check15 = nullptr;
    QLineEdit *Text1 = nullptr, *Text2 = nullptr, *Text3 = nullptr, *Text4 = nullptr, *Text5 = nullptr,
              *Text6 = nullptr, *Text7 = nullptr, *Text8 = nullptr, *Text9 = nullptr, *Text10 = nullptr,
              *Text11 = nullptr, *Text12 = nullptr;
    QPushButton *Command1 = nullptr, *Command2 = nullptr, *Command3 = nullptr, *Command4 = nullptr,
                *Command5 = nullptr, *Command6 = nullptr, *Command7 = nullptr, *Command8 = nullptr,
                *Command9 = nullptr, *Command10 = nullptr, *Command11 = nullptr, *Command12 = nullptr,
                *Command13 = nullptr, *Command14 = nullptr, *Command15 = nullptr, *Command16 = nullptr;
    QRadioButton *Option1 = nullptr, *Option4 = nullptr;
    QLabel *Label1 = nullptr, *LTHICK = nullptr, *TLUD = nullptr, *TLLR = nullptr, *BLUD = nullptr,
           *BLLR = nullptr, *PIXW = nullptr, *PIXH = nullptr, *PIXFLN = nullptr, *Label30 = nullptr,
           *LOGO2FLN = nullptr;

    CommonDialog CommonDialog1;

    // Check box values are 0 and 1; option values true and false. Setting a
    // value from code reacts as the user's click does when the value changes.
    static int Value(const QCheckBox *box);
    static void SetValue(QCheckBox *box, int value);
    static bool Value(const QRadioButton *option);
    static void SetValue(QRadioButton *option, bool value);

    // The window's background colour (0x00BBGGRR).
    qint32 BackColor() const { return backColor_; }
    void setBackColor(qint32 color);

    // Secondary windows: created when first touched, hidden (not destroyed) after use.
    Titles *TitlesForm();
    bool TitlesLoaded() const { return !titles_.isNull(); }
    Save *SaveForm();
    Wait *WaitForm();
    Error *ErrorForm();
    Pixclear *PixclearForm();
    bool SaveLoaded() const { return !save_.isNull(); }
    bool WaitLoaded() const { return !wait_.isNull(); }
    bool ErrorLoaded() const { return !error_.isNull(); }
    bool PixclearLoaded() const { return !pixclear_.isNull(); }

    // Paints the client area as it stands: background and the visible cover
    // elements. The screen and the printer share it.
    void PaintClientArea(QPainter &p, bool printing) const;
    // Redraws the window.
    void Refresh();

    // The product credit line shown over the window background.
    static QString CreditLine();

    // The centring rule: Left = (PanelWidth - width) / 2, reduced three ways.
    enum class Centring { Truncated, TruncatedAbsolute, Exact };
    static double Centred(double width, Centring how);

    // ---- start-up and closing
    void Form_Load();
    void Form_QueryUnload(bool &cancel);

    // ---- layouts
    void Option1_Click();
    void Option4_Click();

    // ---- headlines and position fields
    void Text1_Change();
    void Text2_Change();
    void Text4_Change();
    void Text5_Change();
    void Text6_Change();
    void Text9_Change();
    void Check13_Click();
    void Check14_Click();
    void Label29_Change();

    // ---- lines, box and symbol
    void Check1_Click();
    void Check2_Click();
    void Check3_Click();
    void Check4_Click();
    void Check5_Click();
    void Check10_Click();
    void Text3_Change();
    void Text10_Change();

    // ---- titles block options
    void Check6_Click();
    void Check7_Click();
    void Check8_Click();
    void Check15_Click();

    // ---- copyright notice
    void Check9_Click();
    void Check11_Click();
    void Text11_Change();
    void Text12_Change();

    // ---- pictures
    void Command8_Click();
    void Command9_Click();
    void Command12_Click();
    void Command16_Click();
    void Text7_Change();
    void Text8_Change();

    // ---- design files and the save prompt
    void Command1_Click(); // Open
    void Command2_Click(); // Save
    void Command4_Click(); // New
    void Check12_Click();
    // The 75 records of the design as they stand (record 1 first).
    QStringList DesignRecords() const;
    // Reads and applies a design file, as Open does after its dialog; a file
    // that cannot be read is reported and changes nothing.
    bool OpenDesignFile(const QString &path);
    // Applies a design read from `path` in the order the controls' reactions need.
    void LoadDesign(const QString &path, const std::array<std::optional<QString>, 75> &records);
    // A short, non-blocking message; the last one is kept for tests.
    void ReportProblem(const QString &title, const QString &text);
    const QString &LastProblem() const { return lastProblem_; }

    // ---- fonts and colours
    void Command3_Click();  // Background color
    void Command5_Click();  // Top Font
    void Command6_Click();  // Line Color
    void Command10_Click(); // Bottom Font
    void Command13_Click(); // Box Color
    void Command15_Click(); // Titles Font

    // ---- titles entry, printing
    void Command14_Click(); // Enter Title Names
    void Command7_Click();  // Print
    void Command11_Click(); // Print Set Up

    // The notice row (Label28, Image4, Label29) shares one Top.
    void SetNoticeRowTop(double top);
    // Top of the row for the box allowance: 439 - (TextNumber(Text10) - 2).
    double RaisedNoticeTop() const;
    // Centres the row as a whole and places its pieces.
    void LayoutNoticeRow();
    // "Copyright " and the copyright sign.
    static QString NoticeLeftText();
    // Label29 from the year and owner fields: year, blank, owner, " All Rights Reserved."
    void SetNoticeTexts();
    // Sets Label29's caption; a change runs Label29_Change.
    void SetLabel29Caption(const QString &text);

    // Title-bar help of the titles window, attached when it is created.
    void InstallTitlesHelp(Titles *titles);

    // Title lines in the order that receives the titles font.
    static const std::array<int, 21> &TitleFontOrder();

    // ---- styling, printing and help helpers (design_styles/print/help.cpp)

    // ---- track list import (design_import.cpp)
    // Writes an import through the titles window's fields (the labels follow as for typing),
    // sets the headlines it carries and ticks "Show Titles". One call: one step to undo.
    void ApplyTrackImport(const tracklist::CoverTexts &texts);
    // Reads files, a folder, a list or "cdda:", shows the preview and applies it when confirmed.
    bool ImportTracksFrom(const QStringList &paths);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    template <class E> E *addElement(const QString &name);
    void createElements();
    void createControls();
    void connectControls();
    void installHelpTexts();
    void ZOrderFront(CoverElement *element);
    void loadPictureInto(CoverImage *image, QLabel *pathLabel);
    void headlineTextChanged(CoverLabel *label, QLineEdit *field, QLineEdit *leftField, qint16 free,
                             Centring how, bool bringToFront);
    void ShowOver(QWidget *w);
    void ShowSavePrompt();
    bool PromptWanted() const;
    QString lastProblem_;

    std::vector<std::unique_ptr<CoverElement>> elements_;
    std::array<CoverLabel *, 30> labels_{};
    qint32 backColor_;
    QPointer<Titles> titles_;
    QPointer<Save> save_;
    QPointer<Wait> wait_;
    QPointer<Error> error_;
    QPointer<Pixclear> pixclear_;

    friend class Save;
};
