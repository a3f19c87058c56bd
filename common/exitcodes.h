#pragma once

#include <QList>
#include <QString>

// How the suite's programs end their command-line runs. Scripts test these numbers: a code keeps
// its number and meaning in every program that gives it.
enum class Exit : int {
    Ok = 0,
    Usage = 1,            // the command line was not understood
    Unreadable = 2,       // what it names (a design file, a folder, a program) is missing or unreadable
    NotWritten = 3,       // the file could not be written
    NotPrinted = 4,       // nothing was printed
    PictureMissing = 5,   // made, but without a picture the design names
    TracksUnreadable = 6, // no track could be read from the track list; nothing was written
};

namespace exitcodes {

// One code a program gives, in that program's words.
struct Row {
    Exit code;
    QString meaning;
};

// "Exit codes:" and a line "  N  meaning" a row, for --help; the numbers come from the enum.
QString Table(const QList<Row> &rows);

} // namespace exitcodes
