#include "fault_windows.h"

#include <charconv>
#include <cmath>

namespace voskel::sim {
namespace {

bool Seconds(std::string_view text, std::int64_t& ms) {
  double seconds = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
  if (error != std::errc() || end != text.data() + text.size() || !(seconds >= 0) ||
      seconds > 1e9)
    return false;
  ms = std::llround(seconds * 1000);
  return true;
}

}  // namespace

bool ParseWindow(std::string_view text, Window& window) {
  const std::size_t dash = text.find('-');
  if (dash == std::string_view::npos) return false;
  Window parsed;
  if (!Seconds(text.substr(0, dash), parsed.fromMs) ||
      !Seconds(text.substr(dash + 1), parsed.toMs) || parsed.toMs < parsed.fromMs)
    return false;
  window = parsed;
  return true;
}

bool InWindow(const std::vector<Window>& windows, std::int64_t ms) {
  for (const Window& window : windows)
    if (ms >= window.fromMs && ms < window.toMs) return true;
  return false;
}

}  // namespace voskel::sim
