#pragma once
// Opening the receiver's port: at start-up, and again while a receiver that went away is
// sought, by the same steps.
#include "core/panel.h"

namespace voskel {

// Opens port PortNumber at BaudRate, reads that never wait, 8 data bits, no parity, two
// stop bits. Whatever was open on that number is closed first.
void OpenReceiverPort(Panel& panel);

}  // namespace voskel
