#include "banks/bank_image.h"

#include "banks/bank_file.h"

namespace voskel {

int ChannelEnd(const PanelState& state) {
  for (int i = kFirstChannel; i <= kLastEndLine; i += 2)
    if (BankLine(state, i) == kEndMarker) return i;
  for (int i = kFirstChannel; i <= kLastEndLine; i += 2)
    if (BankLine(state, i).empty()) return i;
  return kLastEndLine;
}

int SealBank(PanelState& state) {
  const int end = ChannelEnd(state);
  state.BankLines[static_cast<std::size_t>(end)] = kEndMarker;
  return end;
}

void Selection::Restore(Panel& panel) const {
  auto& s = panel.state;
  if (s.BankState != BankState::kSelected || s.BankFileName == name) return;
  s.BankFileName = name;
  LoadBank(panel);
  if (s.IoResult != 0) {
    s.BankState = BankState::kNone;
    return;
  }
  const int end = SealBank(s);
  s.LastChannelIndex = end - 2;
  s.ChannelIndex = channel;
  if (end == kFirstChannel) s.BankState = BankState::kNone;
}

}  // namespace voskel
