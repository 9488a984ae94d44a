#pragma once
// The panel's state in Hamlib's terms: what a client reads, and which key sets a mode.
#include <optional>
#include <string>
#include <string_view>

#include "core/panel_state.h"
#include "receiver/receiver_settings.h"
#include "remote/rigctl_protocol.h"

namespace voskel {

// The receiver as the panel last knew it; also while it is lost.
rigctl::ReceiverView ViewOf(const PanelState& s);
// A mode word of the panel ("CW ", "AUT") by Hamlib's name; empty for the automatic mode,
// in which the receiver picks the mode and the panel does not learn which.
std::string HamlibMode(std::string_view modeName);
// The meter in dB relative to S9: a meter unit is an S-unit of 6 dB up to S9 and 10 dB
// above it; a closed squelch reads as S0.
int StrengthDb(int signalLevel, bool quiet);
// The panel's mode by Hamlib's name; none for a name the panel has no mode for.
std::optional<Mode> ModeOf(std::string_view hamlibMode);
// A client's set would end what the listener holds the receiver in: the bank selected or
// scanned, a search, the receiver's memory scan, W's entry or the bank transfer of W or Z.
bool ListenerHoldsReceiver(const PanelState& s);

}  // namespace voskel
