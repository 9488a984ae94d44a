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
  if (s.BankState != BankState::kSelected) return;
  // An edit of the selected bank itself (T or P into it) leaves its new image in memory;
  // any other edit left another bank there. Either way the channel stays the one selected.
  if (s.BankFileName != name && LoadBankForUse(panel, name) != BankUse::kSound) {
    s.BankState = BankState::kNone;
    return;
  }
  const int end = SealBank(s);
  s.LastChannelIndex = end - 2;
  s.ChannelIndex = channel < end ? channel : kFirstChannel;
  if (end == kFirstChannel) s.BankState = BankState::kNone;
}

}  // namespace voskel
