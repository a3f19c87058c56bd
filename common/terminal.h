#pragma once

#include <QString>
#include <QStringView>

// The one writer of the programs' lines on a terminal. Paths, tags and arguments reach it, so
// every line goes out through names::Readable: a terminal's control sequences are shown as their
// escapes, never obeyed.
namespace terminal {

// The name before each line on stderr ("sleevedesk: ..."); set once in main(). It also sends
// Qt's own warnings through the same escaping.
void SetProgram(const char *name);

// "PROGRAM: " and the line, escaped, on stderr.
void Error(QStringView line);

// The line, escaped, on stdout (listings a script reads).
void Out(QStringView line);

// A text of several lines (a help text) on stdout, or as it is on stderr, each line escaped
// on its own.
void OutLines(QStringView text);
void ErrorLines(QStringView text);

} // namespace terminal
