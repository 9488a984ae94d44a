#pragma once
// Exact decimal numbers in a fixed unit: "145.525" MHz read as 145525000 Hz (6 places),
// "12.5" kHz as 12500 Hz (3 places), and written back. Nothing goes through floating
// point, so a frequency never comes back one Hz off.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace voskelbank {

// Digits with at most one point and a digit on at least one side of it; decimals past the
// unit only when they are zeros. No sign, no blanks, no exponent.
std::optional<std::int64_t> ParseDecimal(std::string_view text, int places);
// The number with at least minPlaces decimals and no trailing zeros beyond them; no point
// when no decimals are left: (145500000, 6, 0) "145.5", (146000000, 6, 0) "146",
// (12500, 3, 2) "12.50".
std::string DecimalText(std::int64_t units, int places, int minPlaces);

}  // namespace voskelbank
