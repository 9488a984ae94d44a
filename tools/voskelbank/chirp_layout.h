#pragma once
// CHIRP's generic CSV layout, the one most radio programs on Linux read and write: its
// columns, its names of the modes, and what a plain simplex channel holds in the columns
// a bank has no use for.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace voskelbank {

inline constexpr std::array<std::string_view, 17> kColumns = {
    "Location",  "Name",      "Frequency", "Duplex",       "Offset",     "Tone",
    "rToneFreq", "cToneFreq", "DtcsCode",  "DtcsPolarity", "RxDtcsCode", "CrossMode",
    "Mode",      "TStep",     "Skip",      "Power",        "Comment"};

// The columns' values for a channel: the bank's own, and neutral ones for the rest.
std::string ChirpRow(int location, std::string_view name, std::int64_t hz, std::string_view mode,
                     std::int64_t stepHz);

// What a file without a Mode or a TStep column means, as CHIRP reads it.
inline constexpr std::string_view kModeWithoutColumn = "FM";
inline constexpr std::int64_t kStepHzWithoutColumn = 5000;

// CHIRP's name of a bank's mode line ("CW " as the F6 key stores it, and "CW" as a memory
// scan reads it back, are both CW); nothing for a line that names no mode.
std::optional<std::string_view> ChirpMode(std::string_view modeLine);
// The bank's mode line for one of CHIRP's names, in any case; NFM is FM, the receiver's
// narrow FM. Nothing for a mode the receiver lacks.
std::optional<std::string_view> BankMode(std::string_view chirpMode);

}  // namespace voskelbank
