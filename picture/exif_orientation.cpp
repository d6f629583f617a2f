#include "picture/exif_orientation.h"

#include <cstring>

namespace {

const int kAsStored = 1;
const uint16_t kTiffMagic = 42;
const uint16_t kOrientationTag = 0x0112;
const uint16_t kTypeShort = 3;
const size_t kTiffHeaderSize = 8;
const size_t kEntrySize = 12;

const uint8_t kSoi = 0xD8, kEoi = 0xD9, kSos = 0xDA, kApp1 = 0xE1;
const uint8_t kExifHeader[6] = {'E', 'x', 'i', 'f', 0, 0};

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

// Markers that stand alone, without a length: nothing that may come before the first scan.
bool StandsAlone(uint8_t marker) { return marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= kEoi); }

}  // namespace

int TiffOrientation(const uint8_t* data, size_t size) {
  if (!IsTiffHeader(data, size)) return kAsStored;
  const bool big = data[0] == 'M';
  // Only IFD0 is read; its link to the next IFD is never followed, so a loop of links cannot hold us.
  const uint64_t ifd = Read32(data + 4, big);
  if (ifd + 2 > size) return kAsStored;
  const unsigned count = Read16(data + ifd, big);
  if (ifd + 2 + uint64_t(count) * kEntrySize > size) return kAsStored;
  for (unsigned i = 0; i < count; ++i) {
    const uint8_t* entry = data + ifd + 2 + size_t(i) * kEntrySize;
    if (Read16(entry, big) != kOrientationTag) continue;
    // One SHORT, held in the first two bytes of the value field; any other shape is not to be trusted.
    if (Read16(entry + 2, big) != kTypeShort || Read32(entry + 4, big) != 1) return kAsStored;
    const int value = Read16(entry + 8, big);
    return value >= 1 && value <= 8 ? value : kAsStored;
  }
  return kAsStored;
}

int PhotoOrientation(const uint8_t* head, size_t size) {
  if (!head) return kAsStored;
  if (IsTiffHeader(head, size)) return TiffOrientation(head, size);
  if (size < 2 || head[0] != 0xFF || head[1] != kSoi) return kAsStored;
  size_t at = 2;
  for (;;) {
    if (at >= size || head[at] != 0xFF) return kAsStored;
    while (at < size && head[at] == 0xFF) ++at;  // fill bytes before the marker
    if (at >= size) return kAsStored;
    const uint8_t marker = head[at++];
    if (marker == kSos || StandsAlone(marker)) return kAsStored;
    if (size - at < 2) return kAsStored;
    const size_t length = size_t(head[at]) << 8 | head[at + 1];  // counts its own two bytes
    if (length < 2 || length > size - at) return kAsStored;
    const uint8_t* payload = head + at + 2;
    const size_t payloadSize = length - 2;
    // The TIFF structure gets only the rest of its segment, never the bytes after it.
    if (marker == kApp1 && payloadSize >= sizeof kExifHeader && memcmp(payload, kExifHeader, sizeof kExifHeader) == 0)
      return TiffOrientation(payload + sizeof kExifHeader, payloadSize - sizeof kExifHeader);
    at += length;
  }
}
