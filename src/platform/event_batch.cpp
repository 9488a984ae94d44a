#include "platform/event_batch.h"

#include <algorithm>

namespace voskel::platform {

std::vector<Event> OrderBatch(std::vector<Event> events) {
  bool tick = false;
  bool close = false;
  auto dropped = std::remove_if(events.begin(), events.end(), [&](const Event& event) {
    if (event.kind == Event::Kind::Timer) {
      tick = true;
      return true;
    }
    if (event.kind == Event::Kind::Close) {
      if (close) return true;
      close = true;
    }
    return false;
  });
  events.erase(dropped, events.end());
  if (tick) events.push_back(Event{Event::Kind::Timer, 0});
  return events;
}

}  // namespace voskel::platform
