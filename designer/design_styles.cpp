// Font and colour commands (in progress).
#include "design.h"

void Design::Command3_Click() {}
void Design::Command5_Click() {}
void Design::Command6_Click() {}
void Design::Command10_Click() {}
void Design::Command13_Click() {}
void Design::Command15_Click() {}
