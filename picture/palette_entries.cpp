#include "picture/palette_entries.h"

void FillPaletteEntries(const RGBQUAD* table, int count, PALETTEENTRY* entries) {
  for (int i = 0; i < count; ++i) {
    entries[i].peRed = table[i].rgbRed;
    entries[i].peGreen = table[i].rgbGreen;
    entries[i].peBlue = table[i].rgbBlue;
    entries[i].peFlags = 0;
  }
}
