#pragma once

#include <QString>

// Values shared by the designer's handlers for the whole run (one copy).
namespace Module1 {

extern float PanelWidth;       // 456 front, 519 back
extern qint16 TopHeadlineFree; // 0 kept centred, 1 stays where it is
extern qint16 BottomHeadlineFree;
extern float SavePromptArmed;  // 1: Open, New and closing ask to save first
extern qint16 PendingAction;   // 1 Open, 2 New, 3 Close
extern QString DesignFileName; // the design file last opened
extern float Black;
extern QString DefaultFontName;
extern float DefaultFontSize;
extern float DefaultTitleFontSize;

// Program-start values.
void Reset();

} // namespace Module1
