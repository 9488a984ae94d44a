#pragma once
// The serial devices a receiver could be on, and what stands in the way of each.
#include <filesystem>
#include <string>
#include <vector>

#include "open_devices.h"
#include "platform/serial_device.h"

namespace voskelcfg {

struct SerialCandidate {
  std::filesystem::path device;      // /dev/ttyUSB0, or what a comN link leads to
  std::filesystem::path stableName;  // the /dev/serial/by-id name of it; empty when none
  std::vector<std::string> links;    // the comN links in the working directory that lead to it
};

// /dev/ttyUSB*, /dev/ttyACM*, the /dev/ttyS* with a UART behind them, anything else
// /dev/serial/by-id names, then what the comN links in workDir lead to, each device once.
// root stands for / (tests put their pseudo-terminals behind a tree of their own).
std::vector<SerialCandidate> FindCandidates(const std::filesystem::path& root,
                                            const std::filesystem::path& workDir);

struct CandidateState {
  voskel::platform::OpenError error;  // kNone when this program could take the device now
  std::string holder;                 // the program seen holding it, when there is one
};

CandidateState StateOf(const SerialCandidate& candidate, const OpenDevices& open);

// "free", "permission denied", "held by gpsd (pid 412)", ...
std::string Describe(const CandidateState& state);

}  // namespace voskelcfg
