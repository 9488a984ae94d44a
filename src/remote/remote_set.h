#pragma once
// A client's setting carried out the way the listener's own keys carry it out: the
// frequency typed digit by digit and Enter, the mode by its function key. So a running
// search or scan ends as Enter ends it, the listener hears and sees the change, the range
// is checked and the debug log records it.
#include "core/panel.h"
#include "remote/rigctl_protocol.h"

namespace voskel {

// Hamlib's code for the client: kOk when the receiver took the setting, kRejected when
// the listener is part-way through an entry (left as it was) or the receiver did not take
// it, kIoError while the receiver is not there. Throws ReceiverLost as a key would.
int RunRemoteSet(Panel& panel, const rigctl::SetRequest& set);

}  // namespace voskel
