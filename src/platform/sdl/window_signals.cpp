#include "platform/sdl/window_signals.h"

#include <SDL_events.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <system_error>

namespace voskel::platform {

namespace {

constexpr char kSignalled = 's';

std::atomic<int> wakeFd{-1};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free fd");
std::atomic<bool> closeSignalled{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler needs a lock-free flag");

extern "C" void OnCloseSignal(int) {
  closeSignalled.store(true);
  const int savedErrno = errno;
  const int fd = wakeFd.load();
  if (fd >= 0) {
    const char byte = kSignalled;
    // Non-blocking: a full pipe already holds a close request.
    [[maybe_unused]] ssize_t written = write(fd, &byte, 1);
  }
  errno = savedErrno;
}

}  // namespace

WindowSignals::~WindowSignals() {
  Stop();
}

bool WindowSignals::Start() {
  if (installed_) return true;
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return false;
  fcntl(fds[1], F_SETFL, fcntl(fds[1], F_GETFL) | O_NONBLOCK);
  readFd_ = fds[0];
  writeFd_ = fds[1];
  try {
    watcher_ = std::thread([this, fd = readFd_] { Watch(fd); });
  } catch (const std::system_error&) {
    close(readFd_);
    close(writeFd_);
    readFd_ = writeFd_ = -1;
    return false;
  }
  wakeFd.store(writeFd_);
  closeSignalled.store(false);
  struct sigaction action {};
  action.sa_handler = OnCloseSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, &oldInt_);
  sigaction(SIGTERM, &action, &oldTerm_);
  // A closed terminal (or the session that ends) is a close request too.
  sigaction(SIGHUP, &action, &oldHup_);
  installed_ = true;
  return true;
}

void WindowSignals::Stop() {
  if (!installed_) return;
  installed_ = false;
  sigaction(SIGINT, &oldInt_, nullptr);
  sigaction(SIGTERM, &oldTerm_, nullptr);
  sigaction(SIGHUP, &oldHup_, nullptr);
  wakeFd.store(-1);
  // The watcher reads to the end of the pipe and stops there.
  close(writeFd_);
  if (watcher_.joinable()) watcher_.join();
  close(readFd_);
  readFd_ = writeFd_ = -1;
}

bool WindowSignals::Signalled() const {
  return installed_ && closeSignalled.load();
}

void WindowSignals::Watch(int readFd) {
  for (;;) {
    char byte = 0;
    const ssize_t got = read(readFd, &byte, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got != 1) return;
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
  }
}

}  // namespace voskel::platform
