#pragma once
// The function keys of the mode commands: F1 FM, F2 AM, F3 LSB, F4 USB, F5 WFM, F6 CW,
// F7 automatic. The listener's keys and a network client's mode settings press the same.
#include "receiver/receiver_settings.h"

namespace voskel {

int ModeKeyFor(Mode mode);
// The mode of a key from F1 to F7.
Mode ModeOfKey(int key);

}  // namespace voskel
