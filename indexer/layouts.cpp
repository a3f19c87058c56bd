#include "layouts.h"

namespace layouts {
namespace {

// clang-format off
const std::array<Layout, Count> kTable = {{
    /* 1 */ {false, 396, {}, Dir1 | File1 | File2,
             "1-side.  1 full folder column plus 2 full file columns.  Linked left."},
    /* 2 */ {false, 200, {0, 208, 130, 205}, Dir1 | File3 | File1 | File2,
             "1-side: 1/2 folder column plus 2 1/2 file columns.  Linked left."},
    /* 3 */ {false, 45, {0, 50, 130, 353}, Dir1 | File3 | File1 | File2,
             "1-side: 1 folder plus almost 3 full file columns.  Linked left."},
    /* 4 */ {true, 45, {0, 50, 130, 353}, Dir1 | File3 | File1 | File2 | File4 | File5 | File6,
             "2-sides: 1 folder plus almost 6 full file columns.  Linked left."},
    /* 5 */ {true, 200, {0, 205, 129, 200}, Dir1 | File3 | File1 | File2 | File4 | File5 | File6,
             "2-sides: 1/2 folder column plus 5 1/2 file columns.  Linked left."},
    /* 6 */ {true, 396, {}, Dir1 | File1 | File2 | File4 | File5 | File6,
             "2-sides: 1 folder plus 5 file columns.  Linked left."},
    /* 7 */ {true, 396, {}, Dir1 | Dir2 | File2 | File4 | File5 | File6,
             "2-sides: 2 folder columns plus 4 file columns.  Linked left."},
    /* 8 */ {true, 396, {}, Dir1 | Dir2 | Dir3 | File4 | File5 | File6,
             "2-sides: 3 folder columns plus 3 file columns.  Linked left."},
    /* 9 */ {true, 396, {}, Dir1 | Dir2 | Dir3 | Dir4 | File5 | File6,
             "2-sides: 4 folder columns plus 2 file columns.  Linked left."},
    /* 10 */ {true, 396, {}, Dir1 | Dir2 | Dir3 | Dir4 | Dir5 | File6,
              "2-sides: 5 folder columns plus 1 file column.  Linked left."},
    /* 11 */ {true, 396, {}, FolderLists,
              "2-sides: 6 folder columns and no file columns.  Linked left."},
    /* 12 */ {true, 396, {}, Dir1 | File1 | Dir3 | File4 | Dir5 | File6,
              "2-sides: 3 independent sets of folder/file columns.  Not linked."},
    /* 13 */ {true, 396, {}, FolderLists,
              "2-sides: 6 indepedent folder columns, no file column.  Not linked."},
    /* 14 */ {false, 396, {}, Dir1 | Dir2 | Dir3,
              "2-sides: 3 independent folder columns and no file column.  Not Linked."},
    /* 15 */ {false, 396, {}, Dir1 | Dir2 | Dir3,
              "1-side: 3 left-linked folder columns, no file column."},
    /* 16 */ {false, 396, {}, Dir1 | Dir2 | File2,
              "1-side: 2 folder columns and 1 file column.  Linked left."},
    /* 17 */ {false, 0, {0, 0, 129, 405}, File3 | File1 | File2,
              "1-side: No folders, 3 file columns linked to the last folder opened."},
    /* 18 */ {false, 396, {}, Dir1 | File1,
              "1-side: 1 folder column and 1 linked file column."},
    /* 19 */ {false, 195, {0, 202, 129, 200}, Dir1 | File3,
              "1-side: 1/2 folder column and 1/2 file column."},
    /* 20 */ {false, 195, {}, Dir1,
              "1-side: 1/2 folder column and no file column."},
}};
// clang-format on

} // namespace

const Layout &Get(int n)
{
    if (n < 1 || n > Count)
        n = 1;
    return kTable[static_cast<size_t>(n - 1)];
}

} // namespace layouts
