// VOSKEL.CFG as any editor could leave it: every value the panel takes from it stays in
// range.
#include <cstdint>
#include <sstream>
#include <string>

#include "app/config_file.h"
#include "fuzz/invariant.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using voskel::fuzz::Require;
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  voskel::PanelState state;
  voskel::ReadConfigLines(in, state);
  Require(state.PortText.size() <= voskel::kMaxText && state.SpeedText.size() <= voskel::kMaxText,
          "texts capped");
  Require(state.VoiceSwitch >= 0 && state.VoiceSwitch <= 9 && state.DebugSwitch >= 0 &&
              state.DebugSwitch <= 9,
          "a switch is one digit");
  const int port = voskel::PortNumberOf(state.PortText);
  Require(port >= 0 && port <= 9, "a port is one digit");
  const int baud = voskel::BaudRateOf(state.SpeedText);
  Require(baud >= 0 && baud <= 1'000'000'000, "a speed an int holds");
  return 0;
}
