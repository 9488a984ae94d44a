#include "activity_report.h"

#include <algorithm>
#include <map>
#include <utility>

#include "banks/bank_lines.h"
#include "chirp_layout.h"
#include "csv_text.h"
#include "decimal_text.h"
#include "platform/latin1_text.h"
#include "receiver/frequency_text.h"

namespace voskelbank {
namespace {

namespace platform = voskel::platform;

bool Digits(std::string_view text, std::size_t at, std::size_t count) {
  if (at + count > text.size()) return false;
  return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(at),
                     text.begin() + static_cast<std::ptrdiff_t>(at + count),
                     [](char c) { return c >= '0' && c <= '9'; });
}

bool IsDate(std::string_view text) {
  return text.size() == 10 && Digits(text, 0, 4) && text[4] == '-' && Digits(text, 5, 2) &&
         text[7] == '-' && Digits(text, 8, 2);
}

bool IsTime(std::string_view text) {
  return text.size() == 8 && Digits(text, 0, 2) && text[2] == ':' && Digits(text, 3, 2) &&
         text[5] == ':' && Digits(text, 6, 2);
}

class LineReader {
 public:
  explicit LineReader(const std::vector<std::string>& header) {
    for (std::size_t i = 0; i < header.size(); ++i) columns_.emplace(header[i], i);
  }

  std::optional<Heard> Read(const CsvRecord& record) {
    record_ = &record;
    Heard heard;
    heard.start = Field("Date") + " " + Field("Time");
    const std::optional<std::int64_t> hz = ParseDecimal(Field("Frequency"), 6);
    const std::optional<std::string_view> mode = ChirpMode(Field("Mode"));
    const std::optional<std::int64_t> tenths = ParseDecimal(Field("Seconds"), 1);
    const std::optional<std::int64_t> peak = ParseDecimal(Field("Peak"), 0);
    if (!IsDate(Field("Date")) || !IsTime(Field("Time")) || !hz || !voskel::TunableHz(*hz) ||
        !mode || !tenths || (!Field("Peak").empty() && !peak))
      return std::nullopt;
    heard.hz = *hz;
    heard.mode = BankMode(*mode).value_or("");
    heard.tenths = *tenths;
    heard.peak = peak ? static_cast<int>(std::min<std::int64_t>(*peak, 999)) : -1;
    // A tag becomes a line of a bank file: one edited into the log with a line end in it,
    // or any other control character, is left out.
    heard.tag = platform::Utf8ToLatin1(Field("Tag")).value_or("");
    if (std::any_of(heard.tag.begin(), heard.tag.end(),
                    [](char c) { return platform::IsControlCode(static_cast<unsigned char>(c)); }))
      heard.tag.clear();
    return heard;
  }

 private:
  std::string Field(const std::string& column) const {
    const auto found = columns_.find(column);
    if (found == columns_.end() || found->second >= record_->fields.size()) return {};
    return record_->fields[found->second];
  }

  std::map<std::string, std::size_t> columns_;
  const CsvRecord* record_ = nullptr;
};

bool InPeriod(const std::string& start, const Period& period) {
  return (period.from.empty() || start >= period.from) && (period.to.empty() || start <= period.to);
}

std::string Duration(std::int64_t tenths) {
  const std::int64_t seconds = tenths / 10;
  if (seconds >= 3600)
    return std::to_string(seconds / 3600) + " h " + std::to_string(seconds / 60 % 60) + " min";
  const std::string rest = DecimalText(tenths % 600, 1, 0) + " s";
  return seconds >= 60 ? std::to_string(seconds / 60) + " min " + rest : rest;
}

std::string Describe(const Frequency& frequency, Ranking by) {
  const std::string count =
      std::to_string(frequency.count) + (frequency.count == 1 ? " time" : " times");
  const std::string time = Duration(frequency.tenths) + " on the air";
  std::string text = DecimalText(frequency.hz, 6, 0) + " MHz " +
                     std::string(ChirpMode(frequency.mode).value_or("")) + ": " +
                     (by == Ranking::kByCount ? count + ", " + time : time + ", " + count);
  if (frequency.peak >= 0) text += ", peak level " + std::to_string(frequency.peak);
  if (!frequency.tag.empty()) text += ", tag " + platform::Latin1ToUtf8(frequency.tag, '?');
  return text;
}

}  // namespace

void ReadActivity(std::string_view text, std::string_view fileName, ActivityLog& log) {
  const CsvTable table = ReadCsv(text);
  if (table.records.empty()) return;
  LineReader reader(table.records.front().fields);
  std::vector<int> unread;
  for (std::size_t r = 1; r < table.records.size(); ++r) {
    if (std::optional<Heard> heard = reader.Read(table.records[r]))
      log.heard.push_back(std::move(*heard));
    else
      unread.push_back(table.records[r].line);
  }
  if (!unread.empty())
    log.notes.push_back(
        std::string(fileName) + ": " + LinesText(unread) +
        (unread.size() == 1 ? " could not be read and is" : " could not be read and are") +
        " left out");
}

std::optional<std::string> MomentText(std::string_view text, bool periodEnd) {
  if (text.size() < 10 || !IsDate(text.substr(0, 10))) return std::nullopt;
  std::string time(text.size() > 10 ? text.substr(11) : std::string_view());
  if (text.size() > 10 && text[10] != ' ' && text[10] != 'T') return std::nullopt;
  if (time.size() == 5) time += periodEnd ? ":59" : ":00";
  if (time.empty()) time = periodEnd ? "23:59:59" : "00:00:00";
  if (!IsTime(time)) return std::nullopt;
  return std::string(text.substr(0, 10)) + " " + time;
}

std::vector<Frequency> Tally(const ActivityLog& log, const Period& period, int& signals) {
  std::map<std::pair<std::int64_t, std::string_view>, Frequency> byFrequency;
  signals = 0;
  for (const Heard& heard : log.heard) {
    if (!InPeriod(heard.start, period)) continue;
    ++signals;
    Frequency& frequency = byFrequency[{heard.hz, heard.mode}];
    frequency.hz = heard.hz;
    frequency.mode = heard.mode;
    frequency.count += 1;
    frequency.tenths += heard.tenths;
    frequency.peak = std::max(frequency.peak, heard.peak);
    if (!heard.tag.empty()) frequency.tag = heard.tag;
  }
  std::vector<Frequency> tally;
  for (auto& [key, frequency] : byFrequency) tally.push_back(std::move(frequency));
  return tally;
}

std::vector<Frequency> TopFrequencies(std::vector<Frequency> tally, Ranking by, int top) {
  const auto key = [by](const Frequency& f) {
    const std::int64_t count = f.count;
    return by == Ranking::kByCount ? std::make_pair(count, f.tenths)
                                   : std::make_pair(f.tenths, count);
  };
  std::stable_sort(tally.begin(), tally.end(),
                   [&](const Frequency& a, const Frequency& b) { return key(a) > key(b); });
  if (top >= 0 && tally.size() > static_cast<std::size_t>(top)) tally.resize(top);
  return tally;
}

std::string SummaryText(const ActivityLog& log, const Period& period, int top) {
  int signals = 0;
  const std::vector<Frequency> tally = Tally(log, period, signals);
  if (signals == 0) return "Nothing was heard in that time.\n";
  std::string first, last;
  std::int64_t tenths = 0;
  for (const Heard& heard : log.heard) {
    if (!InPeriod(heard.start, period)) continue;
    if (first.empty() || heard.start < first) first = heard.start;
    last = std::max(last, heard.start);
  }
  for (const Frequency& frequency : tally) tenths += frequency.tenths;
  std::string text = "From " + first + " to " + last + ": " + std::to_string(signals) +
                     (signals == 1 ? " signal on " : " signals on ") +
                     std::to_string(tally.size()) +
                     (tally.size() == 1 ? " frequency, " : " frequencies, ") + Duration(tenths) +
                     " on the air in all.\n";
  for (const Ranking by : {Ranking::kByCount, Ranking::kByTime}) {
    text += by == Ranking::kByCount ? "Busiest by count:\n" : "Busiest by time on the air:\n";
    int rank = 0;
    for (const Frequency& frequency : TopFrequencies(tally, by, top))
      text += "  " + std::to_string(++rank) + ". " + Describe(frequency, by) + "\n";
  }
  return text;
}

ChannelList AsChannelList(const std::vector<Frequency>& busiest) {
  ChannelList list;
  for (const Frequency& frequency : busiest) {
    ListChannel channel;
    channel.hz = frequency.hz;
    channel.mode = frequency.mode;
    channel.tag = frequency.tag.empty() ? " " : frequency.tag.substr(0, voskel::kTagWidth);
    list.channels.push_back(std::move(channel));
  }
  if (list.channels.empty()) list.problems.push_back({0, "nothing was heard in that time"});
  return list;
}

}  // namespace voskelbank
