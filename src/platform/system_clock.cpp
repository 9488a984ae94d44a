#include <chrono>
#include <ctime>
#include <thread>

#include "platform/clock.h"

namespace voskel::platform {
namespace {

std::string FormatNow(const char* picture) {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, picture, &local);
  return text;
}

}  // namespace

std::int64_t SystemClock::NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SystemClock::SleepMs(std::int64_t ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::string SystemClock::LocalDate() { return FormatNow("%d-%m-%Y"); }
std::string SystemClock::LocalTime() { return FormatNow("%H:%M:%S"); }

}  // namespace voskel::platform
