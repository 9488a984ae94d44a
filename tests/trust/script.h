#pragma once
// What a random listener does to the panel, as a script that can be played again: keys,
// waits, a receiver that is switched off or unplugged, a panel that is killed or closed,
// another program on the network port. A script is also the text of a kept case file.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "faults.h"

namespace voskel::trust {

struct Action {
  enum class Kind {
    kKey,        // value: the key code
    kTicks,      // value: timer ticks
    kSwitchOff,  // the receiver falls silent, the line stays open
    kSwitchOn,
    kUnplug,  // the link goes away
    kPlugIn,
    kKill,    // the panel dies where it stands and is started again
    kClose,   // the close box, then a new start
    kRemote,  // text: one line a network client sends
    kBurst,   // value: zeros in "145." + zeros + "1" and Enter, typed faster than taken
  };
  Kind kind = Kind::kKey;
  int value = 0;
  std::string text;
};

struct Script {
  sim::FaultPlan faults;
  std::vector<Action> actions;
  bool known = false;      // a case kept before its mend: reported, not failed
  std::string note;        // what it broke, for whoever reads the case file
};

// "Enter", "F3", "7", "." <-> key codes; nothing for a name the keyboard lacks.
std::optional<int> KeyCode(std::string_view name);
std::string KeyName(int code);

// One action as a line of a case file: "key Enter", "ticks 12", "remote F 145600000\n".
std::string ActionText(const Action& action);
std::string FormatScript(const Script& script);
// False, with the line that could not be read, for a text that is no script.
bool ParseScript(std::string_view text, Script& script, std::string& error);

// A random listener and a random bad day for the receiver, from one seed.
Script RandomScript(std::uint64_t seed);

// The shortest script found that still fails: fault chances left out, then actions left
// out, chunk by chunk, as long as stillFails says it does.
Script Shrink(Script script, const std::function<bool(const Script&)>& stillFails);

// The keys of a script and nothing else, on one line, for a report.
std::string KeySequence(const Script& script);

}  // namespace voskel::trust
