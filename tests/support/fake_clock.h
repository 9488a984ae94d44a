#pragma once
#include <functional>
#include <string>

#include "platform/clock.h"

namespace voskel::testing {

// Virtual time: SleepMs only moves the clock on, and lets a test run something meanwhile
// (a simulated receiver answering while the panel pauses).
class FakeClock : public platform::Clock {
 public:
  std::int64_t NowMs() override { return now; }
  void SleepMs(std::int64_t ms) override {
    if (ms <= 0) return;
    now += ms;
    if (onSleep) onSleep(ms);
  }
  std::string LocalDate() override { return date; }
  std::string LocalTime() override { return time; }

  std::int64_t now = 0;
  std::string date = "05-12-2026";
  std::string time = "19:27:34";
  std::function<void(std::int64_t)> onSleep;
};

}  // namespace voskel::testing
