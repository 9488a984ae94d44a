#pragma once
// A real pseudo-terminal for the link tests: the panel opens the slave through a comN
// symlink, the test plays the receiver on the master.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "support/temp_dir.h"

namespace voskel::testing {

// Waits for an event on the pty rather than for time: generous, and only reached when
// something is broken.
inline constexpr int kPtyEventMs = 5000;

class PtyPair {
 public:
  PtyPair() {
    if (::openpty(&master_, &slave_, nullptr, nullptr, nullptr) != 0) return;
    char name[256] = {};
    if (::ttyname_r(slave_, name, sizeof name) == 0) slavePath_ = name;
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
  }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;
  ~PtyPair() {
    CloseMaster();
    if (slave_ >= 0) ::close(slave_);
  }

  bool Ok() const { return master_ >= 0 && slave_ >= 0 && !slavePath_.empty(); }
  const std::string& SlavePath() const { return slavePath_; }
  // The test's own descriptor of the slave: line settings are the tty's, so they read back
  // here whatever descriptor set them.
  int Slave() const { return slave_; }
  int Master() const { return master_; }

  // The receiver's side sends; returns once the bytes are waiting at the slave.
  bool Send(std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t put = ::write(master_, bytes.data() + done, bytes.size() - done);
      if (put <= 0) return false;
      done += static_cast<std::size_t>(put);
    }
    // Polling the slave makes the kernel pass on the pending input before answering.
    pollfd p{slave_, POLLIN, 0};
    return ::poll(&p, 1, kPtyEventMs) == 1;
  }

  // What the panel wrote, once count bytes have arrived (or fewer if they never do).
  std::string Receive(std::size_t count) {
    std::string got;
    while (got.size() < count) {
      pollfd p{master_, POLLIN, 0};
      if (::poll(&p, 1, kPtyEventMs) != 1 || !(p.revents & POLLIN)) break;
      got += ReadAll();
    }
    return got;
  }

  // Everything that has arrived by now, without waiting.
  std::string ReadAll() {
    pollfd p{master_, POLLIN, 0};
    ::poll(&p, 1, 0);
    std::string got;
    char buffer[4096];
    for (;;) {
      const ssize_t n = ::read(master_, buffer, sizeof buffer);
      if (n <= 0) break;
      got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
  }

  void CloseMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string slavePath_;
};

}  // namespace voskel::testing
