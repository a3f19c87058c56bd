#pragma once

// Programs that can also work from the command line without a window.
namespace headless {

// True when a window can open: a platform is chosen (QT_QPA_PLATFORM) or there is a display
// (DISPLAY or WAYLAND_DISPLAY).
bool Displayed();

// For a run that needs no window; call before the application object exists. Without a
// display, chooses the offscreen platform: the program then runs where a GUI program would
// abort for want of a display.
void OffscreenWithoutDisplay();

} // namespace headless
