#pragma once
// What a user can do about a serial device that stays out of reach, said only where it is
// true of this system.
#include <filesystem>
#include <string>
#include <vector>

namespace voskelcfg {

// For the refused devices: the group to join (once a group), or nothing when no group
// would let this user in.
std::string PermissionAdvice(const std::vector<std::filesystem::path>& refused);

// A USB serial adapter of a kind brltty takes for a braille display.
struct BrailleSuspect {
  std::string id;     // "1a86:7523"
  std::string where;  // the USB device's name in sysfs, "1-3"
  bool hasTty;        // false: no serial device stands for it now (taken, or unbound)
};

// The adapters under root (its sys/bus/usb) whose vendor and product brltty's udev rules
// name, or, without rules, the generic serial chips its drivers know.
std::vector<BrailleSuspect> BrailleSuspects(const std::filesystem::path& root);

// How to keep brltty off the adapter: when brltty is installed and such an adapter is
// plugged in; empty otherwise.
std::string BrlttyAdvice(const std::filesystem::path& root);

}  // namespace voskelcfg
