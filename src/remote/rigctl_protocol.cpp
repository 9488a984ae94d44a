#include "remote/rigctl_protocol.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <utility>

#include "core/receiver_mode.h"
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
  kDumpCaps,
  kSetVfo,
  kGetDcd,
  kGetRigInfo,
  kGetVfoList,
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
    {'V', "set_vfo", 1, Op::kSetVfo},
    {0, "dump_state", 0, Op::kDumpState},
    {0, "dump_caps", 0, Op::kDumpCaps},
    {0, "get_dcd", 0, Op::kGetDcd},
    {0, "get_rig_info", 0, Op::kGetRigInfo},
    {0, "get_vfo_list", 0, Op::kGetVfoList},
};

// Hamlib's passbands that ask for no particular filter: the normal one, and no change.
constexpr std::int64_t kPassbandNormal = 0;
constexpr std::int64_t kPassbandNoChange = -1;

// The names a client gives the receiver's one VFO the panel tunes.
constexpr std::string_view kOwnVfo[] = {"VFOA", "Main", "currVFO", "VFO"};
// Other VFOs Hamlib knows this receiver by, which the panel does not tune.
constexpr std::string_view kOtherVfos[] = {"VFOB", "Sub", "MEM", "VFOC", "Main A", "Sub A"};

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
  return std::llround(hz / kTuningGridHz) * kTuningGridHz;
}

// CRC-32 as zlib computes it, which get_rig_info's clients check.
std::uint32_t Crc32(std::string_view text) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char byte : text) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

template <std::size_t N>
bool Among(std::string_view word, const std::string_view (&names)[N]) {
  return std::find(std::begin(names), std::end(names), word) != std::end(names);
}

// The modes Hamlib names, with the passbands it gives the AR8600 for them.
const ModeRow* FindMode(std::string_view mode) {
  return HamlibModeRow(mode);
}

// A passband the receiver gives the mode: the mode's own, or one of the requests for
// no particular filter.
bool TakesPassband(const ModeRow& mode, const std::string& word) {
  if (word.empty()) return true;
  errno = 0;
  char* end = nullptr;
  const long long hz = std::strtoll(word.c_str(), &end, 10);
  if (end != word.c_str() + word.size() || errno != 0) return false;
  return !mode.widthChosen || hz == kPassbandNormal || hz == kPassbandNoChange ||
         hz == mode.passbandHz;
}

// What a set command asks of the receiver, or the code it is refused with at once.
struct SetAsk {
  int code = kOk;
  SetRequest set;
};

SetAsk AskOf(Op op, const std::vector<std::string>& args) {
  const std::string word = args.empty() ? std::string() : args[0];
  if (op == Op::kSetFreq) {
    const std::optional<std::int64_t> wanted = ReadHz(word);
    // The panel's own range: what a listener could not type is not typed for a client.
    if (!wanted || !TunableHz(*wanted)) return {kInvalidParameter, {}};
    return {kOk, SetRequest{SetRequest::Kind::kFrequency, *wanted, {}}};
  }
  const ModeRow* mode = FindMode(word);
  if (mode == nullptr || !TakesPassband(*mode, args.size() > 1 ? args[1] : std::string()))
    return {kInvalidParameter, {}};
  return {kOk, SetRequest{SetRequest::Kind::kMode, 0, word}};
}

// rigctld's get_rig_info: both VFOs, the rig's name, and a CRC-32 of what comes before it.
// The panel knows only the VFO it tunes; the other reads as rigctld shows one it has not
// read.
std::string RigInfo(const ReceiverView& view) {
  std::string text = "VFO=VFOA Freq=" + std::to_string(view.frequencyHz) +
                     " Mode=" + (view.mode.empty() ? "None" : view.mode) +
                     " Width=" + std::to_string(NormalPassbandHz(view.mode)) + " RX=1 TX=1\n";
  text +=
      "VFO=VFOB Freq=0 Mode=None Width=0 RX=0 TX=0\n"
      "Split=0 SatMode=0\n"
      "Rig=AR8600\n"
      "App=Hamlib\n"
      "Version=20210506 1.0.0\n";
  char crc[32];
  std::snprintf(crc, sizeof crc, "CRC=0x%08x\n", Crc32(text));
  return text + crc;
}

}  // namespace

int NormalPassbandHz(std::string_view mode) {
  const ModeRow* row = FindMode(mode);
  return row == nullptr ? 0 : row->passbandHz;
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

bool Session::HasCommand() {
  // A line may hold no command at all (blank) or several (a ';'-separated batch).
  while (commands_.empty()) {
    if (lines_.empty()) return false;
    const std::vector<Command> parsed = Parse(lines_.front());
    unanswered_ -= std::min(unanswered_, lines_.front().size() + 1);
    lines_.pop_front();
    commands_.assign(parsed.begin(), parsed.end());
  }
  return true;
}

void Session::Answer(const ReceiverView& view, int maxCommands) {
  for (int done = 0; done < maxCommands && !quit_ && !pendingSet_; ++done) {
    if (!HasCommand()) return;
    const Command command = std::move(commands_.front());
    commands_.pop_front();
    AnswerOne(command, view);
  }
}

void Session::Finish(int code) {
  if (!pendingSet_) return;
  const SetRequest finished = *std::exchange(pendingSet_, std::nullopt);
  Reply(pendingCommand_, code);
  for (;;) {
    if (!HasCommand()) return;
    const Command& next = commands_.front();
    if (next.row < 0) return;
    const Op op = kCommands[next.row].op;
    if (op != Op::kSetFreq && op != Op::kSetMode) return;
    const SetAsk ask = AskOf(op, next.args);
    if (ask.code != kOk || !(ask.set == finished)) return;
    Reply(next, code);
    commands_.pop_front();
  }
}

namespace {

// What only the receiver can tell is not made up while it is lost.
bool NeedsReceiver(Op op) {
  return op == Op::kGetFreq || op == Op::kGetMode || op == Op::kGetLevel ||
         op == Op::kGetVfoInfo || op == Op::kGetDcd || op == Op::kGetRigInfo ||
         op == Op::kGetPowerstat;
}

}  // namespace

void Session::AnswerOne(const Command& command, const ReceiverView& view) {
  if (command.row < 0) return Reply(command, kNotAvailable);
  const auto arg = [&](std::size_t i) {
    return i < command.args.size() ? command.args[i] : std::string();
  };
  const Op op = kCommands[command.row].op;
  if (NeedsReceiver(op) && !view.present) return Reply(command, kIoError);
  const std::string hz = std::to_string(view.frequencyHz);
  const std::string passband = std::to_string(NormalPassbandHz(view.mode));
  switch (op) {
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
      return AnswerChkVfo(command);
    case Op::kGetDcd:
      return Reply(command, kOk, {{"DCD", view.squelchOpen ? "1" : "0"}});
    case Op::kGetVfoList:
      // Hamlib's list ends with a blank (rigctld 4.5 adds a stray byte after it).
      return Reply(command, kOk, {{"VFOs", "VFOA VFOB MEM "}});
    case Op::kSetVfo:
      if (Among(arg(0), kOwnVfo)) return Reply(command, kOk);
      return Reply(command, Among(arg(0), kOtherVfos) ? kNotAvailable : kInvalidParameter);
    case Op::kDumpState:
      return Block(command, DumpState());
    case Op::kDumpCaps:
      return Block(command, DumpCaps() + "RPRT 0\n", false);
    case Op::kGetRigInfo:
      return Block(command, RigInfo(view) + "\n");
    case Op::kQuit:
      return AnswerQuit();
    case Op::kSetFreq:
    case Op::kSetMode:
      return TakeSet(command, view);
  }
}

void Session::AnswerChkVfo(const Command& command) {
  // rigctld answers this one without its RPRT line, also in the extended form.
  output_ += command.separator == 0 ? std::string("0\n")
                                    : "ChkVFO: 0" + std::string(1, command.separator);
  if (command.separator != 0 && command.separator != '\n') output_ += '\n';
}

void Session::AnswerQuit() {
  // Answered plainly in every form, as rigctld does; the client hangs up next.
  Reply({}, kOk);
  quit_ = true;
  lines_.clear();
  commands_.clear();
  unanswered_ = 0;
}

void Session::TakeSet(const Command& command, const ReceiverView& view) {
  const SetAsk ask = AskOf(kCommands[command.row].op, command.args);
  if (ask.code != kOk) return Reply(command, ask.code);
  if (!view.present) return Reply(command, kIoError);
  // The listener's bank, search, scan or transfer comes first, and the client learns it at
  // once rather than after it.
  if (view.setsRefused) return Reply(command, kRejected);
  pendingSet_ = ask.set;
  pendingCommand_ = command;
}

void Session::Block(const Command& command, const std::string& text, bool extendedEnd) {
  if (command.separator == 0) {
    output_ += text;
    return;
  }
  output_ += command.name + ":\n" + text;
  if (extendedEnd) Reply({}, kOk);
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
