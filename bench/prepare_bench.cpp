// Preparing a picture at the size it is drawn at: (a) DibPicture::Prepare,
// (b) stb_image_resize on the same pixels, (c) the bound of reading the
// source once, a memcpy of its bytes. Prints each median and its ratio to (c).
#include <benchmark/benchmark.h>
#include <stb_image_resize.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench/bench_picture.h"
#include "bench/median_collector.h"
#include "picture/dib_picture.h"
#include "picture/paint_geometry.h"

namespace {

struct Case {
  const char* label;
  BenchPicture picture;
  int cxClient, cyClient;
  BOOL stretch;
};

std::vector<Case> g_cases = {
    {"6000x4000 fit to 1920x1080", {"6000x4000", 6000, 4000, 24, false, ""}, 1920, 1080, FALSE},
    {"1920x1080 to the 153x112 preview", {"1920x1080", 1920, 1080, 24, false, ""}, 153, 112, TRUE},
};

SIZE Target(const Case& c) {
  return DrawnSize(c.cxClient, c.cyClient, c.picture.width, c.picture.height, c.stretch);
}

void Ours(benchmark::State& state, const Case* c) {
  const SIZE target = Target(*c);
  DibPicture p;
  for (auto _ : state) {
    state.PauseTiming();
    if (!p.Load(c->picture.path.c_str())) state.SkipWithError("Load failed");
    state.ResumeTiming();
    if (!p.Prepare(target.cx, target.cy)) state.SkipWithError("Prepare failed");
    benchmark::DoNotOptimize(p.m_pBits);
  }
  p.Release();
}

void Stb(benchmark::State& state, const Case* c) {
  const SIZE target = Target(*c);
  DibPicture p;
  if (!p.Load(c->picture.path.c_str())) state.SkipWithError("Load failed");
  std::vector<unsigned char> out(size_t(target.cx) * target.cy * 3);
  const int stride = (p.m_nWidth * 3 + 3) & ~3;
  for (auto _ : state) {
    stbir_resize_uint8(p.m_pBits, p.m_nWidth, p.m_nHeight, stride, out.data(), target.cx, target.cy,
                       target.cx * 3, 3);
    benchmark::DoNotOptimize(out.data());
  }
  p.Release();
}

void Copy(benchmark::State& state, const Case* c) {
  DibPicture p;
  if (!p.Load(c->picture.path.c_str())) state.SkipWithError("Load failed");
  std::vector<unsigned char> out(p.m_pInfo->bmiHeader.biSizeImage);
  for (auto _ : state) {
    memcpy(out.data(), p.m_pBits, out.size());
    benchmark::DoNotOptimize(out.data());
  }
  p.Release();
}

const char* const kMethods[] = {"ours", "stbir", "memcpy"};

std::string Name(const char* method, const Case& c) { return std::string(method) + "/" + c.label; }

}  // namespace

int main(int argc, char** argv) {
  for (Case& c : g_cases) {
    if (!WriteBenchPicture(c.picture)) return 1;
    for (auto* b : {benchmark::RegisterBenchmark(Name(kMethods[0], c).c_str(), Ours, &c),
                    benchmark::RegisterBenchmark(Name(kMethods[1], c).c_str(), Stb, &c),
                    benchmark::RegisterBenchmark(Name(kMethods[2], c).c_str(), Copy, &c)})
      b->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
  }
  benchmark::Initialize(&argc, argv);
  MedianCollector reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  printf("\nMedians (ms) and ratios to reading the source once (c)\n");
  printf("%-36s %10s %10s %10s %9s %9s\n", "case", "(a) ours", "(b) stbir", "(c) copy", "(a)/(c)", "(b)/(c)");
  for (const Case& c : g_cases) {
    const double a = reporter.m_medians[Name(kMethods[0], c)], b = reporter.m_medians[Name(kMethods[1], c)];
    const double copy = reporter.m_medians[Name(kMethods[2], c)];
    if (copy > 0) printf("%-36s %10.2f %10.2f %10.2f %8.2fx %8.2fx\n", c.label, a, b, copy, a / copy, b / copy);
    remove(c.picture.path.c_str());
  }
  benchmark::Shutdown();
  return 0;
}
