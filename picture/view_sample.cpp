#include "picture/view_sample.h"

#include <algorithm>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Where one destination pixel falls along an axis: a source pixel, the one after it, and that one's share of 256.
struct Place {
  int index, next, weight;
};

// start + k * step. Past the int64 range it stays at the range's end, which is past the source's edge as well.
int64_t PositionAt(int64_t start, int64_t step, int64_t k) {
  int64_t offset, pos;
  if (__builtin_mul_overflow(step, k, &offset) || __builtin_add_overflow(start, offset, &pos))
    return step > 0 ? INT64_MAX : INT64_MIN;
  return pos;
}

// Outside the source the edge pixel alone: no neighbour beyond it is ever read.
Place Locate(int64_t pos, int n) {
  if (pos < 0) return {0, 0, 0};
  if (pos >= int64_t(n - 1) << 16) return {n - 1, n - 1, 0};
  const int index = int(pos >> 16);
  return {index, index + 1, int(pos >> 8) & 255};
}

bool Usable(const uint32_t* src, int srcWidth, int srcHeight, const uint32_t* dst, int dstWidth, int dstHeight) {
  return src && dst && srcWidth > 0 && srcHeight > 0 && dstWidth > 0 && dstHeight > 0;
}

// Two bytes of each pixel at once: each 16-bit lane's sum stays below 65536, so no carry crosses into the next.
uint32_t MixPair(uint32_t a, uint32_t b, uint32_t weight) {
  const uint32_t keep = 256 - weight;
  const uint32_t even = (a & 0xFF00FF) * keep + (b & 0xFF00FF) * weight + 0x800080;
  const uint32_t odd = (a >> 8 & 0xFF00FF) * keep + (b >> 8 & 0xFF00FF) * weight + 0x800080;
  return (even >> 8 & 0xFF00FF) | (odd & 0xFF00FF00);
}

#if defined(__SSE2__)
__m128i Load(const void* at) { return _mm_loadu_si128(static_cast<const __m128i*>(at)); }

// Four pixels of `a` mixed with four of `b`, b's weights in 16-bit lanes (one per byte, 0 to 255). The sum
// a * 256 + 128 + (b - a) * w is a * (256 - w) + b * w + 128, within 0..65408: wrapping 16-bit lanes hold it
// exactly, and a * 256 + 128 is just a beside the byte 0x80.
__m128i Mix4(__m128i a, __m128i b, __m128i weightsLow, __m128i weightsHigh) {
  const __m128i zero = _mm_setzero_si128(), half = _mm_set1_epi8(char(0x80));
  const __m128i low = _mm_add_epi16(
      _mm_unpacklo_epi8(half, a),
      _mm_mullo_epi16(_mm_sub_epi16(_mm_unpacklo_epi8(b, zero), _mm_unpacklo_epi8(a, zero)), weightsLow));
  const __m128i high = _mm_add_epi16(
      _mm_unpackhi_epi8(half, a),
      _mm_mullo_epi16(_mm_sub_epi16(_mm_unpackhi_epi8(b, zero), _mm_unpackhi_epi8(a, zero)), weightsHigh));
  return _mm_packus_epi16(_mm_srli_epi16(low, 8), _mm_srli_epi16(high, 8));
}
#endif

// The vertical pass: `count` pixels of two source rows mixed into one.
void MixRows(const uint32_t* top, const uint32_t* bottom, int weight, uint32_t* out, int count) {
  int k = 0;
#if defined(__SSE2__)
  const __m128i weights = _mm_set1_epi16(int16_t(weight));
  for (; k + 4 <= count; k += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k),
                                                  Mix4(Load(top + k), Load(bottom + k), weights, weights));
#endif
  for (; k < count; ++k) out[k] = MixPair(top[k], bottom[k], weight);
}

// The horizontal pass: each destination pixel from the mixed row's pixel at its column's offset and the one
// after, with its column's weight repeated for the four bytes.
void GatherColumns(const uint32_t* row, const int32_t* offsets, const uint16_t* weights, uint32_t* out, int count) {
  int i = 0;
#if defined(__SSE2__)
  for (; i + 4 <= count; i += 4) {
    // Each pixel with its neighbour in one 64-bit load, then the four left ones and the four right ones apart.
    const auto pair = [&](int k) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + offsets[i + k])); };
    const __m128i first = _mm_unpacklo_epi32(pair(0), pair(1)), second = _mm_unpacklo_epi32(pair(2), pair(3));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                     Mix4(_mm_unpacklo_epi64(first, second), _mm_unpackhi_epi64(first, second),
                          Load(weights + 4 * i), Load(weights + 4 * i + 8)));
  }
#endif
  for (; i < count; ++i) out[i] = MixPair(row[offsets[i]], row[offsets[i] + 1], weights[4 * i]);
}

// One byte at a time, as written down: the reference.
uint32_t MixBytes(uint32_t a, uint32_t b, int weight) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const uint32_t x = a >> shift & 255, y = b >> shift & 255;
    out |= (x * (256 - weight) + y * weight + 128) >> 8 << shift;
  }
  return out;
}

}  // namespace

void SampleView(const uint32_t* src, int srcWidth, int srcHeight, ptrdiff_t srcStride, uint32_t* dst, int dstWidth,
                int dstHeight, ptrdiff_t dstStride, const ViewSampling& view) {
  if (!Usable(src, srcWidth, srcHeight, dst, dstWidth, dstHeight)) return;
  // Positions run one way along a row, so its two ends bound the source columns any row needs.
  const Place left = Locate(view.x0, srcWidth), right = Locate(PositionAt(view.x0, view.dx, dstWidth - 1), srcWidth);
  const int first = std::min(left.index, right.index), span = std::max(left.next, right.next) - first + 1;
  // A column's place is the same on every row. Its weight is held four times, one for each byte in a vector lane.
  std::vector<int32_t> offsets(dstWidth);
  std::vector<uint16_t> weights(size_t(dstWidth) * 4);
  for (int i = 0; i < dstWidth; ++i) {
    const Place x = Locate(PositionAt(view.x0, view.dx, i), srcWidth);
    offsets[i] = x.index - first;
    std::fill_n(&weights[size_t(i) * 4], 4, uint16_t(x.weight));
  }
  // One spare pixel past the span: the last column's pair load may reach it, always at weight 0.
  std::vector<uint32_t> mixed(size_t(span) + 1);
  for (int j = 0; j < dstHeight; ++j) {
    const Place y = Locate(PositionAt(view.y0, view.dy, j), srcHeight);
    MixRows(src + y.index * srcStride + first, src + y.next * srcStride + first, y.weight, mixed.data(), span);
    GatherColumns(mixed.data(), offsets.data(), weights.data(), dst + j * dstStride, dstWidth);
  }
}

void SampleViewPlain(const uint32_t* src, int srcWidth, int srcHeight, ptrdiff_t srcStride, uint32_t* dst,
                     int dstWidth, int dstHeight, ptrdiff_t dstStride, const ViewSampling& view) {
  if (!Usable(src, srcWidth, srcHeight, dst, dstWidth, dstHeight)) return;
  for (int j = 0; j < dstHeight; ++j) {
    const Place y = Locate(PositionAt(view.y0, view.dy, j), srcHeight);
    const uint32_t *top = src + y.index * srcStride, *bottom = src + y.next * srcStride;
    for (int i = 0; i < dstWidth; ++i) {
      const Place x = Locate(PositionAt(view.x0, view.dx, i), srcWidth);
      dst[j * dstStride + i] = MixBytes(MixBytes(top[x.index], bottom[x.index], y.weight),
                                        MixBytes(top[x.next], bottom[x.next], y.weight), x.weight);
    }
  }
}
