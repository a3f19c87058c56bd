#pragma once

#include <QWidget>

#include <array>

class QCheckBox;
class QLineEdit;
class QMenu;
class QMimeData;
class QPushButton;
class Design;

// "List of Titles": 24 fields that feed the cover's title, credit and
// information lines (field n feeds Label(n + 3)) keystroke by keystroke.
class Titles : public QWidget
{
    Q_OBJECT
public:
    explicit Titles(Design *design);

    // Text(1) ... Text(24)
    QLineEdit *Text(int n) const { return fields_.at(static_cast<size_t>(n - 1)); }
    QCheckBox *Check1 = nullptr;      // "TAB direction is DOWN unless this box CHECK then it is ACROSS"
    QPushButton *AllTitles = nullptr; // "All Titles…": the whole list, beyond the 20 fields

    // Field n changed: its whole text becomes the caption of Label(n + 3).
    void Text_Change(int n);
    // A key pressed in field n (1 ... 23): Enter moves the focus down or across.
    void Text_KeyPress(int n, int keyAscii);

    // Successors of field n for the Enter key.
    static int DownSuccessor(int n);
    static int AcrossSuccessor(int n);

    // Local files and folders in a drag that an import takes (audio files, a folder, a CUE
    // sheet, a playlist or a text list); empty when the drag carries none.
    static QStringList ImportablePaths(const QMimeData *mime);
    // "Import Track List…": chooses the sources and imports them.
    void ImportTrackList();

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void addImportEntry(QMenu *menu);
    void keepFrameOnScreen();
    Design *design_;
    std::array<QLineEdit *, 24> fields_{};
    bool placing_ = false; // shown, and not yet framed by the window manager
    QPoint asked_;         // where the program put the client meanwhile
};
