// Writing a bank file into a receiver memory bank, and setting the receiver's bank sizes.
// Both are long sequences paced by pauses. The channels are given time, never asked whether
// they arrived; a bank size change is waited for only until the receiver answers.
#include "banks/bank_transfer.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "banks/bank_file.h"
#include "banks/bank_image.h"
#include "core/text.h"
#include "link/exchange.h"
#include "voice/voice.h"

namespace voskel {
namespace {

constexpr int kLastReceiverChannel = 90;
constexpr int kPausesAfterWait = 10;
constexpr int kFirstChannelPauses = 7;
constexpr int kChannelsPerBeep = 11;
constexpr std::size_t kTagWidth = 12;
constexpr std::size_t kFrequencyDigits = 10;
constexpr std::size_t kMhzDigits = 4;

constexpr std::string_view kWantedSize = "90";
constexpr int kSizeQuestions = 20;
constexpr int kSizeWaitCycles = 3;
constexpr int kPausesPerCycle = 100;
constexpr int kPausesPerWaitBeep = 25;
// Enough reads to empty any backlog a receiver leaves, few enough to end while one babbles.
constexpr int kMaxDiscardReads = 16;

bool IsReceiverBankLetter(int c) {
  return c >= 'A' && c <= 'J';
}

void Pauses(Panel& panel, int count) {
  for (int i = 0; i < count; ++i) Pause(panel);
}

// The receiver's mode digit for a bank's mode line. The F6 key stores "CW " with its blank,
// so trailing blanks never count. A line that names no receiver mode ("AUT", junk) has no
// digit, and then no channel of the bank may be written.
std::optional<char> ModeDigit(std::string_view modeLine) {
  static constexpr std::string_view kModes[] = {"WFM", "FM", "AM", "USB", "LSB", "CW"};
  while (!modeLine.empty() && (modeLine.back() == ' ' || modeLine.back() == '\t'))
    modeLine.remove_suffix(1);
  for (std::size_t digit = 0; digit < std::size(kModes); ++digit)
    if (modeLine == kModes[digit]) return static_cast<char>('0' + digit);
  return std::nullopt;
}

// A frequency line the Hz field can carry: digits with at most one point, and no more MHz
// digits than the field's four once leading zeros are dropped. Anything else would put
// blanks or letters into the command, or a frequency the receiver reads as another.
bool IsWritableFrequency(std::string_view text) {
  const std::size_t point = text.find('.');
  std::string_view mhz = text.substr(0, point);
  const std::string_view decimals =
      point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
  const auto digits = [](std::string_view part) {
    return std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if (!digits(mhz) || !digits(decimals) || mhz.size() + decimals.size() == 0) return false;
  while (!mhz.empty() && mhz.front() == '0') mhz.remove_prefix(1);
  return mhz.size() <= kMhzDigits;
}

// The frequency in Hz as ten digits, taken from the text digit by digit so that nothing is
// rounded: the MHz filled with zeros to four digits in front, the decimals behind, zeros to
// ten. The MHz part is filled from its own digits, so "0.531" and "0145.5" keep their value.
// More than six decimals make the field longer; the receiver reads the first ten digits.
std::string FrequencyField(std::string_view text) {
  const std::size_t point = text.find('.');
  std::string_view mhz = text.substr(0, point);
  while (!mhz.empty() && mhz.front() == '0') mhz.remove_prefix(1);
  std::string field(kMhzDigits - std::min(mhz.size(), kMhzDigits), '0');
  field += mhz;
  if (point != std::string_view::npos) field += text.substr(point + 1);
  if (field.size() < kFrequencyDigits) field.append(kFrequencyDigits - field.size(), '0');
  return field;
}

std::string TwoDigits(int n) {
  return std::string(1, static_cast<char>('0' + n / 10)) + static_cast<char>('0' + n % 10);
}

std::string MemoryWriteCommand(char letter, int channel, std::string_view frequency, char mode,
                               std::string_view tag) {
  std::string fittedTag(tag.substr(0, kTagWidth));
  fittedTag.resize(kTagWidth, ' ');
  return Cap("MX" + std::string(1, letter) + TwoDigits(channel) + " RF" +
             FrequencyField(frequency) + " ST012500 MD" + mode + " TM" + fittedTag);
}

// The line after the last channel the receiver takes: at most channels 00 to 90.
int WriteEnd(const PanelState& s) {
  return std::min(ChannelEnd(s), kFirstChannel + 2 * (kLastReceiverChannel + 1));
}

// The write only reads a bank file. The image in memory (a bank selected for stepping, the
// search list while a search runs) is given back as it was however the write ends, also
// when a lost receiver cuts it short, so no later save can carry the written bank into
// another file or lose the list.
class KeptImage {
 public:
  explicit KeptImage(PanelState& s)
      : s_(s),
        lines_(s.BankLines),
        name_(s.BankFileName),
        last_(s.LastChannelIndex),
        channel_(s.ChannelIndex) {}
  ~KeptImage() {
    s_.BankLines = std::move(lines_);
    s_.BankFileName = std::move(name_);
    s_.LastChannelIndex = last_;
    s_.ChannelIndex = channel_;
  }
  KeptImage(const KeptImage&) = delete;
  KeptImage& operator=(const KeptImage&) = delete;

 private:
  PanelState& s_;
  std::array<std::string, kBankImageLines> lines_;
  std::string name_;
  int last_;
  int channel_;
};

bool AllFrequenciesWritable(const PanelState& s, int end) {
  for (int i = kFirstChannel; i < end; i += 2)
    if (!IsWritableFrequency(BankLine(s, i))) return false;
  return true;
}

// An answer still waiting from a bank set before (its "MW" line) would be read as the next
// bank's size; nothing that waits before a question answers it.
void DiscardWaiting(Panel& panel) {
  auto& s = panel.state;
  for (int reads = 0; reads < kMaxDiscardReads && panel.ports.BytesWaiting(s.PortNumber) > 0;
       ++reads)
    ReadRaw(panel);
  s.ReplyText.clear();
}

// The last two digits of the bank's size, which stand 5 and 6 places after the "MW" of the
// receiver's answer. A receiver that never answers with "MW" is given up after a bound.
std::optional<std::string> AskBankSize(Panel& panel, char letter) {
  auto& s = panel.state;
  DiscardWaiting(panel);
  for (int question = 0; question < kSizeQuestions; ++question) {
    if (question > 0) Pause(panel);
    s.CommandText = "MW" + std::string(1, letter);
    SendCommand(panel);
    Pause(panel);
    ReadReply(panel);
    const std::size_t at = s.ReplyText.find("MW");
    if (at != std::string::npos) return std::string(SubFrom(s.ReplyText, at + 5, 2));
  }
  return std::nullopt;
}

// Setting a size keeps the receiver busy for seconds; its answer says it is done, and is
// looked for after every pause. Beeps tell the listener the panel still waits; a receiver
// silent for all the cycles is given up, so the panel never hangs on it. False when the
// receiver stayed silent or refused the size.
bool AwaitBankSize(Panel& panel) {
  auto& s = panel.state;
  s.ReplyText.clear();
  for (int pause = 1; pause <= kSizeWaitCycles * kPausesPerCycle; ++pause) {
    Pause(panel);
    if (panel.ports.BytesWaiting(s.PortNumber) > 0) return AwaitAnswer(panel) != Answer::kRefused;
    if (pause % kPausesPerWaitBeep == 0) SpeakFixed(panel, "beep");
  }
  return false;
}

bool SetBankSize(Panel& panel, char letter) {
  auto& s = panel.state;
  Pause(panel);
  Speak(panel, std::string(1, letter));
  s.CommandText = "MW" + std::string(1, letter) + std::string(kWantedSize);
  SendCommand(panel);
  return AwaitBankSize(panel);
}

}  // namespace

void StartWriteEntry(Panel& panel) {
  auto& s = panel.state;
  s.EntryMode = EntryMode::kWriteBank;
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

void WriteEntryLetter(Panel& panel) {
  auto& s = panel.state;
  // Only A to J name a receiver bank: any other key would make the receiver empty a bank
  // that does not exist, and the write address it.
  if (s.EntryText.size() != 2 || !IsReceiverBankLetter(s.CurrentKey)) {
    Speak(panel, "inv");
    s.EntryMode = EntryMode::kNone;
    return;
  }
  const std::string letter(1, static_cast<char>(s.CurrentKey));
  s.EntryText += letter;
  Speak(panel, letter);
  s.CommandText = "MQ" + letter + "%%";
  SendCommand(panel);
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
  const KeptImage kept(s);
  const char letter = s.EntryText.size() == 3 ? s.EntryText[2] : '\0';
  s.BankFileName = Cap("bank" + s.EntryText.substr(0, 2) + ".dat");
  LoadBank(panel);
  if (s.IoResult > 0) return;
  const int end = WriteEnd(s);
  const std::optional<char> mode = ModeDigit(BankLine(s, 1));
  // Refused whole before anything is sent: a receiver bank half written from a bad file is
  // worse than one left as it was.
  if (!mode || !IsReceiverBankLetter(letter) || !AllFrequenciesWritable(s, end)) {
    Speak(panel, "inv");
    return;
  }
  Speak(panel, "wait");
  Pauses(panel, kPausesAfterWait);
  // The pauses are the only flow control towards the receiver: 7, 5 and 3 before the first
  // channels, then 1 before each.
  int pauses = kFirstChannelPauses;
  for (int i = kFirstChannel; i < end; i += 2) {
    Pauses(panel, pauses);
    pauses = pauses > 1 ? pauses - 2 : 1;
    const int channel = i / 2 - 2;
    s.CommandText = MemoryWriteCommand(letter, channel, BankLine(s, i), *mode, BankLine(s, i + 1));
    SendCommand(panel);
    // A beep after channels 9, 20, 31, ... 86 tells the listener the write goes on.
    if (channel % kChannelsPerBeep == kChannelsPerBeep - 2) Speak(panel, "beep");
  }
  Speak(panel, "ok");
}

void CheckReceiverBanks(Panel& panel) {
  for (char letter = 'A'; letter <= 'J'; ++letter) {
    const std::optional<std::string> size = AskBankSize(panel, letter);
    // A receiver that stopped answering is never told "ok"; the poll cycle takes over again.
    if (!size || (*size != kWantedSize && !SetBankSize(panel, letter))) {
      Speak(panel, "inv");
      return;
    }
  }
  Speak(panel, "ok");
}

}  // namespace voskel
