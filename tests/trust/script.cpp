#include "trust/script.h"

#include <algorithm>
#include <random>
#include <sstream>

#include "platform/virtual_keys.h"

namespace voskel::trust {
namespace {

// The whole keyboard the panel uses, and how often a listener presses each key when not
// typing a phrase: digits and Enter most.
struct Key {
  const char* name;
  int code;
  int weight;
};

constexpr Key kKeyboard[] = {
    {"Enter", keys::kEnter, 6},      {"Escape", keys::kEscape, 2}, {"Backspace", keys::kBack, 2},
    {"Space", keys::kSpace, 1},      {".", keys::kFullStop, 3},   {"Up", keys::kUp, 1},
    {"Down", keys::kDown, 1},        {"Left", keys::kLeft, 1},    {"Right", keys::kRight, 1},
    {"PageUp", keys::kPageUp, 1},    {"PageDown", keys::kPageDown, 1},
    {"F1", keys::kF1, 1},            {"F2", keys::kF1 + 1, 1},    {"F3", keys::kF1 + 2, 1},
    {"F4", keys::kF1 + 3, 1},        {"F5", keys::kF1 + 4, 1},    {"F6", keys::kF1 + 5, 1},
    {"F7", keys::kF7, 1},            {"F8", keys::kF8, 1},        {"F9", keys::kF9, 1},
};

// Phrases a listener types, '\r' for Enter and '~' for a while of waiting: each reaches a
// state deep enough to matter (a scan holding, a write under way, hits arriving while a
// frequency is typed) before the random keys get at it.
constexpr const char* kPhrases[] = {
    "145.6\r", "146.05\r", "145.5\r", "145.725\r", "430\r", "88.6\r", "1.8\r", "119.1\r",
    "3500\r", "145..6\r", ".5\r", "\r", "S144\r", "S145.25\r", "S14\r", "S3001\r", "S\r",
    "E146\r", "E145.8\r", "E147\r", "I12.5\r", "I5\r", "I0\r", "I25\r", "W01A\r", "W02B\r",
    "W03C\r", "W10A\r", "W20B\r", "W01J\r", "GA\r", "GB\r", "GC\r", "GD\r", "B01\r", "B02\r",
    "B10\r", "B20\r", "R", "R", "Z", "P", "P01\r", "T0110\r", "T0211\r", "O01\r", "D10\r",
    "D20\r", "K\r", "C", "N", "V", "A", "L", "M", "F", "H", "J", "GA\r~P~P~", "GB\r~P~",
    "R~1~4~6~.~0~5~\r", "R~S~1~4~5~.~2~5~\r", "GA\r~1~4~5~.~6~\r", "R~~\r", "B01\r~R~~\r",
};

constexpr const char* kRemoteLines[] = {"F 145600000\n", "F 146050000\n", "M AM 0\n",
                                        "M FM 0\n",      "f\n",           "m\n",
                                        "l STRENGTH\n",  "F 3500000000\n"};

constexpr const char* kRefusable[] = {"AT", "MD", "VA", "ST", "NL", "MQ",
                                      "MP", "MS", "MX", "VS", "AU", "MW"};

struct Word {
  Action::Kind kind;
  const char* word;
};

constexpr Word kWords[] = {
    {Action::Kind::kKey, "key"},           {Action::Kind::kTicks, "ticks"},
    {Action::Kind::kSwitchOff, "switch-off"}, {Action::Kind::kSwitchOn, "switch-on"},
    {Action::Kind::kUnplug, "unplug"},     {Action::Kind::kPlugIn, "plug-in"},
    {Action::Kind::kKill, "kill"},         {Action::Kind::kClose, "close"},
    {Action::Kind::kRemote, "remote"},     {Action::Kind::kBurst, "burst"},
};

class Listener {
 public:
  explicit Listener(std::uint64_t seed) : rng_(seed) { script_.faults = BadDay(seed); }

  Script Take() {
    const int phrases = 20 + Pick(40);
    for (int i = 0; i < phrases; ++i) {
      Phrase();
      Event();
    }
    if (off_) Add(Action::Kind::kSwitchOn);
    if (unplugged_) Add(Action::Kind::kPlugIn);
    return std::move(script_);
  }

 private:
  int Pick(int n) { return static_cast<int>(rng_() % static_cast<std::uint64_t>(n)); }
  bool Chance(int percent) { return Pick(100) < percent; }
  void Add(Action::Kind kind, int value = 0, std::string text = {}) {
    script_.actions.push_back({kind, value, std::move(text)});
  }

  sim::FaultPlan BadDay(std::uint64_t seed) {
    sim::FaultPlan plan;
    plan.seed = seed;
    switch (Pick(4)) {
      case 1:
        plan.refuseChance = 0.05;
        break;
      case 2:
        plan.refuse.emplace_back(kRefusable[Pick(std::size(kRefusable))]);
        break;
      case 3:
        plan.dropChance = plan.delayChance = plan.garbleChance = 0.03;
        plan.delayMs = 400 + Pick(800);
        break;
      default:
        break;
    }
    return plan;
  }

  int RandomKey() {
    int total = 26 + 10;
    for (const Key& key : kKeyboard) total += key.weight;
    int pick = Pick(total);
    if (pick < 26) return 'A' + pick;
    pick -= 26;
    if (pick < 10) return '0' + pick;
    pick -= 10;
    for (const Key& key : kKeyboard) {
      if (pick < key.weight) return key.code;
      pick -= key.weight;
    }
    return keys::kEnter;
  }

  void Press(int code) {
    Add(Action::Kind::kKey, code);
    const int wait = Pick(100);
    Add(Action::Kind::kTicks, wait < 70 ? 1 + Pick(3) : wait < 95 ? 5 + Pick(25) : 50 + Pick(100));
  }

  // A phrase, now and then cut short or interrupted by any key, as a listener who
  // changes their mind or slips does.
  void Phrase() {
    if (Chance(25)) return Press(RandomKey());
    std::vector<int> codes;
    for (const char c : std::string_view(kPhrases[Pick(std::size(kPhrases))]))
      codes.push_back(c == '\r' ? keys::kEnter : c == '.' ? keys::kFullStop : c == '~' ? 0 : c);
    if (Chance(30)) codes.resize(static_cast<std::size_t>(Pick(static_cast<int>(codes.size()))));
    if (Chance(30) && !codes.empty()) {
      const int slip = Chance(50) ? (Chance(50) ? keys::kEscape : keys::kBack) : RandomKey();
      codes.insert(codes.begin() + Pick(static_cast<int>(codes.size()) + 1), slip);
    }
    for (const int code : codes) {
      if (code == 0)
        Add(Action::Kind::kTicks, 10 + Pick(30));
      else
        Press(code);
    }
  }

  void Event() {
    const int roll = Pick(100);
    if (roll < 5) {
      off_ = !off_;
      Add(off_ ? Action::Kind::kSwitchOff : Action::Kind::kSwitchOn);
    } else if (roll < 9) {
      unplugged_ = !unplugged_;
      Add(unplugged_ ? Action::Kind::kUnplug : Action::Kind::kPlugIn);
    } else if (roll < 12) {
      Add(Action::Kind::kKill);
    } else if (roll < 14) {
      Add(Action::Kind::kClose);
    } else if (roll < 22) {
      Add(Action::Kind::kRemote, 0, kRemoteLines[Pick(std::size(kRemoteLines))]);
    } else if (roll < 23) {
      Add(Action::Kind::kBurst, 40 + Pick(40));
    }
  }

  std::mt19937_64 rng_;
  Script script_;
  bool off_ = false;
  bool unplugged_ = false;
};

std::string Escaped(std::string_view text) {
  std::string out;
  for (const char c : text) out += c == '\n' ? std::string("\\n") : std::string(1, c);
  return out;
}

std::string Unescaped(std::string_view text) {
  std::string out(text);
  for (std::size_t at; (at = out.find("\\n")) != std::string::npos;) out.replace(at, 2, "\n");
  return out;
}

}  // namespace

std::optional<int> KeyCode(std::string_view name) {
  for (const Key& key : kKeyboard)
    if (name == key.name) return key.code;
  if (name.size() == 1 && ((name[0] >= 'A' && name[0] <= 'Z') || keys::IsDigit(name[0])))
    return name[0];
  return std::nullopt;
}

std::string KeyName(int code) {
  for (const Key& key : kKeyboard)
    if (code == key.code) return key.name;
  return std::string(1, static_cast<char>(code));
}

std::string ActionText(const Action& action) {
  std::string text;
  for (const Word& word : kWords)
    if (word.kind == action.kind) text = word.word;
  if (action.kind == Action::Kind::kKey) text += " " + KeyName(action.value);
  if (action.kind == Action::Kind::kTicks || action.kind == Action::Kind::kBurst)
    text += " " + std::to_string(action.value);
  if (action.kind == Action::Kind::kRemote) text += " " + Escaped(action.text);
  return text;
}

std::string FormatScript(const Script& script) {
  std::ostringstream out;
  if (!script.note.empty()) out << "# " << script.note << "\n";
  if (script.known) out << "known\n";
  out << "faults " << sim::DescribeFaults(script.faults) << "\n";
  for (const Action& action : script.actions) out << ActionText(action) << "\n";
  return out.str();
}

bool ParseScript(std::string_view text, Script& script, std::string& error) {
  std::istringstream in{std::string(text)};
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (line[0] == '#') {
      if (script.note.empty()) script.note = line.substr(line.find_first_not_of("# "));
      continue;
    }
    const std::string word = line.substr(0, line.find(' '));
    const std::string rest = line.size() > word.size() ? line.substr(word.size() + 1) : "";
    bool read = false;
    if (word == "known") {
      script.known = read = true;
    } else if (word == "faults") {
      std::istringstream options(rest);
      read = true;
      for (std::string option; options >> option;) {
        const auto eq = option.find('=');
        read = read && eq != std::string::npos &&
               sim::SetFaultOption(script.faults, option.substr(0, eq), option.substr(eq + 1));
      }
    }
    for (const Word& w : kWords) {
      if (word != w.word) continue;
      Action action{w.kind, 0, {}};
      if (w.kind == Action::Kind::kKey) {
        const auto code = KeyCode(rest);
        read = code.has_value();
        action.value = code.value_or(0);
      } else if (w.kind == Action::Kind::kTicks || w.kind == Action::Kind::kBurst) {
        action.value = std::atoi(rest.c_str());
        read = action.value > 0;
      } else {
        action.text = Unescaped(rest);
        read = true;
      }
      script.actions.push_back(action);
    }
    if (!read) {
      error = line;
      return false;
    }
  }
  return true;
}

Script RandomScript(std::uint64_t seed) {
  return Listener(seed).Take();
}

Script Shrink(Script script, const std::function<bool(const Script&)>& stillFails) {
  for (double sim::FaultPlan::*chance :
       {&sim::FaultPlan::refuseChance, &sim::FaultPlan::dropChance, &sim::FaultPlan::delayChance,
        &sim::FaultPlan::garbleChance, &sim::FaultPlan::garbleCommandChance}) {
    if (script.faults.*chance == 0) continue;
    Script simpler = script;
    simpler.faults.*chance = 0;
    if (stillFails(simpler)) script = std::move(simpler);
  }
  for (std::size_t chunk = std::max<std::size_t>(script.actions.size() / 2, 1);; chunk /= 2) {
    for (std::size_t start = 0; start < script.actions.size();) {
      Script shorter = script;
      const auto from = shorter.actions.begin() + static_cast<std::ptrdiff_t>(start);
      shorter.actions.erase(from, from + static_cast<std::ptrdiff_t>(
                                             std::min(chunk, script.actions.size() - start)));
      if (stillFails(shorter))
        script = std::move(shorter);
      else
        start += chunk;
    }
    if (chunk == 1) return script;
  }
}

std::string KeySequence(const Script& script) {
  std::string keys;
  for (const Action& action : script.actions) {
    if (action.kind == Action::Kind::kTicks) continue;
    if (!keys.empty()) keys += ' ';
    keys += action.kind == Action::Kind::kKey ? KeyName(action.value) : "[" + ActionText(action) + "]";
  }
  return keys;
}

}  // namespace voskel::trust
