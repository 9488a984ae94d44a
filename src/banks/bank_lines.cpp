#include "banks/bank_lines.h"

#include <system_error>

#include "core/text.h"
#include "platform/atomic_file.h"

namespace voskel {

bool IsBankNumber(std::string_view text) {
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  return text.size() == 2 && digit(text[0]) && digit(text[1]);
}

std::string BankFileName(std::string_view number) {
  return Cap("bank" + std::string(number) + ".dat");
}

std::optional<std::string> BankNumberOf(std::string_view fileName) {
  if (fileName.size() != 10 || !fileName.starts_with("bank") || !fileName.ends_with(".dat") ||
      !IsBankNumber(fileName.substr(4, 2)))
    return std::nullopt;
  return std::string(fileName.substr(4, 2));
}

bool OpenBankFile(const std::filesystem::path& path, std::ifstream& file) {
  std::error_code ignored;
  if (std::filesystem::is_directory(path, ignored)) return false;
  file.open(path, std::ios::binary);
  return file.is_open();
}

bool IsEndMarkerLine(int i, const std::string& line) {
  return i >= kSearchListEndLine && i % 2 == 0 && line == kEndMarker;
}

int ReadBankLines(std::istream& file, BankImage& lines) {
  for (int i = 0; i < kBankFileLines; ++i) lines[static_cast<std::size_t>(i)].clear();
  std::string line;
  for (int i = 0; i < kBankFileLines; ++i) {
    if (!ReadTextLine(file, line)) break;
    lines[static_cast<std::size_t>(i)] = line;
    if (IsEndMarkerLine(i, line)) return i;
  }
  return -1;
}

std::string BankFileText(const BankImage& lines) {
  std::string contents;
  for (int i = 0; i < kBankFileLines; ++i) {
    const std::string& line = lines[static_cast<std::size_t>(i)];
    contents += line;
    contents += "\r\n";
    if (IsEndMarkerLine(i, line)) break;
  }
  return contents;
}

bool WriteBankFile(const std::filesystem::path& path, const BankImage& lines) {
  return platform::WriteFileAtomically(path, BankFileText(lines));
}

int ChannelEnd(const BankImage& lines) {
  for (int i = kFirstChannel; i <= kLastEndLine; i += 2)
    if (lines[static_cast<std::size_t>(i)] == kEndMarker) return i;
  for (int i = kFirstChannel; i <= kLastEndLine; i += 2)
    if (lines[static_cast<std::size_t>(i)].empty()) return i;
  return kLastEndLine;
}

namespace {

std::string& At(BankImage& lines, int i) { return lines[static_cast<std::size_t>(i)]; }
const std::string& At(const BankImage& lines, int i) { return lines[static_cast<std::size_t>(i)]; }

// The first end marker on an even line from 4 on, or -1.
int MarkerLine(const BankImage& lines) {
  for (int i = kFirstChannel; i < kBankImageLines; i += 2)
    if (At(lines, i) == kEndMarker) return i;
  return -1;
}

// The line after the last one that holds anything, channels' lines counted in pairs.
int UsedEnd(const BankImage& lines) {
  int end = kFirstChannel;
  for (int i = kFirstChannel; i < kBankImageLines; ++i)
    if (!At(lines, i).empty()) end = i - i % 2 + 2;
  return end;
}

}  // namespace

Bank BankOf(const BankImage& lines) {
  Bank bank{At(lines, 0), At(lines, 1), At(lines, 2), At(lines, 3), {}, false};
  const int marker = MarkerLine(lines);
  bank.ended = marker >= 0;
  const int end = bank.ended ? marker : UsedEnd(lines);
  for (int i = kFirstChannel; i < end && i + 1 < kBankImageLines; i += 2)
    bank.channels.push_back({At(lines, i), At(lines, i + 1)});
  return bank;
}

BankImage ImageOf(const Bank& bank) {
  BankImage lines{};
  At(lines, 0) = bank.title;
  At(lines, 1) = bank.mode;
  At(lines, 2) = bank.step;
  At(lines, 3) = bank.note;
  int i = kFirstChannel;
  for (const BankChannel& channel : bank.channels) {
    if (i + 1 >= kBankImageLines) break;
    At(lines, i) = channel.frequency;
    At(lines, i + 1) = channel.tag;
    i += 2;
  }
  if (bank.ended && i < kBankImageLines) At(lines, i) = kEndMarker;
  return lines;
}

std::string BankFileText(const Bank& bank) { return BankFileText(ImageOf(bank)); }

bool WriteBankFile(const std::filesystem::path& path, const Bank& bank) {
  return WriteBankFile(path, ImageOf(bank));
}

const std::string& BankLine(const Bank& bank, int i) {
  static const std::string kNone;
  static const std::string kMarker = kEndMarker;
  switch (i) {
    case 0: return bank.title;
    case 1: return bank.mode;
    case 2: return bank.step;
    case 3: return bank.note;
    default: break;
  }
  if (i < kFirstChannel || i >= kBankImageLines) return kNone;
  const auto k = static_cast<std::size_t>((i - kFirstChannel) / 2);
  if (k < bank.channels.size()) return i % 2 == 0 ? bank.channels[k].frequency : bank.channels[k].tag;
  return bank.ended && i == EndLine(bank) ? kMarker : kNone;
}

int ChannelEnd(const Bank& bank) {
  for (int i = kFirstChannel; i <= kLastEndLine; i += 2)
    if (BankLine(bank, i) == kEndMarker) return i;
  for (int i = kFirstChannel; i <= kLastEndLine; i += 2)
    if (BankLine(bank, i).empty()) return i;
  return kLastEndLine;
}

}  // namespace voskel
