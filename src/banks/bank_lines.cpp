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

}  // namespace voskel
