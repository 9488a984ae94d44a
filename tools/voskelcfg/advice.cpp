#include "advice.h"

#include <fstream>

#include "platform/serial_device.h"

namespace voskelcfg {

std::string PermissionAdvice() {
  return std::string("Permission denied: this user may not open the device; ") +
         voskel::platform::kPermissionHint + ".\n";
}

bool BrlttyInstalled(const std::filesystem::path& root) {
  // The status file is a list of stanzas, one a package, separated by empty lines.
  std::ifstream status(root / "var/lib/dpkg/status");
  bool inBrltty = false;
  for (std::string line; std::getline(status, line);) {
    if (line.empty()) inBrltty = false;
    if (line == "Package: brltty") inBrltty = true;
    if (inBrltty && line.rfind("Status:", 0) == 0) return line == "Status: install ok installed";
  }
  return false;
}

std::string BrlttyAdvice() {
  return "brltty is installed. It looks for braille displays on USB serial adapters and can\n"
         "claim one (CH340 and similar chips): the adapter then vanishes or is held.\n"
         "If you use no braille display: sudo systemctl disable --now brltty\n"
         "If you do: name your display in /etc/brltty.conf (braille-driver and braille-device)\n"
         "so that brltty stops trying other devices, then plug the adapter in again.\n";
}

}  // namespace voskelcfg
