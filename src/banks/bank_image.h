#pragma once
// Where the channels of the bank image end, found without trusting the file: a bank
// written by hand may lack its end marker or carry it on the wrong line.
#include <string>

#include "core/panel.h"

namespace voskel {

inline constexpr int kFirstChannel = 4;
// The last line an end marker may stand on so that the saved file keeps it.
inline constexpr int kLastEndLine = 398;

// Line of the end marker: the first even line from 4 on that holds "9999"; without one,
// the first even line that is empty (the image beyond the file's end), at most line 398.
int ChannelEnd(const PanelState& state);

// Puts the end marker where ChannelEnd found it, so that a save keeps only the channels
// before it. Returns that line.
int SealBank(PanelState& state);

// The bank selected for stepping, remembered before an edit loads other banks into the
// one image, and loaded again afterwards so that the arrows and K still work on it.
struct Selection {
  explicit Selection(const PanelState& state)
      : name(state.BankFileName), channel(state.ChannelIndex) {}
  void Restore(Panel& panel) const;

  std::string name;
  int channel;
};

}  // namespace voskel
