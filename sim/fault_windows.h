#pragma once
// When the simulator is switched off or unplugged: spans of seconds since it started.
#include <cstdint>
#include <string_view>
#include <vector>

namespace voskel::sim {

struct Window {
  std::int64_t fromMs = 0;
  std::int64_t toMs = 0;
};

// "30-45" or "2.5-4": from second 30 to second 45. False for anything else, or an end
// before the start.
bool ParseWindow(std::string_view text, Window& window);
bool InWindow(const std::vector<Window>& windows, std::int64_t ms);

}  // namespace voskel::sim
