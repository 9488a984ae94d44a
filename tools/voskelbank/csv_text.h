#pragma once
// CSV as spreadsheets and radio programs write it: fields split by commas, a field in
// double quotes may hold commas, quotes (doubled) and line ends; lines end with CR LF, LF
// or CR; a UTF-8 byte order mark in front is no part of the text.
#include <string>
#include <string_view>
#include <vector>

#include "core/text.h"

namespace voskelbank {

struct CsvRecord {
  int line = 0;  // where the record begins, counted from 1 as editors count
  std::vector<std::string> fields;
};

struct CsvTable {
  std::vector<CsvRecord> records;
  // A quoted field still open at the end of the text: the line it began on, else 0. The
  // records before it are kept.
  int unclosedQuoteLine = 0;
};

CsvTable ReadCsv(std::string_view text);

// The field as a record holds it, written the one way the panel's own logs write it too.
using voskel::CsvField;

}  // namespace voskelbank
