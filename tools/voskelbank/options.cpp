#include "options.h"

#include <cstdio>
#include <string_view>
#include <utility>
#include <vector>

#include "activity_report.h"
#include "banks/bank_lines.h"
#include "channel_list.h"
#include "chirp_layout.h"
#include "decimal_text.h"

namespace voskelbank {
namespace {

constexpr const char* kUsage =
    "usage: voskelbank [--dir DIR] list\n"
    "       voskelbank [--dir DIR] export NN [FILE] [--format chirp|gqrx]\n"
    "       voskelbank [--dir DIR] import FILE NN [--name TEXT] [--replace] [--mode MODE]\n"
    "                  [--format chirp|gqrx] [--step KHZ] [--cut-names]\n"
    "       voskelbank [--dir DIR] log summary [--from WHEN] [--to WHEN] [--top N]\n"
    "       voskelbank [--dir DIR] log bank NN [--top N] [--by count|time] [--from WHEN]\n"
    "                  [--to WHEN] [--name TEXT] [--replace] [--step KHZ]\n"
    "list shows the banks in DIR (default: .). export writes bank NN as CSV in CHIRP's\n"
    "layout, or as gqrx bookmarks, to FILE or standard output. import makes banks from NN on\n"
    "out of a CHIRP CSV or gqrx bookmarks file, a bank for each mode. log summary tells the\n"
    "busiest frequencies of the panel's activity log, log bank makes banks of them. WHEN is\n"
    "2026-12-05 or \"2026-12-05 19:00\"; NN is 01 to 99.\n"
    "Exit codes: 0 done, 1 nothing written (the problems are told), 2 bad usage.\n";

// The commands an option belongs to.
enum Uses : unsigned { kImport = 1, kExport = 2, kSummary = 4, kLogBank = 8, kAll = 15 };

struct Rule {
  std::string_view name;
  bool takesValue;
  unsigned uses;
  const char* belongs;  // for the message when it is given to another command
};

constexpr Rule kRules[] = {
    {"--dir", true, kAll, ""},
    {"--name", true, kImport | kLogBank, "import and log bank"},
    {"--replace", false, kImport | kLogBank, "import and log bank"},
    {"--step", true, kImport | kLogBank, "import and log bank"},
    {"--format", true, kImport | kExport, "import and export"},
    {"--mode", true, kImport, "import"},
    {"--cut-names", false, kImport, "import"},
    {"--from", true, kSummary | kLogBank, "log summary and log bank"},
    {"--to", true, kSummary | kLogBank, "log summary and log bank"},
    {"--top", true, kSummary | kLogBank, "log summary and log bank"},
    {"--by", true, kLogBank, "log bank"},
};

using Given = std::vector<std::pair<const Rule*, std::string>>;

int BadUsage(const std::string& message) {
  std::fprintf(stderr, "voskelbank: %s\n%s", message.c_str(), kUsage);
  return kBadUsage;
}

unsigned UsesOf(Command command) {
  switch (command) {
    case Command::kImport:
      return kImport;
    case Command::kExport:
      return kExport;
    case Command::kLogSummary:
      return kSummary;
    case Command::kLogBank:
      return kLogBank;
    case Command::kList:
      break;
  }
  return 0;
}

// The command, and the file and bank number that follow it.
int TakeWords(const std::vector<std::string>& words, Options& options) {
  const auto count = [&](std::size_t n, const char* form) {
    return words.size() == n ? kDone : BadUsage(form);
  };
  const std::string command = words.empty() ? "" : words[0];
  int checked = kDone;
  std::size_t bankAt = 0;
  if (command == "list") {
    options.command = Command::kList;
    checked = count(1, "list takes no more words");
  } else if (command == "export") {
    options.command = Command::kExport;
    checked = words.size() == 2 || words.size() == 3 ? kDone : BadUsage("export NN [FILE]");
    if (words.size() == 3) options.file = words[2];
    bankAt = 1;
  } else if (command == "import") {
    options.command = Command::kImport;
    checked = count(3, "import FILE NN");
    if (words.size() == 3) options.file = words[1];
    bankAt = 2;
  } else if (command == "log" && words.size() >= 2 && words[1] == "summary") {
    options.command = Command::kLogSummary;
    checked = count(2, "log summary takes no more words");
  } else if (command == "log" && words.size() >= 2 && words[1] == "bank") {
    options.command = Command::kLogBank;
    checked = count(3, "log bank NN");
    bankAt = 2;
  } else {
    return BadUsage(command.empty()    ? "list, export, import or log?"
                    : command == "log" ? "log summary or log bank?"
                                       : "unknown command " + Shown(command));
  }
  if (checked != kDone || bankAt == 0) return checked;
  options.bank = words[bankAt];
  // bank00.dat is the panel's stored state and search list, which it rewrites itself.
  if (!voskel::IsBankNumber(options.bank) || options.bank == "00")
    return BadUsage("the bank number is two digits, 01 to 99");
  return kDone;
}

std::optional<int> WholeNumber(const std::string& text) {
  const std::optional<std::int64_t> value = ParseDecimal(text, 0);
  if (!value || text.find('.') != std::string::npos || *value < 1 || *value > 999)
    return std::nullopt;
  return static_cast<int>(*value);
}

int Apply(const Rule& rule, const std::string& value, Options& options) {
  const std::string_view name = rule.name;
  if (name == "--dir") {
    options.dir = value;
  } else if (name == "--name") {
    options.name = value;
    options.nameGiven = true;
  } else if (name == "--replace") {
    options.replace = true;
  } else if (name == "--cut-names") {
    options.cutNames = true;
  } else if (name == "--format") {
    if (value != "chirp" && value != "gqrx") return BadUsage("--format is chirp or gqrx");
    options.format = value == "gqrx" ? Format::kGqrx : Format::kChirp;
  } else if (name == "--mode") {
    const std::optional<std::string_view> mode = BankMode(value);
    if (!mode) return BadUsage("--mode is FM, AM, WFM, USB, LSB, CW or Auto");
    options.mode = *mode;
  } else if (name == "--step") {
    const std::optional<std::int64_t> stepHz = ParseDecimal(value, 3);
    if (!stepHz || *stepHz == 0 || *stepHz >= 1'000'000)
      return BadUsage("--step is a step in kHz, above 0 and below 1000");
    options.stepHz = *stepHz;
  } else if (name == "--from" || name == "--to") {
    const std::optional<std::string> moment = MomentText(value, name == "--to");
    if (!moment) return BadUsage(std::string(name) + " is a date, 2026-12-05, or a date and time");
    (name == "--from" ? options.from : options.to) = *moment;
  } else if (name == "--top") {
    const std::optional<int> top = WholeNumber(value);
    if (!top) return BadUsage("--top is a number, 1 to 999");
    options.top = *top;
  } else if (name == "--by") {
    if (value != "count" && value != "time") return BadUsage("--by is count or time");
    options.byTime = value == "time";
  }
  return kDone;
}

// The words, and each option with its value, as given.
int Split(int argc, char** argv, std::vector<std::string>& words, Given& given) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("-", 0) != 0 || arg == "-") {
      words.push_back(arg);
      continue;
    }
    std::string value;
    const std::size_t eq = arg.find('=');
    if (eq != std::string::npos) {
      value = arg.substr(eq + 1);
      arg.resize(eq);
    }
    const Rule* rule = nullptr;
    for (const Rule& candidate : kRules)
      if (candidate.name == arg) rule = &candidate;
    if (!rule) return BadUsage("unknown option " + Shown(arg));
    if (rule->takesValue && eq == std::string::npos) {
      if (i + 1 >= argc) return BadUsage(arg + " needs a value");
      value = argv[++i];
    }
    given.emplace_back(rule, value);
  }
  return kDone;
}

}  // namespace

int ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return -1;
    }
  }
  std::vector<std::string> words;
  Given given;
  if (const int split = Split(argc, argv, words, given); split != kDone) return split;
  if (const int taken = TakeWords(words, options); taken != kDone) return taken;
  for (const auto& [rule, value] : given) {
    if ((rule->uses & UsesOf(options.command)) == 0 && rule->uses != kAll)
      return BadUsage(std::string(rule->name) + " belongs to " + rule->belongs);
    if (const int applied = Apply(*rule, value, options); applied != kDone) return applied;
  }
  return kDone;
}

}  // namespace voskelbank
