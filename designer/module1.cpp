#include "module1.h"

namespace Module1 {

float PanelWidth = 456;
bool TopHeadlineFree = false;
bool BottomHeadlineFree = false;
Pending PendingAction = Pending::None;
QString DesignFileName;
QString DefaultFontName;
float DefaultFontSize = 0;

void Reset()
{
    PanelWidth = 456;
    TopHeadlineFree = false;
    BottomHeadlineFree = false;
    PendingAction = Pending::None;
    DesignFileName.clear();
    DefaultFontName.clear();
    DefaultFontSize = 0;
}

} // namespace Module1
