// BMP files written for the native benchmarks, in the temporary directory.
#pragma once

#include <string>

struct BenchPicture {
  const char* label;
  int width, height, bitCount;
  bool core;         // the old 12-byte header
  std::string path;  // set by WriteBenchPicture
};

// Writes `p` with a full colour table and a pattern that differs row to row.
bool WriteBenchPicture(BenchPicture& p);
