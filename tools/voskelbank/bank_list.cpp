#include "bank_list.h"

#include <optional>
#include <set>
#include <string_view>
#include <system_error>

#include "banks/bank_check.h"
#include "banks/bank_lines.h"
#include "chirp_layout.h"
#include "platform/latin1_text.h"

namespace voskelbank {
namespace {

// The two digits of "bankNN.dat", 01 to 99: bank00.dat is the panel's own.
std::optional<std::string> BankNumber(const std::string& fileName) {
  std::optional<std::string> number = voskel::BankNumberOf(fileName);
  if (number == "00") return std::nullopt;
  return number;
}

std::string Describe(const std::filesystem::path& file) {
  voskel::BankImage lines{};
  std::ifstream in;
  if (!voskel::OpenBankFile(file, in)) return "cannot be read";
  voskel::ReadBankLines(in, lines);
  // The panel says no more than "inv" for such a bank; here is where to look.
  if (const auto damage = voskel::BankDamage(lines))
    return "damaged, the panel refuses it: line " + std::to_string(damage->line + 1) + " " +
           std::string(damage->why);
  const int channels = (voskel::ChannelEnd(lines) - voskel::kFirstChannel) / 2;
  return voskel::platform::Latin1ToUtf8(lines[0], '?') + ", " +
         std::string(ChirpMode(lines[1]).value_or("?")) + ", " + lines[2] + " kHz, " +
         std::to_string(channels) + (channels == 1 ? " channel" : " channels");
}

}  // namespace

bool ListBanks(const std::filesystem::path& dir, std::vector<std::string>& lines) {
  std::error_code error;
  std::set<std::string> numbers;
  for (auto it = std::filesystem::directory_iterator(dir, error);
       !error && it != std::filesystem::directory_iterator(); it.increment(error))
    if (const auto number = BankNumber(it->path().filename().string())) numbers.insert(*number);
  if (error) return false;
  for (const std::string& number : numbers)
    lines.push_back(number + ": " + Describe(dir / voskel::BankFileName(number)));
  return true;
}

}  // namespace voskelbank
