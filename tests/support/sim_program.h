#pragma once
// The real ar8600-sim program, started on a port in a directory and stopped with the test.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>

namespace voskel::testing {

class SimProgram {
 public:
  // Bounds a broken run; it times nothing.
  static constexpr std::chrono::seconds kStartLimit{10};

  explicit SimProgram(const std::string& dir, int port = 1)
      : link_(dir + "/com" + std::to_string(port)) {
    const std::string portText = std::to_string(port);
    pid_ = ::fork();
    if (pid_ == 0) {
      const int devNull = ::open("/dev/null", O_WRONLY);
      if (devNull >= 0) ::dup2(devNull, STDERR_FILENO);
      ::execl(VOSKEL_SIM_BINARY, VOSKEL_SIM_BINARY, "--dir", dir.c_str(), "--port",
              portText.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
  }
  SimProgram(const SimProgram&) = delete;
  SimProgram& operator=(const SimProgram&) = delete;
  ~SimProgram() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }

  bool WaitForLink() const {
    const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
    struct stat info {};
    while (std::chrono::steady_clock::now() < deadline) {
      if (::lstat(link_.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) return true;
      ::poll(nullptr, 0, 10);
    }
    return false;
  }

  // Sends SIGTERM; the exit code, or -1 when it did not end within the bound.
  int Stop() {
    ::kill(pid_, SIGTERM);
    return WaitExit();
  }

  int WaitExit() {
    const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
    int status = 0;
    while (std::chrono::steady_clock::now() < deadline) {
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      ::poll(nullptr, 0, 10);
    }
    return -1;
  }

  void Signal(int signal) const { ::kill(pid_, signal); }
  // Whether the link comes to be there (or gone) within the bound.
  bool WaitForLink(bool there) const {
    if (there) return WaitForLink();
    const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
    struct stat info {};
    while (std::chrono::steady_clock::now() < deadline) {
      if (::lstat(link_.c_str(), &info) != 0) return true;
      ::poll(nullptr, 0, 10);
    }
    return false;
  }

  const std::string& Link() const { return link_; }

 private:
  std::string link_;
  pid_t pid_ = -1;
};

}  // namespace voskel::testing
