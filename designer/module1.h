#pragma once

#include <QString>

// Values shared by the designer's handlers for the whole run (one copy).
namespace Module1 {

// The command that raised the save prompt, continued once it is answered.
enum class Pending { None, Open, New, Close };

extern float PanelWidth;     // 456 front, 519 back
extern bool TopHeadlineFree; // false: kept centred; true: stays where it is
extern bool BottomHeadlineFree;
extern Pending PendingAction;
extern QString DesignFileName;     // the design file last opened
inline constexpr qint32 Black = 0; // the colour number New and the notice reset to
extern QString DefaultFontName;    // the headline and titles face New restores
extern float DefaultFontSize;

// Program-start values.
void Reset();

} // namespace Module1
