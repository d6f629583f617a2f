#include "bench/bench_photo.h"

#include <turbojpeg.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

// xorshift32: fixed seed, so the files, and their sizes, repeat exactly.
struct Random {
  uint32_t state = 2463534242u;
  uint32_t Next() {
    state ^= state << 13, state ^= state >> 17, state ^= state << 5;
    return state;
  }
};

int Clamp(double v) { return v < 0 ? 0 : v > 255 ? 255 : int(v); }

// RGB rows, top-down. The texture is value noise on an 8-pixel grid, strong
// in the lower half ("foliage") and faint in the upper ("sky"): without it
// and the noise a JPEG of a gradient is a fraction of a real photo's size.
std::vector<unsigned char> PhotoPixels(int width, int height) {
  Random random;
  const int gw = width / 8 + 2, gh = height / 8 + 2;
  std::vector<float> grid(size_t(gw) * gh);
  for (float& g : grid) g = float(random.Next() % 256) - 128.f;
  std::vector<unsigned char> rgb(size_t(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    const double v = double(y) / height;
    const double detail = v < 0.45 ? 0.08 : 0.55;
    const int gy = y / 8;
    const float fy = float(y % 8) / 8.f;
    unsigned char* row = &rgb[size_t(y) * width * 3];
    for (int x = 0; x < width; ++x) {
      const double u = double(x) / width;
      const int gx = x / 8;
      const float fx = float(x % 8) / 8.f;
      const float* g0 = &grid[size_t(gy) * gw + gx];
      const float* g1 = g0 + gw;
      const double texture = (g0[0] * (1 - fx) + g0[1] * fx) * (1 - fy) + (g1[0] * (1 - fx) + g1[1] * fx) * fy;
      const double light = 60 * std::sin(3.1 * u + 1.3 * v) + 40 * std::cos(5.3 * v - 2.0 * u);
      const double noise = double(random.Next() % 17) - 8;
      row[3 * x + 0] = (unsigned char)Clamp(110 + 90 * (1 - v) + light + detail * texture + noise);
      row[3 * x + 1] = (unsigned char)Clamp(120 + 50 * v + 0.8 * light + detail * 0.9 * texture + noise);
      row[3 * x + 2] = (unsigned char)Clamp(190 - 120 * v + 0.5 * light + detail * 0.6 * texture + noise);
    }
  }
  return rgb;
}

bool WriteAll(const std::string& path, const unsigned char* bytes, size_t size) {
  FILE* file = fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool ok = fwrite(bytes, 1, size, file) == size;
  return fclose(file) == 0 && ok;
}

void Put(std::vector<unsigned char>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back((unsigned char)(value >> (8 * i)));
}

// Bottom-up BGR rows padded to four bytes, a 40-byte header.
bool WriteBmp24(const std::string& path, const std::vector<unsigned char>& rgb, int width, int height) {
  const size_t row = (size_t(width) * 3 + 3) & ~size_t(3);
  std::vector<unsigned char> out = {'B', 'M'};
  Put(out, uint32_t(54 + row * height), 4);
  Put(out, 0, 4);
  Put(out, 54, 4);
  Put(out, 40, 4);
  Put(out, uint32_t(width), 4);
  Put(out, uint32_t(height), 4);
  Put(out, 1, 2);
  Put(out, 24, 2);
  out.resize(54 + row * height, 0);
  for (int y = 0; y < height; ++y) {
    const unsigned char* src = &rgb[size_t(height - 1 - y) * width * 3];
    unsigned char* dst = &out[54 + row * y];
    for (int x = 0; x < width; ++x) dst[3 * x] = src[3 * x + 2], dst[3 * x + 1] = src[3 * x + 1], dst[3 * x + 2] = src[3 * x];
  }
  return WriteAll(path, out.data(), out.size());
}

}  // namespace

bool WriteBenchPhoto(const std::string& dir, BenchPhoto& p) {
  const std::string stem = dir + "/photo_" + std::to_string(p.width) + "x" + std::to_string(p.height);
  p.jpeg = stem + ".jpg";
  p.bmp = stem + ".bmp";
  const std::vector<unsigned char> rgb = PhotoPixels(p.width, p.height);

  tjhandle encoder = tjInitCompress();
  if (!encoder) return false;
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  const bool encoded = tjCompress2(encoder, rgb.data(), p.width, 0, p.height, TJPF_RGB, &jpeg, &size, TJSAMP_420, 90,
                                   TJFLAG_ACCURATEDCT) == 0;
  bool ok = encoded && WriteAll(p.jpeg, jpeg, size);
  tjFree(jpeg);
  tjDestroy(encoder);
  p.jpegBytes = long(size);
  return ok && WriteBmp24(p.bmp, rgb, p.width, p.height);
}
