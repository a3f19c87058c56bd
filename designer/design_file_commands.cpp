// Design files: Open, Save, New, the save prompt and closing (in progress).
#include "design.h"

void Design::Command1_Click() {}
void Design::Command2_Click() {}
void Design::Command4_Click() {}
void Design::Check12_Click() {}
void Design::Form_QueryUnload(bool &) {}
