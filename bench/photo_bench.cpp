// The photo benchmark's native half. Writes the benchmark photos (JPEG and
// 24-bit BMP, see bench_photo.h) into LUMARO_PHOTO_DIR, where the Wine half
// (bench/wine/photo_bench.cpp) reads them, then times on the same files:
// (a) libjpeg-turbo decoding the JPEG to 32-bit pixels at full size and with
// its 1/2 and 1/4 DCT scaling, the file read included; (b) DibPicture::Load
// of the BMP, and Load + Prepare to the size a 1920x1080 screen shows it at.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <turbojpeg.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/bench_photo.h"
#include "bench/median_collector.h"
#include "picture/dib_picture.h"
#include "picture/paint_geometry.h"

namespace {

const int kScreenWidth = 1920, kScreenHeight = 1080;

std::vector<BenchPhoto> g_photos = {
    {"1920x1080", 1920, 1080, "", "", 0},
    {"6000x4000", 6000, 4000, "", "", 0},
};

// libjpeg-turbo's own scales of 1/1, 1/2 and 1/4.
const int kDenominators[] = {1, 2, 4};

bool FindFactor(int denominator, tjscalingfactor* found) {
  int count = 0;
  const tjscalingfactor* factors = tjGetScalingFactors(&count);
  for (int i = 0; factors && i < count; ++i)
    if (factors[i].num == 1 && factors[i].denom == denominator) return *found = factors[i], true;
  return false;
}

std::vector<unsigned char> ReadWhole(const std::string& path) {
  std::vector<unsigned char> bytes;
  FILE* file = fopen(path.c_str(), "rb");
  if (!file) return bytes;
  fseek(file, 0, SEEK_END);
  bytes.resize(size_t(ftell(file)));
  fseek(file, 0, SEEK_SET);
  if (fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) bytes.clear();
  fclose(file);
  return bytes;
}

// Each iteration reads the file (from the page cache) and decodes it, as a
// loader would; the output buffer is the caller's, allocated once.
void TurboDecode(benchmark::State& state, const BenchPhoto* p, int denominator) {
  tjscalingfactor factor;
  if (!FindFactor(denominator, &factor)) return state.SkipWithError("no such scaling factor");
  const int width = TJSCALED(p->width, factor), height = TJSCALED(p->height, factor);
  std::vector<unsigned char> pixels(size_t(width) * height * 4);
  tjhandle decoder = tjInitDecompress();
  for (auto _ : state) {
    const std::vector<unsigned char> jpeg = ReadWhole(p->jpeg);
    if (jpeg.empty() || tjDecompress2(decoder, jpeg.data(), (unsigned long)jpeg.size(), pixels.data(), width, 0,
                                      height, TJPF_BGRX, TJFLAG_ACCURATEDCT) != 0)
      state.SkipWithError("tjDecompress2 failed");
    benchmark::DoNotOptimize(pixels.data());
  }
  tjDestroy(decoder);
  state.SetLabel(std::to_string(width) + "x" + std::to_string(height));
}

void LoadBmp(benchmark::State& state, const BenchPhoto* p, bool prepare) {
  const SIZE drawn = DrawnSize(kScreenWidth, kScreenHeight, p->width, p->height, FALSE);
  DibPicture picture;
  for (auto _ : state) {
    if (!picture.Load(p->bmp.c_str())) state.SkipWithError("Load failed");
    if (prepare && !picture.Prepare(drawn.cx, drawn.cy)) state.SkipWithError("Prepare failed");
    benchmark::DoNotOptimize(picture.m_pBits);
  }
  picture.Release();
}

std::string Name(const std::string& method, const BenchPhoto& p) { return method + "/" + p.label; }
std::string TurboName(int denominator) { return "turbojpeg_1/" + std::to_string(denominator); }

}  // namespace

int main(int argc, char** argv) {
  mkdir(LUMARO_PHOTO_DIR, 0755);
  for (BenchPhoto& p : g_photos) {
    if (!WriteBenchPhoto(LUMARO_PHOTO_DIR, p)) {
      fprintf(stderr, "cannot write %s\n", p.jpeg.c_str());
      return 1;
    }
    printf("%s: %s, %ld bytes\n", p.label, p.jpeg.c_str(), p.jpegBytes);
  }
  for (const BenchPhoto& p : g_photos) {
    std::vector<benchmark::internal::Benchmark*> runs;
    for (int d : kDenominators) runs.push_back(benchmark::RegisterBenchmark(Name(TurboName(d), p).c_str(), TurboDecode, &p, d));
    runs.push_back(benchmark::RegisterBenchmark(Name("bmp_load", p).c_str(), LoadBmp, &p, false));
    runs.push_back(benchmark::RegisterBenchmark(Name("bmp_load_prepare", p).c_str(), LoadBmp, &p, true));
    for (auto* b : runs) b->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
  }
  benchmark::Initialize(&argc, argv);
  MedianCollector reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  printf("\nNative medians (ms); shown on a %dx%d screen at the drawn size\n", kScreenWidth, kScreenHeight);
  printf("%-10s %10s %12s %10s %10s %10s %12s\n", "photo", "drawn", "turbo 1/1", "1/2", "1/4", "BMP Load",
         "+ Prepare");
  for (const BenchPhoto& p : g_photos) {
    const SIZE drawn = DrawnSize(kScreenWidth, kScreenHeight, p.width, p.height, FALSE);
    printf("%-10s %10s %12.2f %10.2f %10.2f %10.2f %12.2f\n", p.label,
           (std::to_string(drawn.cx) + "x" + std::to_string(drawn.cy)).c_str(),
           reporter.m_medians[Name(TurboName(1), p)], reporter.m_medians[Name(TurboName(2), p)],
           reporter.m_medians[Name(TurboName(4), p)], reporter.m_medians[Name("bmp_load", p)],
           reporter.m_medians[Name("bmp_load_prepare", p)]);
  }
  printf("(a scale whose size is below the drawn size, as 1/4 of 6000x4000, would show the photo enlarged)\n");
  benchmark::Shutdown();
  return 0;
}
