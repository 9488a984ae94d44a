#include "chirp_layout.h"

#include <algorithm>
#include <cctype>

#include "csv_text.h"
#include "decimal_text.h"

namespace voskelbank {
namespace {

struct ModePair {
  std::string_view bank;
  std::string_view chirp;
};

// The bank's words are the panel's mode names, CW with the blank the F6 key stores.
constexpr ModePair kModes[] = {{"WFM", "WFM"}, {"FM", "FM"},  {"AM", "AM"},   {"USB", "USB"},
                               {"LSB", "LSB"}, {"CW ", "CW"}, {"AUT", "Auto"}};

}  // namespace

std::string ChirpRow(int location, std::string_view name, std::int64_t hz, std::string_view mode,
                     std::int64_t stepHz) {
  // Simplex, no tone, the codes and power CHIRP gives a new channel.
  return std::to_string(location) + "," + CsvField(name) + "," + DecimalText(hz, 6, 6) +
         ",,0.000000,,88.5,88.5,023,NN,023,Tone->Tone," + std::string(mode) + "," +
         DecimalText(stepHz, 3, 2) + ",,50W,\r\n";
}

std::optional<std::string_view> ChirpMode(std::string_view modeLine) {
  if (modeLine == "CW") return "CW";
  for (const ModePair& pair : kModes)
    if (pair.bank == modeLine) return pair.chirp;
  return std::nullopt;
}

std::optional<std::string_view> BankMode(std::string_view chirpMode) {
  const auto same = [](std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
      return std::toupper(static_cast<unsigned char>(x)) ==
             std::toupper(static_cast<unsigned char>(y));
    });
  };
  // The receiver's FM is narrow: CHIRP's NFM is what it holds as FM.
  if (same(chirpMode, "NFM")) return "FM";
  for (const ModePair& pair : kModes)
    if (same(pair.chirp, chirpMode)) return pair.bank;
  return std::nullopt;
}

}  // namespace voskelbank
