// Feeds arbitrary files to the photo header readers, which must answer an orientation of 1 to 8, a frame
// size and what the photo says of itself without reading outside them, and turns a small picture of distinct
// pixels as the file's last bytes choose: every pixel must land once.
#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <vector>

#include "picture/photo_header.h"
#include "picture/photo_meta.h"
#include "picture/orient_pixels.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int orientation = PhotoOrientation(data, size);
  if (orientation < 1 || orientation > 8) abort();
  uint32_t frameWidth = 0, frameHeight = 0;
  PhotoFrameSize(data, size, &frameWidth, &frameHeight);
  ReadPhotoMeta(data, size);
  if (size < 3) return 0;
  const int width = 1 + data[size - 1] % 17, height = 1 + data[size - 2] % 13;
  std::vector<uint32_t> source(size_t(width) * height), target(source.size());
  std::iota(source.begin(), source.end(), 0u);
  OrientPixels(source.data(), width, height, int(int8_t(data[size - 3])), target.data());
  std::sort(target.begin(), target.end());
  if (target != source) abort();
  return 0;
}
