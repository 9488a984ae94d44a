#pragma once
// A bank made from CSV: columns found by their header names, rows ordered by Location, the
// whole file checked before a line of the bank exists.
#include <string>
#include <string_view>
#include <vector>

#include "banks/bank_lines.h"

namespace voskelbank {

struct Import {
  voskel::BankImage lines{};
  int channels = 0;
  // "line 6: ...", every one the file has; with any, lines must not be written.
  std::vector<std::string> problems;
  // Said, but the bank is good.
  std::vector<std::string> notes;
};

// bankName is UTF-8, as typed or as the file is named.
Import CsvToBank(std::string_view csv, std::string_view bankName);

}  // namespace voskelbank
