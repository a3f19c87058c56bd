#pragma once

class QWidget;

// Window titles that are meant to be empty.
namespace windowtitle {

// Keeps `window`'s title empty in the window manager's title bar too while
// its title is empty: Qt shows the application's name for an empty title.
// A title set later shows as usual; emptied again, it reads empty again.
void KeepEmptyTitle(QWidget *window);

} // namespace windowtitle
