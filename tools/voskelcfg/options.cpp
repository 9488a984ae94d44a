#include "options.h"

#include <cstdio>
#include <optional>
#include <set>
#include <string_view>

namespace voskelcfg {
namespace {

constexpr const char* kSynopsis =
    "usage: voskelcfg [--dir DIR] [--port 1-9] [--speed 4800|9600|19200] [--voice 0|1] "
    "[--debug 0|1]\n"
    "       voskelcfg --list [--dir DIR]\n"
    "       voskelcfg --find [--dir DIR] [--port 1-9 [--voice 0|1] [--debug 0|1]]\n";
constexpr const char* kDetails =
    "Writes DIR/VOSKEL.CFG (default DIR: .). --list shows the serial devices, who may open\n"
    "them and which comN link in DIR leads to each; --find asks each free device for the\n"
    "receiver's level at 19200, 9600 and 4800 baud and, with --port N, writes VOSKEL.CFG\n"
    "for the speed that answered and points DIR/comN at the device.\n"
    "Exit codes: 0 found or written, 1 nothing found, 2 bad usage.\n";

int BadUsage(const char* message) {
  std::fprintf(stderr, "voskelcfg: %s\n%s", message, kSynopsis);
  return kBadUsage;
}

bool IsSwitch(std::string_view text) {
  return text == "0" || text == "1";
}

// The field an option with a value fills; null for an option that does not exist.
std::string* FieldOf(const std::string& name, Options& options) {
  if (name == "--dir") return &options.dir;
  if (name == "--port") return &options.port;
  if (name == "--speed") return &options.speed;
  if (name == "--voice") return &options.voice;
  if (name == "--debug") return &options.debug;
  return nullptr;
}

int CheckValues(const Options& options) {
  if (options.port.size() != 1 || options.port[0] < '1' || options.port[0] > '9')
    return BadUsage("the port is one digit, 1 to 9");
  // The receiver runs at one of three speeds; any other would leave the panel unheard.
  if (options.speed != "4800" && options.speed != "9600" && options.speed != "19200")
    return BadUsage("the speed is 4800, 9600 or 19200");
  if (!IsSwitch(options.voice) || !IsSwitch(options.debug))
    return BadUsage("voice and debug are 0 or 1");
  return kDone;
}

int CheckCombination(const Options& options, const std::set<std::string>& given) {
  if (options.action == Action::kList && given.size() > given.count("--dir"))
    return BadUsage("--list takes only --dir");
  if (options.action == Action::kFind && given.count("--speed"))
    return BadUsage("--find tries the speeds itself; leave out --speed");
  return kDone;
}

}  // namespace

int ParseOptions(int argc, char** argv, Options& options) {
  std::set<std::string> given;
  bool listOrFind = false;
  for (int i = 1; i < argc; ++i) {
    std::string name = argv[i];
    if (name == "--help" || name == "-h") {
      std::printf("%s%s", kSynopsis, kDetails);
      return -1;
    }
    if (name == "--list" || name == "--find") {
      if (listOrFind) return BadUsage("--list and --find do not go together");
      listOrFind = true;
      options.action = name == "--list" ? Action::kList : Action::kFind;
      continue;
    }
    std::optional<std::string> value;
    if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = name.substr(eq + 1);
      name.resize(eq);
    }
    std::string* field = FieldOf(name, options);
    if (!field) {
      return BadUsage(("unknown option " + name).c_str());
    }
    if (!value && i + 1 >= argc) return BadUsage((name + " needs a value").c_str());
    *field = value ? *value : argv[++i];
    given.insert(name);
  }
  options.portGiven = given.count("--port") != 0;
  if (const int bad = CheckValues(options); bad != kDone) return bad;
  return CheckCombination(options, given);
}

}  // namespace voskelcfg
