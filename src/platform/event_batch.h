#pragma once
// The order in which one batch of window events reaches the event handler.
#include <vector>

#include "platform/window.h"

namespace voskel::platform {

// Key and close events keep their arrival order and come first; a window that is closed
// by its close box reports the request twice, so only the first close is kept. All timer
// ticks of the batch become one tick at the end, so keys typed during a long step are
// queued before the poll cycle moves on.
std::vector<Event> OrderBatch(std::vector<Event> events);

}  // namespace voskel::platform
