// What the panel pays per print on the real window: the font lookup that every SetFont
// leads to, and a short line drawn into the backing image and shown.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "platform/sdl/font_cache.h"
#include "platform/sdl/sdl_window.h"

namespace {

using voskel::platform::Font;
using voskel::platform::FontCache;
using voskel::platform::SdlWindow;

const Font kMeterFont{"Ariel", 30, 700};
const Font kFrequencyFont{"Ariel", 50, 700};

// A tick draws the meter in one font and a key step selects another: the lookup alternates.
void BM_FontLookupAlternating(benchmark::State& state) {
  TTF_Init();
  {
    FontCache fonts;
    fonts.Get(kMeterFont);
    fonts.Get(kFrequencyFont);
    bool meter = false;
    for (auto _ : state) {
      meter = !meter;
      benchmark::DoNotOptimize(fonts.Get(meter ? kMeterFont : kFrequencyFont));
    }
  }
  TTF_Quit();
}
BENCHMARK(BM_FontLookupAlternating);

class OffscreenWindow {
 public:
  OffscreenWindow() {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    open_ = window_.Open("bench");
  }
  SdlWindow& window() { return window_; }
  bool open() const { return open_; }

 private:
  SdlWindow window_;
  bool open_ = false;
};

// The signal meter as the poll cycle draws it, switching font before each print.
void BM_SetFontAndDrawMeter(benchmark::State& state) {
  OffscreenWindow offscreen;
  if (!offscreen.open()) {
    state.SkipWithError("no SDL window");
    return;
  }
  const std::string meter = "*****5+>" + std::string(17, ' ');
  bool meterFont = false;
  for (auto _ : state) {
    meterFont = !meterFont;
    benchmark::DoNotOptimize(offscreen.window().DrawText(
        320, 30, meter, meterFont ? kMeterFont : kFrequencyFont, voskel::platform::kGreen));
  }
}
BENCHMARK(BM_SetFontAndDrawMeter)->Unit(benchmark::kMicrosecond);

// Only blanks: the clearing prints of the lower area.
void BM_DrawBlanks(benchmark::State& state) {
  OffscreenWindow offscreen;
  if (!offscreen.open()) {
    state.SkipWithError("no SDL window");
    return;
  }
  const std::string blanks(40, ' ');
  const Font clearing{"Ariel", 70, 700};
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        offscreen.window().DrawText(300, 400, blanks, clearing, voskel::platform::kBlack));
  }
}
BENCHMARK(BM_DrawBlanks)->Unit(benchmark::kMicrosecond);

}  // namespace
