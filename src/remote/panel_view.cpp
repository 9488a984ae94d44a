#include "remote/panel_view.h"

#include "platform/virtual_keys.h"
#include "receiver/frequency_text.h"

namespace voskel {
namespace {

constexpr int kS9 = 9;
constexpr int kDbPerSUnit = 6;
constexpr int kDbPerUnitAboveS9 = 10;

struct ModeKey {
  std::string_view mode;
  int key;
};

// The function keys of the mode commands, as the listener presses them.
constexpr ModeKey kModeKeys[] = {
    {"FM", keys::kF1},      {"AM", keys::kF1 + 1},  {"LSB", keys::kF1 + 2},
    {"USB", keys::kF1 + 3}, {"WFM", keys::kF1 + 4}, {"CW", keys::kF1 + 5},
};

}  // namespace

std::string HamlibMode(std::string_view modeName) {
  while (!modeName.empty() && modeName.back() == ' ') modeName.remove_suffix(1);
  for (const ModeKey& row : kModeKeys)
    if (row.mode == modeName) return std::string(row.mode);
  return {};
}

int StrengthDb(int signalLevel, bool quiet) {
  const int units = quiet ? 0 : signalLevel;
  if (units <= kS9) return (units - kS9) * kDbPerSUnit;
  return (units - kS9) * kDbPerUnitAboveS9;
}

int ModeKeyOf(std::string_view hamlibMode) {
  for (const ModeKey& row : kModeKeys)
    if (row.mode == hamlibMode) return row.key;
  return 0;
}

rigctl::ReceiverView ViewOf(const PanelState& s) {
  rigctl::ReceiverView view;
  // The frequency line may show digits being typed; the receiver is where it was.
  view.frequencyHz = MhzTextToHz(s.ReceiverFrequency.empty() ? s.Frequency : s.ReceiverFrequency);
  view.mode = HamlibMode(s.ModeName);
  view.strengthDb = StrengthDb(s.SignalLevel, s.Quiet);
  view.attenuationDb = s.AttenuatorOn ? kAttenuatorDb : 0;
  return view;
}

}  // namespace voskel
