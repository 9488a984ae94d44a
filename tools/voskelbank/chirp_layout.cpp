#include "chirp_layout.h"

#include <algorithm>
#include <cctype>

#include "core/receiver_mode.h"
#include "csv_text.h"
#include "decimal_text.h"

namespace voskelbank {
namespace {

// CHIRP names the modes as Hamlib does, and the automatic mode "Auto".
std::string_view ChirpName(const voskel::ModeRow& row) {
  return row.hamlib.empty() ? std::string_view("Auto") : row.hamlib;
}

}  // namespace

std::string ChirpRow(int location, std::string_view name, std::int64_t hz, std::string_view mode,
                     std::int64_t stepHz) {
  // Simplex, no tone, the codes and power CHIRP gives a new channel.
  return std::to_string(location) + "," + CsvField(name) + "," + DecimalText(hz, 6, 6) +
         ",,0.000000,,88.5,88.5,023,NN,023,Tone->Tone," + std::string(mode) + "," +
         DecimalText(stepHz, 3, 2) + ",,50W,\r\n";
}

std::optional<std::string_view> ChirpMode(std::string_view modeLine) {
  const voskel::ModeRow* row = voskel::ModeNamed(modeLine);
  if (row == nullptr) return std::nullopt;
  return ChirpName(*row);
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
  // The first row of a name is the one the keys store: "CW " with its blank.
  for (const voskel::ModeRow& row : voskel::ModeRows())
    if (same(ChirpName(row), chirpMode)) return row.text.name;
  return std::nullopt;
}

}  // namespace voskelbank
