#include "platform/permission_hint.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string_view>
#include <vector>

namespace voskel::platform {
namespace {

// The groups this process runs with: what the kernel checks the device against.
bool InGroupNow(gid_t group) {
  if (::getegid() == group) return true;
  const int count = ::getgroups(0, nullptr);
  std::vector<gid_t> groups(static_cast<std::size_t>(count > 0 ? count : 0));
  if (count > 0 && ::getgroups(count, groups.data()) < 0) return false;
  for (const gid_t g : groups)
    if (g == group) return true;
  return false;
}

// The group as the user database lists it: what the next login will run with.
bool ListedIn(const group& entry) {
  const passwd* user = ::getpwuid(::geteuid());
  if (user == nullptr) return false;
  if (user->pw_gid == entry.gr_gid) return true;
  for (char** member = entry.gr_mem; member != nullptr && *member != nullptr; ++member)
    if (std::string_view(*member) == user->pw_name) return true;
  return false;
}

}  // namespace

std::string PermissionHint(const std::filesystem::path& device) {
  struct stat info {};
  if (::stat(device.c_str(), &info) != 0) return {};
  constexpr mode_t kGroupReadWrite = S_IRGRP | S_IWGRP;
  if (info.st_gid == 0 || (info.st_mode & kGroupReadWrite) != kGroupReadWrite) return {};
  if (InGroupNow(info.st_gid)) return {};  // refused for another reason
  const group* entry = ::getgrgid(info.st_gid);
  if (entry == nullptr) return {};
  const std::string name = entry->gr_name;
  if (ListedIn(*entry))
    return "this user is in the " + name +
           " group, but this login is not yet: log out and in again";
  return "join the " + name + " group and log in again: sudo adduser $USER " + name;
}

}  // namespace voskel::platform
