#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;

// The launcher's window: describes the suite, checks that the screen is wide
// enough for the other programs, and starts them.
class Startup : public QWidget
{
    Q_OBJECT
public:
    // What the window needs from the machine; tests put their own in. An
    // empty member means the real thing.
    struct Platform {
        // The work area's width in pixels (the screen less its docked panels).
        std::function<int()> workAreaWidth;
        // The folder the programs are looked up in first (the launcher's own).
        QString programFolder;
        // Starts a program file without waiting; on failure says why.
        std::function<bool(const QString &path, QString *why)> startDetached;
    };

    explicit Startup(Platform platform = {}, QWidget *parent = nullptr);

    static constexpr int ClientWidth = 434;
    static constexpr int ClientHeight = 310;
    static constexpr int MinimumWorkAreaWidth = 750;

    // The texts the window shows or starts.
    static const QString Title;
    static const QString Description;
    static const QString ScreenTooNarrow;
    static const QString IndexMakerFile;   // "sleeveindex.exe"
    static const QString DesignerFile;     // "sleevedesk.exe"
    static const QString InstructionsFile; // "sleeveguide.exe"

    QLabel *Label1 = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QCheckBox *Check1 = nullptr;

    void Form_Load();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    // The work-area width that Form_Load read, in pixels.
    int WorkAreaWidth() const;
    // The folder the programs are looked up in first.
    QString ProgramFolder() const;

    // The real work-area width of the screen the launcher opens on.
    static int ScreenWorkAreaWidth();

private:
    void StartProgram(const QString &fileName);
    void ReportStartFailure(const QString &text);

    Platform platform_;
};
