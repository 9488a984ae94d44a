#include "remote/panel_view.h"

#include "receiver/frequency_text.h"

namespace voskel {
namespace {

constexpr int kS9 = 9;
constexpr int kDbPerSUnit = 6;
constexpr int kDbPerUnitAboveS9 = 10;

}  // namespace

std::string HamlibMode(std::string_view modeName) {
  while (!modeName.empty() && modeName.back() == ' ') modeName.remove_suffix(1);
  const ModeRow* row = HamlibModeRow(modeName);
  return row == nullptr ? std::string() : std::string(row->hamlib);
}

int StrengthDb(int signalLevel, bool quiet) {
  const int units = quiet ? 0 : signalLevel;
  if (units <= kS9) return (units - kS9) * kDbPerSUnit;
  return (units - kS9) * kDbPerUnitAboveS9;
}

std::optional<Mode> ModeOf(std::string_view hamlibMode) {
  const ModeRow* row = HamlibModeRow(hamlibMode);
  if (row == nullptr) return std::nullopt;
  return row->mode;
}

bool ListenerHoldsReceiver(const PanelState& s) {
  return s.BankState != BankState::kNone || IsSearching(s.SearchActive) ||
         IsMemoryScanning(s.ScanState) || s.EntryMode == EntryMode::kWriteBank || s.BankJobRunning;
}

rigctl::ReceiverView ViewOf(const PanelState& s) {
  rigctl::ReceiverView view;
  // The frequency line may show digits being typed; the receiver is where it was.
  view.frequencyHz = MhzTextToHz(s.ReceiverFrequency.empty() ? s.Frequency : s.ReceiverFrequency);
  view.mode = HamlibMode(s.ModeName);
  view.strengthDb = StrengthDb(s.SignalLevel, s.Quiet);
  view.attenuationDb = s.AttenuatorOn ? rigctl::kAttenuatorDb : 0;
  view.present = s.ConnectState == ConnectState::kConnected;
  view.squelchOpen = !s.Quiet;
  view.setsRefused = ListenerHoldsReceiver(s);
  return view;
}

}  // namespace voskel
