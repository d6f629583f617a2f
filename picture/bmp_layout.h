// What a BMP file's headers say about the picture in it, read and checked before anything is allocated for
// it: the 12-byte core header, the 40-byte header and the larger ones that begin with it (52 and 56 bytes,
// OS/2 2.x's 64, V4's 108 and V5's 124), and the bit masks of BI_BITFIELDS and BI_ALPHABITFIELDS.
#pragma once

#include <cstdint>
#include <cstdio>

#include "picture/bmp_masks.h"
#include "platform/win.h"

struct BmpLayout {
  BITMAPINFOHEADER header;  // the 40-byte header as it goes into the block
  bool core;                // the 12-byte header: a table of 3-byte entries
  bool topDown;             // rows stored top row first; flipped after reading
  bool masked;              // pixels under `masks`, widened to 32 bits once read; their table is skipped
  PixelMasks masks;
  int fileBitCount;
  int64_t colors;           // table entries the block keeps
  int64_t tableFileBytes;   // the table as the file holds it
  int64_t gap;              // from the end of the table to the bits; 0 or less: the bits follow the table
  int64_t fileRowBytes;
  int64_t fileImageBytes;   // the bits as the file holds them
  int64_t rowBytes;         // and as the block holds them
  int64_t imageBytes;
};

// Reads the headers that follow `fileHeader`, leaving `file` at the colour table. False for a picture our
// reader does not take: a header, bit count or compression it does not know, a field out of bounds, masks
// it cannot read, a colour profile outside the file, or a file too short for its headers.
bool ReadBmpLayout(FILE* file, const BITMAPFILEHEADER& fileHeader, BmpLayout* layout);
