// Which banks the panel takes for use, read as the panel reads a bank file.
#include "banks/bank_check.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>

namespace voskel {
namespace {

std::optional<int> DamagedLineOf(const std::string& file) {
  BankImage lines;
  std::istringstream in(file);
  ReadBankLines(in, lines);
  const std::optional<DamagedLine> damage = BankDamage(lines);
  if (damage) {
    EXPECT_FALSE(damage->why.empty());
  }
  return damage ? std::optional<int>(damage->line) : std::nullopt;
}

std::string Bank(const std::string& head, const std::string& channels) {
  return head + "\r\n \r\n" + channels + "9999\r\n";
}

TEST(BankCheck, TheFirstLineThatMakesABankUnfitIsFound) {
  std::string many;
  for (int i = 0; i < 200; ++i) many += std::to_string(100 + i) + "\r\n \r\n";
  const struct {
    const char* what;
    std::string file;
    std::optional<int> line;
  } cases[] = {
      {"sound", Bank("bank01\r\nFM\r\n12.5", "145.5\r\nrep\r\n0.1\r\n \r\n3000\r\n \r\n"), {}},
      {"CW as a scan reads it back", Bank("b\r\nCW\r\n5", "7.05\r\n \r\n"), {}},
      {"no channels", Bank("b\r\nAUT\r\n.5", ""), {}},
      {"the short search list", "Srchbank\r\nAM\r\n9999\r\n", {}},
      {"short, but no search list", "bank03\r\nAM\r\n9999\r\n", 2},
      {"cut in mid-line", "bank01\r\nFM\r\n12.5\r\n \r\n145.5\r\nrep\r\n14", 8},
      {"step-up bytes", Bank("b\r\nFM\r\n12.5\x1c\x1c\x1c", "145.5\r\n \r\n"), 2},
      {"a NUL in the name", Bank(std::string("ba\0k\r\nFM\r\n5", 11), ""), 0},
      {"an escape in a tag", Bank("b\r\nFM\r\n5", "145.5\r\nre\x1bp\r\n"), 5},
      {"a mode the receiver lacks", Bank("b\r\nNFM\r\n5", ""), 1},
      {"a step of 1000 kHz", Bank("b\r\nFM\r\n1000", ""), 2},
      {"two points", Bank("b\r\nFM\r\n5", "145.5\r\n \r\n145.5.5\r\n \r\n"), 6},
      {"below 0.1 MHz", Bank("b\r\nFM\r\n5", "0.09\r\n \r\n"), 4},
      {"a blank before the number", Bank("b\r\nFM\r\n5", " 145.5\r\n \r\n"), 4},
      {"no room for the end marker", "b\r\nFM\r\n5\r\n \r\n" + many, 398},
  };
  for (const auto& [what, file, line] : cases) EXPECT_EQ(DamagedLineOf(file), line) << what;
}

}  // namespace
}  // namespace voskel
