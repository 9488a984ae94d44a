#pragma once
// A bank as CSV: the header, then one row per channel from Location 0.
#include <string>
#include <vector>

#include "banks/bank_lines.h"

namespace voskelbank {

struct Export {
  std::string csv;
  // "line 6: ...": what keeps the bank from being written; csv is then incomplete.
  std::vector<std::string> problems;
  // Said, but the CSV is written.
  std::vector<std::string> notes;
};

// The channels are those the panel steps through, up to the end marker; a bank the panel
// would refuse as damaged is a problem.
Export BankToCsv(const voskel::BankImage& lines);

}  // namespace voskelbank
