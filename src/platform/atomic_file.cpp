#include "platform/atomic_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace voskel::platform {
namespace {

// mkstemp fills the Xs with letters and digits.
constexpr std::string_view kTemporarySuffix = ".XXXXXX";

bool IsLetterOrDigit(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& path, const std::string& contents) {
  std::string temp = path.string() + std::string(kTemporarySuffix);
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  bool ok = true;
  std::size_t done = 0;
  while (ok && done < contents.size()) {
    const ssize_t n = ::write(fd, contents.data() + done, contents.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) errno = ENOSPC;
    if (n <= 0)
      ok = false;
    else
      done += static_cast<std::size_t>(n);
  }
  if (ok && ::fchmod(fd, 0644) != 0) ok = false;
  if (ok && ::fsync(fd) != 0) ok = false;
  int why = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    why = errno;
  }
  if (ok && std::rename(temp.c_str(), path.c_str()) != 0) {
    ok = false;
    why = errno;
  }
  if (!ok) {
    std::remove(temp.c_str());
    errno = why;
  }
  return ok;
}

bool IsTemporaryFor(std::string_view name, std::string_view file) {
  if (name.size() != file.size() + kTemporarySuffix.size() || !name.starts_with(file) ||
      name[file.size()] != '.')
    return false;
  for (const char c : name.substr(file.size() + 1))
    if (!IsLetterOrDigit(c)) return false;
  return true;
}

}  // namespace voskel::platform
