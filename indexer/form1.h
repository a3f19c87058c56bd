#pragma once

#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <array>
#include <functional>

#include "catalog.h"
#include "commondialog.h"
#include "fslists.h"
#include "indexpage.h"

class QAction;
class QMenu;
class QMessageBox;
class QPainter;
class QPrinter;
class QPushButton;
class QRadioButton;
class Form3;
class Form5;

// The index maker's main window: the page itself.
class Form1 : public QWidget
{
    Q_OBJECT
public:
    using PaintFn = std::function<void(QPainter &)>;
    // What the window needs from the machine; tests put their own in. An
    // empty member means the real thing.
    struct Platform {
        // Prints one page (pageprint::PrintPage); false with a reason when nothing was printed.
        std::function<bool(QPrinter &printer, const QString &docName, const PaintFn &paint, QString *why)>
            printPage;
        // Asks for a folder, starting at `start`; "" when cancelled.
        std::function<QString(QWidget *parent, const QString &start)> chooseFolder;
        // Asks for a file to write; "" when cancelled.
        std::function<QString(QWidget *parent, const QString &caption, const QString &suggested,
                              const QString &filter)>
            chooseSaveFile;
        // Puts a question (or, with one button, a message); the button chosen, "" when closed.
        std::function<QString(QWidget *parent, const QString &title, const QString &text,
                              const QStringList &buttons)>
            ask;
        // The same with a check box captioned `check` under the text; `*checked` goes in and comes out.
        std::function<QString(QWidget *parent, const QString &title, const QString &text,
                              const QStringList &buttons, const QString &check, bool *checked)>
            askChecked;
        // Shows the page as it would print, on `printer`, until the user closes the preview.
        std::function<void(QWidget *parent, QPrinter &printer, const std::function<void(QPrinter &)> &paint)>
            preview;
    };

    explicit Form1(Platform platform = {}, QWidget *parent = nullptr);
    ~Form1() override;

    // Layout buttons 1 to 20 (Options[0] unused).
    QRadioButton *Option1, *Option2, *Option3, *Option4, *Option5, *Option6, *Option7, *Option8, *Option9,
        *Option10, *Option11, *Option12, *Option13, *Option14, *Option15, *Option16, *Option17, *Option18,
        *Option19, *Option20;
    std::array<QRadioButton *, 21> Options{};

    fsl::FolderListBox *Dir1, *Dir2, *Dir3, *Dir4, *Dir5, *Dir6;
    fsl::FileListBox *File1, *File2, *File3, *File4, *File5, *File6;
    fsl::DriveListBox *Drive1;
    QPushButton *Command1, *Command2, *Command3, *Command4;
    PrintMark Line1{440, 432, 8, 432};
    PrintMark Line2{438, 425, 438, 435};
    PrintMark Line3{438, 0, 438, 10};
    CommonDialog CommonDialog1;

    // Layouts
    void Option_Click(int n);
    void ApplyLayout(int n);
    int SelectedLayout() const;
    int OuterWidthTwips() const;

    // Browsing
    void Drive1_Change();
    void Drive1_GotFocus();
    void Dir1_Change();
    void Dir3_Change();
    void Dir5_Change();
    void Command4_Click();
    void Form_Initialize();
    void Form_Activate();

    // Printing and quick help
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Form_MouseMove();

    // The page as painted on screen, played onto `p` in 96-per-inch pixels,
    // with the print marks.
    void PaintPage(QPainter &p);

    // Beyond the fixed window: a context menu and shortcuts for these.
    QAction *FlowAction, *KeepFlowingAction, *ChooseFolderAction, *PrintAction, *PreviewAction,
        *ExportPdfAction, *ExportPngAction, *CatalogAction, *CloseAction;

    // "Catalog…": every folder and file under Dir1's folder, exported,
    // previewed or printed. ReadCatalog reads the tree with a progress
    // dialog; false when cancelled or the folder cannot be read (said).
    void Catalog_Click();
    bool ReadCatalog(catalog::Catalog &c);
    catalog::Catalog::Hooks CatalogHooks; // tests watch the reading here
    QMenu *ContextMenu();

    // "Flow columns": each linked file list that shows Dir1's folder starts
    // just after the last whole row of the one before it, in reading order.
    void FlowColumns();
    QList<fsl::FileListBox *> FlowOrder() const;
    int FilesNotShown() const { return notShown_; } // by the last flow
    // "Keep columns flowing": flows again after every change of folder,
    // Refresh and layout; kept in the settings (unless `remember` is false),
    // off unless chosen.
    void SetKeepFlowing(bool on, bool remember = true);
    bool KeepFlowing() const { return keepFlowing_; }
    static constexpr const char *SettingsOrganization = "sleeve";
    static constexpr const char *SettingsApplication = "sleeveindex";

    // "Choose Folder...": shows the folder in Dir1 (and the lists linked to
    // it), Drive1 set to its drive. OpenFolder does it without a dialog and
    // without a message: false with the errno when the folder cannot be read.
    // With `everyList` every list shows the folder, linked by the layout or not.
    void ChooseFolder();
    bool OpenFolder(const QByteArray &path, int *error = nullptr, bool everyList = false);

    // What the page leaves out: entries of the visible lists that no visible
    // list shows whole in its view (an entry shown by one column is shown).
    using LeftOut = IndexPage::LeftOut;
    LeftOut NotShownOnPage() const;
    // The page as the window shows it now: its model, read off the lists.
    IndexPage Page() const;
    // For a page that no one scrolls: each folder list shows its current
    // folder and as many of its subfolders as fit.
    void ShowCurrentFolders();

    // Printing beside the fixed window. Before printing: true when the page
    // fits the paper, or when the user chose to turn the page or print anyway.
    bool ConfirmPageFits();
    void PrintPreview();
    void ExportPdf_Click();
    void ExportPng_Click();
    bool ExportPdf(const QString &path, QString *why = nullptr);
    bool ExportPng(const QString &path, int dpi, QString *why = nullptr);

    // The secondary windows, created when first touched.
    static Form3 &QuickHelp();
    static Form5 &DriveError();
    static const Form3 *quickHelpIfLoaded();
    static const Form5 *driveErrorIfLoaded();
    // A folder that cannot be read, and why: one window, not blocking.
    static QMessageBox &FolderError();
    void ShowFolderError(const QByteArray &path, int error);

    // The name of the print job (and of cups-pdf's file).
    static constexpr const char *DocName = "sleeveindex";

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    static Platform withDefaults(Platform platform);
    void buildControls();
    void buildCommands();
    void connectHandlers();
    void reportRefreshFailure(const QByteArray &path, const QByteArray &drive);
    void paintPageOn(QPrinter &printer);
    void setControlsVisible(bool visible);
    void setMarksVisible(bool visible);
    void paintMarks(QPainter &p, bool always = false) const;
    void restoreAfterPrint();
    bool anyShownOf(unsigned mask) const;
    std::array<QWidget *, 12> lists() const;
    void focusWindowChanged(QWindow *window);
    QPointer<QWindow> previousWindow_; // the program's window that was active before
    Platform platform_;
    QMenu *menu_ = nullptr;
    bool keepFlowing_ = false;
    int notShown_ = 0;
    bool flowTitleShown_ = false;
};
