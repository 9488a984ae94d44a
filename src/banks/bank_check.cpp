#include "banks/bank_check.h"

#include <algorithm>
#include <string>

#include "core/receiver_mode.h"
#include "platform/latin1_text.h"
#include "receiver/frequency_text.h"

namespace voskel {
namespace {

constexpr std::string_view kSearchListName = "Srchbank";

bool HasControlByte(const std::string& line) {
  return std::any_of(line.begin(), line.end(),
                     [](char c) { return platform::IsControlCode(static_cast<unsigned char>(c)); });
}

// A bank's mode line takes any mode's name: the panel's own, and "CW" as a memory scan
// reads it back from the receiver.
bool IsBankMode(const std::string& line) {
  return ModeNamed(line) != nullptr;
}

// What is wrong with line i, a line before the end marker; nothing when it is sound.
std::optional<std::string_view> LineDamage(int i, const std::string& line) {
  if (HasControlByte(line)) return "holds a control character";
  if (i == 1 && !IsBankMode(line)) return "is no mode a bank holds";
  if (i == 2 && !UsableStep(line)) return "is no step the receiver takes";
  if (i >= kFirstChannel && i % 2 == 0 && !TunableFrequency(line))
    return line.empty() ? "is missing: the file ends without its end marker"
                        : "is no frequency the receiver tunes";
  return std::nullopt;
}

}  // namespace

std::optional<DamagedLine> BankDamage(const BankImage& lines) {
  for (int i = 0; i < kBankFileLines; ++i) {
    const std::string& line = lines[static_cast<std::size_t>(i)];
    const bool shortSearchList = i == kSearchListEndLine && lines[0] == kSearchListName;
    if (line == kEndMarker && (shortSearchList || (i >= kFirstChannel && i % 2 == 0)))
      return std::nullopt;
    if (const std::optional<std::string_view> why = LineDamage(i, line))
      return DamagedLine{i, *why};
  }
  return DamagedLine{kLastEndLine, "leaves no room for the end marker"};
}

std::optional<DamagedLine> BankDamage(const Bank& bank) { return BankDamage(ImageOf(bank)); }

}  // namespace voskel
