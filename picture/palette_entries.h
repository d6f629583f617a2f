// Palette entries from a picture's colour table.
#pragma once

#include "platform/win.h"

// Entry i of `table` (blue, green, red, reserved) becomes palette entry i
// (red, green, blue, flags 0); the reserved byte is dropped.
void FillPaletteEntries(const RGBQUAD* table, int count, PALETTEENTRY* entries);
