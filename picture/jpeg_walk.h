// The walk over a JPEG's marker segments up to its first scan, shared by the readers of its header and of its
// metadata.
#pragma once

#include <cstddef>
#include <cstdint>

// Calls `visit` with each marker segment of a JPEG up to its first scan, until it returns true. False when
// the head is no JPEG, the walk ends first, or a segment cannot be trusted.
template <typename Visit>
bool WalkJpeg(const uint8_t* head, size_t size, Visit visit) {
  const uint8_t kSoi = 0xD8, kEoi = 0xD9, kSos = 0xDA;
  if (!head || size < 2 || head[0] != 0xFF || head[1] != kSoi) return false;
  size_t at = 2;
  for (;;) {
    if (at >= size || head[at] != 0xFF) return false;
    while (at < size && head[at] == 0xFF) ++at;  // fill bytes before the marker
    if (at >= size) return false;
    const uint8_t marker = head[at++];
    // Markers that stand alone, without a length: nothing that may come before the first scan.
    const bool standsAlone = marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= kEoi);
    if (marker == kSos || standsAlone) return false;
    if (size - at < 2) return false;
    const size_t length = size_t(head[at]) << 8 | head[at + 1];  // counts its own two bytes
    if (length < 2 || length > size - at) return false;
    if (visit(marker, head + at + 2, length - 2)) return true;
    at += length;
  }
}
