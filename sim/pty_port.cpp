#include "pty_port.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace voskel::sim {
namespace {

std::string Why(const std::string& what) {
  return what + ": " + std::strerror(errno);
}

}  // namespace

PtyPort::~PtyPort() {
  if (masterFd_ >= 0) ::close(masterFd_);
}

bool PtyPort::Open(std::string& error) {
  masterFd_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (masterFd_ < 0) {
    error = Why("posix_openpt");
    return false;
  }
  if (::grantpt(masterFd_) != 0 || ::unlockpt(masterFd_) != 0) {
    error = Why("unlockpt");
    return false;
  }
  char name[PATH_MAX];
  if (::ptsname_r(masterFd_, name, sizeof name) != 0) {
    error = Why("ptsname");
    return false;
  }
  devicePath_ = name;
  // The line settings live with the terminal while this end stays open, so set them once
  // through a short-lived descriptor of the far end and close it again: holding the far
  // end open would keep a closing program's exclusive lock on it.
  const int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave < 0) {
    error = Why(std::string("open ") + name);
    return false;
  }
  termios settings{};
  bool ok = ::tcgetattr(slave, &settings) == 0;
  if (ok) {
    ::cfmakeraw(&settings);
    settings.c_cflag &= ~(CSIZE | PARENB);
    settings.c_cflag |= CS8 | CSTOPB | CLOCAL | CREAD;
    ::cfsetispeed(&settings, B9600);
    ::cfsetospeed(&settings, B9600);
    ok = ::tcsetattr(slave, TCSANOW, &settings) == 0;
  }
  if (!ok) error = Why("terminal settings");
  ::close(slave);
  if (!ok) return false;
  const int flags = ::fcntl(masterFd_, F_GETFL);
  if (flags < 0 || ::fcntl(masterFd_, F_SETFL, flags | O_NONBLOCK) != 0) {
    error = Why("non-blocking");
    return false;
  }
  return true;
}

bool MakeLink(const std::string& linkPath, const std::string& target, std::string& error) {
  struct stat info {};
  if (::lstat(linkPath.c_str(), &info) == 0 && !S_ISLNK(info.st_mode)) {
    error = linkPath + " exists and is not a symbolic link; not replacing it";
    return false;
  }
  // Make the new link under a temporary name and rename it over the old one, so the
  // name never points nowhere.
  const std::string temp = linkPath + ".new" + std::to_string(::getpid());
  ::unlink(temp.c_str());
  if (::symlink(target.c_str(), temp.c_str()) != 0) {
    error = Why("symlink " + temp);
    return false;
  }
  if (::rename(temp.c_str(), linkPath.c_str()) != 0) {
    error = Why("rename to " + linkPath);
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

void RemoveLink(const std::string& linkPath, const std::string& target) {
  char buffer[PATH_MAX];
  const ssize_t n = ::readlink(linkPath.c_str(), buffer, sizeof buffer - 1);
  if (n < 0) return;
  buffer[n] = '\0';
  if (target == buffer) ::unlink(linkPath.c_str());
}

}  // namespace voskel::sim
