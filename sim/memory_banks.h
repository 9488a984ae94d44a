#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace voskel::sim {

inline constexpr int kBankCount = 10;  // A..J
inline constexpr int kChannelsPerBank = 100;
inline constexpr int kDefaultBankSize = 50;
inline constexpr int kTagLength = 12;
inline constexpr int kModeCount = 9;  // 0 WFM .. 8 AM narrow

struct Channel {
  bool stored = false;
  std::int64_t hz = 0;
  std::int64_t stepHz = 12'500;
  int mode = 1;
  bool attenuator = false;
  bool passed = false;
  std::string tag = std::string(kTagLength, ' ');
};

struct Bank {
  int size = kDefaultBankSize;  // channels 00..size-1 are usable
  std::array<Channel, kChannelsPerBank> channels;
};

struct MemoryBanks {
  std::array<Bank, kBankCount> banks;
};

// 'A'..'J' to 0..9, anything else to nothing.
std::optional<int> BankIndex(char letter);
char BankLetter(int bank);
// Cuts or pads with blanks to the tag length.
std::string FitTag(std::string_view tag);
// "WFM", "FM", ... for mode digits 0..8.
std::string_view ModeName(int mode);

// "MXA05 MP0 RF0145500000 ST012500 AU0 MD1 AT0 TMREPEATER    ", or "MXA05 ---" for an
// empty channel.
std::string ChannelReport(int bank, int number, const Channel& channel);

// The banks as a file a person can read and edit: one "bank" line per bank with its size,
// then one line per stored channel.
std::string FormatMemoryFile(const MemoryBanks& memory);

struct MemoryParse {
  MemoryBanks memory;
  std::vector<std::string> errors;  // lines that were skipped, with their number
};
MemoryParse ParseMemoryFile(std::string_view text);

}  // namespace voskel::sim
