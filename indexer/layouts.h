#pragma once

#include <QRect>

#include <array>

// The twenty index layouts as one table.
namespace layouts {

// The twelve lists, in the order used for the visibility masks.
// clang-format off
enum List : unsigned {
    Dir1 = 1u << 0, Dir2 = 1u << 1, Dir3 = 1u << 2, Dir4 = 1u << 3, Dir5 = 1u << 4, Dir6 = 1u << 5,
    File1 = 1u << 6, File2 = 1u << 7, File3 = 1u << 8, File4 = 1u << 9, File5 = 1u << 10,
    File6 = 1u << 11,
};
// clang-format on
constexpr unsigned FolderLists = Dir1 | Dir2 | Dir3 | Dir4 | Dir5 | Dir6;
constexpr unsigned FileLists = File1 | File2 | File3 | File4 | File5 | File6;

struct Layout {
    bool twoSided;
    int dir1Height;    // 0: Dir1 hidden
    QRect file3;       // null: File3 hidden
    unsigned shown;    // lists made visible; every other list is hidden
    const char *title; // the description shown in the title bar
};

constexpr int Count = 20;

// Outer widths in twips, Line1's X1, and the frame that makes the client area narrower.
constexpr int OneSidedTwips = 6795;
constexpr int TwoSidedTwips = 12000;
constexpr int OneSidedX1 = 440;
constexpr int TwoSidedX1 = 775;
constexpr int FramePixels = 8;

// Layout n (1..20).
const Layout &Get(int n);

constexpr int OuterTwips(const Layout &l)
{
    return l.twoSided ? TwoSidedTwips : OneSidedTwips;
}
constexpr int ClientWidth(const Layout &l)
{
    return OuterTwips(l) / 15 - FramePixels;
}
constexpr int LineX1(const Layout &l)
{
    return l.twoSided ? TwoSidedX1 : OneSidedX1;
}

} // namespace layouts
