#include "platform/bounded_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

namespace voskel::platform {
namespace {

int OpenForAppending(const std::filesystem::path& path, off_t& size) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  struct stat info {};
  if (fd >= 0 && ::fstat(fd, &info) != 0) {
    ::close(fd);
    return -1;
  }
  size = info.st_size;
  return fd;
}

// One write() of the whole text: a regular file takes it whole, or, on a full disk, a part
// that is cut off again so that no half line stays.
bool WriteWhole(int fd, off_t sizeBefore, const std::string& text) {
  ssize_t n = -1;
  do {
    n = ::write(fd, text.data(), text.size());
  } while (n < 0 && errno == EINTR);
  if (n == static_cast<ssize_t>(text.size())) return true;
  const int why = n < 0 ? errno : ENOSPC;
  if (n > 0 && ::ftruncate(fd, sizeBefore) != 0) {
    // Nothing more can be done about it; the next reader skips the broken line.
  }
  errno = why;
  return false;
}

}  // namespace

bool AppendLine(const BoundedLog& log, std::string_view line) {
  off_t size = 0;
  int fd = OpenForAppending(log.path, size);
  if (fd < 0) return false;
  if (size > 0 && size + static_cast<off_t>(line.size()) > log.limit) {
    ::close(fd);
    if (std::rename(log.path.c_str(), log.oldPath.c_str()) != 0) return false;
    fd = OpenForAppending(log.path, size);
    if (fd < 0) return false;
  }
  std::string text = size == 0 ? std::string(log.header) : std::string();
  text += line;
  const bool written = WriteWhole(fd, size, text);
  const int why = errno;
  ::close(fd);
  errno = why;
  return written;
}

}  // namespace voskel::platform
