#include "platform/sdl/sdl_window.h"

#include <SDL_syswm.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <atomic>
#include <string>

#include "platform/event_batch.h"
#include "platform/latin1_text.h"
#include "platform/sdl/key_codes.h"
#include "platform/tick_gate.h"

namespace voskel::platform {

namespace {

constexpr int kLeft = 250;
constexpr int kTop = 100;
constexpr int kWidth = 950;
constexpr int kHeight = 500;
constexpr Uint32 kSubsystems = SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS;
// Window events (exposures, focus) a busy key lets pile up, looked through for a close.
constexpr int kPeekedWindowEvents = 64;

std::atomic<bool> windowOpen{false};

// The timer's state lives outside the window: SDL may still be running a callback while
// the timer is removed, and it must never touch a destroyed window.
TickGate tickGate;
std::atomic<Uint32> tickType{0};

Uint32 OnTimer(Uint32 interval, void*) {
  if (tickGate.TryPost()) {
    SDL_Event tick{};
    tick.type = tickType.load();
    if (SDL_PushEvent(&tick) != 1) tickGate.Taken();  // not posted: nothing pending
  }
  return interval;
}

}  // namespace

SdlWindow::~SdlWindow() {
  Close();
}

std::uint32_t SdlWindow::TickEventType() {
  if (tickType.load() == 0) {
    const Uint32 registered = SDL_RegisterEvents(1);
    tickType.store(registered == static_cast<Uint32>(-1) ? Uint32{SDL_USEREVENT} : registered);
  }
  return tickType.load();
}

bool SdlWindow::Open(const std::string& title) {
  if (window_ != nullptr) return true;
  whyNotOpen_.clear();
  stopRequested_ = false;
  if (windowOpen.exchange(true)) {
    whyNotOpen_ = "another panel window is open in this program";
    return false;
  }
  ownsProcessSlot_ = true;
  // A panel left on for hours should not keep the screen awake.
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  // The window's own framebuffer: a GPU texture behind it buys nothing for a few lines of
  // text, and a software GL stack would cost milliseconds per print.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  sdlStarted_ = SDL_InitSubSystem(kSubsystems) == 0;
  ttfStarted_ = sdlStarted_ && TTF_Init() == 0;
  if (ttfStarted_) {
    window_ = SDL_CreateWindow(title.c_str(), kLeft, kTop, kWidth, kHeight, SDL_WINDOW_SHOWN);
  }
  if (window_ != nullptr) {
    backing_ = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 32, SDL_PIXELFORMAT_ARGB8888);
  }
  if (backing_ == nullptr) {
    // Taken before Close, whose own calls may leave another error.
    const std::string why = SDL_GetError();
    whyNotOpen_ = why.empty() ? "SDL gave no reason" : why;
    Close();
    return false;
  }
  SDL_SetSurfaceBlendMode(backing_, SDL_BLENDMODE_NONE);
  SDL_FillRect(backing_, nullptr, SDL_MapRGB(backing_->format, 255, 255, 255));
  // Keys arrive as key events only; mouse movement would just wake the wait.
  SDL_StopTextInput();
  SDL_EventState(SDL_MOUSEMOTION, SDL_IGNORE);
  TickEventType();
  tickGate.Taken();
  signals_.Start();
  RepaintAll();
  return true;
}

void SdlWindow::Close() {
  if (sdlStarted_) {
    StopTimer();
    signals_.Stop();
    fonts_.Clear();
    if (backing_ != nullptr) SDL_FreeSurface(backing_);
    backing_ = nullptr;
    reach_.clear();
    if (window_ != nullptr) SDL_DestroyWindow(window_);
    window_ = nullptr;
    if (ttfStarted_) TTF_Quit();
    ttfStarted_ = false;
    // Sound may still be using SDL; only its last user shuts it down.
    SDL_QuitSubSystem(kSubsystems);
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
    sdlStarted_ = false;
  }
  if (ownsProcessSlot_) {
    windowOpen.store(false);
    ownsProcessSlot_ = false;
  }
}

int SdlWindow::DrawText(int x, int y, std::string_view text, const Font& font, Colour colour) {
  if (backing_ == nullptr || text.empty()) return 0;
  TTF_Font* ttf = fonts_.Get(font);
  if (ttf == nullptr) return 0;
  const std::string shown = Latin1ToUtf8(text, '?');  // control bytes drawn as "?"
  int width = 0;
  int height = 0;
  if (TTF_SizeUTF8(ttf, shown.c_str(), &width, &height) != 0) return 0;
  const SDL_Rect cells{x, y, width, std::max(height, TTF_FontHeight(ttf))};

  SDL_Rect blanked = cells;
  int& reach = reach_[{x, y}];
  blanked.w = std::max(reach, x + width) - x;
  reach = x + width;
  SDL_FillRect(backing_, &blanked, SDL_MapRGB(backing_->format, 255, 255, 255));
  // Trailing spaces only clear; most prints end in a run of them.
  const std::size_t inked = shown.find_last_not_of(' ');
  if (inked != std::string::npos) {
    const std::string glyphs = shown.substr(0, inked + 1);
    const SDL_Color ink{colour.red, colour.green, colour.blue, 255};
    if (SDL_Surface* rendered = TTF_RenderUTF8_Blended(ttf, glyphs.c_str(), ink)) {
      SDL_Rect at{x, y, 0, 0};
      SDL_BlitSurface(rendered, nullptr, backing_, &at);
      SDL_FreeSurface(rendered);
    }
  }
  const SDL_Rect image{0, 0, backing_->w, backing_->h};
  SDL_Rect visible;
  if (SDL_IntersectRect(&blanked, &image, &visible)) Repaint(visible);
  return width;
}

void SdlWindow::Repaint(const SDL_Rect& area) {
  if (window_ == nullptr || backing_ == nullptr) return;
  // Fetched every time: SDL makes a new surface after the window has been resized.
  SDL_Surface* screen = SDL_GetWindowSurface(window_);
  if (screen == nullptr) return;
  SDL_Rect from = area;
  SDL_Rect to = area;
  SDL_BlitSurface(backing_, &from, screen, &to);
  SDL_UpdateWindowSurfaceRects(window_, &area, 1);
}

void SdlWindow::RepaintAll() {
  if (backing_ != nullptr) Repaint(SDL_Rect{0, 0, backing_->w, backing_->h});
}

void SdlWindow::StartTimer(int periodMs) {
  if (window_ == nullptr) return;
  StopTimer();
  timer_ = SDL_AddTimer(static_cast<Uint32>(std::max(periodMs, 1)), OnTimer, nullptr);
}

void SdlWindow::StopTimer() {
  if (timer_ != 0) SDL_RemoveTimer(timer_);
  timer_ = 0;
  if (sdlStarted_) SDL_FlushEvent(tickType.load());
  tickGate.Taken();
}

std::vector<Event> SdlWindow::WaitEvents() {
  if (window_ == nullptr) return {Event{Event::Kind::Close, 0}};
  std::vector<Event> batch;
  SDL_Event event;
  while (batch.empty()) {
    // A failing wait would fail again at once; ending the run beats spinning.
    if (SDL_WaitEvent(&event) == 0) return {Event{Event::Kind::Close, 0}};
    do {
      Translate(event, batch);
    } while (SDL_PollEvent(&event) != 0);
  }
  return OrderBatch(std::move(batch));
}

std::vector<Event> SdlWindow::WaitEventsFor(int timeoutMs) {
  if (window_ == nullptr) return {Event{Event::Kind::Close, 0}};
  std::vector<Event> batch;
  SDL_Event event;
  const int got = timeoutMs > 0 ? SDL_WaitEventTimeout(&event, timeoutMs) : SDL_PollEvent(&event);
  if (got == 0) return batch;
  do {
    Translate(event, batch);
  } while (SDL_PollEvent(&event) != 0);
  return OrderBatch(std::move(batch));
}

bool SdlWindow::StopRequested() {
  if (!stopRequested_) stopRequested_ = signals_.Signalled() || CloseWaiting();
  return stopRequested_;
}

bool SdlWindow::CloseWaiting() {
  if (window_ == nullptr) return false;
  SDL_PumpEvents();
  if (SDL_HasEvent(SDL_QUIT)) return true;
  SDL_Event events[kPeekedWindowEvents];
  const int count =
      SDL_PeepEvents(events, kPeekedWindowEvents, SDL_PEEKEVENT, SDL_WINDOWEVENT, SDL_WINDOWEVENT);
  for (int i = 0; i < count; ++i)
    if (events[i].window.event == SDL_WINDOWEVENT_CLOSE) return true;
  return false;
}

void SdlWindow::Translate(const SDL_Event& event, std::vector<Event>& batch) {
  if (event.type == tickType.load()) {
    tickGate.Taken();
    batch.push_back(Event{Event::Kind::Timer, 0});
    return;
  }
  switch (event.type) {
    case SDL_QUIT:
      batch.push_back(Event{Event::Kind::Close, 0});
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      if (int key = VirtualKeyFor(event.key.keysym.scancode, event.key.keysym.sym); key != 0) {
        batch.push_back(
            Event{event.type == SDL_KEYDOWN ? Event::Kind::KeyDown : Event::Kind::KeyUp, key});
      }
      break;
    case SDL_WINDOWEVENT:
      switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
          batch.push_back(Event{Event::Kind::Close, 0});
          break;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          RepaintAll();
          break;
        default:
          break;
      }
      break;
    default:
      break;
  }
}

Colour SdlWindow::PixelAt(int x, int y) const {
  if (backing_ == nullptr || x < 0 || y < 0 || x >= backing_->w || y >= backing_->h) {
    return Colour{255, 255, 255};
  }
  const auto* row = static_cast<const std::uint8_t*>(backing_->pixels) + y * backing_->pitch;
  const auto pixel = reinterpret_cast<const Uint32*>(row)[x];
  Colour colour;
  Uint8 alpha = 0;
  SDL_GetRGBA(pixel, backing_->format, &colour.red, &colour.green, &colour.blue, &alpha);
  return colour;
}

std::uint32_t SdlWindow::X11WindowId() const {
  if (window_ == nullptr) return 0;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window_, &info) || info.subsystem != SDL_SYSWM_X11) return 0;
  return static_cast<std::uint32_t>(info.info.x11.window);
}

}  // namespace voskel::platform
