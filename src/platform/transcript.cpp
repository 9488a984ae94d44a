#include "platform/transcript.h"

#include <limits.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace voskel::platform {

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
