#pragma once
// A bank file as lines, apart from any panel: read into an image, where its channels end,
// and written back up to its end marker. The panel and the channel-list tool share this
// one reading of the format.
#include <array>
#include <filesystem>
#include <fstream>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

#include "core/bank.h"
#include "core/panel_state.h"  // kMaxText

namespace voskel {

inline constexpr int kBankFileLines = 400;
// The last line an end marker may stand on so that the saved file keeps it.
inline constexpr int kLastEndLine = 398;

// The lines of a bank file by position, with room for a bank in memory grown past the 400 a
// file holds: how the format is read, written and judged. Everything else holds a Bank.
inline constexpr int kBankImageLines = 420;
using BankImage = std::array<std::string, kBankImageLines>;

// The receiver tags a channel with at most 12 characters.
inline constexpr std::size_t kTagWidth = 12;

// Two digits, 00 to 99: a bank's number. Bank 00 is the panel's stored state and search list.
bool IsBankNumber(std::string_view text);
// "bankNN.dat", the file of bank NN; the number is taken as typed.
std::string BankFileName(std::string_view number);
// NN of a file named "bankNN.dat"; nothing for any other name.
std::optional<std::string> BankNumberOf(std::string_view fileName);

// The stored state read at start-up becomes a search list of three lines, its end marker
// on line 2; every other bank ends on a line of its own after the channels.
inline constexpr int kSearchListEndLine = 2;
// "9999" ends a bank only where a frequency (or the short search list's marker) stands:
// on an even line from 2 on. A bank name or a tag reading "9999" is kept as text.
bool IsEndMarkerLine(int i, const std::string& line);

// Opens a bank file for reading. A folder opens for reading but is no bank: false.
bool OpenBankFile(const std::filesystem::path& path, std::ifstream& file);
// Empties lines 0..399 and reads the file into them, up to and including the end marker.
// Returns the marker's line, or -1 when none of the 400 lines holds it.
int ReadBankLines(std::istream& file, BankImage& lines);
// The file's text: the lines up to and including the end marker (at most 400),
// each ended by CR LF.
std::string BankFileText(const BankImage& lines);
// Writes BankFileText as a whole or not at all: false, with errno telling why, leaves the
// old file untouched.
bool WriteBankFile(const std::filesystem::path& path, const BankImage& lines);

// Line of the end marker: the first even line from 4 on that holds "9999"; without one,
// the first even line that is empty (the image beyond the file's end), at most line 398.
// Found without trusting the file: a bank written by hand may lack its end marker or carry
// it on the wrong line.
int ChannelEnd(const BankImage& lines);

// The bank the lines make: the channels run up to the first end marker on an even line from
// 4 on; without one, up to the last line that holds anything, so that nothing is lost.
Bank BankOf(const BankImage& lines);
// The lines of a bank. ImageOf(BankOf(lines)) holds every line of lines up to the end
// marker, and all of them without one: a bank read and saved is the file it was read from.
BankImage ImageOf(const Bank& bank);
std::string BankFileText(const Bank& bank);
bool WriteBankFile(const std::filesystem::path& path, const Bank& bank);
// ChannelEnd of the bank's lines.
int ChannelEnd(const Bank& bank);
// Line i of the bank's file, empty outside it: for ChannelIndex, which counts lines.
const std::string& BankLine(const Bank& bank, int i);

}  // namespace voskel
