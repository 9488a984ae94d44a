// How fast the simulated receiver answers and runs its clock.
#include <benchmark/benchmark.h>

#include "engine.h"

namespace {

using voskel::sim::Engine;

void BM_SimLevelPolls(benchmark::State& state) {
  Engine engine;
  std::string burst;
  for (int i = 0; i < 1000; ++i) burst += "LM\r";
  for (auto _ : state) {
    engine.Input(burst);
    benchmark::DoNotOptimize(engine.TakeOutput());
  }
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_SimLevelPolls);

// An hour of a search over the whole built-in two-metre band, in 10 ms ticks.
void BM_SimSearchHour(benchmark::State& state) {
  for (auto _ : state) {
    Engine engine;
    engine.Input("VA0144.00000\rVB0146.00000\rST012.50\rVS\r");
    for (int tick = 0; tick < 360'000; ++tick) {
      engine.Advance(10);
      if (engine.Halted()) engine.Input("\x1e");
    }
    benchmark::DoNotOptimize(engine.TakeOutput());
  }
}
BENCHMARK(BM_SimSearchHour)->Unit(benchmark::kMillisecond);

}  // namespace
