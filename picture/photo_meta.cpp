#include "picture/photo_meta.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

#include "picture/jpeg_walk.h"
#include "picture/meta_finds.h"

namespace {

const uint8_t kApp1 = 0xE1, kApp13 = 0xED;
const char kExif[] = "Exif\0";  // with the array's own NUL, "Exif" and two NULs
const char kXmp[] = "http://ns.adobe.com/xap/1.0/";
const char kPhotoshop[] = "Photoshop 3.0";
const char kPngXmp[] = "XML:com.adobe.xmp";
const uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// A block whose bytes are all in memory.
class MemoryBytes final : public TiffBytes {
 public:
  MemoryBytes(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
  const uint8_t* Get(uint64_t offset, size_t length) override {
    return offset <= m_size && length <= m_size - offset ? m_data + offset : nullptr;
  }

 private:
  const uint8_t* m_data;
  size_t m_size;
};

// `data` starts with the `prefixSize` bytes at `prefix`.
bool Starts(const uint8_t* data, size_t size, const char* prefix, size_t prefixSize) {
  return size >= prefixSize && memcmp(data, prefix, prefixSize) == 0;
}

void ReadTiffBlock(const uint8_t* data, size_t size, MetaFinds* finds) {
  MemoryBytes bytes(data, size);
  ReadTiffFinds(bytes, finds);
}

void ReadJpeg(const uint8_t* head, size_t size, MetaFinds* finds) {
  bool exifRead = false;
  WalkJpeg(head, size, [&](uint8_t marker, const uint8_t* payload, size_t payloadSize) {
    // The first block of each kind counts, as it does for the orientation.
    if (marker == kApp1 && !exifRead && Starts(payload, payloadSize, kExif, sizeof kExif)) {
      exifRead = true;
      ReadTiffBlock(payload + sizeof kExif, payloadSize - sizeof kExif, finds);
    } else if (marker == kApp1 && !finds->xmpRead && Starts(payload, payloadSize, kXmp, sizeof kXmp)) {
      finds->xmpRead = true;
      ReadXmpFinds(std::string_view(reinterpret_cast<const char*>(payload) + sizeof kXmp, payloadSize - sizeof kXmp), finds);
    } else if (marker == kApp13 && !finds->iptcRead && Starts(payload, payloadSize, kPhotoshop, sizeof kPhotoshop)) {
      finds->iptcRead = true;
      ReadPhotoshopFinds(payload + sizeof kPhotoshop, payloadSize - sizeof kPhotoshop, finds);
    }
    return false;
  });
}

// An iTXt chunk: keyword, NUL, compression flag and method, language, NUL, translated keyword, NUL, text.
void ReadPngText(const uint8_t* data, size_t size, MetaFinds* finds) {
  if (!Starts(data, size, kPngXmp, sizeof kPngXmp) || size < sizeof kPngXmp + 2 || data[sizeof kPngXmp] != 0) return;
  const uint8_t* end = data + size;
  const uint8_t* language = data + sizeof kPngXmp + 2;
  const uint8_t* translated = std::find(language, end, 0);
  const uint8_t* text = translated == end ? end : std::find(translated + 1, end, 0);
  if (text == end || finds->xmpRead) return;
  finds->xmpRead = true;
  ReadXmpFinds(std::string_view(reinterpret_cast<const char*>(text) + 1, size_t(end - text - 1)), finds);
}

void ReadPng(const uint8_t* head, size_t size, MetaFinds* finds) {
  bool exifRead = false;
  // Each chunk: its length, type, data and CRC. The walk ends at the first chunk not wholly in the head.
  for (size_t at = sizeof kPngSignature; size - at >= 12;) {
    const size_t length = size_t(head[at]) << 24 | size_t(head[at + 1]) << 16 | size_t(head[at + 2]) << 8 | head[at + 3];
    const uint8_t* type = head + at + 4;
    const uint8_t* data = head + at + 8;
    if (length > size - at - 12 || memcmp(type, "IEND", 4) == 0) return;
    if (memcmp(type, "eXIf", 4) == 0 && !exifRead) {
      // Some writers keep the "Exif" header of a JPEG's block.
      const size_t skip = Starts(data, length, kExif, sizeof kExif) ? sizeof kExif : 0;
      exifRead = true;
      ReadTiffBlock(data + skip, length - skip, finds);
    }
    if (memcmp(type, "iTXt", 4) == 0) ReadPngText(data, length, finds);
    at += 12 + length;
  }
}

const std::string& First(std::initializer_list<const std::string*> texts) {
  for (const std::string* text : texts)
    if (!text->empty()) return *text;
  return **texts.begin();
}

PhotoMeta Chosen(const MetaFinds& f) {
  PhotoMeta meta;
  // The least trusted first: the best one found is set last.
  for (const PhotoDate* date : {&f.xmpCreated, &f.xmpOriginal, &f.digitized, &f.original})
    if (date->year != 0) meta.taken = *date;
  meta.located = f.located, meta.latitude = f.latitude, meta.longitude = f.longitude;
  meta.title = First({&f.xmpTitle, &f.iptcTitle, &f.xpTitle});
  meta.description = First({&f.xmpDescription, &f.iptcCaption, &f.imageDescription, &f.xpComment});
  return meta;
}

}  // namespace

PhotoMeta ReadPhotoMeta(const uint8_t* head, size_t size) {
  MetaFinds finds;
  if (!head || size < 8) return PhotoMeta();
  if ((head[0] == 'I' || head[0] == 'M') && head[1] == head[0]) {
    ReadTiffBlock(head, size, &finds);
  } else if (memcmp(head, kPngSignature, sizeof kPngSignature) == 0) {
    ReadPng(head, size, &finds);
  } else {
    ReadJpeg(head, size, &finds);
  }
  return Chosen(finds);
}

PhotoMeta ReadTiffMeta(TiffBytes& bytes) {
  MetaFinds finds;
  ReadTiffFinds(bytes, &finds);
  return Chosen(finds);
}
