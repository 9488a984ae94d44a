#include "receiver/frequency_text.h"

#include <algorithm>
#include <cmath>

#include "core/text.h"

namespace voskel {

bool TunableHz(std::int64_t hz) { return hz >= kLowestHz && hz <= kHighestHz; }

std::int64_t RoundedHz(double hz) {
  constexpr double kCeiling = 1e15;
  return std::llround(std::clamp(hz, -kCeiling, kCeiling));
}

std::int64_t MhzTextToHz(std::string_view mhzText) {
  const std::size_t point = mhzText.find('.');
  if (point == std::string_view::npos) return RoundedHz(ReadNumber(mhzText) * 1e6);
  std::int64_t hz = RoundedHz(ReadNumber(mhzText.substr(0, point)) * 1e6);
  std::int64_t place = 100000;
  for (std::size_t i = point + 1; i < mhzText.size() && place > 0; ++i) {
    const char c = mhzText[i];
    hz += ((c >= '0' && c <= '9') ? c - '0' : 0) * place;
    place /= 10;
  }
  return hz;
}

std::string HzToMhzText(std::int64_t hz) {
  std::string digits = std::to_string(hz < 0 ? 0 : hz);
  // Below 1 MHz the text still needs its six places after the point: 500000 -> ".5".
  if (digits.size() < 6) digits.insert(0, 6 - digits.size(), '0');
  const std::size_t whole = digits.size() - 6;
  std::string text = digits.substr(0, whole) + "." + digits.substr(whole);
  while (!text.empty() && text.back() == '0') text.pop_back();
  return text;
}

bool IsNumberText(std::string_view text) {
  bool digit = false;
  bool point = false;
  for (char c : text) {
    if (c == '.') {
      if (point) return false;
      point = true;
    } else if (c >= '0' && c <= '9') {
      digit = true;
    } else {
      return false;
    }
  }
  return digit;
}

bool TunableFrequency(const std::string& mhzText) {
  return IsNumberText(mhzText) && TunableHz(MhzTextToHz(mhzText));
}

bool UsableStep(const std::string& khzText) {
  const double khz = ReadNumber(khzText);
  // The receiver steps in whole Hz: more than three places after the point it cannot take.
  const std::size_t point = khzText.find('.');
  const bool wholeHz = point == std::string::npos || khzText.size() - point - 1 <= 3;
  return IsNumberText(khzText) && khz > 0 && khz < kStepLimitKhz && wholeHz;
}

}  // namespace voskel
