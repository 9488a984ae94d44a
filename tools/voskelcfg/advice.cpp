#include "advice.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <set>
#include <system_error>

#include "platform/permission_hint.h"

namespace voskelcfg {
namespace fs = std::filesystem;

namespace {

// The serial chips that brltty's drivers list as generic: on a system whose brltty has no
// udev rules, it looks for these itself.
const std::set<std::string> kGenericBrailleChips = {"0403:6001", "10c4:ea60", "10c4:ea80",
                                                    "1a86:7523"};

bool BrlttyInstalled(const fs::path& root) {
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

std::string FirstLine(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  return line;
}

// Hex as udev's PRODUCT writes it ("403") to the four digits lsusb shows ("0403").
std::string FourHex(std::string hex) {
  std::transform(hex.begin(), hex.end(), hex.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (hex.empty() || hex.size() > 4 ||
      hex.find_first_not_of("0123456789abcdef") != std::string::npos)
    return {};
  return std::string(4 - hex.size(), '0') + hex;
}

// brltty's rules files, a file in /etc standing in for one of the same name in /lib.
std::vector<fs::path> BrlttyRules(const fs::path& root) {
  std::map<std::string, fs::path> byName;
  for (const char* dir : {"etc/udev/rules.d", "usr/lib/udev/rules.d", "lib/udev/rules.d"}) {
    std::error_code error;
    for (fs::directory_iterator it(root / dir, error), end; !error && it != end;
         it.increment(error)) {
      const std::string name = it->path().filename().string();
      if (name.find("brltty") != std::string::npos) byName.try_emplace(name, it->path());
    }
  }
  std::vector<fs::path> files;
  for (const auto& [name, path] : byName) files.push_back(path);
  return files;
}

// The vendor:product pairs the rules hand to brltty: ENV{PRODUCT}=="1a86/7523/*".
std::set<std::string> ClaimedIds(const std::vector<fs::path>& rules) {
  static const std::string kKey = "ENV{PRODUCT}==\"";
  std::set<std::string> ids;
  for (const fs::path& file : rules) {
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
      const std::size_t start = line.find_first_not_of(" \t");
      const std::size_t at = line.find(kKey);
      if (start == std::string::npos || line[start] == '#' || at == std::string::npos) continue;
      const std::size_t vendorAt = at + kKey.size();
      const std::size_t slash = line.find('/', vendorAt);
      const std::size_t slash2 = slash == std::string::npos ? slash : line.find('/', slash + 1);
      if (slash2 == std::string::npos) continue;
      const std::string vendor = FourHex(line.substr(vendorAt, slash - vendorAt));
      const std::string product = FourHex(line.substr(slash + 1, slash2 - slash - 1));
      if (!vendor.empty() && !product.empty()) ids.insert(vendor + ":" + product);
    }
  }
  return ids;
}

// A serial device below one of the USB device's interfaces (ttyUSB0, or tty/ttyACM0).
bool HasTty(const fs::path& usbDevice) {
  std::error_code error;
  for (fs::directory_iterator it(usbDevice, error), end; !error && it != end; it.increment(error)) {
    if (it->path().filename().string().find(':') == std::string::npos) continue;
    std::error_code inner;
    for (fs::directory_iterator sub(it->path(), inner), stop; !inner && sub != stop;
         sub.increment(inner)) {
      const std::string name = sub->path().filename().string();
      if (name.rfind("ttyUSB", 0) == 0 || name == "tty") return true;
    }
  }
  return false;
}

}  // namespace

std::string PermissionAdvice(const std::vector<fs::path>& refused) {
  std::set<std::string> hints;
  std::string advice;
  for (const fs::path& device : refused) {
    const std::string hint = voskel::platform::PermissionHint(device);
    if (!hint.empty() && hints.insert(hint).second) advice += "Permission denied: " + hint + ".\n";
  }
  return advice;
}

std::vector<BrailleSuspect> BrailleSuspects(const fs::path& root) {
  const std::vector<fs::path> rules = BrlttyRules(root);
  const std::set<std::string> claimed = rules.empty() ? kGenericBrailleChips : ClaimedIds(rules);
  std::vector<BrailleSuspect> found;
  std::error_code error;
  for (fs::directory_iterator it(root / "sys/bus/usb/devices", error), end; !error && it != end;
       it.increment(error)) {
    const std::string id = FourHex(FirstLine(it->path() / "idVendor")) + ":" +
                           FourHex(FirstLine(it->path() / "idProduct"));
    if (claimed.count(id))
      found.push_back({id, it->path().filename().string(), HasTty(it->path())});
  }
  std::sort(found.begin(), found.end(),
            [](const BrailleSuspect& a, const BrailleSuspect& b) { return a.where < b.where; });
  return found;
}

std::string BrlttyAdvice(const fs::path& root) {
  if (!BrlttyInstalled(root)) return {};
  const std::vector<BrailleSuspect> suspects = BrailleSuspects(root);
  if (suspects.empty()) return {};
  std::string advice =
      "brltty is installed, and it can take a USB serial adapter plugged in here for a braille\n"
      "display:\n";
  for (const BrailleSuspect& adapter : suspects) {
    advice += "    " + adapter.id + " (USB " + adapter.where + ")";
    advice += adapter.hasTty ? "\n" : ", now without a serial device: brltty may have taken it\n";
  }
  return advice +
         "If you use no braille display: sudo systemctl disable --now brltty\n"
         "If you do: name your display in /etc/brltty.conf (braille-driver and braille-device)\n"
         "so that brltty stops trying other devices, then plug the adapter in again.\n";
}

}  // namespace voskelcfg
