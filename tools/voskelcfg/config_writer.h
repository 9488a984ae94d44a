#pragma once
// What voskelcfg leaves in the panel's working directory: VOSKEL.CFG and the comN links.
#include <filesystem>
#include <string>

namespace voskelcfg {

struct ConfigValues {
  std::string port;
  std::string speed;
  std::string voice;
  std::string debug;
};

// The five lines, each ended by CR LF. The panel takes its values from fixed places: line 1
// from its 5th character (the port digit), line 2 from its 7th (the speed), lines 4 and 5
// at their 7th (voice, debug).
std::string ConfigText(const ConfigValues& values);

// Writes dir/VOSKEL.CFG, making dir when missing, and says so on stderr. False, after
// saying why, when it cannot be written.
bool WriteConfig(const std::string& dir, const ConfigValues& values);

// Points the symbolic link at target; an old symbolic link is replaced, anything else at
// that name is left alone. False, after saying why, when the link was not made.
bool PointLink(const std::filesystem::path& link, const std::filesystem::path& target);

}  // namespace voskelcfg
