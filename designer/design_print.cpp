// Printing (in progress).
#include "design.h"

void Design::Command7_Click() {}
void Design::Command11_Click() {}
