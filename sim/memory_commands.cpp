// The memory-bank commands of the simulated receiver: write, recall, list, pass, scan
// start, bank size and bank clear.
#include <algorithm>
#include <cstdio>

#include "engine.h"
#include "number_forms.h"

namespace voskel::sim {

std::optional<ChannelRef> Engine::ParseChannel(std::string_view text) const {
  if (text.size() != 3) return std::nullopt;
  const auto bank = BankIndex(text[0]);
  if (!bank || text[1] < '0' || text[1] > '9' || text[2] < '0' || text[2] > '9') {
    return std::nullopt;
  }
  const ChannelRef ref{*bank, (text[1] - '0') * 10 + (text[2] - '0')};
  if (!Usable(ref)) return std::nullopt;
  return ref;
}

void Engine::MemoryScan(std::string_view arg) {
  if (arg.empty()) {
    if (activity_ == Activity::kScan) {
      if (halted_) MoveOn();
      Reply("");
      return;
    }
    // Resume the scan of the current channel's bank, past the current channel.
    std::vector<int> banks = scanBanks_;
    if (std::find(banks.begin(), banks.end(), current_.bank) == banks.end()) {
      banks = {current_.bank};
    }
    Reply(StartScan(banks, false) ? "" : "?");
    return;
  }
  std::vector<int> banks;
  for (char letter : arg) {
    const auto bank = BankIndex(letter);
    if (!bank || std::find(banks.begin(), banks.end(), *bank) != banks.end()) {
      Reply("?");
      return;
    }
    banks.push_back(*bank);
  }
  // The panel sends the start twice in case the first is lost: one scan all the same.
  if (activity_ == Activity::kScan && banks == scanBanks_) {
    Reply("");
    return;
  }
  Reply(StartScan(banks, true) ? "" : "?");
}

void Engine::MemoryRecall(std::string_view arg) {
  if (arg.empty()) {
    // A halted or running scan stops on its channel.
    if (activity_ != Activity::kScan) EnterChannel(current_);
    activity_ = Activity::kMemory;
    halted_ = false;
    Reply(Report(current_));
    return;
  }
  const auto ref = ParseChannel(arg);
  if (!ref) {
    Reply("?");
    return;
  }
  EnterChannel(*ref);
  activity_ = Activity::kMemory;
  halted_ = false;
  Reply(Report(*ref));
}

void Engine::MemoryPass(std::string_view arg) {
  const auto value = ParseDigit(arg, 1);
  Channel& channel = ChannelAt(current_);
  if (!value || !channel.stored) {
    Reply("?");
    return;
  }
  if (channel.passed != (*value == 1)) {
    channel.passed = *value == 1;
    MemoryChanged();
  }
  Reply("");
}

namespace {

// One field of a written channel ("RF0145.500000", "MD1", ...) into the channel; false for
// a field the receiver does not know or a value out of range.
bool ReadChannelField(std::string_view field, std::string_view value, Channel& written) {
  if (field == "RF") {
    const auto hz = ParseFrequency(value);
    if (hz) written.hz = *hz;
    return hz.has_value();
  }
  if (field == "ST") {
    const auto step = ParseStep(value);
    if (step) written.stepHz = *step;
    return step.has_value();
  }
  if (field == "MD") {
    const auto mode = ParseDigit(value, kModeCount - 1);
    if (mode) written.mode = *mode;
    return mode.has_value();
  }
  if (field == "AU") return ParseDigit(value, 1).has_value();
  if (field == "AT" || field == "MP") {
    const auto flag = ParseDigit(value, 1);
    if (flag) (field == "AT" ? written.attenuator : written.passed) = *flag == 1;
    return flag.has_value();
  }
  return false;
}

}  // namespace

void Engine::MemoryWrite(std::string_view arg) {
  const auto ref = ParseChannel(arg.substr(0, 3));
  if (!ref) {
    Reply("?");
    return;
  }
  Channel written;
  written.stored = true;
  written.stepHz = stepHz_;
  written.mode = mode_;
  written.attenuator = attenuator_;
  bool haveFrequency = false;
  std::string_view rest = arg.substr(3);
  while (true) {
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    if (rest.empty()) break;
    if (rest.size() < 2) {
      Reply("?");
      return;
    }
    const std::string_view field = rest.substr(0, 2);
    rest.remove_prefix(2);
    if (field == "TM") {
      // The tag is the rest of the line, blanks and all.
      written.tag = FitTag(rest);
      break;
    }
    const std::string_view value = rest.substr(0, rest.find(' '));
    rest.remove_prefix(value.size());
    if (!ReadChannelField(field, value, written)) {
      Reply("?");
      return;
    }
    haveFrequency = haveFrequency || field == "RF";
  }
  if (!haveFrequency) {
    Reply("?");
    return;
  }
  ChannelAt(*ref) = written;
  MemoryChanged();
  Reply("");
}

void Engine::MemoryList(std::string_view arg) {
  if (!arg.empty()) {
    const auto bank = arg.size() == 1 ? BankIndex(arg[0]) : std::nullopt;
    if (!bank) {
      Reply("?");
      return;
    }
    listNext_ = {*bank, 0};
  }
  // Ten channels a time; past a bank's last usable channel the list goes on in the next.
  for (int i = 0; i < 10; ++i) {
    Reply(Report(listNext_));
    ++listNext_.number;
    if (listNext_.number >= memory_.banks[listNext_.bank].size) {
      listNext_ = {(listNext_.bank + 1) % kBankCount, 0};
    }
  }
}

void Engine::BankSize(std::string_view arg) {
  const auto bank = arg.empty() ? std::nullopt : BankIndex(arg[0]);
  if (!bank) {
    Reply("?");
    return;
  }
  const std::string_view digits = arg.substr(1);
  if (digits.empty()) {
    char text[16];
    std::snprintf(text, sizeof text, "MW%c %03d", BankLetter(*bank), memory_.banks[*bank].size);
    Reply(text);
    return;
  }
  int size = 0;
  for (char c : digits) {
    if (c < '0' || c > '9' || digits.size() > 3) {
      Reply("?");
      return;
    }
    size = size * 10 + (c - '0');
  }
  if (size < 1 || size > kChannelsPerBank) {
    Reply("?");
    return;
  }
  // Rearranging the memory takes the receiver a while; it answers when done.
  sizing_ = true;
  sizingBank_ = *bank;
  sizingSize_ = size;
  sizingDoneMs_ = nowMs_ + kBankSizeMs;
}

void Engine::FinishBankSize() {
  sizing_ = false;
  Bank& bank = memory_.banks[sizingBank_];
  if (bank.size != sizingSize_) {
    bank.size = sizingSize_;
    for (int number = bank.size; number < kChannelsPerBank; ++number) {
      bank.channels[number] = Channel();
    }
    MemoryChanged();
  }
  char text[16];
  std::snprintf(text, sizeof text, "MW%c %03d", BankLetter(sizingBank_), bank.size);
  Reply(text);
  std::string held;
  held.swap(heldInput_);
  droppingHeld_ = false;
  Input(held);
}

void Engine::BankClear(std::string_view arg) {
  const auto bank = arg.size() == 3 ? BankIndex(arg[0]) : std::nullopt;
  if (!bank || arg.substr(1) != "%%") {
    Reply("?");
    return;
  }
  for (Channel& channel : memory_.banks[*bank].channels) channel = Channel();
  MemoryChanged();
  Reply("");
}

}  // namespace voskel::sim
