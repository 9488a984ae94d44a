// A bank file as any editor or disk could leave it: read, written back and read again.
#include <cstdint>
#include <sstream>
#include <string>

#include "banks/bank_check.h"
#include "banks/bank_lines.h"
#include "fuzz/invariant.h"

namespace {

voskel::BankImage Read(const std::string& text, int& end) {
  voskel::BankImage lines;
  std::istringstream in(text);
  end = voskel::ReadBankLines(in, lines);
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using voskel::fuzz::Require;
  int end = 0;
  const voskel::BankImage lines = Read(std::string(reinterpret_cast<const char*>(data), size), end);
  for (const std::string& line : lines) Require(line.size() <= voskel::kMaxText, "line capped");
  const std::string text = voskel::BankFileText(lines);
  int endAgain = 0;
  const voskel::BankImage again = Read(text, endAgain);
  Require(again == lines && endAgain == end, "the written bank reads back the same");
  Require(voskel::BankFileText(again) == text, "and is written the same again");
  const auto damage = voskel::BankDamage(lines), damageAgain = voskel::BankDamage(again);
  Require(damage.has_value() == damageAgain.has_value() &&
              (!damage || damage->line == damageAgain->line),
          "and is judged the same");
  Require(damage || end >= voskel::kSearchListEndLine, "a sound bank has its end marker");
  const int channelEnd = voskel::ChannelEnd(lines);
  Require(channelEnd >= voskel::kFirstChannel && channelEnd <= voskel::kLastEndLine &&
              channelEnd % 2 == 0,
          "the channels end on an even line the file has room for");
  Require(end < voskel::kFirstChannel || channelEnd == end, "where the file marks their end");
  const voskel::Bank bank = voskel::BankOf(lines);
  Require(voskel::ImageOf(bank) == lines && voskel::BankFileText(bank) == text,
          "the bank made of the lines holds every one of them");
  Require(voskel::ChannelEnd(bank) == channelEnd, "and its channels end where the lines' do");
  return 0;
}
