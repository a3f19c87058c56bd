// Title-bar help (in progress).
#include "design.h"

void Design::installHelpTexts() {}
void Design::InstallTitlesHelp(Titles *) {}
