#include "platform/link_stamp.h"

#include <sys/stat.h>

#include <system_error>

namespace voskel::platform {
namespace {

std::int64_t Nanoseconds(const timespec& time) {
  return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

}  // namespace

std::optional<LinkStamp> StampOf(const std::filesystem::path& link) {
  struct stat info {};
  if (::lstat(link.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return std::nullopt;
  std::error_code error;
  const std::filesystem::path target = std::filesystem::read_symlink(link, error);
  return LinkStamp{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
                   Nanoseconds(info.st_mtim), Nanoseconds(info.st_ctim), target.string()};
}

}  // namespace voskel::platform
