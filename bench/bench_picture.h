// BMP files written for the native benchmarks, in the temporary directory.
#pragma once

#include <string>

struct BenchPicture {
  const char* label;
  int width, height, bitCount;
  bool core;         // the old 12-byte header
  std::string path;  // set by WriteBenchPicture
  bool masks = false;  // BI_BITFIELDS: 8-8-8 at 32 bits, 5-6-5 at 16
};

// Writes `p` with a full colour table and a pattern that differs row to row.
bool WriteBenchPicture(BenchPicture& p);
