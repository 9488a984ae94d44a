#pragma once
// The panel window on SDL2: text drawn with SDL2_ttf into a backing image that the window
// is repainted from, fonts matched by fontconfig, and the event wait.
#include <SDL.h>

#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "platform/sdl/font_cache.h"
#include "platform/sdl/window_signals.h"
#include "platform/window.h"

namespace voskel::platform {

// One open window per process: the timer, the tick gate and the signal handlers are
// process-wide. A second Open while one window is open fails.
class SdlWindow : public Window {
 public:
  SdlWindow() = default;
  SdlWindow(const SdlWindow&) = delete;
  SdlWindow& operator=(const SdlWindow&) = delete;
  ~SdlWindow() override;

  bool Open(const std::string& title) override;
  // Text is 8-bit Latin-1; control bytes are drawn as "?". A print that starts where an
  // earlier one started and ends short of it blanks the rest of the earlier one: its
  // trailing blanks may be narrower than the glyphs they were meant to cover.
  int DrawText(int x, int y, std::string_view text, const Font& font, Colour colour) override;
  void StartTimer(int periodMs) override;
  void StopTimer() override;
  // Also repaints the window when it is uncovered or restored. Without an open window it
  // returns a close request at once rather than wait for nothing.
  std::vector<Event> WaitEvents() override;
  std::vector<Event> WaitEventsFor(int timeoutMs) override;
  // Looks among the events not yet taken as well: SDL learns of the close box only when its
  // events are pumped, which the event wait does not do while a key runs.
  bool StopRequested() override;
  void Close() override;
  std::string WhyNotOpen() const override { return whyNotOpen_; }

  // The colour of a pixel of the backing image; white outside it and when closed.
  Colour PixelAt(int x, int y) const;
  // The window's id on the X server; 0 when closed or not on X.
  std::uint32_t X11WindowId() const;
  // The SDL event type the timer posts its ticks as.
  static std::uint32_t TickEventType();

 private:
  void Repaint(const SDL_Rect& area);
  void RepaintAll();
  void Translate(const SDL_Event& event, std::vector<Event>& batch);
  bool CloseWaiting();

  bool ownsProcessSlot_ = false;
  bool sdlStarted_ = false;
  bool ttfStarted_ = false;
  SDL_Window* window_ = nullptr;
  SDL_Surface* backing_ = nullptr;
  SDL_TimerID timer_ = 0;
  // (x, y) of a print -> the right edge the last print there reached.
  std::map<std::pair<int, int>, int> reach_;
  FontCache fonts_;
  WindowSignals signals_;
  bool stopRequested_ = false;
  std::string whyNotOpen_;
};

}  // namespace voskel::platform
