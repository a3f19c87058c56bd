#pragma once

#include <initializer_list>

// Programs that can also work from the command line without a window.
namespace headless {

// Call before the application object exists. When one of `options` ("--name",
// also given as "--name=value") is on the command line, no platform was chosen
// (QT_QPA_PLATFORM unset) and there is no display (DISPLAY and WAYLAND_DISPLAY
// unset), chooses the offscreen platform: the program then runs where a GUI
// program would abort for want of a display.
void ChooseOffscreenWithoutDisplay(int argc, char **argv, std::initializer_list<const char *> options);

// True when one of `options` is on the command line (before a "--"): a run that needs no window.
bool Names(int argc, char **argv, std::initializer_list<const char *> options);

} // namespace headless
