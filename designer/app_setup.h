#pragma once

// Fonts of the designer's windows, shared by the program and its tests:
// the Windows faces that designs name map onto installed faces, and the
// fixed-size windows use a compact interface font.
void SetupDesignerApplication();
