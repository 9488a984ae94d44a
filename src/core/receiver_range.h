#pragma once
// What the receiver tunes: 0.1 to 3000 MHz. A frequency outside it is neither sent nor
// believed when the line brings it.
#include <cstdint>

namespace voskel {

inline constexpr std::int64_t kLowestHz = 100'000;
inline constexpr std::int64_t kHighestHz = 3'000'000'000;

}  // namespace voskel
