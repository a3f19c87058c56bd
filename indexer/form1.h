#pragma once

#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <array>
#include <functional>

#include "commondialog.h"
#include "fslists.h"

class QPainter;
class QPrinter;
class QPushButton;
class QRadioButton;
class Form3;
class Form5;

// A line element of the page: the print marks Line1 to Line3.
struct PrintMark {
    int X1, Y1, X2, Y2;
    bool Visible = false;
};

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

    // The page as painted on screen, played onto `p` in 96-per-inch pixels.
    void PaintPage(QPainter &p);

    // The secondary windows, created when first touched.
    static Form3 &QuickHelp();
    static Form5 &DriveError();
    static const Form3 *quickHelpIfLoaded();
    static const Form5 *driveErrorIfLoaded();

    // The name of the print job (and of cups-pdf's file).
    static constexpr const char *DocName = "sleeveindex";

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void buildControls();
    void connectHandlers();
    void setControlsVisible(bool visible);
    void setMarksVisible(bool visible);
    void paintMarks(QPainter &p) const;
    void restoreAfterPrint();
    bool anyShownOf(unsigned mask) const;
    std::array<QWidget *, 12> lists() const;
    void focusWindowChanged(QWindow *window);
    QPointer<QWindow> previousWindow_; // the program's window that was active before
    Platform platform_;
};
