#include "picture/photo_file.h"

#include <cstring>
#include <deque>
#include <vector>

#include "picture/photo_header.h"

namespace {

// Room for an Exif segment with its thumbnail and an XMP packet before the frame.
const size_t kHeadBytes = 256 * 1024;
// What a TIFF's metadata may make us read beyond the head.
const size_t kFarTiffBytes = 384 * 1024;
const uint64_t kMaxPhotoBytes = uint64_t(256) << 20;

uint32_t Get32(const uint8_t* p, bool bigEndian) {
  return bigEndian ? uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]
                   : uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

// A TIFF whose first IFD lies beyond the head (writers often put it after
// the pixels): its header and that IFD, read into `ifd` as one small TIFF
// whose IFD follows the header. The values we read are held in the entries.
size_t ReadFarIfd(FILE* file, const uint8_t* head, uint8_t (&ifd)[8 + 2 + 12 * 64]) {
  const bool bigEndian = head[0] == 'M';
  const uint32_t offset = Get32(head + 4, bigEndian);
  memcpy(ifd, head, 4);  // the tags we read sort early: 64 entries are plenty
  const uint8_t eight[4] = {0, 0, 0, 8};
  for (int i = 0; i < 4; ++i) ifd[4 + i] = bigEndian ? eight[i] : eight[3 - i];
  if (offset > 0x7FFFFFFF || fseek(file, long(offset), SEEK_SET) != 0) return 0;
  return 8 + fread(ifd + 8, 1, sizeof ifd - 8, file);
}

// A TIFF file's parts: from the head when they are in it, else each read where it lies.
class FileTiffBytes final : public TiffBytes {
 public:
  FileTiffBytes(FILE* file, const uint8_t* head, size_t size) : m_file(file), m_head(head), m_size(size) {}
  const uint8_t* Get(uint64_t offset, size_t length) override {
    if (offset <= m_size && length <= m_size - offset) return m_head + offset;
    if (length > m_budget || offset > 0x7FFFFFFF || fseek(m_file, long(offset), SEEK_SET) != 0) return nullptr;
    m_budget -= length;
    m_parts.emplace_back(length);  // a deque: the parts handed out never move
    return fread(m_parts.back().data(), 1, length, m_file) == length ? m_parts.back().data() : nullptr;
  }

 private:
  FILE* m_file;
  const uint8_t* m_head;
  size_t m_size, m_budget = kFarTiffBytes;
  std::deque<std::vector<uint8_t>> m_parts;
};

}  // namespace

PhotoFacts ReadPhotoFacts(FILE* file) {
  // The caller's own buffers: pictures are read on worker threads.
  std::vector<uint8_t> buffer(kHeadBytes);
  uint8_t* head = buffer.data();
  uint8_t ifd[8 + 2 + 12 * 64];
  const uint8_t* bytes = head;
  const size_t headSize = fseek(file, 0, SEEK_SET) == 0 ? fread(head, 1, kHeadBytes, file) : 0;
  size_t size = headSize;
  const bool tiff = size >= 8 && (memcmp(head, "II*\0", 4) == 0 || memcmp(head, "MM\0*", 4) == 0);
  if (tiff && uint64_t(Get32(head + 4, head[0] == 'M')) + 2 > size) bytes = ifd, size = ReadFarIfd(file, head, ifd);
  PhotoFacts facts = {PhotoOrientation(bytes, size), false, 0, 0, PhotoMeta()};
  facts.sized = PhotoFrameSize(bytes, size, &facts.width, &facts.height);
  if (tiff) {
    FileTiffBytes parts(file, head, headSize);
    facts.meta = ReadTiffMeta(parts);
  } else {
    facts.meta = ReadPhotoMeta(head, headSize);
  }
  return facts;
}

BOOL PhotoSizeAllowed(uint32_t width, uint32_t height) {
  return width >= 1 && height >= 1 && width <= 32768 && height <= 32768 &&
         uint64_t(width) * height * 4 <= kMaxPhotoBytes;
}

SIZE DecodeSize(int width, int height, SIZE needed) {
  SIZE size = {width, height};
  if (width < 1 || height < 1 || needed.cx >= width || needed.cy >= height) return size;
  // The larger of the two scales that make one side just fit; rounded up,
  // so the other side is never short.
  const int64_t w = width, h = height, nx = needed.cx > 0 ? needed.cx : 1, ny = needed.cy > 0 ? needed.cy : 1;
  if (nx * h >= ny * w) {
    size.cx = LONG(nx), size.cy = LONG((h * nx + w - 1) / w);
  } else {
    size.cx = LONG((w * ny + h - 1) / h), size.cy = LONG(ny);
  }
  return size;
}
