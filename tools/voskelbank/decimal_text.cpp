#include "decimal_text.h"

#include <algorithm>

namespace voskelbank {
namespace {

// Enough for 3000 MHz as whole Hz, and far from what 64 bits hold with six decimals.
constexpr std::size_t kMaxWholeDigits = 12;

bool AllDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::optional<std::int64_t> ParseDecimal(std::string_view text, int places) {
  const std::size_t point = text.find('.');
  std::string_view whole = text.substr(0, point);
  std::string_view decimals =
      point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
  if (!AllDigits(whole) || !AllDigits(decimals) || whole.size() + decimals.size() == 0)
    return std::nullopt;
  while (!whole.empty() && whole.front() == '0') whole.remove_prefix(1);
  while (decimals.size() > static_cast<std::size_t>(places) && decimals.back() == '0')
    decimals.remove_suffix(1);
  if (whole.size() > kMaxWholeDigits || decimals.size() > static_cast<std::size_t>(places))
    return std::nullopt;
  std::int64_t units = 0;
  for (const char c : whole) units = units * 10 + (c - '0');
  for (int i = 0; i < places; ++i)
    units = units * 10 + (i < static_cast<int>(decimals.size()) ? decimals[i] - '0' : 0);
  return units;
}

std::string DecimalText(std::int64_t units, int places, int minPlaces) {
  std::int64_t scale = 1;
  for (int i = 0; i < places; ++i) scale *= 10;
  std::string decimals = std::to_string(units % scale);
  decimals.insert(0, static_cast<std::size_t>(places) - decimals.size(), '0');
  while (decimals.size() > static_cast<std::size_t>(minPlaces) && decimals.back() == '0')
    decimals.pop_back();
  const std::string whole = std::to_string(units / scale);
  return decimals.empty() ? whole : whole + "." + decimals;
}

}  // namespace voskelbank
