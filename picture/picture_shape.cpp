#include "picture/picture_shape.h"

#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

#include "picture/orient_pixels.h"
#include "picture/photo_file.h"
#include "picture/photo_header.h"
#include "text/named_file.h"

namespace {

const size_t kShapeHeadBytes = 64 * 1024;

}  // namespace

Shape ShapeOf(long width, long height) {
  if (width < 1 || height < 1) return Shape::kUnknown;
  return height > width ? Shape::kPortrait : Shape::kLandscape;
}

PictureShape ReadPictureShape(const char* path) {
  const PictureShape unknown = {Shape::kUnknown, {0, 0}};
  FILE* file = path ? OpenNamedFile(path, "rb") : nullptr;
  if (!file) return unknown;
  // On the heap: it runs on a worker thread, whose stack is the system's default.
  std::vector<uint8_t> head(kShapeHeadBytes);
  const size_t size = fread(head.data(), 1, head.size(), file);
  const bool failed = ferror(file) != 0;
  fclose(file);
  uint32_t width = 0, height = 0;
  if (failed || !PhotoFrameSize(head.data(), size, &width, &height)) return unknown;
  if (!PhotoSizeAllowed(width, height)) return unknown;  // as the loader would refuse it
  if (SwapsSides(PhotoOrientation(head.data(), size))) std::swap(width, height);
  return PictureShape{ShapeOf(long(width), long(height)), SIZE{LONG(width), LONG(height)}};
}
