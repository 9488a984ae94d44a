#include "banks/bank_image.h"

#include "banks/bank_file.h"

namespace voskel {

int ChannelEnd(const PanelState& state) { return ChannelEnd(state.BankLines); }

int SealBank(PanelState& state) {
  const int end = ChannelEnd(state);
  state.BankLines[static_cast<std::size_t>(end)] = kEndMarker;
  return end;
}

void Selection::Restore(Panel& panel) const {
  auto& s = panel.state;
  if (s.BankState != 1 || s.BankFileName == name) return;
  s.BankFileName = name;
  LoadBank(panel);
  if (s.IoResult != 0) {
    s.BankState = 0;
    return;
  }
  const int end = SealBank(s);
  s.LastChannelIndex = end - 2;
  s.ChannelIndex = channel;
  if (end == kFirstChannel) s.BankState = 0;
}

}  // namespace voskel
