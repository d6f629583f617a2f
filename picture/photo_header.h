// What a photo file's header says, read with a small bounded parser of our own before the system decodes
// it: the EXIF orientation (the system's metadata reader does not give it back under Wine) and the size the
// frame claims (checked before the system's decoder allocates for it).
#pragma once

#include <cstddef>
#include <cstdint>

// The EXIF orientation (1 to 8) of a picture file from the bytes at its start: a JPEG's APP1 "Exif" segment
// or a TIFF file's first IFD. 1, "as stored", when there is none, it is zero or out of range, or the bytes
// cannot be trusted. Never reads outside [head, head + size).
int PhotoOrientation(const uint8_t* head, size_t size);

// The same for one TIFF structure (an "II*\0" or "MM\0*" header at data[0]): tag 0x0112 in IFD0 only.
int TiffOrientation(const uint8_t* data, size_t size);

// The frame size a JPEG (its first frame header), PNG (IHDR), GIF (the logical screen), TIFF (IFD0's
// ImageWidth and ImageLength) or BMP (its header, a negative height made positive) claims, from the bytes at
// the file's start. False when the format is none of these or the size cannot be read; a size of 0 is
// returned as it is.
bool PhotoFrameSize(const uint8_t* head, size_t size, uint32_t* width, uint32_t* height);
