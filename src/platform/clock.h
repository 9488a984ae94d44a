#pragma once
#include <cstdint>
#include <string>

namespace voskel::platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds on a monotonic clock.
  virtual std::int64_t NowMs() = 0;
  virtual void SleepMs(std::int64_t ms) = 0;
  // Local date "dd-MM-yyyy" and time "hh:mm:ss".
  virtual std::string LocalDate() = 0;
  virtual std::string LocalTime() = 0;
};

class SystemClock : public Clock {
 public:
  std::int64_t NowMs() override;
  void SleepMs(std::int64_t ms) override;
  std::string LocalDate() override;
  std::string LocalTime() override;
};

}  // namespace voskel::platform
