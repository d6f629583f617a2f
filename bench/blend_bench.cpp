// One frame of a fade at 1920 x 1080, made as the saver makes it: the two
// frames mixed by BlendPixels a band of 64 rows at a time into one band's
// buffer, which goes to the screen from there. Against a memcpy of one
// frame, the floor of any frame's making. Prints each median and their ratio.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "bench/median_collector.h"
#include "picture/blend.h"

namespace {

const size_t kPixels = size_t(1920) * 1080;

const size_t kBand = size_t(1920) * 64;

struct Frames {
  std::vector<uint32_t> from = std::vector<uint32_t>(kPixels, 0x00DC1E28), to = std::vector<uint32_t>(kPixels, 0x000000FF),
                        out = std::vector<uint32_t>(kPixels);
};

void Blend(benchmark::State& state) {
  Frames f;
  int level = 0;
  for (auto _ : state) {
    level = (level + 7) % 257;
    for (size_t first = 0; first < kPixels; first += kBand) {
      BlendPixels(&f.from[first], &f.to[first], f.out.data(), std::min(kBand, kPixels - first), level);
      benchmark::DoNotOptimize(f.out.data());
      benchmark::ClobberMemory();
    }
  }
}

void Copy(benchmark::State& state) {
  Frames f;
  for (auto _ : state) {
    memcpy(f.out.data(), f.to.data(), kPixels * 4);
    benchmark::DoNotOptimize(f.out.data());
    benchmark::ClobberMemory();
  }
}

}  // namespace

int main(int argc, char** argv) {
  for (auto* b : {benchmark::RegisterBenchmark("blend 1920x1080", Blend), benchmark::RegisterBenchmark("memcpy 1920x1080", Copy)})
    b->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  MedianCollector reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double blend = reporter.m_medians["blend 1920x1080"], copy = reporter.m_medians["memcpy 1920x1080"];
  printf("\nOne fade frame at 1920x1080: blend %.3f ms, memcpy %.3f ms, ratio %.2fx (goal: 2x or less)\n", blend, copy,
         copy > 0 ? blend / copy : 0.0);
  benchmark::Shutdown();
  return 0;
}
