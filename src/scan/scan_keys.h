#pragma once
// The keys that start a hunt for signals. R starts the receiver's search between the
// limits, or, with a bank selected, the panel's own scan through that bank; G, a letter
// and Enter start the receiver's scan of one of its memory banks; P while that scan holds
// on a signal passes the channel. The poll reactions follow each hunt from there.
#include "core/panel.h"

namespace voskel {

// R without a selected bank: a fresh search list, the limits, step and mode, then "VS".
void StartSearch(Panel& panel);
// R with a selected bank: the first channel is tuned; the quiet polls tune the rest.
void StartBankScan(Panel& panel);

// The key after G: a letter A to J chooses the receiver's bank, any other key cancels.
void ChooseRadioBank(Panel& panel, KeyCode key);
// Enter after G and a letter: reads the bank's first channels back, then "MS" + letter.
void StartMemoryScan(Panel& panel);
// P while the memory scan holds on a signal: the channel is marked passed and the scan
// goes on; ExitScan releases it.
void PassChannel(Panel& panel);

}  // namespace voskel
