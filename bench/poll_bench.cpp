// What the panel costs while it idles: one poll step, and one meter redraw on the real
// window (offscreen). At 10 ticks a second with a redraw every third tick, the idle load
// is 10 x (poll step) + 3.3 x (meter redraw) per second.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "core/panel.h"
#include "link/serial_link.h"
#include "panel/pen.h"
#include "keys/poll_cycle.h"
#include "platform/sdl/sdl_window.h"
#include "support/fake_clock.h"
#include "support/fake_speech.h"
#include "support/recording_sound.h"
#include "support/recording_window.h"

namespace voskel {
namespace {

void PreparePanel(Panel& panel) {
  auto& s = panel.state;
  s.MeterBar = std::string(18, '*');
  s.MeterLine = ">";
  s.ConnectState = ConnectState::kConnected;
  s.PortNumber = 1;  // never opened: sends and reads are the link's quick no-ops
}

// A full poll (three ticks: send, read and redraw, idle) on a recording window.
void BM_PollCycleThreeTicks(benchmark::State& state) {
  testing::RecordingWindow window;
  testing::FakeClock clock;
  testing::RecordingSound sound(&clock);
  SerialLink ports("/nonexistent");
  testing::FakeSpeech speech;
  Panel panel(window, sound, speech, ports, clock, "/nonexistent");
  OpenPanel(panel);
  PreparePanel(panel);
  for (auto _ : state) {
    for (int tick = 0; tick < 3; ++tick) PollCycle(panel);
    if (window.prints.size() > 1000) window.prints.clear();
  }
}
BENCHMARK(BM_PollCycleThreeTicks);

// One meter redraw into the real SDL window under the offscreen driver.
void BM_MeterRedrawSdl(benchmark::State& state) {
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  platform::SdlWindow window;
  testing::FakeClock clock;
  testing::RecordingSound sound(&clock);
  SerialLink ports("/nonexistent");
  testing::FakeSpeech speech;
  Panel panel(window, sound, speech, ports, clock, "/nonexistent");
  if (!OpenPanel(panel)) {
    state.SkipWithError("no offscreen window");
    return;
  }
  PreparePanel(panel);
  int level = 0;
  for (auto _ : state) {
    panel.state.ReplyText = "LM " + std::to_string(100 + (level++ % 150));
    UpdateMeter(panel);
  }
  ClosePanel(panel);
}
BENCHMARK(BM_MeterRedrawSdl);

}  // namespace
}  // namespace voskel
