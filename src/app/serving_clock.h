#pragma once
// The clock of a run with the network port: the time the panel spends waiting (a clip to
// its end, a reply, W's and Z's pauses) is spent answering the port's clients, so that a
// read never waits behind what the panel is doing.
#include <cstdint>
#include <string>

#include "core/panel.h"
#include "platform/clock.h"

namespace voskel {

class ServingClock : public platform::Clock {
 public:
  explicit ServingClock(platform::Clock& inner) : inner_(inner) {}

  // From here on, waits serve remote; nullptr waits plainly again.
  void ServeDuringWaits(Panel* panel) { panel_ = panel; }

  std::int64_t NowMs() override { return inner_.NowMs(); }
  void SleepMs(std::int64_t ms) override {
    if (ms <= 0) return;
    if (panel_ == nullptr || panel_->remote == nullptr) return inner_.SleepMs(ms);
    const std::int64_t end = inner_.NowMs() + ms;
    panel_->remote->Wait(*panel_, ms);
    if (const std::int64_t left = end - inner_.NowMs(); left > 0) inner_.SleepMs(left);
  }
  std::string LocalDate() override { return inner_.LocalDate(); }
  std::string LocalTime() override { return inner_.LocalTime(); }

 private:
  platform::Clock& inner_;
  Panel* panel_ = nullptr;
};

}  // namespace voskel
