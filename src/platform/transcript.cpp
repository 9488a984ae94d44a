#include "platform/transcript.h"

#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>

namespace voskel::platform {

// A terminal polls writable with any room at all, so a write of a whole chunk to a
// terminal whose reader stalled would wait inside the tick. The terminal gets a
// description of its own that never waits; the shell's standard output stays as it was.
// Only a terminal: a file reopened would lose its offset and append mode.
StandardOutputTranscript::StandardOutputTranscript(int fd) : fd_(fd) {
  if (::isatty(fd) != 1) return;
  const std::string path = "/proc/self/fd/" + std::to_string(fd);
  ownFd_ = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (ownFd_ >= 0) fd_ = ownFd_;
}

StandardOutputTranscript::~StandardOutputTranscript() {
  if (ownFd_ >= 0) ::close(ownFd_);
}

void StandardOutputTranscript::WriteLine(std::string_view line) {
  waiting_.append(line);
  waiting_ += '\n';
  while (waiting_.size() > kMaxWaiting) {
    const std::size_t end = waiting_.find('\n');
    waiting_.erase(0, end == std::string::npos ? waiting_.size() : end + 1);
  }
  while (!waiting_.empty()) {
    pollfd out{fd_, POLLOUT, 0};
    if (::poll(&out, 1, 0) <= 0) return;  // the reader has not taken the last lines yet
    if ((out.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
      waiting_.clear();  // nobody reads any more
      return;
    }
    // Up to PIPE_BUF bytes go into a pipe that polls writable without waiting.
    const std::size_t chunk = std::min<std::size_t>(waiting_.size(), PIPE_BUF);
    const ssize_t written = ::write(fd_, waiting_.data(), chunk);
    if (written < 0) {
      if (errno == EINTR) continue;
      if (errno != EAGAIN) waiting_.clear();
      return;
    }
    waiting_.erase(0, static_cast<std::size_t>(written));
  }
}

}  // namespace voskel::platform
