#pragma once

#include <QAnyStringView>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

#include "casepages.h"
#include "commondialog.h"
#include "coverdocument.h"
#include "coverpage.h"
#include "designfile.h"
#include "recovery.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTimer;
class QUndoStack;

class Titles;
class Save;
class Wait;
class Error;
class Pixclear;
namespace tracklist {
struct CoverTexts;
}

// The cover designer's main window, a view of its document: the left part shows the cover
// panel, the right part and the bottom row hold the editing controls. Each handler calls the
// document's operation; the controls are then set from the document.
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

    // The design shown. Changing it from outside (tests, tools) is followed by Refresh().
    CoverDocument &Document() { return doc_; }
    const CoverDocument &Document() const { return doc_; }
    // The file the design was last opened from or saved to ("" for none).
    const QString &DesignPath() const;
    // The command the save prompt holds back until it is answered.
    enum class Pending { None, Open, New, Close };
    Pending PendingAction() const { return pending_; }

    // ---- the document's parts under the window's names (the first painted first)
    CoverShape *Shape1 = nullptr;  // the panel's background; its dashed outline is the cut line
    CoverShape *Shape2 = nullptr;  // the outer box ("Show Box")
    CoverLine *Line1 = nullptr;    // the top rule ("Hide Top Line")
    CoverLine *Line2 = nullptr;    // the bottom rule ("Hide Bottom Line")
    CoverImage *Image1 = nullptr;  // the main picture ("Picture")
    CoverImage *Image2 = nullptr;  // logo 1, lower left ("Logo 1")
    CoverImage *Image3 = nullptr;  // logo 2, lower right ("Logo 2")
    CoverImage *Image4 = nullptr;  // the circle-P symbol of the notice ("Add ( P )")
    CoverLabel *Label2 = nullptr;  // the top headline
    CoverLabel *Label3 = nullptr;  // the bottom headline
    CoverLabel *Label4 = nullptr;  // title 1 (left column: titles 1 to 10)
    CoverLabel *Label5 = nullptr;  // title 2
    CoverLabel *Label6 = nullptr;  // title 3
    CoverLabel *Label7 = nullptr;  // title 4
    CoverLabel *Label8 = nullptr;  // title 5
    CoverLabel *Label9 = nullptr;  // title 6
    CoverLabel *Label10 = nullptr; // title 7; carries the titles font ("Titles Font")
    CoverLabel *Label11 = nullptr; // title 8
    CoverLabel *Label12 = nullptr; // title 9
    CoverLabel *Label13 = nullptr; // title 10
    CoverLabel *Label14 = nullptr; // title 11 (right column: titles 11 to 20)
    CoverLabel *Label15 = nullptr; // title 12
    CoverLabel *Label16 = nullptr; // title 13
    CoverLabel *Label17 = nullptr; // title 14
    CoverLabel *Label18 = nullptr; // title 15
    CoverLabel *Label19 = nullptr; // title 16
    CoverLabel *Label20 = nullptr; // title 17
    CoverLabel *Label21 = nullptr; // title 18
    CoverLabel *Label22 = nullptr; // title 19
    CoverLabel *Label23 = nullptr; // title 20
    CoverLabel *Label24 = nullptr; // credit line 1, publisher
    CoverLabel *Label25 = nullptr; // credit line 2, producer
    CoverLabel *Label26 = nullptr; // credit line 3, engineer
    CoverLabel *Label27 = nullptr; // the lower information paragraph
    CoverLabel *Label28 = nullptr; // the notice's "Copyright (c)"
    CoverLabel *Label29 = nullptr; // the notice's year, owner and "All Rights Reserved."
    // Label2 ... Label29 by number.
    CoverLabel *CoverLabelN(int n) const;
    // An element by its name ("Label2", "Image1", "Line1", "Shape2").
    CoverElement *Element(const QString &name) const;
    // In painting order.
    const std::vector<CoverElement *> &Elements() const { return doc_.PaintingOrder(); }

    // ---- editing controls, with their captions
    QCheckBox *Check1 = nullptr;      // "Hide Top Line"
    QCheckBox *Check2 = nullptr;      // "Hide Bottom Line"
    QCheckBox *Check3 = nullptr;      // "Boxed Text" (top headline)
    QCheckBox *Check4 = nullptr;      // "Boxed Text" (bottom headline)
    QCheckBox *Check5 = nullptr;      // "Show Box"
    QCheckBox *Check6 = nullptr;      // "Lower Small"
    QCheckBox *Check7 = nullptr;      // "Show Titles"
    QCheckBox *Check8 = nullptr;      // "Lower Black"
    QCheckBox *Check9 = nullptr;      // "Post Copyright"
    QCheckBox *Check10 = nullptr;     // "Add ( P )"
    QCheckBox *Check11 = nullptr;     // "Copyright Black"
    QCheckBox *Check12 = nullptr;     // "Save Prompt"
    QCheckBox *Check13 = nullptr;     // "Center" (top headline)
    QCheckBox *Check14 = nullptr;     // "Center" (bottom headline)
    QCheckBox *Check15 = nullptr;     // "Center Lower"
    QLineEdit *Text1 = nullptr;       // top headline text
    QLineEdit *Text2 = nullptr;       // bottom headline text
    QLineEdit *Text3 = nullptr;       // "Line Thickness"
    QLineEdit *Text4 = nullptr;       // "U - D" of the bottom headline (its Top)
    QLineEdit *Text5 = nullptr;       // "U - D" of the top headline (its Top)
    QLineEdit *Text6 = nullptr;       // "L - R" of the top headline (its Left)
    QLineEdit *Text7 = nullptr;       // "W" of the main picture
    QLineEdit *Text8 = nullptr;       // "H" of the main picture
    QLineEdit *Text9 = nullptr;       // "L - R" of the bottom headline (its Left)
    QLineEdit *Text10 = nullptr;      // "Thickness" of the outer box
    QLineEdit *Text11 = nullptr;      // copyright year
    QLineEdit *Text12 = nullptr;      // copyright owner
    QPushButton *Command1 = nullptr;  // "Open"
    QPushButton *Command2 = nullptr;  // "Save"
    QPushButton *Command3 = nullptr;  // "Background color"
    QPushButton *Command4 = nullptr;  // "New"
    QPushButton *Command5 = nullptr;  // "Top Font"
    QPushButton *Command6 = nullptr;  // "Line Color"
    QPushButton *Command7 = nullptr;  // "Print"
    QPushButton *Command8 = nullptr;  // "Picture"
    QPushButton *Command9 = nullptr;  // "Logo 1"
    QPushButton *Command10 = nullptr; // "Bottom Font"
    QPushButton *Command11 = nullptr; // "Print Set Up"
    QPushButton *Command12 = nullptr; // "Logo 2"
    QPushButton *Command13 = nullptr; // "Box Color"
    QPushButton *Command14 = nullptr; // "Enter Title Names"
    QPushButton *Command15 = nullptr; // "Titles Font"
    QPushButton *Command16 = nullptr; // "CLR"
    QRadioButton *Option1 = nullptr;  // "Front Cover"
    QRadioButton *Option4 = nullptr;  // "Back Cover"
    QLabel *Label1 = nullptr;         // "Thickness" (of the outer box)
    QLabel *LTHICK = nullptr;         // "Line Thickness"
    QLabel *TLUD = nullptr;           // "U - D" (top headline)
    QLabel *TLLR = nullptr;           // "L - R" (top headline)
    QLabel *BLUD = nullptr;           // "U - D" (bottom headline)
    QLabel *BLLR = nullptr;           // "L - R" (bottom headline)
    QLabel *PIXW = nullptr;           // "W"
    QLabel *PIXH = nullptr;           // "H"
    QLabel *PIXFLN = nullptr;         // path of the main picture
    QLabel *Label30 = nullptr;        // path of logo 1
    QLabel *LOGO2FLN = nullptr;       // path of logo 2

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
    // Sets the controls whose shown value differs from the document's (without their
    // reactions) and redraws.
    void Refresh();

    // One editing control: its name, caption and place (a width of 0 takes the caption's), the
    // member that holds it, the document value it shows and the operation it calls.
    struct ControlRow {
        const char *name;
        const char *caption;
        QRect place;
        std::variant<QCheckBox * Design::*, QLineEdit * Design::*, QPushButton * Design::*,
                     QRadioButton * Design::*, QLabel * Design::*>
            member;
        bool (*on)(const CoverDocument &);               // check boxes and options: shown ticked
        QString (*text)(const CoverDocument &);          // fields and path labels: the text shown
        void (CoverDocument::*setOn)(bool);              // a click's operation
        void (CoverDocument::*setText)(const QString &); // a field's operation
        void (Design::*command)();                       // a button's
        bool (*shownWhen)(const CoverDocument &);        // shown only while true
    };
    // Every editing control, in the order made (the tab order); design_controls.cpp.
    static const std::vector<ControlRow> &ControlTable();
    // A control by its name in the table; null for none.
    QWidget *Control(QAnyStringView name) const;
    template <class W> W *Control(QAnyStringView name) const { return qobject_cast<W *>(Control(name)); }
    // Controls Refresh has set from the document since the window was made.
    int ControlsRefreshed() const { return controlsRefreshed_; }

    // The product credit line shown over the window background.
    static QString CreditLine();

    // ---- start-up and closing
    void Form_Load();
    void Form_QueryUnload(bool &cancel);

    // ---- pictures
    void Command8_Click();
    void Command9_Click();
    void Command12_Click();
    void Command16_Click();

    // ---- design files and the save prompt
    void Command1_Click(); // Open
    void Command2_Click(); // Save
    void Command4_Click(); // New
    // The save behind "Save" and the prompt's "Yes": true when the design was written. Without
    // `askName` (Ctrl+S) a design that has a file is written to it without the dialog.
    bool SaveDesign(bool askName = true);
    // The prompt's answer: goes on with the Open, New or closing that raised it.
    void ContinuePendingAction();
    // The design as Save writes it: the 75 records (record 1 first), then any settings lines.
    QStringList DesignRecords() const;
    // True when the records differ from those at the last save, Open, New or start-up
    // (what a design file would store, not whether anything was touched).
    bool IsModified() const;
    // Reads and applies a design file, as Open does after its dialog; a file
    // that cannot be read is reported and changes nothing.
    bool OpenDesignFile(const QString &path);
    // Applies a design read from `path` in the order the controls' reactions need; the
    // design is then unmodified.
    void LoadDesign(const QString &path, const designfile::Records &records);
    // Applies records through the same path without Open's windows and without counting as
    // an Open (the design stays modified or not by its records). Pictures whose path is
    // unchanged are kept rather than read again.
    void ApplyRecords(const designfile::Records &records, const QString &designPath);
    // A short, non-blocking message; the last one is kept for tests.
    void ReportProblem(const QString &title, const QString &text);
    const QString &LastProblem() const { return lastProblem_; }

    // ---- recovery copies (design_recovery.cpp)
    // Keeps a recovery copy in `folder` (RecoveryStore::DefaultFolder() when empty) while the
    // design is modified, and offers back the copies of designers that ended without saving.
    // The program calls it once its window is up.
    void StartRecovery(const QString &folder = QString());
    // Writes the recovery copy, or removes it when nothing is unsaved; runs a few seconds after
    // a change, never on the keystroke itself.
    void WriteRecoveryCopy();
    static constexpr int RecoveryDelayMs = 3000;
    bool RecoveryCopyDue() const;
    const RecoveryStore *Recovery() const { return recovery_.get(); }

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

    // Title-bar help of the titles window, attached when it is created.
    void InstallTitlesHelp(Titles *titles);
    // A title typed in the titles window (lines 1-24).
    void TitleTyped(int line, const QString &text);

    // ---- styling, printing and help helpers (design_styles/print/help.cpp)

    // ---- track list import (design_import.cpp)
    // Writes an import through the titles window's fields (the labels follow as for typing),
    // sets the headlines it carries and ticks "Show Titles". One call: one step to undo.
    void ApplyTrackImport(const tracklist::CoverTexts &texts);
    // Reads files, a folder, a list or "cdda:", shows the preview and applies it when confirmed.
    bool ImportTracksFrom(const QStringList &paths);
    // "Import Track List…" and Ctrl+I: chooses the sources (the chooser parented to `parent`)
    // and imports them.
    bool ChooseAndImportTracks(QWidget *parent);
    // "All Titles…" (the titles window, the cover's menu, Ctrl+Shift+I): the whole list in the
    // import's list, edited there; OK writes it as one step, Cancel changes nothing.
    // "Fit Box to Picture" (the cover's menu): the main picture's box takes the picture's
    // proportions at its width, as one step; false without a picture.
    bool FitBoxToPicture();
    bool EditAllTitles(QWidget *parent);
    // Titles that `texts`, once applied, would draw cut short: in the long list's columns at the
    // smallest type, or at the cut line.
    CoverDocument::CutShort CutShortBy(const tracklist::CoverTexts &texts) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void bindElements();
    void createControls();
    void connectControls();
    void installHelpTexts();
    void loadPictureInto(CoverDocument::Slot slot);
    // After a print: says which pictures came from their screen copies.
    void reportPicturesFromScreenCopies();
    void ShowOver(QWidget *w);
    void ShowSavePrompt();
    bool PromptWanted();
    enum class Loading { Open, Apply };
    void loadRecords(const designfile::Records &r, Loading how);
    // Sets one control from the document without its reaction: the one place that does.
    void showRow(const ControlRow &row, QWidget *control);
    std::vector<QWidget *> controls_; // in the table's order
    int controlsRefreshed_ = 0;
    // The design as it stands becomes the one there is nothing to save of.
    void markUnmodified(QStringList records);
    QString lastProblem_;
    QStringList unmodifiedRecords_;
    bool promptAnswered_ = false;
    // Something may have changed: the recovery copy is due in a few seconds.
    void noteChange();
    void offerRecovery();
    void restoreRecovery(const RecoveryStore::Orphan &orphan);
    std::unique_ptr<RecoveryStore> recovery_;
    QTimer *recoveryTimer_ = nullptr;
    QList<RecoveryStore::Orphan> orphans_;
    QStringList recoveryWritten_;

    CoverDocument doc_;
    Pending pending_ = Pending::None;
    std::array<CoverLabel *, 30> labels_{};
    qint32 backColor_;
    QPointer<Titles> titles_;
    QPointer<Save> save_;
    QPointer<Wait> wait_;
    QPointer<Error> error_;
    QPointer<Pixclear> pixclear_;

    // ---- beyond the window's own controls: shortcuts, the cover's menu, export,
    // preview, drag-and-drop, the printer lookup (design_menu.cpp,
    // design_export.cpp, design_drop.cpp, design_print.cpp)
public:
    // The cover panel; its outer edge is the cut line.
    QRectF PanelRect() const;
    // The visible cover elements, first painted first, without the background.
    void PaintElements(QPainter &p, bool printing) const;
    // The page that Print sends, preview shows and export writes: the client
    // area as printing paints it, on white.
    void PaintPage(QPainter &p) const;
    // Prints the page on `printerName` (a queue named on a command line), else on
    // the printer chosen in Print Set Up, else on the system's default; false
    // with a reason (naming the printer) when nothing was printed.
    bool PrintCover(const QString &printerName, QString *error);
    void PrintPreview(); // "Print Preview…"

    // White margin around an exported panel, in pixels at 96 per inch.
    static constexpr double ExportMargin = coverpage::ExportMargin;
    // Writes the panel and its cut line as a page of its own; `dpi` is the PNG's.
    bool ExportCover(const QString &path, pageexport::Format format, int dpi, QString *error,
                     const safewrite::Options &options = {}) const;
    void ExportPdf(); // "Export PDF…"
    void ExportPng(); // "Export PNG…": the file type chosen in the dialog gives the resolution

    // Opens a design file after the save question, as Open does after its dialog.
    void OpenPath(const QString &path);
    // Loads a picture into a slot as Picture, Logo 1 and Logo 2 do: on failure
    // nothing changes and a message names the file and says why.
    bool LoadPictureFile(CoverDocument::Slot slot, const QString &path);
    // The removal's "Yes" for one slot.
    void ClearPicture(CoverDocument::Slot slot);
    // The picture dialog's filter: every format that can be read, the first three first.
    static QString PictureFilter();

    // ---- the case set (design_caseset.cpp): other outputs of the same design
    // Print As: the cover as shown is Print itself; the others go to the same printer.
    void PrintAs(casepages::Output output);
    // Export As: the file type chosen in the dialog gives PDF or PNG and its resolution.
    void ExportAs(casepages::Output output);
    bool ExportOutput(casepages::Output output, const QString &path, pageexport::Format format, int dpi,
                      QString *error, const safewrite::Options &options = {}) const;
    void EditSpine(); // "Spine…"
    void EditDisc();  // "Disc Face…"

    // The cover's context menu, made afresh each time it is shown.
    QMenu *CoverMenu();
    // A non-blocking message in plain text; the last text is kept for tests.
    void ShowNotice(const QString &title, const QString &text);
    const QString &LastNotice() const { return lastNotice_; }

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

public:
    // ---- undo and redo of the whole design (design_undo.cpp)
    // The design's history: each step holds the document before and after. A change becomes a
    // step once the event loop is reached, so whatever one click, drop or import changes is one
    // step; typing into one field is one step until the focus moves. A step is named after the
    // command that made it ("Typing", "Show Titles"), shown as "Undo Show Titles".
    QUndoStack *UndoStack() const { return undo_; }
    // Makes a change still waiting for the event loop a step now.
    void FlushUndo();
    void Undo();
    void Redo();
    static constexpr int UndoLimit = 200;
    // Names the step the next change becomes (the last name given before it is taken wins).
    void NameStep(const QString &name);

private:
    class Step;
    // A design as loaded or last saved: what "modified" is measured against.
    struct DesignFile {
        QString path;
        QStringList unmodified;
    };
    struct DesignState {
        std::shared_ptr<const CoverDocument> doc;
        int document = 0;
        bool operator==(const DesignState &o) const { return document == o.document && *doc == *o.doc; }
    };
    void installUndo();
    void noteUndoable();
    void recordStep();
    void watchTyping(QLineEdit *field);
    // Open and New start a new document; the history goes back across them.
    void startDocument();
    DesignState currentState() const;
    void restoreState(const DesignState &state);
    QUndoStack *undo_ = nullptr;
    QTimer *undoTimer_ = nullptr;
    DesignState undoBase_;
    QList<DesignFile> documents_{DesignFile{}};
    int document_ = 0;
    QPointer<QLineEdit> typedField_; // typed into since the last step
    int typingRun_ = 0;              // grows whenever the focus moves
    bool restoring_ = false;
    QString stepName_;

    void installShortcutsAndDrops();
    void exportWithDialog(pageexport::Format format);
    void applySpine(const QString &text, bool upward);
    void applyDisc(double diameter, double hole);
    // Says, without blocking, why nothing was printed.
    void ShowPrintFailure(const QString &reason);
    // Opens the design that OpenPath left for Open; false when there is none.
    bool OpenPendingPath();
    QString pendingOpenPath_;
    QString lastNotice_;
    int pngDpi_ = 300;
};
