// Writing a bank file into a receiver memory bank, and setting the receiver's bank sizes.
// Both are long sequences paced by pauses; every memory write is answered before the next
// goes out, and a bank size change is waited for only until the receiver speaks again.
#include "banks/bank_transfer.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "banks/bank_check.h"
#include "banks/bank_file.h"
#include "banks/bank_image.h"
#include "core/text.h"
#include "link/exchange.h"
#include "link/reply_fields.h"
#include "platform/latin1_text.h"
#include "platform/virtual_keys.h"
#include "receiver/frequency_text.h"
#include "receiver/receiver_settings.h"
#include "voice/voice.h"

namespace voskel {
namespace {

constexpr int kLastReceiverChannel = 90;
constexpr int kPausesAfterWait = 10;
constexpr int kFirstChannelPauses = 7;
constexpr int kChannelsPerBeep = 11;
// The receiver tunes in steps of 50 Hz.
constexpr std::int64_t kGridHz = 50;
// A memory write is answered at once; a receiver that has not answered within this never
// took the channel.
constexpr std::int64_t kChannelAnswerMs = 1000;
// Ten channel reports, some 600 bytes: under a second even at 4800 baud.
constexpr std::int64_t kListingWaitMs = 2000;

constexpr std::string_view kWantedSize = "90";
constexpr int kSizeQuestions = 20;
// A bank takes the receiver a few seconds to rearrange: fifteen seconds of silence is one
// that has stopped answering.
constexpr int kSizeWaitCycles = 3;
constexpr int kPausesPerCycle = 25;
constexpr int kPausesPerWaitBeep = 25;

// An emptied receiver bank's channels are written anew, none of them passed: passes of its
// old channels are gone with them, and releasing them would be refused for ever.
void ForgetPassesIn(PanelState& s, char letter) {
  int kept = 1;
  for (int slot = 1; slot < s.PassCount && slot < kPassSlots; ++slot) {
    const std::string channel = s.PassList[static_cast<std::size_t>(slot)];
    if (channel.empty() || channel[0] != letter) s.PassList[static_cast<std::size_t>(kept++)] = channel;
  }
  s.PassCount = kept;
}

void Pauses(Panel& panel, int count) {
  for (int i = 0; i < count; ++i) Pause(panel);
}

// The Hz a frequency line is written as: a number as the keys type it, read exactly (no
// floating point), and rounded to the receiver's grid, halves up. Digits past the Hz never
// change the rounding: the distance above the grid step below is whole Hz plus less than
// one, so it reaches half a step exactly when its whole Hz do. Empty for any other text and
// for a frequency the receiver does not tune.
std::optional<std::int64_t> WritableHz(std::string_view text) {
  if (!IsNumberText(text)) return std::nullopt;
  std::int64_t hz = MhzTextToHz(text);
  const std::int64_t offGrid = hz % kGridHz;
  hz += 2 * offGrid >= kGridHz ? kGridHz - offGrid : -offGrid;
  if (!TunableHz(hz)) return std::nullopt;
  return hz;
}

// The first twelve characters of the tag line as the receiver keeps them, filled with
// blanks: it holds printable ASCII only, so anything else goes as a blank, and what is read
// back is what was sent. It would take some control bytes as keypad commands even inside
// a command line.
std::string TagField(std::string_view tag) {
  std::string field(tag.substr(0, kTagWidth));
  field.resize(kTagWidth, ' ');
  std::replace_if(
      field.begin(), field.end(),
      [](char c) { return static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7e; },
      ' ');
  return field;
}

std::string Digits(std::int64_t n, std::size_t width) {
  std::string text = std::to_string(n);
  if (text.size() < width) text.insert(0, width - text.size(), '0');
  return text;
}

std::string MemoryWriteCommand(char letter, int channel, std::int64_t hz, char mode,
                               std::string_view tag) {
  return "MX" + std::string(1, letter) + Digits(channel, 2) + " RF" + Digits(hz, 10) +
         " ST012500 MD" + mode + " TM" + TagField(tag);
}

// The channels the receiver takes: at most channels 00 to 90.
std::size_t WrittenChannels(const Bank& bank) {
  const auto channels = static_cast<std::size_t>((ChannelEnd(bank) - kFirstChannel) / 2);
  return std::min<std::size_t>({channels, bank.channels.size(), kLastReceiverChannel + 1});
}

// The memory-write commands for the bank, channels 00 to 90 (none for a bank without
// channels, which empties the receiver bank). Nothing when the bank cannot be written
// whole: no receiver mode, or a frequency line the receiver does not tune. A receiver bank
// half written from a bad file is worse than one left as it was.
std::optional<std::vector<std::string>> WriteCommands(const Bank& bank, char letter) {
  const std::optional<char> mode = BankModeDigit(bank.mode);
  if (!mode) return std::nullopt;
  std::vector<std::string> commands;
  const std::size_t count = WrittenChannels(bank);
  for (std::size_t k = 0; k < count; ++k) {
    const BankChannel& channel = bank.channels[k];
    const std::optional<std::int64_t> hz = WritableHz(channel.frequency);
    if (!hz) return std::nullopt;
    commands.push_back(MemoryWriteCommand(letter, static_cast<int>(k), *hz, *mode, channel.tag));
  }
  return commands;
}

// The commands that write the entry's bank file into receiver bank `letter`, or the clip
// that says why they cannot be had: "bnf", or "inv" for a damaged bank (cut short without
// its end marker, a control byte, no receiver mode, a frequency it does not tune) or one
// with more channels than the receiver bank holds when its size is known. Only the file is
// read: the bank in memory (a bank selected for stepping, the search list while a search
// runs) is never touched.
struct WritePlan {
  std::vector<std::string> commands;
  const char* refusal = nullptr;
};

WritePlan PlanWrite(Panel& panel, char letter) {
  const auto& s = panel.state;
  std::ifstream file;
  if (!OpenBankFile(panel.workDir / BankFileName(s.EntryText.substr(0, 2)), file))
    return {{}, "bnf"};
  BankImage lines{};
  ReadBankLines(file, lines);
  if (BankDamage(lines)) return {{}, "inv"};
  auto commands = WriteCommands(BankOf(lines), letter);
  const int size = s.ReceiverBankSizes[static_cast<std::size_t>(letter - 'A')];
  if (!commands || (size > 0 && static_cast<int>(commands->size()) > size)) return {{}, "inv"};
  return {std::move(*commands), nullptr};
}

// A channel's report as the receiver lists it holds what its memory write gave it: the
// channel, "RF" and its digits, "MD" and its digit, and the tag that ends the line.
bool ReadsBackAsWritten(std::string_view report, std::string_view command) {
  const std::size_t rf = command.find(" RF");
  const std::size_t md = command.find(" MD");
  const std::size_t tm = command.find(" TM");
  return report.substr(0, 5) == command.substr(0, 5) &&
         report.find(command.substr(rf, 14)) != std::string_view::npos &&
         report.find(command.substr(md, 4)) != std::string_view::npos &&
         report.ends_with(command.substr(tm + 1));
}

// Every channel written is read back from the receiver's memory, ten at a time, and
// compared: a write that arrived changed ("RF0144525000" stored as "RF0144425000") is no
// write. False at the first channel that differs, which the debug log names.
bool WrittenAsSent(Panel& panel, const std::vector<std::string>& commands, char letter) {
  constexpr std::size_t kListed = 10;
  for (std::size_t first = 0; first < commands.size(); first += kListed) {
    Pause(panel);
    DiscardWaiting(panel);
    SendCommand(panel, first == 0 ? "MA" + std::string(1, letter) : "MA");
    const std::vector<std::string> reports = AwaitLines(panel, kListed, kListingWaitMs);
    for (std::size_t k = 0; first + k < commands.size() && k < kListed; ++k) {
      const std::string& command = commands[first + k];
      if (k < reports.size() && ReadsBackAsWritten(reports[k], command)) continue;
      WriteLogLine(panel, Cap("W: channel " + command.substr(3, 2) + " of bank " +
                              command.substr(2, 1) + " reads back as " +
                              (k < reports.size() ? reports[k] : "nothing")));
      return false;
    }
  }
  return true;
}

// Names the channel the receiver did not take, for whoever reads the debug log.
void LogUnwritten(Panel& panel, std::string_view command, Answer answer) {
  WriteLogLine(panel, Cap("W: channel " + std::string(command.substr(3, 2)) + " of bank " +
                          std::string(command.substr(2, 1)) + " not written (" +
                          (answer == Answer::kRefused ? "refused" : "no answer") + ")"));
}

// The last two digits of the bank's size, which stand 5 and 6 places after the "MW" of the
// receiver's answer. A receiver that never answers with "MW" is given up after a bound.
std::optional<std::string> AskBankSize(Panel& panel, char letter) {
  // An answer still waiting from a bank set before (its "MW" line) would be read as the
  // next bank's size.
  DiscardWaiting(panel);
  for (int question = 0; question < kSizeQuestions; ++question) {
    if (question > 0) Pause(panel);
    SendCommand(panel, "MW" + std::string(1, letter));
    Pause(panel);
    if (std::optional<std::string> size = ReportedBankSize(ReadReply(panel).text)) return size;
  }
  return std::nullopt;
}

// Setting a size keeps the receiver busy for seconds; its answer says it is done, and is
// looked for after every pause. Beeps tell the listener the panel still waits; a receiver
// silent for all the cycles is given up, so the panel never hangs on it. False when the
// receiver stayed silent or refused the size.
bool AwaitBankSize(Panel& panel) {
  auto& s = panel.state;
  for (int pause = 1; pause <= kSizeWaitCycles * kPausesPerCycle; ++pause) {
    Pause(panel);
    if (panel.ports.BytesWaiting(s.PortNumber) > 0) return AwaitAnswer(panel) != Answer::kRefused;
    if (pause % kPausesPerWaitBeep == 0) SpeakFixed(panel, "beep");
  }
  return false;
}

// The size the two digits give; 0 (unknown) for anything else.
int SizeOf(std::string_view digits) {
  if (digits.size() != 2 || !keys::IsDigit(digits[0]) || !keys::IsDigit(digits[1])) return 0;
  return (digits[0] - '0') * 10 + (digits[1] - '0');
}

bool SetBankSize(Panel& panel, char letter) {
  Pause(panel);
  Speak(panel, std::string(1, letter));
  SendCommand(panel, "MW" + std::string(1, letter) + std::string(kWantedSize));
  return AwaitBankSize(panel);
}

}  // namespace

void StartWriteEntry(Panel& panel) {
  auto& s = panel.state;
  BeginEntry(s, EntryMode::kWriteBank);
  s.EntryText.clear();
  Speak(panel, "write");
  Speak(panel, "fromb");
}

void WriteEntryDigit(Panel& panel, char c) {
  auto& s = panel.state;
  if (s.EntryText.size() >= 2) {
    Speak(panel, "inv");
    s.EntryMode = EntryMode::kNone;
    return;
  }
  s.EntryText += c;
  if (s.EntryText.size() == 2) Speak(panel, "torb");
}

void WriteEntryLetter(Panel& panel, KeyCode key) {
  auto& s = panel.state;
  // Only A to J name a receiver bank: any other key would address a bank that does not
  // exist.
  if (s.EntryText.size() != 2 || !IsReceiverBankLetter(key)) {
    Speak(panel, "inv");
    s.EntryMode = EntryMode::kNone;
    return;
  }
  const char letter = static_cast<char>(key);
  s.EntryText += letter;
  Speak(panel, std::string(1, letter));
  // Checked now, so that the listener hears "bnf" or "inv" before Enter; nothing goes to
  // the receiver before Enter. A refused bank leaves the entry waiting for its Enter, which
  // then ends it quietly: an Enter left over would tune, end a search and drop the
  // selected bank.
  const WritePlan plan = PlanWrite(panel, letter);
  s.WriteRefused = plan.refusal != nullptr;
  if (s.WriteRefused) Speak(panel, plan.refusal);
}

void CommitWriteEntry(Panel& panel) {
  auto& s = panel.state;
  s.EntryMode = EntryMode::kNone;
  if (s.EntryText.size() == 3)
    WriteBankToReceiver(panel);
  else
    Speak(panel, "inv");
}

void WriteBankToReceiver(Panel& panel) {
  auto& s = panel.state;
  const char letter = s.EntryText[2];
  if (std::exchange(s.WriteRefused, false)) return;  // said at the letter
  // Read and checked again: what is written is the file as it is now.
  const WritePlan plan = PlanWrite(panel, letter);
  if (plan.refusal != nullptr) {
    Speak(panel, plan.refusal);
    return;
  }
  const std::vector<std::string>& commands = plan.commands;
  Speak(panel, "wait");
  Pauses(panel, kPausesAfterWait);
  // Only now, with Enter, is the receiver bank emptied.
  if (!SendSetting(panel, "MQ" + std::string(1, letter) + "%%")) return;
  ForgetPassesIn(s, letter);
  // The pauses give the receiver time: 7, 5 and 3 before the first channels, then 1 before
  // each. Each channel's answer comes before the next channel goes out.
  int pauses = kFirstChannelPauses;
  for (std::size_t channel = 0; channel < commands.size(); ++channel) {
    Pauses(panel, pauses);
    pauses = pauses > 1 ? pauses - 2 : 1;
    DiscardWaiting(panel);
    SendCommand(panel, commands[channel]);
    const Answer answer = AwaitAnswer(panel, kChannelAnswerMs);
    if (answer != Answer::kTaken) {
      LogUnwritten(panel, commands[channel], answer);
      Speak(panel, "inv");
      return;
    }
    // A beep after channels 9, 20, 31, ... 86 tells the listener the write goes on.
    if (channel % kChannelsPerBeep == kChannelsPerBeep - 2) Speak(panel, "beep");
  }
  Speak(panel, WrittenAsSent(panel, commands, letter) ? "ok" : "inv");
}

void CheckReceiverBanks(Panel& panel) {
  auto& s = panel.state;
  for (char letter = 'A'; letter <= 'J'; ++letter) {
    int& known = s.ReceiverBankSizes[static_cast<std::size_t>(letter - 'A')];
    const std::optional<std::string> size = AskBankSize(panel, letter);
    // A receiver that stopped answering is never told "ok"; the poll cycle takes over again.
    if (!size) {
      Speak(panel, "inv");
      return;
    }
    known = SizeOf(*size);
    if (*size == kWantedSize) continue;
    if (!SetBankSize(panel, letter)) {
      Speak(panel, "inv");
      return;
    }
    known = SizeOf(kWantedSize);
  }
  // Asked once more, every bank must say 90: an answer garbled on the line can read as
  // "90" where the size is another, and "ok" is only for what the receiver holds.
  for (char letter = 'A'; letter <= 'J'; ++letter) {
    if (AskBankSize(panel, letter) == kWantedSize) continue;
    s.ReceiverBankSizes[static_cast<std::size_t>(letter - 'A')] = 0;
    Speak(panel, "inv");
    return;
  }
  Speak(panel, "ok");
}

}  // namespace voskel
