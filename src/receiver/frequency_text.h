#pragma once
// Frequencies as the panel reads them from typed and stored texts: MHz with a point, or
// whole MHz without one, and the range the receiver tunes.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/receiver_range.h"

namespace voskel {

bool TunableHz(std::int64_t hz);
// Digits with at most one point, and at least one digit: a number as the keys type it.
bool IsNumberText(std::string_view text);
// A frequency text in MHz, as typed or stored, that the receiver can tune.
bool TunableFrequency(const std::string& mhzText);
// Steps the receiver takes are below 1000 kHz.
inline constexpr double kStepLimitKhz = 1000;
// A step text in kHz, as typed or stored, that the receiver can take: above 0, below
// 1000 kHz, in whole Hz.
bool UsableStep(const std::string& khzText);
// Hz rounded to a whole number, held far beyond the receiver's range but never past what
// 64 bits hold, whatever number a typed text makes.
std::int64_t RoundedHz(double hz);
// The Hz of a MHz text, read digit by digit after the point so that nothing is rounded;
// a text without a point is whole MHz, the way it is typed.
std::int64_t MhzTextToHz(std::string_view mhzText);
// The MHz text of Hz as the panel keeps a tuned frequency: always a point, no trailing
// zeros, and nothing before the point below 1 MHz (145000000 "145.", 500000 ".5").
// Below 0 reads as 0.
std::string HzToMhzText(std::int64_t hz);

}  // namespace voskel
