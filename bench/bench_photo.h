// The photos of the photo benchmarks: one picture written as a quality 90
// JPEG (libjpeg-turbo, 4:2:0) and as a 24-bit BMP, into a folder the Wine
// benchmark reads them from too, so both time the same files.
#pragma once

#include <string>

struct BenchPhoto {
  const char* label;
  int width, height;
  std::string jpeg, bmp;  // paths, set by WriteBenchPhoto
  long jpegBytes;
};

// Photo-like pixels (soft gradients, mid-frequency texture, sensor noise),
// the same on every run, written as `<dir>/photo_<w>x<h>.jpg` and `.bmp`.
bool WriteBenchPhoto(const std::string& dir, BenchPhoto& p);
