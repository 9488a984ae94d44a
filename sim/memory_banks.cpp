#include "memory_banks.h"

#include <cstdio>

#include "number_forms.h"

namespace voskel::sim {
namespace {

constexpr std::array<std::string_view, kModeCount> kModeNames = {"WFM", "FM",  "AM",  "USB", "LSB",
                                                                 "CW",  "NFM", "WAM", "NAM"};

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    const std::size_t start = i;
    while (i < text.size() && text[i] != ' ' && text[i] != '\t') ++i;
    if (i > start) words.push_back(text.substr(start, i - start));
  }
  return words;
}

std::optional<int> SmallNumber(std::string_view text, int low, int high) {
  if (text.empty() || text.size() > 3) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < low || value > high) return std::nullopt;
  return value;
}

std::optional<int> ModeFromText(std::string_view text) {
  for (int mode = 0; mode < kModeCount; ++mode) {
    if (text == kModeNames[mode]) return mode;
  }
  return SmallNumber(text, 0, kModeCount - 1);
}

std::optional<bool> Flag(std::string_view text, std::string_view yes, std::string_view no) {
  if (text == yes || text == "1") return true;
  if (text == no || text == "0") return false;
  return std::nullopt;
}

// "A05 145.500000 MHz step 12.500 kHz mode FM att off pass no tag "REPEATER    ""
bool ParseChannelLine(std::string_view line, MemoryBanks& memory, std::string& why) {
  const auto tagAt = line.find(" tag \"");
  const auto lastQuote = line.rfind('"');
  if (tagAt == std::string_view::npos || lastQuote <= tagAt + 5) {
    why = "channel line without tag \"...\"";
    return false;
  }
  const std::string_view tag = line.substr(tagAt + 6, lastQuote - (tagAt + 6));
  const auto words = Words(line.substr(0, tagAt));
  if (words.size() != 12 || words[2] != "MHz" || words[3] != "step" || words[5] != "kHz" ||
      words[6] != "mode" || words[8] != "att" || words[10] != "pass") {
    why = "expected: A05 145.500000 MHz step 12.500 kHz mode FM att off pass no tag \"...\"";
    return false;
  }
  const std::string_view id = words[0];
  const auto bank = id.size() == 3 ? BankIndex(id[0]) : std::nullopt;
  const auto number = bank ? SmallNumber(id.substr(1), 0, kChannelsPerBank - 1) : std::nullopt;
  const auto hz =
      words[1].find('.') == std::string_view::npos ? std::nullopt : ParseFrequency(words[1]);
  const auto step =
      words[4].find('.') == std::string_view::npos ? std::nullopt : ParseStep(words[4]);
  const auto mode = ModeFromText(words[7]);
  const auto att = Flag(words[9], "on", "off");
  const auto passed = Flag(words[11], "yes", "no");
  if (!number || !hz || !step || !mode || !att || !passed) {
    why = "bad channel, frequency, step, mode or flag";
    return false;
  }
  Channel& channel = memory.banks[*bank].channels[*number];
  channel.stored = true;
  channel.hz = *hz;
  channel.stepHz = *step;
  channel.mode = *mode;
  channel.attenuator = *att;
  channel.passed = *passed;
  channel.tag = FitTag(tag);
  return true;
}

}  // namespace

std::optional<int> BankIndex(char letter) {
  if (letter < 'A' || letter >= 'A' + kBankCount) return std::nullopt;
  return letter - 'A';
}

char BankLetter(int bank) {
  return static_cast<char>('A' + bank);
}

std::string FitTag(std::string_view tag) {
  std::string fitted(tag.substr(0, kTagLength));
  for (char& c : fitted) {
    if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126) c = ' ';
  }
  fitted.resize(kTagLength, ' ');
  return fitted;
}

std::string_view ModeName(int mode) {
  return mode >= 0 && mode < kModeCount ? kModeNames[mode] : std::string_view("?");
}

std::string ChannelReport(int bank, int number, const Channel& channel) {
  char head[8];
  std::snprintf(head, sizeof head, "MX%c%02d", BankLetter(bank), number);
  std::string report = head;
  if (!channel.stored) return report + " ---";
  report += channel.passed ? " MP1 RF" : " MP0 RF";
  report += FrequencyDigits(channel.hz);
  report += " ST" + StepDigits(channel.stepHz);
  report += " AU0 MD" + std::to_string(channel.mode);
  report += channel.attenuator ? " AT1 TM" : " AT0 TM";
  report += FitTag(channel.tag);
  return report;
}

std::string FormatMemoryFile(const MemoryBanks& memory) {
  std::string text =
      "# ar8600-sim memory banks.\n"
      "# bank LETTER SIZE: channels 00..SIZE-1 of the bank are usable.\n"
      "# A05 145.500000 MHz step 12.500 kHz mode FM att off pass no tag \"TWELVE CHARS\"\n"
      "# Modes: WFM FM AM USB LSB CW NFM WAM NAM. Channels not listed are empty.\n";
  char line[160];
  for (int bank = 0; bank < kBankCount; ++bank) {
    std::snprintf(line, sizeof line, "bank %c %d\n", BankLetter(bank), memory.banks[bank].size);
    text += line;
  }
  for (int bank = 0; bank < kBankCount; ++bank) {
    for (int number = 0; number < kChannelsPerBank; ++number) {
      const Channel& channel = memory.banks[bank].channels[number];
      if (!channel.stored) continue;
      std::snprintf(
          line, sizeof line,
          "%c%02d %lld.%06lld MHz step %lld.%03lld kHz mode %s att %s pass %s tag \"%s\"\n",
          BankLetter(bank), number, static_cast<long long>(channel.hz / 1'000'000),
          static_cast<long long>(channel.hz % 1'000'000),
          static_cast<long long>(channel.stepHz / 1000),
          static_cast<long long>(channel.stepHz % 1000),
          std::string(ModeName(channel.mode)).c_str(), channel.attenuator ? "on" : "off",
          channel.passed ? "yes" : "no", FitTag(channel.tag).c_str());
      text += line;
    }
  }
  return text;
}

MemoryParse ParseMemoryFile(std::string_view text) {
  MemoryParse result;
  int lineNumber = 0;
  while (!text.empty()) {
    ++lineNumber;
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const auto words = Words(line);
    if (words.empty() || words[0].front() == '#') continue;
    std::string why;
    if (words[0] == "bank") {
      const auto bank =
          words.size() == 3 && words[1].size() == 1 ? BankIndex(words[1][0]) : std::nullopt;
      const auto size = bank ? SmallNumber(words[2], 1, kChannelsPerBank) : std::nullopt;
      if (size) {
        result.memory.banks[*bank].size = *size;
        continue;
      }
      why = "expected: bank LETTER SIZE (A..J, 1..100)";
    } else if (ParseChannelLine(line, result.memory, why)) {
      continue;
    }
    result.errors.push_back("line " + std::to_string(lineNumber) + ": " + why);
  }
  // A channel past its bank's size cannot be reached; keep the banks consistent.
  for (int bank = 0; bank < kBankCount; ++bank) {
    Bank& b = result.memory.banks[bank];
    for (int number = b.size; number < kChannelsPerBank; ++number) {
      if (b.channels[number].stored) {
        result.errors.push_back(std::string("channel ") + BankLetter(bank) +
                                (number < 10 ? "0" : "") + std::to_string(number) +
                                " lies past the bank's size and was dropped");
        b.channels[number] = Channel();
      }
    }
  }
  return result;
}

}  // namespace voskel::sim
