#pragma once
// Getting back a receiver that answered and then went away (unplugged, switched off, an
// adapter that reset, a line that stalled).
#include "core/panel.h"

namespace voskel {

// How often the port of a lost receiver is opened again and asked for the level.
inline constexpr std::int64_t kReconnectEveryMs = 1000;

// One poll step while the receiver is lost: takes a level reply as its return, and once a
// second closes its port, opens it again and asks for the level. Never waits.
void SeekLostReceiver(Panel& panel);
// The panel's frequency, mode, step and attenuator to the receiver, as at start-up: for a
// receiver that came back, or that answered for the first time after start-up.
void GiveSettings(Panel& panel);
// The meter line says the receiver is lost until it answers again.
void ShowReceiverLost(Panel& panel);

}  // namespace voskel
