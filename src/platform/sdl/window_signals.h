#pragma once
// SIGINT, SIGTERM and SIGHUP as close requests of the panel window: the program then ends the
// way the close box ends it, storing its state, instead of dying mid-step.
#include <csignal>
#include <thread>

namespace voskel::platform {

// While started, each of them posts one SDL_QUIT event. The handler only
// writes a byte to a pipe (all a signal handler may safely do); a small thread reads it
// and posts the event, which wakes the event wait whichever thread took the signal.
// One instance at a time: the handlers are process-wide.
class WindowSignals {
 public:
  WindowSignals() = default;
  WindowSignals(const WindowSignals&) = delete;
  WindowSignals& operator=(const WindowSignals&) = delete;
  ~WindowSignals();

  // Needs SDL's event subsystem until Stop. False when the pipe or thread failed.
  bool Start();
  // Puts back the handlers found at Start. Idempotent.
  void Stop();
  // True once one of them came while started, before its event is taken: a panel busy
  // with a key learns of it here.
  bool Signalled() const;

 private:
  void Watch(int readFd);

  int readFd_ = -1;
  int writeFd_ = -1;
  std::thread watcher_;
  struct sigaction oldInt_ {};
  struct sigaction oldTerm_ {};
  struct sigaction oldHup_ {};
  bool installed_ = false;
};

}  // namespace voskel::platform
