#pragma once
// Keeps the poll timer from piling up ticks: a tick is posted only while none is waiting
// to be handed out, so a step that blocked for half a second is followed by one tick,
// not by a burst of the ones it missed.
#include <atomic>

namespace voskel::platform {

class TickGate {
 public:
  // Called by the timer (any thread). True when no tick is pending: the caller posts
  // one, and every further call answers false until the tick has been taken.
  bool TryPost();
  // Called when the pending tick is handed to the event handler, or thrown away.
  void Taken();

 private:
  std::atomic<bool> pending_{false};
};

}  // namespace voskel::platform
