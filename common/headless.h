#pragma once

#include <initializer_list>

// Command-line runs that make files need no display.
namespace headless {

// Chooses Qt's offscreen platform when one of `options` is on the command
// line ("--opt" or "--opt=value") and there is no display to show windows on
// (neither DISPLAY nor WAYLAND_DISPLAY set) and no platform was chosen
// (QT_QPA_PLATFORM). Call before the QApplication is made.
void ChooseOffscreenWithoutDisplay(int argc, char **argv, std::initializer_list<const char *> options);

} // namespace headless
