#pragma once
// BRLTTY itself with its TTY braille driver on a pseudo-terminal: a braille display
// without hardware. The driver writes each line it shows as text (its text table turns
// the cells back into characters), which the test reads from the terminal's other end.
// A heavy peer: the tests that use it skip when Debian's brltty is not installed.
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "support/temp_dir.h"

namespace voskel::testing {

class BrlttyPeer {
 public:
  // Bounds a broken run; it times nothing.
  static constexpr std::chrono::seconds kShowLimit{10};

  static bool Installed() { return std::system("command -v brltty >/dev/null 2>&1") == 0; }

  // A TCP socket bound to the loopback at BrlAPI's port for the offset (4101 plus it).
  static int BindApiPort(int apiOffset) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(4101 + apiOffset));
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    return fd;
  }
  // The offset of a free port, so that runs side by side do not meet.
  static int FreeApiOffset() {
    const int probe = BindApiPort(-4101);  // port 0: any free one
    sockaddr_in address{};
    socklen_t length = sizeof address;
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(probe);
    return ntohs(address.sin_port) - 4101;
  }

  explicit BrlttyPeer(int apiOffset) {
    int slave = -1;
    if (::openpty(&master_, &slave, nullptr, nullptr, nullptr) != 0) return;
    const std::string device = std::string("serial:") + (::ttyname(slave) + 5);  // "pts/N"
    ::close(slave);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    const std::string api = "auth=none,host=127.0.0.1:" + std::to_string(apiOffset);
    const std::string dir = home_.Path().string();
    pid_ = ::fork();
    if (pid_ == 0) {
      const int devNull = ::open("/dev/null", O_RDWR);
      ::dup2(devNull, STDIN_FILENO);
      ::dup2(devNull, STDOUT_FILENO);
      ::dup2(devNull, STDERR_FILENO);
      ::execlp("brltty", "brltty", "-n", "-q", "-b", "tt", "-d", device.c_str(), "-x", "no", "-s",
               "no", "-A", api.c_str(), "-f", "/dev/null", "-F", "/dev/null", "-W", dir.c_str(),
               "-U", dir.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
  }
  BrlttyPeer(const BrlttyPeer&) = delete;
  BrlttyPeer& operator=(const BrlttyPeer&) = delete;
  ~BrlttyPeer() {
    Kill();
    if (master_ >= 0) ::close(master_);
  }

  // Waits until the display shows the text (after what it was last found showing).
  bool Shows(std::string_view text) {
    const auto deadline = std::chrono::steady_clock::now() + kShowLimit;
    for (;;) {
      char bytes[4096];
      ssize_t n = 0;
      while ((n = ::read(master_, bytes, sizeof bytes)) > 0) seen_.append(bytes, n);
      if (const auto at = seen_.find(text); at != std::string::npos) {
        seen_.erase(0, at + text.size());
        return true;
      }
      if (std::chrono::steady_clock::now() > deadline) return false;
      pollfd wait{master_, POLLIN, 0};
      ::poll(&wait, 1, 50);
    }
  }
  // The TTY driver's Right arrow: the display's key for the next window.
  void PressNextWindow() { [[maybe_unused]] auto n = ::write(master_, "\x1bOC", 3); }
  void Kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  TempDir home_{"brltty"};
  int master_ = -1;
  pid_t pid_ = -1;
  std::string seen_;
};

}  // namespace voskel::testing
