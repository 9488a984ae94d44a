#pragma once
#include <string>

namespace voskel::sim {

// The simulator's end of a pseudo-terminal. The far end (the slave device) is what a
// program that expects a serial port opens.
class PtyPort {
 public:
  PtyPort() = default;
  PtyPort(const PtyPort&) = delete;
  PtyPort& operator=(const PtyPort&) = delete;
  ~PtyPort();

  // Opens a new pseudo-terminal and sets the far end raw, 9600 baud, 8 data bits, no
  // parity, 2 stop bits, so that CR and LF pass untouched and nothing is echoed. The
  // simulator's end does not block. False with a message on failure.
  bool Open(std::string& error);
  int Fd() const { return masterFd_; }
  const std::string& DevicePath() const { return devicePath_; }

 private:
  int masterFd_ = -1;
  std::string devicePath_;
};

// Makes linkPath a symbolic link to target. An old symbolic link is replaced; anything
// else at linkPath is left alone and reported. False with a message on failure.
bool MakeLink(const std::string& linkPath, const std::string& target, std::string& error);
// Removes linkPath if it is a symbolic link that still points to target.
void RemoveLink(const std::string& linkPath, const std::string& target);

}  // namespace voskel::sim
