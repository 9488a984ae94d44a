#include "remote/remote_set.h"

#include <string>
#include <vector>

#include "core/text.h"
#include "keys/entry_edit.h"
#include "keys/handle_key.h"
#include "panel/pen.h"
#include "platform/virtual_keys.h"
#include "receiver/frequency_text.h"
#include "remote/panel_view.h"

namespace voskel {
namespace {

// The frequency as a listener types it: whole MHz, then the point and the fraction
// when there is one ("145", "0.5", not the kept "145." and ".5").
std::string TypedMhz(std::int64_t hz) {
  std::string text = HzToMhzText(hz);
  if (text.front() == '.') text.insert(0, 1, '0');
  if (text.back() == '.') text.pop_back();
  return text;
}

std::vector<int> KeysFor(const rigctl::SetRequest& set) {
  if (set.kind == rigctl::SetRequest::Kind::kMode) return {ModeKeyOf(set.mode)};
  std::vector<int> typed;
  for (char c : TypedMhz(set.hz)) typed.push_back(c == '.' ? keys::kPoint : c);
  typed.push_back(keys::kEnter);
  return typed;
}

// Where the key step leaves the pen for the key commands that draw without moving it.
void PressKey(Panel& panel, int key) {
  MoveTo(panel, 340, 370);
  SetFont(panel, "Ariel", 50, 700);
  panel.state.CurrentKey = key;
  HandleKey(panel);
}

bool ReceiverHas(const PanelState& s, const rigctl::SetRequest& set) {
  if (set.kind == rigctl::SetRequest::Kind::kMode) return HamlibMode(s.ReceiverMode) == set.mode;
  return !s.ReceiverFrequency.empty() && MhzTextToHz(s.ReceiverFrequency) == set.hz;
}

}  // namespace

int RunRemoteSet(Panel& panel, const rigctl::SetRequest& set) {
  auto& s = panel.state;
  if (s.ConnectState != ConnectState::kConnected) return rigctl::kIoError;
  // After Q nothing more is done to the receiver: the run is ending.
  if (!s.RunFlag) return rigctl::kIoError;
  // The person at the keyboard comes first.
  if (EntryInProgress(s)) return rigctl::kRejected;
  const std::vector<int> presses = KeysFor(set);
  if (presses.front() == 0) return rigctl::kInvalidParameter;
  s.LogLine = Cap("**rigctl " + (set.kind == rigctl::SetRequest::Kind::kMode
                                     ? "M " + set.mode
                                     : "F " + std::to_string(set.hz)));
  WriteLogLine(panel);
  const int refusedBefore = s.RefusedCount;
  for (int key : presses) PressKey(panel, key);
  // Only what the receiver took counts: digits typed during the panel's bank scan, for
  // one, are not taken, and Enter only ends the scan.
  return s.RefusedCount == refusedBefore && ReceiverHas(s, set) ? rigctl::kOk : rigctl::kRejected;
}

}  // namespace voskel
