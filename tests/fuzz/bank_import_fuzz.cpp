// A CSV channel list made into banks (the first line of the input is their name): every bank
// made is a bank file that reads back as made, goes out as CSV and comes back the same.
#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "banks/bank_lines.h"
#include "fuzz/invariant.h"
#include "voskelbank/bank_export.h"
#include "voskelbank/bank_plan.h"
#include "voskelbank/chirp_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using voskel::fuzz::Require;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t nameEnd = std::min(input.find('\n'), input.size());
  const voskelbank::ChannelList list =
      voskelbank::ReadChirpList(input.substr(std::min(nameEnd + 1, size)), {});
  const voskelbank::BankPlan plan = voskelbank::PlanBanks(list, 1, input.substr(0, nameEnd), 0);
  if (!list.problems.empty() || !plan.problems.empty()) return 0;
  for (const voskelbank::PlannedBank& bank : plan.banks) {
    const voskel::BankImage lines = voskel::ImageOf(bank.contents);
    const int channels = static_cast<int>(bank.contents.channels.size());
    std::istringstream file(voskel::BankFileText(bank.contents));
    voskel::BankImage read;
    Require(voskel::ReadBankLines(file, read) == voskel::kFirstChannel + 2 * channels && read == lines,
            "the bank file ends after its channels and reads back as made");
    const voskelbank::Export csv = voskelbank::BankToCsv(lines);
    Require(csv.problems.empty() && csv.notes.empty(), "a bank made goes out as it is");
    const voskelbank::BankPlan back =
        voskelbank::PlanBanks(voskelbank::ReadChirpList(csv.csv, {}), 1, "name", 0);
    Require(back.problems.empty() && back.banks.size() == 1 &&
                std::equal(lines.begin() + 1, lines.end(),
                           voskel::ImageOf(back.banks[0].contents).begin() + 1),
            "and comes back the same");
  }
  return 0;
}
