#pragma once
// What a user refused a serial device can do about it, and only when it would help.
#include <filesystem>
#include <string>

namespace voskel::platform {

// "join the dialout group and log in again: sudo adduser $USER dialout" when the device's
// group may read and write it and this user is not in that group, or is but this login is
// not yet; empty when no group is the way in (a device of root's group, or one whose group
// may not use it either).
std::string PermissionHint(const std::filesystem::path& device);

}  // namespace voskel::platform
