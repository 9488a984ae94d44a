#pragma once
// One run of the trust checker: a script played on a whole panel against the simulated
// receiver, on the real panel path and the virtual clock, with the panel's promise checked
// after every action and at every message it finishes.
#include <cstddef>
#include <optional>
#include <string>

#include "trust/script.h"

namespace voskel::trust {

struct Violation {
  std::string invariant;  // which promise: "no false success", "nothing lost", ...
  std::string detail;     // what the listener was told, and what was really so
  std::size_t action = 0;  // the action it broke at
};

// The first promise the script breaks, or nothing.
std::optional<Violation> Play(const Script& script);
// Keys pressed and actions played by the last Play, for the checker's report.
std::size_t KeysPlayed();

}  // namespace voskel::trust
