#include "bank_import.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>

#include "chirp_layout.h"
#include "csv_text.h"
#include "decimal_text.h"
#include "platform/latin1_text.h"
#include "quoted_text.h"
#include "receiver/frequency_text.h"

namespace voskelbank {
namespace {

namespace platform = voskel::platform;

constexpr int kMaxChannels = (voskel::kLastEndLine - voskel::kFirstChannel) / 2;
constexpr auto kStepLimitHz = static_cast<std::int64_t>(voskel::kStepLimitKhz * 1000);

struct Channel {
  int line = 0;
  long long location = 0;
  std::int64_t hz = 0;
  std::string_view mode;
  std::int64_t stepHz = 0;
  std::string tag;
};

std::string At(int line) {
  return "line " + std::to_string(line) + ": ";
}

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

bool HasControlCode(std::string_view latin1) {
  return std::any_of(latin1.begin(), latin1.end(),
                     [](char c) { return platform::IsControlCode(static_cast<unsigned char>(c)); });
}

// A line of the bank made from UTF-8 text, or why it cannot be one.
std::optional<std::string> BankText(std::string_view utf8, std::size_t width, std::string& why) {
  const std::optional<std::string> latin1 = platform::Utf8ToLatin1(utf8);
  if (!latin1)
    why = "has characters outside Latin-1, or is no UTF-8";
  else if (HasControlCode(*latin1))
    why = "holds control characters";
  else if (latin1->size() > width)
    why = "is longer than " + std::to_string(width) + " characters";
  else
    return latin1;
  return std::nullopt;
}

class RowReader {
 public:
  RowReader(const std::vector<std::string>& header, std::vector<std::string>& problems)
      : problems_(problems) {
    for (std::size_t i = 0; i < header.size(); ++i) columns_.emplace(header[i], i);
  }

  bool Has(std::string_view column) const { return columns_.count(std::string(column)) != 0; }

  // Every field is checked and each problem told; a field that fails stays empty.
  Channel Read(const CsvRecord& record) {
    record_ = &record;
    Channel channel;
    channel.line = record.line;
    const auto fail = [&](const std::string& why) { problems_.push_back(At(record.line) + why); };
    if (Has("Location")) {
      const std::optional<long long> location = ParseLocation(Field("Location"));
      if (location)
        channel.location = *location;
      else
        fail("the Location " + Quoted(Field("Location")) + " is no whole number");
    }
    const std::string frequency(Trimmed(Field("Frequency")));
    const std::optional<std::int64_t> hz = ParseDecimal(frequency, 6);
    if (frequency.empty())
      fail("no frequency");
    else if (!hz || !voskel::TunableHz(*hz))
      fail("the frequency " + Quoted(frequency) + " is no MHz the receiver tunes (0.1 to 3000)");
    else
      channel.hz = *hz;
    const std::string mode = Has("Mode") ? Field("Mode") : std::string(kModeWithoutColumn);
    if (const std::optional<std::string_view> bankMode = BankMode(mode))
      channel.mode = *bankMode;
    else
      fail("the mode " + Quoted(mode) + " is none a bank can hold: " + ChirpModeList());
    const std::string step(Trimmed(Field("TStep")));
    const std::optional<std::int64_t> stepHz = ParseDecimal(step, 3);
    if (!Has("TStep"))
      channel.stepHz = kStepHzWithoutColumn;
    else if (!stepHz || *stepHz == 0 || *stepHz >= kStepLimitHz)
      fail("the TStep " + Quoted(step) + " is no step of the receiver (above 0, below 1000 kHz)");
    else
      channel.stepHz = *stepHz;
    const std::string name = Field("Name");
    std::string why;
    if (name.empty())
      channel.tag = " ";  // as the panel writes a channel without a tag
    else if (const std::optional<std::string> tag = BankText(name, voskel::kTagWidth, why))
      channel.tag = *tag;
    else
      fail("the name " + Quoted(name) + " does not fit a tag: it " + why);
    return channel;
  }

 private:
  // A row that ends early (a spreadsheet leaves out empty cells at its end) has empty fields.
  std::string Field(std::string_view column) const {
    const auto found = columns_.find(std::string(column));
    if (found == columns_.end() || found->second >= record_->fields.size()) return {};
    return record_->fields[found->second];
  }

  std::map<std::string, std::size_t> columns_;
  std::vector<std::string>& problems_;
  const CsvRecord* record_ = nullptr;
};

bool IsBlank(const CsvRecord& record) {
  return std::all_of(record.fields.begin(), record.fields.end(),
                     [](const std::string& field) { return Trimmed(field).empty(); });
}

// Every row must have the mode of the first row that has one; each that has not is told.
void CheckOneMode(const std::vector<Channel>& channels, std::vector<std::string>& problems) {
  const Channel* first = nullptr;
  for (const Channel& channel : channels) {
    if (channel.mode.empty()) continue;
    if (!first) first = &channel;
    if (channel.mode == first->mode) continue;
    problems.push_back(At(channel.line) + "the mode " + std::string(*ChirpMode(channel.mode)) +
                       ", but line " + std::to_string(first->line) + " has " +
                       std::string(*ChirpMode(first->mode)) + "; a bank has one mode");
  }
}

void NoteOtherSteps(const std::vector<Channel>& channels, std::vector<std::string>& notes) {
  std::string lines;
  for (const Channel& channel : channels)
    if (channel.stepHz != channels.front().stepHz)
      lines += (lines.empty() ? "" : ", ") + std::to_string(channel.line);
  if (!lines.empty())
    notes.push_back("line" + std::string(lines.find(',') == std::string::npos ? " " : "s ") +
                    lines + ": another TStep; a bank keeps one step, " +
                    DecimalText(channels.front().stepHz, 3, 0) + " kHz");
}

}  // namespace

Import CsvToBank(std::string_view csv, std::string_view bankName) {
  Import out;
  const CsvTable table = ReadCsv(csv);
  if (table.unclosedQuoteLine != 0)
    out.problems.push_back(At(table.unclosedQuoteLine) + "a quoted field is never closed");
  std::string why;
  const std::optional<std::string> name = BankText(bankName, voskel::kMaxText, why);
  if (!name) out.problems.push_back("the bank's name " + Quoted(bankName) + " " + why);
  if (table.records.empty()) {
    out.problems.push_back("the file is empty");
    return out;
  }
  RowReader reader(table.records.front().fields, out.problems);
  if (!reader.Has("Frequency")) {
    out.problems.push_back(At(1) + "no Frequency column; the first line names the columns, " +
                           "as in Location,Name,Frequency,...,Mode,TStep");
    return out;
  }
  std::vector<Channel> channels;
  for (std::size_t r = 1; r < table.records.size(); ++r) {
    if (IsBlank(table.records[r])) continue;
    channels.push_back(reader.Read(table.records[r]));
  }
  std::stable_sort(channels.begin(), channels.end(),
                   [](const Channel& a, const Channel& b) { return a.location < b.location; });
  if (channels.empty()) {
    out.problems.push_back("no channels");
    return out;
  }
  CheckOneMode(channels, out.problems);
  if (static_cast<int>(channels.size()) > kMaxChannels)
    out.problems.push_back(
        At(channels[kMaxChannels].line) + "channel " + std::to_string(kMaxChannels + 1) + " of " +
        std::to_string(channels.size()) + "; a bank holds " + std::to_string(kMaxChannels));
  if (!out.problems.empty()) return out;
  NoteOtherSteps(channels, out.notes);

  out.lines[0] = *name;
  out.lines[1] = channels.front().mode;
  out.lines[2] = DecimalText(channels.front().stepHz, 3, 0);
  out.lines[3] = " ";
  std::size_t line = voskel::kFirstChannel;
  for (const Channel& channel : channels) {
    out.lines[line++] = DecimalText(channel.hz, 6, 0);
    out.lines[line++] = channel.tag;
  }
  out.lines[line] = voskel::kEndMarker;
  out.channels = static_cast<int>(channels.size());
  return out;
}

}  // namespace voskelbank
