#include "picture/photo_header.h"

#include <cstring>

#include "picture/jpeg_walk.h"

namespace {

const int kAsStored = 1;
const uint16_t kTiffMagic = 42;
const uint16_t kOrientationTag = 0x0112;
const uint16_t kImageWidthTag = 0x0100, kImageLengthTag = 0x0101;
const uint16_t kTypeShort = 3, kTypeLong = 4;
const size_t kTiffHeaderSize = 8;
const size_t kEntrySize = 12;

const uint8_t kApp1 = 0xE1;
const uint8_t kExifHeader[6] = {'E', 'x', 'i', 'f', 0, 0};
const uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint16_t Read16(const uint8_t* p, bool bigEndian) {
  return uint16_t(bigEndian ? p[0] << 8 | p[1] : p[1] << 8 | p[0]);
}

uint32_t Read32(const uint8_t* p, bool bigEndian) {
  return bigEndian ? uint32_t(Read16(p, true)) << 16 | Read16(p + 2, true)
                   : uint32_t(Read16(p + 2, false)) << 16 | Read16(p, false);
}

bool IsTiffHeader(const uint8_t* p, size_t size) {
  return size >= kTiffHeaderSize && p[0] == p[1] && (p[0] == 'I' || p[0] == 'M') &&
         Read16(p + 2, p[0] == 'M') == kTiffMagic;
}

// IFD0's entry `tag` holding one SHORT (or, when `orLong`, one LONG): its value. False when the entry is
// missing or has any other shape. Only IFD0 is read; its link to the next IFD is never followed, so a loop
// of links cannot hold us.
bool TiffValue(const uint8_t* data, size_t size, uint16_t tag, bool orLong, uint32_t* value) {
  if (!IsTiffHeader(data, size)) return false;
  const bool big = data[0] == 'M';
  const uint64_t ifd = Read32(data + 4, big);
  if (ifd + 2 > size) return false;
  const unsigned count = Read16(data + ifd, big);
  if (ifd + 2 + uint64_t(count) * kEntrySize > size) return false;
  for (unsigned i = 0; i < count; ++i) {
    const uint8_t* entry = data + ifd + 2 + size_t(i) * kEntrySize;
    if (Read16(entry, big) != tag) continue;
    const uint16_t type = Read16(entry + 2, big);
    if (Read32(entry + 4, big) != 1 || (type != kTypeShort && (!orLong || type != kTypeLong))) return false;
    *value = type == kTypeShort ? Read16(entry + 8, big) : Read32(entry + 8, big);  // held in the value field
    return true;
  }
  return false;
}

}  // namespace

int TiffOrientation(const uint8_t* data, size_t size) {
  uint32_t value = 0;
  return TiffValue(data, size, kOrientationTag, false, &value) && value >= 1 && value <= 8 ? int(value) : kAsStored;
}

int PhotoOrientation(const uint8_t* head, size_t size) {
  if (!head) return kAsStored;
  if (IsTiffHeader(head, size)) return TiffOrientation(head, size);
  int orientation = kAsStored;
  WalkJpeg(head, size, [&](uint8_t marker, const uint8_t* payload, size_t payloadSize) {
    // The TIFF structure gets only the rest of its segment, never the bytes after it.
    if (marker != kApp1 || payloadSize < sizeof kExifHeader || memcmp(payload, kExifHeader, sizeof kExifHeader) != 0)
      return false;
    orientation = TiffOrientation(payload + sizeof kExifHeader, payloadSize - sizeof kExifHeader);
    return true;
  });
  return orientation;
}

bool PhotoFrameSize(const uint8_t* head, size_t size, uint32_t* width, uint32_t* height) {
  if (!head) return false;
  if (IsTiffHeader(head, size))
    return TiffValue(head, size, kImageWidthTag, true, width) && TiffValue(head, size, kImageLengthTag, true, height);
  if (size >= 24 && memcmp(head, kPngSignature, sizeof kPngSignature) == 0 && memcmp(head + 12, "IHDR", 4) == 0) {
    *width = Read32(head + 16, true), *height = Read32(head + 20, true);
    return true;
  }
  if (size >= 10 && (memcmp(head, "GIF87a", 6) == 0 || memcmp(head, "GIF89a", 6) == 0)) {
    *width = Read16(head + 6, false), *height = Read16(head + 8, false);
    return true;
  }
  if (size >= 26 && head[0] == 'B' && head[1] == 'M') {  // a top-down BMP's height is negative
    if (Read32(head + 14, false) == 12) {
      *width = Read16(head + 18, false), *height = Read16(head + 20, false);
    } else {
      const uint32_t h = Read32(head + 22, false);
      *width = Read32(head + 18, false), *height = h >> 31 ? 0u - h : h;
    }
    return true;
  }
  return WalkJpeg(head, size, [&](uint8_t marker, const uint8_t* payload, size_t payloadSize) {
    // Start-of-frame markers: C0 to CF but DHT (C4), JPG (C8) and DAC (CC).
    if (marker < 0xC0 || marker > 0xCF || marker == 0xC4 || marker == 0xC8 || marker == 0xCC || payloadSize < 5)
      return false;
    *height = Read16(payload + 1, true), *width = Read16(payload + 3, true);
    return true;
  });
}
