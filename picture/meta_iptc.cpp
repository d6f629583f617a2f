// IPTC's Object Name and Caption-Abstract, from its records alone (a TIFF's IPTC tag) or wrapped in
// Photoshop's image resources (a JPEG's APP13).
#include <cstring>

#include "picture/meta_finds.h"

namespace {

const uint8_t kTagMarker = 0x1C, kApplicationRecord = 2, kObjectName = 5, kCaption = 120;
const uint16_t kIptcResource = 0x0404;

uint32_t Big32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

}  // namespace

void ReadIptcFinds(const uint8_t* data, size_t size, MetaFinds* finds) {
  size_t at = 0;
  while (size - at >= 5 && data[at] == kTagMarker) {
    const uint8_t record = data[at + 1], dataset = data[at + 2];
    const size_t length = size_t(data[at + 3]) << 8 | data[at + 4];
    if (length & 0x8000) return;  // an extended length: only large binary data has one, and nothing follows we need
    at += 5;
    if (length > size - at) return;
    if (record == kApplicationRecord && dataset == kObjectName) Keep(&finds->iptcTitle, Utf8OrLatin1(data + at, length));
    if (record == kApplicationRecord && dataset == kCaption) Keep(&finds->iptcCaption, Utf8OrLatin1(data + at, length));
    at += length;
  }
}

void ReadPhotoshopFinds(const uint8_t* data, size_t size, MetaFinds* finds) {
  // Each resource: "8BIM", its id, a Pascal name padded to an even size, a 32-bit size and its data, padded too.
  size_t at = 0;
  while (at <= size && size - at >= 12 && memcmp(data + at, "8BIM", 4) == 0) {
    const uint16_t id = uint16_t(data[at + 4] << 8 | data[at + 5]);
    const size_t name = (size_t(data[at + 6]) + 2) & ~size_t(1);
    if (name > size - at - 10) return;
    at += 6 + name;
    const uint32_t length = Big32(data + at);
    at += 4;
    if (length > size - at) return;
    if (id == kIptcResource) return ReadIptcFinds(data + at, length, finds);
    at += length + (length & 1);
  }
}
