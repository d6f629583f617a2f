// DibPicture::Load from the page cache, beside (a) the bare file read, one
// fread of the whole file into a buffer allocated beforehand, and (b)
// stbi_load. Prints each median and its ratio to (a).
#include <benchmark/benchmark.h>
#include <stb_image.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

#include "bench/bench_picture.h"
#include "bench/median_collector.h"
#include "picture/dib_picture.h"

namespace {

std::vector<BenchPicture> g_pictures = {
    {"1920x1080 24-bit", 1920, 1080, 24, false, ""},
    {"1920x1080 32 masked", 1920, 1080, 32, false, "", true},
    {"1920x1080 5-6-5", 1920, 1080, 16, false, "", true},
    {"3840x2160 24-bit", 3840, 2160, 24, false, ""},
    {"1024x768 8-bit", 1024, 768, 8, false, ""},
    {"640x480 4-bit core", 640, 480, 4, true, ""},
};

long FileSize(const std::string& path) {
  FILE* file = fopen(path.c_str(), "rb");
  if (!file) return -1;
  fseek(file, 0, SEEK_END);
  long size = ftell(file);
  fclose(file);
  return size;
}

void ReadWhole(benchmark::State& state, const BenchPicture* p) {
  std::vector<unsigned char> buffer(size_t(FileSize(p->path)));
  for (auto _ : state) {
    FILE* file = fopen(p->path.c_str(), "rb");
    size_t got = fread(buffer.data(), 1, buffer.size(), file);
    fclose(file);
    if (got != buffer.size()) state.SkipWithError("short read");
    benchmark::DoNotOptimize(buffer.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(buffer.size()));
}

// As the slideshow does it: one holder, each load replacing the last picture.
void LoadDib(benchmark::State& state, const BenchPicture* p) {
  DibPicture picture;
  for (auto _ : state) {
    if (!picture.Load(p->path.c_str())) state.SkipWithError("Load failed");
    benchmark::DoNotOptimize(picture.m_pBits);
  }
  picture.Release();
  state.SetBytesProcessed(int64_t(state.iterations()) * FileSize(p->path));
}

void StbiLoad(benchmark::State& state, const BenchPicture* p) {
  for (auto _ : state) {
    int w = 0, h = 0, channels = 0;
    unsigned char* pixels = stbi_load(p->path.c_str(), &w, &h, &channels, 0);
    if (!pixels) state.SkipWithError("stbi_load failed");
    benchmark::DoNotOptimize(pixels);
    stbi_image_free(pixels);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * FileSize(p->path));
}

const char* const kMethods[] = {"read_whole", "dib_load", "stbi_load"};

std::string Name(const char* method, const BenchPicture& p) { return std::string(method) + "/" + p.label; }

}  // namespace

int main(int argc, char** argv) {
  for (BenchPicture& p : g_pictures) {
    if (!WriteBenchPicture(p)) {
      fprintf(stderr, "cannot write %s\n", p.path.c_str());
      return 1;
    }
  }
  for (const BenchPicture& p : g_pictures) {
    for (auto* b : {benchmark::RegisterBenchmark(Name(kMethods[0], p).c_str(), ReadWhole, &p),
                    benchmark::RegisterBenchmark(Name(kMethods[1], p).c_str(), LoadDib, &p),
                    benchmark::RegisterBenchmark(Name(kMethods[2], p).c_str(), StbiLoad, &p)})
      b->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);
  }
  benchmark::Initialize(&argc, argv);

  MedianCollector reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  printf("\nMedians (us) and ratios to the bare file read (a)\n");
  printf("%-20s %12s %12s %12s %10s %10s\n", "picture", "(a) read", "Load", "(b) stbi", "Load/(a)",
         "stbi/(a)");
  for (const BenchPicture& p : g_pictures) {
    double a = reporter.m_medians[Name(kMethods[0], p)];
    double load = reporter.m_medians[Name(kMethods[1], p)];
    double stbi = reporter.m_medians[Name(kMethods[2], p)];
    if (a <= 0) continue;
    printf("%-20s %12.1f %12.1f %12.1f %9.2fx %9.2fx\n", p.label, a, load, stbi, load / a, stbi / a);
  }
  // The same screen's worth of masked 32-bit pixels against 24-bit ones: a third more bytes to read.
  const double plain = reporter.m_medians[Name(kMethods[1], g_pictures[0])];
  if (plain > 0) printf("Load of 32 masked / Load of 24-bit: %.2fx\n", reporter.m_medians[Name(kMethods[1], g_pictures[1])] / plain);
  for (const BenchPicture& p : g_pictures) remove(p.path.c_str());
  benchmark::Shutdown();
  return 0;
}
