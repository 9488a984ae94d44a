// How long a spoken tag holds the panel before it is heard: synthesis of a 12-character tag,
// the receiver's own tag length, never heard before (cold) and heard before (cached). Both
// must stay well under 100 ms, since the panel takes no key meanwhile.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "platform/espeak_speech.h"

namespace {

using voskel::platform::EspeakSpeech;

// A new 12-character tag for every number below 26^3: "REPEATER " and three letters.
std::string TagNumber(int n) {
  std::string tag = "REPEATER ";
  for (int i = 0; i < 3; ++i, n /= 26) tag += static_cast<char>('A' + n % 26);
  return tag;
}

void Report(benchmark::State& state, std::vector<double>& ms) {
  std::sort(ms.begin(), ms.end());
  state.counters["median_ms"] = ms[ms.size() / 2];
  state.counters["max_ms"] = ms.back();
}

double TimedMs(EspeakSpeech& speech, const std::string& tag) {
  const auto start = std::chrono::steady_clock::now();
  benchmark::DoNotOptimize(speech.Synthesize(tag).size());
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

void BM_SynthesizeTagCold(benchmark::State& state) {
  EspeakSpeech speech;  // started below, before the first timed tag
  if (!speech.Ready()) {
    state.SkipWithError("espeak-ng did not start");
    return;
  }
  std::vector<double> ms;
  int n = 0;
  for (auto _ : state) {
    const double taken = TimedMs(speech, TagNumber(n++));
    ms.push_back(taken);
    state.SetIterationTime(taken / 1000);
  }
  Report(state, ms);
}
BENCHMARK(BM_SynthesizeTagCold)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);

void BM_SynthesizeTagCached(benchmark::State& state) {
  EspeakSpeech speech;
  const std::string tag = TagNumber(0);
  speech.Synthesize(tag);
  std::vector<double> ms;
  for (auto _ : state) {
    const double taken = TimedMs(speech, tag);
    ms.push_back(taken);
    state.SetIterationTime(taken / 1000);
  }
  Report(state, ms);
}
BENCHMARK(BM_SynthesizeTagCached)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
