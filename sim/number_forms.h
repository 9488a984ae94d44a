#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace voskel::sim {

// The receiver tunes from 100 kHz to 3 GHz.
inline constexpr std::int64_t kMinFrequencyHz = 100'000;
inline constexpr std::int64_t kMaxFrequencyHz = 3'000'000'000;
// A step fits the six digits of the report.
inline constexpr std::int64_t kMinStepHz = 1;
inline constexpr std::int64_t kMaxStepHz = 999'999;

// A frequency as sent after VA, VB, RF: MHz when it has a point ("0145.50000"),
// Hz otherwise ("0145500000"). Digits past the tenth of the Hz form and past the
// sixth decimal of the MHz form are ignored. Surrounding blanks are allowed.
// Empty on anything else or outside the receiver's range.
std::optional<std::int64_t> ParseFrequency(std::string_view text);

// A step as sent after ST: kHz when it has a point ("012.50"), Hz otherwise
// ("012500", only the first six digits count).
std::optional<std::int64_t> ParseStep(std::string_view text);

// A single digit 0..high, as in "MD1" or "AT0".
std::optional<int> ParseDigit(std::string_view text, int high);

// "0145500000": ten digits of Hz.
std::string FrequencyDigits(std::int64_t hz);
// "012500": six digits of Hz.
std::string StepDigits(std::int64_t hz);

}  // namespace voskel::sim
