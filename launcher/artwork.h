#pragma once

#include <QIcon>
#include <QImage>

// The suite's pictures, drawn here with QPainter rather than shipped as
// files: the launcher's banner and window icon, and the icons that are
// installed for the desktop (generated from the same code at build time).
namespace artwork {

enum class Program { Launcher, Designer, Indexer, Guide };

// A square icon of `size` pixels on a transparent background.
QImage Icon(Program program, int size);

// The document icon of a design file (*.qwd).
QImage DesignFileIcon(int size);

// The launcher's banner, 342 x 65. It is transparent where the title
// label beneath it (`Label1`) writes "CD-R QUIREWELL", so both show.
QImage Banner();

// The window icon of a program: its 16 x 16 and 32 x 32 (and 48 x 48)
// pictures, each drawn for its size.
QIcon WindowIcon(Program program);

// The file name stem the desktop knows a program's icon by ("sleevegate").
const char *IconName(Program program);

} // namespace artwork
