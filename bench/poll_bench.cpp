// What the panel costs while it idles: one poll step, and one meter redraw on the real
// window (offscreen). At 10 ticks a second with a redraw every third tick, the idle load
// is 10 x (poll step) + 3.3 x (meter redraw) per second.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/panel.h"
#include "keys/poll_cycle.h"
#include "panel/pen.h"
#include "platform/sdl/sdl_window.h"
#include "support/fake_clock.h"
#include "support/fake_speech.h"
#include "support/recording_sound.h"
#include "support/recording_window.h"

namespace voskel {
namespace {

// A receiver that takes every byte at once and has its level reply waiting after each
// query: what remains is the panel's own cost.
class AnsweringPort : public platform::SerialPorts {
 public:
  int OpenPort(int, int) override { return 1; }
  int SetPortFormat(int, int, int, int) override { return 0; }
  void SetReadMode(int, int) override {}
  int BytesWaiting(int) override { return static_cast<int>(waiting_.size()); }
  int ReadBytes(int, char* buffer, int count) override {
    const int taken = std::min(count, BytesWaiting(1));
    waiting_.copy(buffer, static_cast<std::size_t>(taken));
    waiting_.erase(0, static_cast<std::size_t>(taken));
    return taken;
  }
  int WriteBytes(int, const char* bytes, int count) override {
    if (std::string_view(bytes, static_cast<std::size_t>(count)) == "LM\r") waiting_ = "LM 123\r\n";
    return count;
  }
  void ClosePort(int) override {}
  bool IsOpen(int) const override { return true; }

 private:
  std::string waiting_;
};

void PreparePanel(Panel& panel) {
  auto& s = panel.state;
  s.MeterBar = std::string(18, '*');
  s.MeterLine = ">";
  s.ConnectState = ConnectState::kConnected;
  s.PortNumber = 1;
}

// A full poll (three ticks: send, read and redraw, idle) on a recording window.
void BM_PollCycleThreeTicks(benchmark::State& state) {
  testing::RecordingWindow window;
  testing::FakeClock clock;
  testing::RecordingSound sound(&clock);
  AnsweringPort ports;
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
  AnsweringPort ports;
  testing::FakeSpeech speech;
  Panel panel(window, sound, speech, ports, clock, "/nonexistent");
  if (!OpenPanel(panel)) {
    state.SkipWithError("no offscreen window");
    return;
  }
  PreparePanel(panel);
  int level = 0;
  for (auto _ : state) {
    UpdateMeter(panel, "LM " + std::to_string(100 + (level++ % 150)));
  }
  ClosePanel(panel);
}
BENCHMARK(BM_MeterRedrawSdl);

}  // namespace
}  // namespace voskel
