// A CSV channel list made into a bank (the first line of the input is the bank's name):
// a bank that is made goes out as CSV and comes back as the same bank.
#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "banks/bank_lines.h"
#include "fuzz/invariant.h"
#include "platform/latin1_text.h"
#include "voskelbank/bank_export.h"
#include "voskelbank/bank_import.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using voskel::fuzz::Require;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t nameEnd = std::min(input.find('\n'), input.size());
  const voskelbank::Import bank =
      voskelbank::CsvToBank(input.substr(std::min(nameEnd + 1, size)), input.substr(0, nameEnd));
  if (!bank.problems.empty()) return 0;
  std::istringstream file(voskel::BankFileText(bank.lines));
  voskel::BankImage read;
  Require(voskel::ReadBankLines(file, read) == voskel::kFirstChannel + 2 * bank.channels &&
              read == bank.lines,
          "the bank file ends after its channels and reads back as made");
  const voskelbank::Export csv = voskelbank::BankToCsv(bank.lines);
  Require(csv.problems.empty() && csv.notes.empty(), "a bank made goes out as it is");
  const voskelbank::Import back =
      voskelbank::CsvToBank(csv.csv, voskel::platform::Latin1ToUtf8(bank.lines[0], '?'));
  Require(back.problems.empty() && back.lines == bank.lines, "and comes back the same");
  return 0;
}
