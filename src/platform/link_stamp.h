#pragma once
// What tells a symbolic link made again apart from one left as it was, even when the new
// one has the old one's name and target.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace voskel::platform {

struct LinkStamp {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t madeNs = 0;     // when the link was written
  std::int64_t changedNs = 0;  // when it was last renamed or otherwise changed
  std::string target;

  bool operator==(const LinkStamp&) const = default;
};

// The stamp of the symbolic link itself (not of what it leads to); none when there is no
// symbolic link at that name.
std::optional<LinkStamp> StampOf(const std::filesystem::path& link);

}  // namespace voskel::platform
