// What the loader reads of a photo file itself, and the sizes it holds a
// photo to, before and while the system decodes it.
#pragma once

#include <cstdint>
#include <cstdio>

#include "picture/photo_meta.h"
#include "platform/win.h"

// What the file's header says, read from its first 256 KiB (a TIFF file's
// first IFD, its sub-IFDs and blocks wherever they lie): the EXIF orientation
// (1 to 8, 1 when none), when `sized` the frame size it claims, and what the
// photo says of itself.
struct PhotoFacts {
  int orientation;
  bool sized;
  uint32_t width, height;
  PhotoMeta meta;
};
PhotoFacts ReadPhotoFacts(FILE* file);

// A photo's frame within the loader's bounds: sides of 1 to 32768 pixels,
// and no more than 256 MiB at 32 bits a pixel.
BOOL PhotoSizeAllowed(uint32_t width, uint32_t height);

// The size to decode a `width` x `height` photo at, given the smallest size
// it is drawn at: its proportions kept, never smaller than `needed` on
// either side, never larger than the photo.
SIZE DecodeSize(int width, int height, SIZE needed);
