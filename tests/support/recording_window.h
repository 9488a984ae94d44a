#pragma once
// A window that remembers every print and the text it leaves on screen.
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/window.h"

namespace voskel::testing {

struct Print {
  int x = 0;
  int y = 0;
  platform::Font font;
  platform::Colour colour;
  std::string text;
};

class RecordingWindow : public platform::Window {
 public:
  bool Open(const std::string& title) override;
  int DrawText(int x, int y, std::string_view text, const platform::Font& font,
               platform::Colour colour) override;
  void StartTimer(int periodMs) override;
  void StopTimer() override { timerRunning = false; }
  std::vector<platform::Event> WaitEvents() override;
  bool StopRequested() override { return stopRequested; }
  void Close() override { open = false; }
  std::string WhyNotOpen() const override { return {}; }

  // Width of one character cell in a font, so that prints that follow each other land
  // next to each other.
  static int CellWidth(const platform::Font& font);
  // The text left on screen starting at exactly (x, y), trailing blanks removed.
  std::string TextAt(int x, int y) const;
  // Everything on screen on line y, left to right, joined and trimmed.
  std::string LineAt(int y) const;
  // The last print whose text contains the fragment, or nullptr.
  const Print* LastPrintContaining(const std::string& fragment) const;

  bool open = false;
  std::string title;
  bool timerRunning = false;
  // What a close box or a signal sets while the panel is busy.
  bool stopRequested = false;
  int timerPeriod = 0;
  std::vector<Print> prints;
  // Events that the next WaitEvents hands out; an empty queue yields a close request so
  // that a run never waits for nothing.
  std::vector<std::vector<platform::Event>> batches;
  // Runs at each wait, before the next batch is handed out.
  std::function<void()> onWait;

 private:
  // y -> (x -> (text, width))
  std::map<int, std::map<int, std::pair<std::string, int>>> screen_;
};

}  // namespace voskel::testing
