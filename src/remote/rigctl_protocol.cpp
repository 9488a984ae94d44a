#include "remote/rigctl_protocol.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "receiver/frequency_text.h"

namespace voskel::rigctl {
namespace {

enum class Op {
  kSetFreq,
  kGetFreq,
  kSetMode,
  kGetMode,
  kGetVfo,
  kGetSplitVfo,
  kGetPtt,
  kGetLevel,
  kGetVfoInfo,
  kGetLockMode,
  kGetPowerstat,
  kChkVfo,
  kDumpState,
  kQuit,
};

struct CommandRow {
  char letter;  // 0: only the long name
  std::string_view name;
  int args;  // taken from the line when there; a missing one is the command's to judge
  Op op;
};

constexpr CommandRow kCommands[] = {
    {'F', "set_freq", 1, Op::kSetFreq},
    {'f', "get_freq", 0, Op::kGetFreq},
    {'M', "set_mode", 2, Op::kSetMode},
    {'m', "get_mode", 0, Op::kGetMode},
    {'v', "get_vfo", 0, Op::kGetVfo},
    {'s', "get_split_vfo", 0, Op::kGetSplitVfo},
    {'t', "get_ptt", 0, Op::kGetPtt},
    {'l', "get_level", 1, Op::kGetLevel},
    {'q', "quit", 0, Op::kQuit},
    {'Q', "quit", 0, Op::kQuit},
    {0, "get_vfo_info", 1, Op::kGetVfoInfo},
    {0, "get_lock_mode", 0, Op::kGetLockMode},
    {0, "get_powerstat", 0, Op::kGetPowerstat},
    {0, "chk_vfo", 0, Op::kChkVfo},
    {0, "dump_state", 0, Op::kDumpState},
};

struct ModeRow {
  std::string_view name;
  const char* bit;  // Hamlib's mode bit, as dump_state writes it
  int passbandHz;
};

constexpr ModeRow kModeRows[] = {
    {"AM", "0x1", 8000},  {"CW", "0x2", 500},    {"USB", "0x4", 2400},
    {"LSB", "0x8", 2400}, {"FM", "0x20", 15000}, {"WFM", "0x40", 230000},
};

int FindCommand(char letter, std::string_view name) {
  for (int i = 0; i < static_cast<int>(std::size(kCommands)); ++i) {
    const CommandRow& row = kCommands[i];
    if (letter != 0 ? row.letter == letter : row.name == name) return i;
  }
  return -1;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

// rigctld's rule: any punctuation but the backslash and the characters it keeps for
// itself asks for the extended answer, '+' with records on lines of their own.
bool IsExtendedPrefix(char c) {
  return std::ispunct(static_cast<unsigned char>(c)) != 0 && c != '\\' && c != '?' && c != '_' &&
         c != '#';
}

class Cursor {
 public:
  explicit Cursor(std::string_view line) : line_(line) {}
  bool AtEnd() {
    while (pos_ < line_.size() && IsBlank(line_[pos_])) ++pos_;
    return pos_ >= line_.size();
  }
  char Peek() const { return line_[pos_]; }
  char Take() { return line_[pos_++]; }
  std::string Word() {
    const std::size_t start = pos_;
    while (pos_ < line_.size() && !IsBlank(line_[pos_])) ++pos_;
    return std::string(line_.substr(start, pos_ - start));
  }

 private:
  std::string_view line_;
  std::size_t pos_ = 0;
};

// Hz as Hamlib writes them: a decimal number, fractions and exponents allowed. Rounded to
// the whole Hz; nothing when the word is no number.
std::optional<std::int64_t> ReadHz(const std::string& word) {
  if (word.empty()) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const double hz = std::strtod(word.c_str(), &end);
  if (end != word.c_str() + word.size() || errno != 0 || !std::isfinite(hz)) return std::nullopt;
  if (hz < 0 || hz > 1e12) return -1;  // out of any range, without overflowing
  return std::llround(hz);
}

bool IsWholeNumber(const std::string& word) {
  if (word.empty()) return false;
  errno = 0;
  char* end = nullptr;
  std::strtoll(word.c_str(), &end, 10);
  return end == word.c_str() + word.size() && errno == 0;
}

bool IsPanelMode(std::string_view mode) {
  return NormalPassbandHz(mode) != 0;
}

}  // namespace

int NormalPassbandHz(std::string_view mode) {
  for (const ModeRow& row : kModeRows)
    if (row.name == mode) return row.passbandHz;
  return 0;
}

std::string DumpState() {
  // Every mode of kModeRows, on VFO A and antenna 1.
  std::string text =
      "1\n"  // protocol version
      "2\n"  // the model: Hamlib's own "NET rigctl"
      "0\n"  // ITU region, no longer used
      // The receiver's range, 0.1 to 2040 MHz; no transmit range.
      "100000.000000 2040000000.000000 0x6f -1 -1 0x1 0x1\n"
      "0 0 0 0 0 0 0\n"
      "0 0 0 0 0 0 0\n"
      // Its tuning step of 50 Hz.
      "0x6f 50\n"
      "0 0\n";
  for (const ModeRow& row : kModeRows)
    text += std::string(row.bit) + " " + std::to_string(row.passbandHz) + "\n";
  text +=
      "0 0\n"
      "0\n0\n0\n"  // max RIT, XIT, IF shift
      "0\n"        // announcements
      "\n";        // preamplifiers: none
  // The attenuator's steps in dB.
  text += std::to_string(kAttenuatorDb) + "\n";
  text +=
      "0x0\n0x0\n"         // functions read, set
      "0x40000002\n0x0\n"  // levels read (STRENGTH, ATT), set
      "0x0\n0x0\n"         // parameters read, set
      "vfo_ops=0x0\n"
      "ptt_type=0x0\n"
      "targetable_vfo=0x0\n"
      "has_set_vfo=0\n"
      "has_get_vfo=1\n"
      "has_set_freq=1\n"
      "has_get_freq=1\n"
      "done\n";
  return text;
}

std::vector<Session::Command> Session::Parse(std::string_view line) {
  std::vector<Command> commands;
  Cursor cursor(line);
  while (!cursor.AtEnd()) {
    Command command;
    if (IsExtendedPrefix(cursor.Peek())) {
      const char prefix = cursor.Take();
      command.separator = prefix == '+' ? '\n' : prefix;
    }
    if (!cursor.AtEnd()) {
      if (cursor.Peek() == '\\') {
        cursor.Take();
        command.name = cursor.Word();
        command.row = FindCommand(0, command.name);
      } else {
        const char letter = cursor.Take();
        command.name = std::string(1, letter);
        command.row = FindCommand(letter, {});
      }
    }
    if (command.row >= 0) {
      const CommandRow& row = kCommands[command.row];
      command.name = row.name;
      for (int i = 0; i < row.args && !cursor.AtEnd(); ++i) command.args.push_back(cursor.Word());
    } else {
      // What a command not served here takes is unknown: it has the rest of the line, so
      // that it is answered once.
      while (!cursor.AtEnd()) command.args.push_back(cursor.Word());
    }
    commands.push_back(std::move(command));
  }
  return commands;
}

bool Session::Take(std::string_view bytes) {
  for (char c : bytes) {
    if (c != '\n') {
      if (partial_.size() >= kMaxLine) return false;
      partial_ += c;
      continue;
    }
    unanswered_ += partial_.size() + 1;
    lines_.push_back(std::move(partial_));
    partial_.clear();
  }
  return true;
}

void Session::TakeEnd() {
  if (partial_.empty()) return;
  unanswered_ += partial_.size();
  lines_.push_back(std::move(partial_));
  partial_.clear();
}

void Session::Answer(const ReceiverView& view, int maxCommands) {
  for (int done = 0; done < maxCommands && !quit_ && !pendingSet_; ++done) {
    if (commands_.empty()) {
      if (lines_.empty()) return;
      const std::vector<Command> parsed = Parse(lines_.front());
      unanswered_ -= std::min(unanswered_, lines_.front().size() + 1);
      lines_.pop_front();
      commands_.assign(parsed.begin(), parsed.end());
      continue;
    }
    const Command command = std::move(commands_.front());
    commands_.pop_front();
    AnswerOne(command, view);
  }
}

void Session::Finish(int code) {
  if (!pendingSet_) return;
  pendingSet_.reset();
  Reply(pendingCommand_, code);
}

void Session::AnswerOne(const Command& command, const ReceiverView& view) {
  if (command.row < 0) return Reply(command, kNotAvailable);
  const auto arg = [&](std::size_t i) {
    return i < command.args.size() ? command.args[i] : std::string();
  };
  const std::string hz = std::to_string(view.frequencyHz);
  const std::string passband = std::to_string(NormalPassbandHz(view.mode));
  switch (kCommands[command.row].op) {
    case Op::kGetFreq:
      return Reply(command, kOk, {{"Frequency", hz}});
    case Op::kGetMode:
      return Reply(command, kOk, {{"Mode", view.mode}, {"Passband", passband}});
    case Op::kGetVfo:
      return Reply(command, kOk, {{"VFO", "VFOA"}});
    case Op::kGetSplitVfo:
      return Reply(command, kOk, {{"Split", "0"}, {"TX VFO", "VFOA"}});
    case Op::kGetPtt:
      return Reply(command, kOk, {{"PTT", "0"}});
    case Op::kGetLevel:
      // rigctld gives a level's value without a key, also in the extended answer.
      if (arg(0) == "STRENGTH") return Reply(command, kOk, {{"", std::to_string(view.strengthDb)}});
      if (arg(0) == "ATT") return Reply(command, kOk, {{"", std::to_string(view.attenuationDb)}});
      return Reply(command, arg(0).empty() ? kInvalidParameter : kNotAvailable);
    case Op::kGetVfoInfo:
      return Reply(command, kOk,
                   {{"Freq", hz},
                    {"Mode", view.mode},
                    {"Width", passband},
                    {"Split", "0"},
                    {"SatMode", "0"}});
    case Op::kGetLockMode:
      return Reply(command, kOk, {{"Locked", "0"}});
    case Op::kGetPowerstat:
      return Reply(command, kOk, {{"Power Status", "1"}});
    case Op::kChkVfo:
      return Reply(command, kOk, {{"ChkVFO", "0"}});
    case Op::kDumpState: {
      const std::string state = DumpState();
      if (command.separator == 0) {
        output_ += state;
        return;
      }
      output_ += command.name + ":" + command.separator + state;
      return Reply({}, kOk);
    }
    case Op::kQuit:
      // Answered plainly in every form, as rigctld does; the client hangs up next.
      Reply({}, kOk);
      quit_ = true;
      lines_.clear();
      commands_.clear();
      unanswered_ = 0;
      return;
    case Op::kSetFreq: {
      const std::optional<std::int64_t> wanted = ReadHz(arg(0));
      // The panel's own range: what a listener could not type is not typed for a client.
      if (!wanted || !TunableHz(*wanted)) return Reply(command, kInvalidParameter);
      pendingSet_ = SetRequest{SetRequest::Kind::kFrequency, *wanted, {}};
      pendingCommand_ = command;
      return;
    }
    case Op::kSetMode:
      if (!IsPanelMode(arg(0)) || (command.args.size() > 1 && !IsWholeNumber(arg(1))))
        return Reply(command, kInvalidParameter);
      // The passband follows the mode: the receiver has one filter for each.
      pendingSet_ = SetRequest{SetRequest::Kind::kMode, 0, arg(0)};
      pendingCommand_ = command;
      return;
  }
}

void Session::Reply(const Command& command, int code,
                    const std::vector<std::pair<std::string, std::string>>& records) {
  const char separator = command.separator;
  if (separator == 0) {
    if (code != kOk || records.empty()) {
      output_ += "RPRT " + std::to_string(code) + "\n";
      return;
    }
    for (const auto& record : records) output_ += record.second + "\n";
    return;
  }
  if (!command.name.empty()) {
    output_ += command.name + ":";
    for (const std::string& a : command.args) output_ += " " + a;
    output_ += separator;
  }
  if (code == kOk) {
    for (const auto& [key, value] : records)
      output_ += (key.empty() ? value : key + ": " + value) + separator;
  }
  output_ += "RPRT " + std::to_string(code) + "\n";
}

}  // namespace voskel::rigctl
