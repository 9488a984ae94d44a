#pragma once
// Which programs have which character devices open, as /proc shows them. A program that
// opened a serial device without locking it still reads the receiver's replies, so it
// counts as holding the device even though an exclusive open would succeed. The program
// at the other end of a pseudo-terminal is no such holder.
#include <sys/types.h>

#include <filesystem>
#include <map>
#include <string>

namespace voskelcfg {

class OpenDevices {
 public:
  // Looks at every process this user may look into, except this one.
  static OpenDevices Scan();

  // "gpsd (pid 412)" for the first program seen holding the device; empty when none is.
  std::string HolderOf(const std::filesystem::path& device) const;

 private:
  std::map<dev_t, std::string> holders_;
};

}  // namespace voskelcfg
