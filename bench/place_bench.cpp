// Naming where a photo was taken: Describe at random points over populated land, where cells hold many places,
// over open sea, where the search widens until nothing can be near, and close to the poles, where cells are
// narrow; and the one Open that checks the whole table as the saver starts. Prints each median in µs.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include "bench/median_collector.h"
#include "places/place_table.h"

namespace {

struct Box {
  double south, north, west, east;
};
// Populated land: Europe, the eastern United States, northern India, eastern China, south-east Brazil.
const Box kLand[] = {{40, 55, -5, 25}, {33, 43, -90, -72}, {22, 30, 72, 88}, {25, 40, 105, 120}, {-25, -20, -50, -42}};
// Open water: the Pacific either side of 180, the South Atlantic, the Indian Ocean.
const Box kSea[] = {{-40, 20, 160, 180}, {-40, 20, -180, -130}, {-45, -20, -30, 5}, {-40, -10, 60, 95}};
const Box kPolar[] = {{84, 90, -180, 180}, {-90, -84, -180, 180}};

const std::vector<uint8_t>& Packed() {
  static const std::vector<uint8_t> bytes = [] {
    std::ifstream f(LUMARO_PLACES_BIN, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
  }();
  return bytes;
}

template <size_t N>
void Describe(benchmark::State& state, const Box (&boxes)[N]) {
  PlaceTable table;
  if (!table.Open(Packed().data(), Packed().size())) return state.SkipWithError("no places in " LUMARO_PLACES_BIN);
  std::mt19937 random(1);
  std::vector<std::pair<double, double>> points(4096);
  for (auto& p : points) {
    const Box& b = boxes[random() % N];
    p = {std::uniform_real_distribution<double>(b.south, b.north)(random),
         std::uniform_real_distribution<double>(b.west, b.east)(random)};
  }
  size_t i = 0, named = 0;
  for (auto _ : state) {
    const auto& p = points[i++ % points.size()];
    const PlaceTable::Answer a = table.Describe(p.first, p.second);
    named += a.kind == PlaceTable::Answer::kPlace;
    benchmark::DoNotOptimize(a);
  }
  state.counters["named"] = double(named) / double(i);
}

void Open(benchmark::State& state) {
  for (auto _ : state) {
    PlaceTable table;
    benchmark::DoNotOptimize(table.Open(Packed().data(), Packed().size()));
  }
}

}  // namespace

int main(int argc, char** argv) {
  for (auto* b : {benchmark::RegisterBenchmark("describe land", [](benchmark::State& s) { Describe(s, kLand); }),
                  benchmark::RegisterBenchmark("describe sea", [](benchmark::State& s) { Describe(s, kSea); }),
                  benchmark::RegisterBenchmark("describe polar", [](benchmark::State& s) { Describe(s, kPolar); }),
                  benchmark::RegisterBenchmark("open", Open)})
    b->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);
  benchmark::Initialize(&argc, argv);
  MedianCollector reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  printf("\nPlaces: %.2f µs a look-up on land, %.2f µs at sea, %.2f µs near the poles (goal: well under 1000); "
         "Open %.0f µs for %zu bytes\n",
         reporter.m_medians["describe land"], reporter.m_medians["describe sea"], reporter.m_medians["describe polar"],
         reporter.m_medians["open"], Packed().size());
  benchmark::Shutdown();
  return 0;
}
