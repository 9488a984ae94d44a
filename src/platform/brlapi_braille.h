#pragma once
// The braille display through BRLTTY, with BrlAPI. A worker thread owns the connection and
// shows the latest text it was given (a newer text replaces one not yet shown), so that a
// BRLTTY that is missing, slow or hung never holds up the caller, nor the end of the run.
// The text is shown in the panel window's place in BRLTTY's tree of terminals: BRLTTY
// shows it while the window has the focus (under X, xbrlapi tells BRLTTY which window
// that is). A text longer than the display is panned with the display's own keys for
// the next and the previous window. No BRLTTY, or one that refuses the connection, is
// tried again at most once in retryEvery, and nothing is said about it.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <thread>

#include "platform/braille.h"

namespace voskel::platform {

class BrlapiBraille : public Braille {
 public:
  // windowId gives the X window id of the panel, 0 while there is none; it is asked on
  // the caller's thread, at each Show. Without a window the text goes to the terminal
  // the panel was started from, as for any program run there.
  explicit BrlapiBraille(std::function<std::uint32_t()> windowId = {},
                         std::chrono::milliseconds retryEvery = std::chrono::minutes(1));
  ~BrlapiBraille() override;
  BrlapiBraille(const BrlapiBraille&) = delete;
  BrlapiBraille& operator=(const BrlapiBraille&) = delete;

  void Show(std::string_view text) override;

  // How long the end of the run waits for the worker to close the connection before it
  // leaves it behind.
  static constexpr std::chrono::milliseconds kShutdownWait{500};

 private:
  struct Shared;
  // The worker: the connection, its retries and the panning, until stop.
  static void Run(const std::shared_ptr<Shared>& shared);
  void Wake();

  std::function<std::uint32_t()> windowId_;
  std::shared_ptr<Shared> shared_;
  std::thread worker_;
};

}  // namespace voskel::platform
