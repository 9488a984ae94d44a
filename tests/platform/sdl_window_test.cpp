#include "platform/sdl/sdl_window.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <optional>
#include <string>

namespace voskel::platform {
namespace {

using Kind = Event::Kind;

constexpr Colour kWhite{255, 255, 255};
const Font kFrequencyFont{"Ariel", 50, 700};
const Font kMeterFont{"Ariel", 30, 700};

struct Box {
  int left = 0, top = 0, right = -1, bottom = -1;  // inclusive; empty when right < left
  bool Empty() const { return right < left; }
};

class PlatformSdlWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    if (!window_.Open("test panel")) GTEST_SKIP() << "no SDL window here: " << SDL_GetError();
  }
  void TearDown() override { window_.Close(); }

  // The bounding box of every pixel that is not white.
  Box Ink() const {
    Box box{950, 500, -1, -1};
    for (int y = 0; y < 500; ++y) {
      for (int x = 0; x < 950; ++x) {
        if (window_.PixelAt(x, y) == kWhite) continue;
        box.left = std::min(box.left, x);
        box.top = std::min(box.top, y);
        box.right = std::max(box.right, x);
        box.bottom = std::max(box.bottom, y);
      }
    }
    return box;
  }

  static void PushKey(Uint32 type, SDL_Scancode scancode, SDL_Keycode key, bool repeat = false) {
    SDL_Event event{};
    event.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = key;
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
  }
  static void PushTick() {
    SDL_Event event{};
    event.type = SdlWindow::TickEventType();
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
  }
  static void PushWindowEvent(Uint8 what) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = what;
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
  }

  SdlWindow window_;
};

TEST_F(PlatformSdlWindow, FrequencyIsDrawnInBlueAtTheSizeAskedForAndOnlyInItsCells) {
  const int width = window_.DrawText(300, 150, "145.5000", kFrequencyFont, kBlue);
  ASSERT_GT(width, 0);
  const Box ink = Ink();
  ASSERT_FALSE(ink.Empty());
  EXPECT_GE(ink.left, 300);
  EXPECT_LT(ink.right, 300 + width);
  EXPECT_GE(ink.top, 150);
  // 50 points at 96 dpi is a 67 pixel character height; digits fill most of it.
  const int inkHeight = ink.bottom - ink.top + 1;
  EXPECT_GE(inkHeight, 40);
  EXPECT_LE(inkHeight, 67);
  bool pureBlue = false;
  for (int y = ink.top; y <= ink.bottom; ++y) {
    for (int x = ink.left; x <= ink.right; ++x) {
      const Colour c = window_.PixelAt(x, y);
      pureBlue = pureBlue || c == kBlue;
      // Anti-aliased edges mix blue with the white cells, never another colour.
      EXPECT_TRUE(c.red == c.green && c.blue >= c.red && c.blue >= 240)
          << x << "," << y << ": " << int(c.red) << " " << int(c.green) << " " << int(c.blue);
      if (HasFailure()) return;
    }
  }
  EXPECT_TRUE(pureBlue);
}

TEST_F(PlatformSdlWindow, ShorterPaddedLineLeavesNoTraceOfTheLongerOne) {
  const int arrowWidth = window_.DrawText(0, 450, ">", kMeterFont, kGreen);
  window_.DrawText(0, 450, std::string(40, ' '), kMeterFont, kGreen);
  ASSERT_TRUE(Ink().Empty());

  window_.DrawText(320, 30, "**********7+++>" + std::string(17, ' '), kMeterFont, kGreen);
  const Box longer = Ink();
  window_.DrawText(320, 30, ">" + std::string(26, ' '), kMeterFont, kGreen);
  const Box shorter = Ink();
  ASSERT_FALSE(shorter.Empty());
  EXPECT_GE(shorter.left, 320);
  EXPECT_LT(shorter.right, 320 + arrowWidth);
  EXPECT_LT(shorter.right, longer.right);
  bool green = false;
  for (int y = shorter.top; y <= shorter.bottom; ++y) {
    for (int x = shorter.left; x <= shorter.right; ++x)
      green = green || window_.PixelAt(x, y) == kGreen;
  }
  EXPECT_TRUE(green);

  // The strongest level is wider than the quiet line with all its blanks, in most fonts.
  window_.DrawText(320, 30, std::string(12, '*') + "9++++>" + std::string(17, ' '), kMeterFont,
                   kGreen);
  window_.DrawText(320, 30, ">" + std::string(26, ' '), kMeterFont, kGreen);
  EXPECT_EQ(Ink().right, shorter.right) << "nothing of the strong level is left";
}

TEST_F(PlatformSdlWindow, InitialFontAndAnyBytesDraw) {
  const int header = window_.DrawText(270, 0, "*** Voskel V 4.1a ***", Font{}, kBlack);
  EXPECT_GT(header, 0);
  Box ink = Ink();
  ASSERT_FALSE(ink.Empty());
  EXPECT_LE(ink.bottom, 20);
  int dark = 0;
  for (int y = ink.top; y <= ink.bottom; ++y) {
    for (int x = ink.left; x <= ink.right; ++x) dark += window_.PixelAt(x, y).red < 100 ? 1 : 0;
  }
  EXPECT_GT(dark, 20);

  std::string everyByte;
  for (int b = 0; b < 256; ++b) everyByte += static_cast<char>(b);
  EXPECT_GT(window_.DrawText(0, 100, everyByte, kMeterFont, kBlack), 0);
  EXPECT_GT(window_.DrawText(0, 200, "TX=LM\r RX=LM025\r\n", Font{"ARIEL", 10, 700}, kBlack), 0);
  // Wholly or partly outside the window: measured, clipped, nothing else.
  EXPECT_GT(window_.DrawText(2000, 600, "145", kFrequencyFont, kBlue), 0);
  EXPECT_GT(window_.DrawText(-40, -30, "145", kFrequencyFont, kBlue), 0);
  EXPECT_GT(window_.DrawText(0, 300, "x", Font{"no such face: at all", 70, 0}, kRed), 0);
  EXPECT_EQ(window_.DrawText(0, 300, "", kFrequencyFont, kBlue), 0);
}

TEST_F(PlatformSdlWindow, KeysTypedDuringALongStepComeBeforeItsSingleTick) {
  // What the queue holds after a step that blocked while the timer and the user went on.
  PushTick();
  PushTick();
  PushKey(SDL_KEYDOWN, SDL_SCANCODE_1, SDLK_1);
  PushTick();
  PushKey(SDL_KEYDOWN, SDL_SCANCODE_1, SDLK_1, true);
  PushWindowEvent(SDL_WINDOWEVENT_EXPOSED);
  PushKey(SDL_KEYUP, SDL_SCANCODE_1, SDLK_1);
  PushKey(SDL_KEYDOWN, SDL_SCANCODE_LSHIFT, SDLK_LSHIFT);
  PushKey(SDL_KEYDOWN, SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER);
  PushTick();

  const std::vector<Event> batch = window_.WaitEvents();
  ASSERT_EQ(batch.size(), 5u);
  EXPECT_EQ(batch[0].kind, Kind::KeyDown);
  EXPECT_EQ(batch[0].key, 49);
  EXPECT_EQ(batch[1].kind, Kind::KeyDown);  // auto-repeat: the key latch decides
  EXPECT_EQ(batch[2].kind, Kind::KeyUp);
  EXPECT_EQ(batch[2].key, 49);
  EXPECT_EQ(batch[3].kind, Kind::KeyDown);
  EXPECT_EQ(batch[3].key, 13);
  EXPECT_EQ(batch[4].kind, Kind::Timer);
}

TEST_F(PlatformSdlWindow, TimerAndCloseRequestsArrive) {
  window_.StartTimer(1);
  std::vector<Event> batch = window_.WaitEvents();
  window_.StopTimer();
  ASSERT_EQ(batch.size(), 1u);
  EXPECT_EQ(batch[0].kind, Kind::Timer);

  // Close box and the quit that follows it are one request, seen before it is taken.
  EXPECT_FALSE(window_.StopRequested());
  PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
  EXPECT_TRUE(window_.StopRequested());
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  batch = window_.WaitEvents();
  ASSERT_EQ(batch.size(), 1u);
  EXPECT_EQ(batch[0].kind, Kind::Close);

  for (int signal : {SIGTERM, SIGINT}) {
    ASSERT_EQ(std::raise(signal), 0);
    batch = window_.WaitEvents();
    ASSERT_EQ(batch.size(), 1u) << "signal " << signal;
    EXPECT_EQ(batch[0].kind, Kind::Close);
  }
}

TEST_F(PlatformSdlWindow, ClosedWindowDrawsNothingAndAsksToEnd) {
  window_.DrawText(0, 0, "Ariel", kMeterFont, kBlack);
  window_.Close();
  window_.Close();
  EXPECT_EQ(window_.DrawText(0, 0, "Ariel", kMeterFont, kBlack), 0);
  EXPECT_EQ(window_.PixelAt(5, 10), kWhite);
  const std::vector<Event> batch = window_.WaitEvents();
  ASSERT_EQ(batch.size(), 1u);
  EXPECT_EQ(batch[0].kind, Kind::Close);
  // The process-wide window slot is free again.
  SdlWindow another;
  EXPECT_TRUE(another.Open("again"));
  EXPECT_FALSE(window_.Open("a second window"));
  EXPECT_NE(window_.WhyNotOpen(), "");
  // A signal is seen while a key runs, before its close event is taken.
  EXPECT_FALSE(another.StopRequested());
  ASSERT_EQ(std::raise(SIGTERM), 0);
  EXPECT_TRUE(another.StopRequested());
}

}  // namespace
}  // namespace voskel::platform
