#include "banks/stored_state.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "core/receiver_mode.h"
#include "platform/atomic_file.h"
#include "receiver/frequency_text.h"

namespace voskel {
namespace {

bool KnownMode(const std::string& mode) {
  return ModeNamed(mode) != nullptr;
}

// The field a limit or step entry types into, as it stood before the entry.
std::string InForce(const PanelState& s, EntryMode entry, const std::string& field) {
  return s.EntryMode == entry && !s.FreshEntry ? s.LimitBefore : field;
}

std::string Key(const StoredSettings& settings) {
  return settings.mode + '\n' + settings.frequency + '\n' + settings.low + '\n' +
         settings.high + '\n' + settings.step;
}

}  // namespace

StoredSettings SettingsInForce(const PanelState& s) {
  return {s.ModeName, s.Frequency, InForce(s, EntryMode::kSearchStart, s.SearchLow),
          InForce(s, EntryMode::kSearchEnd, s.SearchHigh), InForce(s, EntryMode::kStep, s.StepText)};
}

StoredSettings DefaultSettings() {
  return {"FM", "145", "145", "146", "12.5"};
}

StoredRecord ReadStoredSettings(const BankImage& lines, StoredSettings& settings) {
  if (lines[0].rfind("***", 0) != 0) return StoredRecord::kNone;
  const StoredSettings read{lines[1], lines[2], lines[3], lines[4], lines[5]};
  if (!KnownMode(read.mode) || !TunableFrequency(read.frequency) || !TunableFrequency(read.low) ||
      !TunableFrequency(read.high) || !UsableStep(read.step))
    return StoredRecord::kDamaged;
  settings = read;
  return StoredRecord::kRead;
}

BankImage StateRecord(const StoredSettings& settings, const std::string& title) {
  BankImage lines{};
  const std::string record[] = {title,         settings.mode, settings.frequency, settings.low,
                                settings.high, settings.step, kEndMarker,         "     "};
  std::copy(std::begin(record), std::end(record), lines.begin());
  return lines;
}

void KeepStoredState(Panel& panel) {
  auto& s = panel.state;
  const StoredSettings now = SettingsInForce(s);
  const std::string key = Key(now);
  if (key == s.KeptState) return;
  const std::string title = s.TitleLine + "  " + panel.clock.LocalDate() + "  " +
                            panel.clock.LocalTime();
  // A write that fails (a full disk) is tried again at the next change; bank00.dat still
  // gets the state at the end of the run.
  if (WriteBankFile(panel.workDir / kStateFileName, StateRecord(now, title.substr(0, kMaxText))))
    s.KeptState = key;
}

}  // namespace voskel

namespace voskel {
namespace {

std::string PassListText(const PanelState& s) {
  std::string text;
  for (int slot = 1; slot < s.PassCount && slot < kPassSlots; ++slot)
    text += s.PassList[static_cast<std::size_t>(slot)] + "\r\n";
  return text;
}

bool IsChannel(const std::string& line) {
  return line.size() == 3 && line[0] >= 'A' && line[0] <= 'J' && line[1] >= '0' &&
         line[1] <= '9' && line[2] >= '0' && line[2] <= '9';
}

}  // namespace

void KeepPassList(Panel& panel) {
  auto& s = panel.state;
  const std::string text = PassListText(s);
  if (text == s.KeptPasses) return;
  const auto path = panel.workDir / kPassFileName;
  std::error_code ignored;
  const bool kept = text.empty() ? std::filesystem::remove(path, ignored) || !std::filesystem::exists(path)
                                 : platform::WriteFileAtomically(path, text);
  if (kept) s.KeptPasses = text;
}

void RestorePassList(Panel& panel) {
  auto& s = panel.state;
  std::ifstream file(panel.workDir / kPassFileName);
  for (std::string line; std::getline(file, line) && s.PassCount < kPassSlots;) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (IsChannel(line)) s.PassList[static_cast<std::size_t>(s.PassCount++)] = line;
  }
  s.KeptPasses = PassListText(s);
}

}  // namespace voskel
