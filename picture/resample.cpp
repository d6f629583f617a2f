#include "picture/resample.h"

#include <algorithm>
#include <cstdlib>

namespace {

const int kMaxExtent = 32768;
// The ring of source rows is bounded as a picture's bits are: a huge source
// shrunk to a few rows would otherwise hold most of itself at once.
const int64_t kMaxRingBytes = int64_t(256) << 20;
const int kShift = 14;
const int32_t kOne = 1 << kShift;
const int kDownShift = 8;
const int32_t kDownOne = 1 << kDownShift;

// `count` zeroed items of `size` elements each, given back when the holder
// goes; null when there is no memory. calloc checks the product for overflow.
template <typename T>
class Block {
 public:
  Block(size_t count, size_t size) : m_p(static_cast<T*>(calloc(count ? count : 1, size * sizeof(T)))) {}
  ~Block() { free(m_p); }
  Block(const Block&) = delete;
  Block& operator=(const Block&) = delete;
  T* get() const { return m_p; }
  T& operator[](size_t i) const { return m_p[i]; }

 private:
  T* m_p;
};

// The filter along one axis: for each target index, `span` weights of the
// consecutive source indexes from `first`, summing to `one`. Everything is
// worked out in integers, so equal sizes give the source back exactly.
struct AxisFilter {
  AxisFilter(int source, int target, int32_t one)
      : span(target < source ? (source + target - 1) / target + 1 : 2), first(target, 1), weights(target, span) {
    if (first.get() && weights.get()) Make(source, target, one);
  }
  bool Made() const { return first.get() && weights.get(); }

  const int span;
  Block<int> first;
  Block<int32_t> weights;

 private:
  void Make(int source, int target, int32_t one) {
    if (target < source) {
      // Target pixel o covers [o * source, (o + 1) * source) in units of
      // 1/target of a source pixel; each source pixel weighs what it overlaps.
      for (int o = 0; o < target; ++o) {
        const int64_t lo = int64_t(o) * source, hi = lo + source;
        first[o] = int(lo / target);
        // Each weight is the step between rounded running totals, so the
        // weights are never negative and always sum to `one`, at any ratio.
        int32_t* w = &weights[size_t(o) * span];
        int64_t covered = 0;
        for (int64_t i = first[o]; i * target < hi; ++i) {
          const int64_t overlap = std::min((i + 1) * target, hi) - std::max(i * target, lo);
          const int64_t before = (covered * one + source / 2) / source;
          covered += overlap;
          w[i - first[o]] = int32_t((covered * one + source / 2) / source - before);
        }
      }
    } else {
      // Linear between the two source pixels whose centres are nearest;
      // the edges repeat the edge pixel.
      for (int o = 0; o < target; ++o) {
        const int64_t centre = (2 * int64_t(o) + 1) * source - target;  // in 1/(2 target)
        int32_t* w = &weights[size_t(o) * span];
        if (centre <= 0) {
          w[0] = one;
          continue;
        }
        first[o] = int(centre / (2 * int64_t(target)));
        const int64_t frac = centre % (2 * int64_t(target));  // rounded, so 8-bit weights lose no level
        w[1] = first[o] + 1 < source ? int32_t((frac * one + target) / (2 * int64_t(target))) : 0;
        w[0] = one - w[1];
      }
    }
  }
};

// One target row's source rows blended into one row of bytes. Weights of
// eight bits keep every sum within 16 bits (they add up to 256 and a byte is
// at most 255), which lets the compiler blend many bytes at once; two source
// rows a pass halve the trips through the sums.
void BlendDown(const uint8_t* const* rows, const int32_t* w, int count, size_t rowBytes, uint16_t* sums,
               uint8_t* blended) {
  const uint16_t w0 = uint16_t(w[0]);
  for (size_t i = 0; i < rowBytes; ++i) sums[i] = uint16_t(kDownOne / 2 + w0 * rows[0][i]);
  for (int k = 1; k < count; k += 2) {
    const uint8_t* a = rows[k];
    const uint8_t* b = k + 1 < count ? rows[k + 1] : a;
    const uint16_t wa = uint16_t(w[k]), wb = uint16_t(k + 1 < count ? w[k + 1] : 0);
    for (size_t i = 0; i < rowBytes; ++i) sums[i] = uint16_t(sums[i] + wa * a[i] + wb * b[i]);
  }
  for (size_t i = 0; i < rowBytes; ++i) blended[i] = uint8_t(sums[i] >> kDownShift);
}

void BlendAcross(const AxisFilter& f, const uint8_t* row, int width, int channels, uint32_t* out,
                 int targetWidth) {
  for (int x = 0; x < targetWidth; ++x) {
    const int32_t* w = &f.weights[size_t(x) * f.span];
    const uint8_t* p = row + size_t(f.first[x]) * channels;
    const int taps = std::min(f.span, width - f.first[x]);
    int32_t b = kOne / 2, g = kOne / 2, r = kOne / 2;
    for (int k = 0; k < taps; ++k, p += channels) {
      b += w[k] * p[0];
      g += w[k] * p[1];
      r += w[k] * p[2];
    }
    out[x] = uint32_t(b >> kShift) | uint32_t(g >> kShift) << 8 | uint32_t(r >> kShift) << 16;
  }
}

}  // namespace

bool ResamplePixels(int width, int height, int channels, SourceRowReader read, void* context,
                    uint32_t* target, int targetWidth, int targetHeight) {
  for (int extent : {width, height, targetWidth, targetHeight})
    if (extent < 1 || extent > kMaxExtent) return false;
  if (channels != 3 && channels != 4) return false;
  AxisFilter across(width, targetWidth, kOne), down(height, targetHeight, kDownOne);
  // Down the columns first, on whole source rows of bytes, which keeps the
  // inner loops plain; then across the one blended row. The ring holds
  // just the source rows of one target row.
  const size_t rowBytes = size_t(width) * channels;
  if (int64_t(down.span) * int64_t(rowBytes) > kMaxRingBytes) return false;
  Block<uint8_t> ring(down.span, rowBytes), blended(rowBytes, 1);
  Block<const uint8_t*> rows(down.span, 1), taps(down.span, 1);
  Block<uint16_t> sums(rowBytes, 1);
  if (!across.Made() || !down.Made() || !ring.get() || !blended.get() || !rows.get() || !taps.get() || !sums.get())
    return false;
  int nextRow = 0;
  for (int y = 0; y < targetHeight; ++y) {
    const int count = std::min(down.span, height - down.first[y]);
    for (; nextRow < down.first[y] + count; ++nextRow) {
      const size_t slot = size_t(nextRow % down.span);
      rows[slot] = read(context, nextRow, &ring[slot * rowBytes]);
    }
    for (int k = 0; k < count; ++k) taps[k] = rows[(down.first[y] + k) % down.span];
    BlendDown(taps.get(), &down.weights[size_t(y) * down.span], count, rowBytes, sums.get(), blended.get());
    BlendAcross(across, blended.get(), width, channels, target + size_t(y) * targetWidth, targetWidth);
  }
  return true;
}
