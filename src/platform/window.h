#pragma once
// The window the panel draws into and the events it delivers. The logic above this
// interface never sees SDL.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace voskel::platform {

struct Colour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const Colour&, const Colour&) = default;
};

inline constexpr Colour kBlack{0, 0, 0};
inline constexpr Colour kGreen{0, 255, 0};
inline constexpr Colour kRed{255, 0, 0};
inline constexpr Colour kBlue{0, 0, 255};

// A font as the panel asks for it. points 0 stands for the window's initial font.
struct Font {
  std::string face;
  int points = 0;
  int weight = 400;
  friend bool operator==(const Font&, const Font&) = default;
};

struct Event {
  enum class Kind { Close, KeyDown, KeyUp, Timer };
  Kind kind = Kind::Timer;
  int key = 0;  // Windows virtual-key code for KeyDown and KeyUp
};

class Window {
 public:
  virtual ~Window() = default;
  // Creates the fixed 950 x 500 panel at (250, 100) with this caption. False when no
  // window could be made.
  virtual bool Open(const std::string& title) = 0;
  // Draws one line of text with the top-left of its first cell at (x, y), every cell
  // filled white first, and shows it at once. Returns the drawn width in pixels.
  virtual int DrawText(int x, int y, std::string_view text, const Font& font, Colour colour) = 0;
  virtual void StartTimer(int periodMs) = 0;
  virtual void StopTimer() = 0;
  // Waits for at least one event, then returns every pending one: key and close events
  // in arrival order first, then at most one timer tick.
  virtual std::vector<Event> WaitEvents() = 0;
  // The same, waiting at most timeoutMs: empty when no event came. A window that cannot
  // wait for a while waits as WaitEvents does.
  virtual std::vector<Event> WaitEventsFor(int timeoutMs) {
    (void)timeoutMs;
    return WaitEvents();
  }
  // True once the panel was asked to end (the close box, SIGINT, SIGTERM), learnt also
  // while a key runs and no event is waited for; it stays true. The close request still
  // comes as an event.
  virtual bool StopRequested() = 0;
  virtual void Close() = 0;
  // Why the last Open failed, in the window system's words; empty when it did not.
  virtual std::string WhyNotOpen() const = 0;
};

}  // namespace voskel::platform
