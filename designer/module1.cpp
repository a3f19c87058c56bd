#include "module1.h"

namespace Module1 {

float PanelWidth = 456;
qint16 TopHeadlineFree = 0;
qint16 BottomHeadlineFree = 0;
float SavePromptArmed = 0;
qint16 PendingAction = 0;
QString DesignFileName;
float Black = 0;
QString DefaultFontName;
float DefaultFontSize = 0;
float DefaultTitleFontSize = 0;

void Reset()
{
    PanelWidth = 456;
    TopHeadlineFree = 0;
    BottomHeadlineFree = 0;
    SavePromptArmed = 0;
    PendingAction = 0;
    DesignFileName.clear();
    Black = 0;
    DefaultFontName.clear();
    DefaultFontSize = 0;
    DefaultTitleFontSize = 0;
}

} // namespace Module1
