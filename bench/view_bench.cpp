// One frame of a slow pan and zoom, sampled as the saver samples it: the view covers a little less than its
// source, 1.12 times the screen, and moves by a fraction of a pixel each frame, so positions fall between pixels. The
// vector path against the plain one and against a memcpy of the frame; at 3840x2160 also on two threads, each
// sampling half of the rows. Prints each median in ms per frame.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "bench/median_collector.h"
#include "picture/view_sample.h"

namespace {

const int64_t kOne = 1 << 16;

struct Frame {
  Frame(int w, int h) : width(w), height(h), srcWidth(w * 112 / 100), srcHeight(h * 112 / 100) {
    std::mt19937 random(1);
    for (uint32_t& p : src) p = random();
  }
  // The next frame's view: 1.1 source pixels a screen pixel, panning right by 0.37 pixels a frame and down by
  // half that, over at most 30 pixels, which the source's spare columns and rows allow.
  ViewSampling Next() {
    step = (step + 1) % 80;
    const int64_t pan = step * kOne * 37 / 100 + 0x1234;
    return {pan, pan / 2, kOne * 11 / 10 + 0x123, kOne * 11 / 10 + 0x123};
  }
  const int width, height, srcWidth, srcHeight;
  std::vector<uint32_t> src = std::vector<uint32_t>(size_t(srcWidth) * srcHeight);
  std::vector<uint32_t> dst = std::vector<uint32_t>(size_t(width) * height);
  int step = 0;
};

template <decltype(SampleView)* Sample>
void Sampled(benchmark::State& state, int width, int height, int threads) {
  Frame f(width, height);
  for (auto _ : state) {
    const ViewSampling view = f.Next();
    // A band's first row moves the destination and the view's top alike; this thread samples the first band.
    const auto band = [&f, &view, height, threads](int t) {
      const int first = height * t / threads, rows = height * (t + 1) / threads - first;
      ViewSampling part = view;
      part.y0 += first * view.dy;
      Sample(f.src.data(), f.srcWidth, f.srcHeight, f.srcWidth, f.dst.data() + size_t(first) * f.width, f.width, rows,
             f.width, part);
    };
    std::vector<std::thread> others;
    for (int t = 1; t < threads; ++t) others.emplace_back(band, t);
    band(0);
    for (std::thread& other : others) other.join();
    benchmark::DoNotOptimize(f.dst.data());
    benchmark::ClobberMemory();
  }
}

void Copy(benchmark::State& state, int width, int height) {
  Frame f(width, height);
  for (auto _ : state) {
    memcpy(f.dst.data(), f.src.data(), f.dst.size() * 4);
    benchmark::DoNotOptimize(f.dst.data());
    benchmark::ClobberMemory();
  }
}

}  // namespace

int main(int argc, char** argv) {
  const char* names[] = {"view", "plain", "memcpy", "view two threads"};
  for (auto [w, h] : {std::pair{1920, 1080}, std::pair{3840, 2160}}) {
    const std::string size = " " + std::to_string(w) + "x" + std::to_string(h);
    std::vector<benchmark::internal::Benchmark*> marks = {
        benchmark::RegisterBenchmark((names[0] + size).c_str(), Sampled<SampleView>, w, h, 1),
        benchmark::RegisterBenchmark((names[1] + size).c_str(), Sampled<SampleViewPlain>, w, h, 1),
        benchmark::RegisterBenchmark((names[2] + size).c_str(), Copy, w, h)};
    if (w == 3840)
      marks.push_back(benchmark::RegisterBenchmark((names[3] + size).c_str(), Sampled<SampleView>, w, h, 2));
    for (auto* b : marks) b->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond)->UseRealTime();
  }
  benchmark::Initialize(&argc, argv);
  MedianCollector reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  printf("\nOne moving frame, ms (goals with SSE2 on one thread: 3 at 1920x1080, 12 at 3840x2160)\n");
  for (const char* size : {"1920x1080", "3840x2160"})
    for (const char* name : names) {
      const auto found = reporter.m_medians.find(std::string(name) + " " + size);
      if (found != reporter.m_medians.end()) printf("  %-17s %s  %7.3f\n", name, size, found->second);
    }
  benchmark::Shutdown();
  return 0;
}
