#pragma once
// Where the channels of the bank in memory end, and the selection an edit keeps.
#include <string>

#include "banks/bank_lines.h"
#include "core/panel.h"

namespace voskel {

// Puts the end marker where ChannelEnd found it, so that a save keeps only the channels
// before it. Returns that line.
int SealBank(Bank& bank);

// The bank selected for stepping, remembered before an edit loads other banks into the
// one Bank, and loaded again afterwards so that the arrows and K still work on it.
struct Selection {
  explicit Selection(const PanelState& state)
      : name(state.BankFileName), channel(state.ChannelIndex) {}
  void Restore(Panel& panel) const;

  std::string name;
  int channel;
};

}  // namespace voskel
