// voskelcfg's command line, one argument per NUL-ended piece of the input: whatever it
// takes, the VOSKEL.CFG it writes gives the panel back the same values.
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "app/config_file.h"
#include "fuzz/invariant.h"
#include "voskelcfg/config_writer.h"
#include "voskelcfg/options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using voskel::fuzz::Require;
  std::vector<std::string> args{"voskelcfg"};
  std::istringstream pieces(std::string(reinterpret_cast<const char*>(data), size));
  for (std::string arg; std::getline(pieces, arg, '\0');) args.push_back(arg);
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  voskelcfg::Options options;
  const int result = voskelcfg::ParseOptions(static_cast<int>(args.size()), argv.data(), options);
  Require(result == voskelcfg::kDone || result == voskelcfg::kBadUsage || result == -1,
          "an exit code scripts know");
  if (result != voskelcfg::kDone) return 0;
  std::istringstream config(
      voskelcfg::ConfigText({options.port, options.speed, options.voice, options.debug}));
  voskel::PanelState state;
  voskel::ReadConfigLines(config, state);
  Require(voskel::PortNumberOf(state.PortText) == options.port[0] - '0', "the port");
  Require(voskel::BaudRateOf(state.SpeedText) == std::stoi(options.speed), "the speed");
  Require(
      state.VoiceSwitch == options.voice[0] - '0' && state.DebugSwitch == options.debug[0] - '0',
      "the switches");
  return 0;
}
