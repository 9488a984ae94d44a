#include "number_forms.h"

#include <cstdio>

namespace voskel::sim {
namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

bool AllDigits(std::string_view text) {
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// The value of at most maxDigits leading digits, leading zeros not counted, so that a
// long run of zeros in front of the number never overflows.
std::optional<std::int64_t> WholeValue(std::string_view digits, int maxDigits) {
  while (!digits.empty() && digits.front() == '0') digits.remove_prefix(1);
  if (static_cast<int>(digits.size()) > maxDigits) return std::nullopt;
  std::int64_t value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

// The first `places` decimals as an integer, missing ones taken as zeros.
std::int64_t FractionValue(std::string_view digits, int places) {
  std::int64_t value = 0;
  for (int i = 0; i < places; ++i) {
    value = value * 10 + (i < static_cast<int>(digits.size()) ? digits[i] - '0' : 0);
  }
  return value;
}

// Splits "whole.fraction" (point present) or "digits" and reads it as an amount in
// units of 10^-places of the dotted form; the undotted form is read as the plain unit.
std::optional<std::int64_t> ParseDotted(std::string_view text, int places, int maxWholeDigits,
                                        int undottedDigits) {
  text = Trim(text);
  if (text.empty()) return std::nullopt;
  const auto point = text.find('.');
  if (point == std::string_view::npos) {
    if (!AllDigits(text)) return std::nullopt;
    return WholeValue(text.substr(0, undottedDigits), undottedDigits);
  }
  const std::string_view whole = text.substr(0, point);
  const std::string_view fraction = text.substr(point + 1);
  if (whole.empty() || !AllDigits(whole) || !AllDigits(fraction)) return std::nullopt;
  const auto wholeValue = WholeValue(whole, maxWholeDigits);
  if (!wholeValue) return std::nullopt;
  std::int64_t scale = 1;
  for (int i = 0; i < places; ++i) scale *= 10;
  return *wholeValue * scale + FractionValue(fraction, places);
}

}  // namespace

std::optional<std::int64_t> ParseFrequency(std::string_view text) {
  const auto hz = ParseDotted(text, 6, 5, 10);
  if (!hz || *hz < kMinFrequencyHz || *hz > kMaxFrequencyHz) return std::nullopt;
  return hz;
}

std::optional<std::int64_t> ParseStep(std::string_view text) {
  const auto hz = ParseDotted(text, 3, 4, 6);
  if (!hz || *hz < kMinStepHz || *hz > kMaxStepHz) return std::nullopt;
  return hz;
}

std::optional<int> ParseDigit(std::string_view text, int high) {
  if (text.size() != 1 || text[0] < '0' || text[0] > '0' + high) return std::nullopt;
  return text[0] - '0';
}

std::string FrequencyDigits(std::int64_t hz) {
  char text[24];
  std::snprintf(text, sizeof text, "%010lld", static_cast<long long>(hz));
  return text;
}

std::string StepDigits(std::int64_t hz) {
  char text[24];
  std::snprintf(text, sizeof text, "%06lld", static_cast<long long>(hz));
  return text;
}

}  // namespace voskel::sim
