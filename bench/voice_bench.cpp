// How closely clips keep their time: a synchronous play should last its clip's length and
// hardly more, and starting a decoded clip should cost next to nothing, since the panel's
// pacing of the receiver rests on these clips.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "platform/clock.h"
#include "platform/sdl/sdl_sound.h"

namespace {

using voskel::platform::SdlSound;
using voskel::platform::SystemClock;
namespace fs = std::filesystem;

constexpr int kClipMs = 20;

// A silent 22050 Hz mono 16-bit clip.
void WriteSilence(const fs::path& file, int lengthMs) {
  const std::uint32_t dataBytes = 22050 * lengthMs / 1000 * 2;
  auto put = [](std::ofstream& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xff));
  };
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write("RIFF", 4);
  put(out, 36 + dataBytes, 4);
  out.write("WAVEfmt ", 8);
  for (auto [value, bytes] :
       {std::pair{16u, 4}, {1u, 2}, {1u, 2}, {22050u, 4}, {44100u, 4}, {2u, 2}, {16u, 2}})
    put(out, value, bytes);
  out.write("data", 4);
  put(out, dataBytes, 4);
  out << std::string(dataBytes, '\0');
}

struct Setup {
  Setup() : dir(fs::temp_directory_path() / ("voskel-voice-bench-" + std::to_string(getpid()))) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    fs::create_directories(dir / "wave");
    WriteSilence(dir / "wave" / "tick.wav", kClipMs);
    WriteSilence(dir / "wave" / "help.wav", 45000);
  }
  ~Setup() { fs::remove_all(dir); }
  fs::path dir;
  SystemClock clock;
};

double NowUs() {
  using namespace std::chrono;
  return duration<double, std::micro>(steady_clock::now().time_since_epoch()).count();
}

// Time a synchronous play takes beyond its clip's 20 ms, in ms; median reported.
void BM_SyncPlayOverhead(benchmark::State& state) {
  Setup setup;
  SdlSound sound(setup.dir, setup.clock);
  sound.Play("wave\\tick", true);  // opens the device and decodes the clip
  std::vector<double> overheads;
  for (auto _ : state) {
    const double start = NowUs();
    sound.Play("wave\\tick", true);
    const double overheadMs = (NowUs() - start) / 1000.0 - kClipMs;
    overheads.push_back(overheadMs);
    state.SetIterationTime(overheadMs > 0 ? overheadMs / 1000.0 : 0);
  }
  std::sort(overheads.begin(), overheads.end());
  state.counters["median_overhead_ms"] = overheads[overheads.size() / 2];
  state.counters["max_overhead_ms"] = overheads.back();
  state.counters["device"] = sound.HasDevice() ? 1 : 0;
}
BENCHMARK(BM_SyncPlayOverhead)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);

// Starting a decoded clip without waiting: a short one, and the long help text.
void BM_AsyncStartCached(benchmark::State& state) {
  Setup setup;
  SdlSound sound(setup.dir, setup.clock);
  const std::string clip = state.range(0) == 0 ? "wave\\tick" : "wave\\help";
  sound.Play(clip, false);
  for (auto _ : state) sound.Play(clip, false);
  sound.Play("", false);
}
BENCHMARK(BM_AsyncStartCached)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

