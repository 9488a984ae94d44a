#include "chirp_list.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "chirp_layout.h"
#include "csv_text.h"
#include "decimal_text.h"
#include "receiver/frequency_text.h"

namespace voskelbank {
namespace {

constexpr std::string_view kStorableModes = "FM, AM, WFM, USB, LSB, CW and Auto";
constexpr auto kStepLimitHz = static_cast<std::int64_t>(voskel::kStepLimitKhz * 1000);

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::optional<long long> ParseLocation(std::string_view text) {
  text = Trimmed(text);
  const bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  if (text.empty() || text.size() > 9) return std::nullopt;
  long long value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return negative ? -value : value;
}

bool IsBlank(const CsvRecord& record) {
  return std::all_of(record.fields.begin(), record.fields.end(),
                     [](const std::string& field) { return Trimmed(field).empty(); });
}

struct Row {
  long long location = 0;
  ListChannel channel;
};

// One row's fields, each checked and each problem told; a row left out by --mode is not
// checked further.
class RowReader {
 public:
  RowReader(const std::vector<std::string>& header, const ListOptions& options, ChannelList& list)
      : options_(options), list_(list) {
    for (std::size_t i = 0; i < header.size(); ++i) columns_.emplace(Trimmed(header[i]), i);
  }

  bool Has(std::string_view column) const { return columns_.count(std::string(column)) != 0; }

  std::optional<Row> Read(const CsvRecord& record) {
    record_ = &record;
    const int line = record.line;
    const std::size_t problemsBefore = list_.problems.size();
    // An empty Mode is CHIRP's FM, as a file without the column.
    const std::string word(Trimmed(Field("Mode")));
    const bool narrow = word.size() == 3 && BankMode(word) == "FM";  // NFM, the only such
    const std::optional<std::string_view> mode = BankMode(word.empty() ? kModeWithoutColumn : word);
    if (!options_.onlyMode.empty() && mode != options_.onlyMode) {
      ++leftOut;
      return std::nullopt;
    }
    if (!mode) TellModeProblem(word, "mode", kStorableModes, line, list_.problems);
    Row row;
    row.channel.line = line;
    row.channel.mode = mode.value_or("");
    if (Has("Location")) {
      const std::optional<long long> location = ParseLocation(Field("Location"));
      if (!location)
        list_.problems.push_back({line, At(line) + "the Location " + Quoted(Field("Location")) +
                                            " is not a whole number"});
      row.location = location.value_or(0);
    }
    row.channel.hz =
        CheckFrequency(Trimmed(Field("Frequency")), false, line, list_.problems).value_or(0);
    row.channel.stepHz = ReadStep(line);
    row.channel.tag = CheckName(Field("Name"), line, options_, list_).value_or("");
    if (list_.problems.size() != problemsBefore) return std::nullopt;
    if (narrow) narrowLines.push_back(line);
    if (!Trimmed(Field("Tone")).empty()) toneLines.push_back(line);
    return row;
  }

  int leftOut = 0;
  std::vector<int> narrowLines;
  std::vector<int> toneLines;

 private:
  // An empty TStep leaves the step to the list's default, as a file without the column.
  std::int64_t ReadStep(int line) {
    const std::string step(Trimmed(Field("TStep")));
    if (step.empty()) return 0;
    const std::optional<std::int64_t> stepHz = ParseDecimal(step, 3);
    if (stepHz && *stepHz > 0 && *stepHz < kStepLimitHz) return *stepHz;
    list_.problems.push_back({line, At(line) + "the step " + Quoted(step) +
                                        " is not a step the receiver takes (above 0, below "
                                        "1000 kHz)"});
    return 0;
  }

  // A row that ends early (a spreadsheet leaves out empty cells at its end) has empty fields.
  std::string Field(std::string_view column) const {
    const auto found = columns_.find(std::string(column));
    if (found == columns_.end() || found->second >= record_->fields.size()) return {};
    return record_->fields[found->second];
  }

  const ListOptions& options_;
  ChannelList& list_;
  std::map<std::string, std::size_t, std::less<>> columns_;
  const CsvRecord* record_ = nullptr;
};

void Note(const std::vector<int>& lines, const std::string& what, ChannelList& list) {
  if (!lines.empty()) list.notes.push_back({lines.front(), LinesText(lines) + ": " + what});
}

}  // namespace

ChannelList ReadChirpList(std::string_view csv, const ListOptions& options) {
  ChannelList list;
  const CsvTable table = ReadCsv(csv);
  if (table.unclosedQuoteLine != 0)
    list.problems.push_back(
        {table.unclosedQuoteLine, At(table.unclosedQuoteLine) + "a quoted field is never closed"});
  if (table.records.empty()) {
    list.problems.push_back({0, "the file is empty"});
    return list;
  }
  RowReader reader(table.records.front().fields, options, list);
  if (!reader.Has("Frequency")) {
    list.problems.push_back({1, At(1) + "there is no Frequency column; the first line names the "
                                        "columns, as in Location,Name,Frequency,...,Mode,TStep"});
    return list;
  }
  std::vector<Row> rows;
  for (std::size_t r = 1; r < table.records.size(); ++r)
    if (!IsBlank(table.records[r]))
      if (std::optional<Row> row = reader.Read(table.records[r])) rows.push_back(std::move(*row));
  std::stable_sort(rows.begin(), rows.end(),
                   [](const Row& a, const Row& b) { return a.location < b.location; });
  for (Row& row : rows) list.channels.push_back(std::move(row.channel));
  if (list.channels.empty() && list.problems.empty()) list.problems.push_back({0, "no channels"});
  Note(reader.narrowLines, "NFM is stored as FM, which is the receiver's narrow FM", list);
  Note(reader.toneLines, "the tone is not kept; the receiver listens without it", list);
  NoteLeftOut(reader.leftOut, options.onlyMode, list);
  return list;
}

}  // namespace voskelbank
