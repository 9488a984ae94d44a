#include "platform/tick_gate.h"

namespace voskel::platform {

bool TickGate::TryPost() {
  return !pending_.exchange(true, std::memory_order_acq_rel);
}

void TickGate::Taken() {
  pending_.store(false, std::memory_order_release);
}

}  // namespace voskel::platform
