// A CSV file as any spreadsheet or radio program could write it: read, written back field
// by field, and read again to the same records.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/invariant.h"
#include "voskelbank/csv_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using voskel::fuzz::Require;
  const voskelbank::CsvTable table =
      voskelbank::ReadCsv(std::string_view(reinterpret_cast<const char*>(data), size));
  int lastLine = 0;
  // A byte order mark of its own keeps a first field that begins like one.
  std::string written = "\xef\xbb\xbf";
  for (const voskelbank::CsvRecord& record : table.records) {
    Require(record.line > lastLine && !record.fields.empty(), "records in order, none empty");
    lastLine = record.line;
    for (std::size_t f = 0; f < record.fields.size(); ++f)
      written += (f ? "," : "") + voskelbank::CsvField(record.fields[f]);
    written += "\r\n";
  }
  const voskelbank::CsvTable again = voskelbank::ReadCsv(written);
  Require(again.unclosedQuoteLine == 0 && again.records.size() == table.records.size(),
          "what is written reads back whole");
  for (std::size_t r = 0; r < table.records.size(); ++r)
    Require(again.records[r].fields == table.records[r].fields, "field for field");
  return 0;
}
