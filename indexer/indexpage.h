#pragma once

#include <QByteArray>
#include <QRect>
#include <QSize>

#include <array>
#include <memory>

#include "fs_listing.h"

class QFont;
class QPainter;
class QPicture;
class QPalette;
namespace fsl {
class FileListModel;
class FolderListModel;
} // namespace fsl

// A line element of the page: the print marks Line1 to Line3.
struct PrintMark {
    int X1, Y1, X2, Y2;
    bool Visible = false;
};

// Plays a recording onto `p` in 96-per-inch pixels whatever the device's
// resolution, as the window's recordings of its widgets are played.
void PlayPicture(QPainter &p, const QPicture &picture);
// The print marks that are visible (every one with `always`); Line1 dashed.
void PaintPrintMarks(QPainter &p, const PrintMark &line1, const PrintMark &line2, const PrintMark &line3,
                     bool always);

// The index page without a window: the layout in force, what each list
// shows and from which row, and the print marks. The window is its view;
// the command line paints it through the application's style alone.
class IndexPage
{
public:
    // The twelve lists in the layouts table's order: Dir1..Dir6, File1..File6.
    static constexpr int Lists = 12;
    static constexpr int Height = 436;
    static bool IsFolderList(int i) { return i < 6; }
    static const char *Name(int i);
    // Where list `i` stands before any layout moves it.
    static QRect HomeGeometry(int i);
    // Dir1, File1, File2 and Dir2 print on white whatever the style's base.
    static bool White(int i);
    // The lists' font: the window's compact one.
    static QFont ListFont();
    static QPalette ListPalette(int i);

    struct List {
        QRect geometry;
        bool shown = false;
        QByteArray path;
        QByteArray root;   // folder lists: the drive they are rooted at
        int topRow = 0;    // the first row in view
        int blankRows = 0; // file lists: rows after the files, to scroll past them
        fsl::ListingPtr listing;
    };

    IndexPage();
    ~IndexPage();
    IndexPage(IndexPage &&) noexcept;
    IndexPage &operator=(IndexPage &&) noexcept;

    // Layout n (1..20): width, visibility, Dir1's and File3's places, Line1.
    void SetLayout(int n);
    int Layout() const { return layout_; }
    int Width() const { return width_; }
    QSize Size() const { return {width_, Height}; }

    const List &list(int i) const { return lists_[static_cast<size_t>(i)]; }
    // Sets what list `i` shows, as the window does; rows and scrolling start anew.
    void SetList(int i, const QByteArray &path, fsl::ListingPtr listing, const QByteArray &root = {});
    void SetGeometry(int i, const QRect &r) { lists_[static_cast<size_t>(i)].geometry = r; }
    void SetShown(int i, bool on) { lists_[static_cast<size_t>(i)].shown = on; }
    void SetScroll(int i, int topRow, int blankRows = 0);

    int RowCount(int i) const;
    int AncestorCount(int i) const; // folder lists
    QString Row(int i, int row) const;
    int RowHeight(int i) const;      // 0 while the list has no row
    QRect ViewportRect(int i) const; // in the list's coordinates
    bool ScrollBarShown(int i) const;
    int WholeRows(int i) const;

    // The linked file lists that show Dir1's folder, in reading order.
    std::vector<int> FlowOrder() const;
    // Each flowed list starts after the last whole row of the one before;
    // the files of the last list that still do not fit.
    int Flow();
    // Each folder list shows its current folder and as many subfolders as fit.
    void ShowCurrentFolders();

    struct LeftOut {
        qint64 files = 0;
        qint64 subfolders = 0; // of the folder lists' current folders
        qint64 above = 0;      // the folders above the current ones
        bool named = false;    // a folder list shows its current folder
    };
    LeftOut NotShown() const;

    // The page in 96-per-inch pixels, with the print marks.
    void Paint(QPainter &p) const;
    void PaintMarks(QPainter &p, bool always = false) const;

    PrintMark Line1{440, 432, 8, 432};
    PrintMark Line2{438, 425, 438, 435};
    PrintMark Line3{438, 0, 438, 10};

private:
    void paintList(QPainter &p, int i) const;
    int layout_ = 0;
    int width_ = 0;
    std::array<List, Lists> lists_;
    std::array<std::unique_ptr<fsl::FileListModel>, 6> files_;
    std::array<std::unique_ptr<fsl::FolderListModel>, 6> folders_;
};
