#include "core/activity_record.h"

#include "core/text.h"
#include "platform/latin1_text.h"

namespace voskel {
namespace {

std::string Padded(std::int64_t value, std::size_t digits) {
  std::string text = std::to_string(value);
  if (text.size() < digits) text.insert(0, digits - text.size(), '0');
  return text;
}

}  // namespace

std::string ActivityLine(const HeardSignal& heard) {
  const std::string mhz =
      heard.hz > 0 ? std::to_string(heard.hz / 1'000'000) + "." + Padded(heard.hz % 1'000'000, 6)
                   : std::string();
  const std::int64_t tenths = (heard.ms + 50) / 100;
  // A tag comes from a bank or the receiver and is never a line end; control codes are
  // written as blanks, so that the line stays one line whatever the tag holds.
  return heard.date + "," + heard.time + "," + mhz + "," + CsvField(heard.mode) + "," +
         (heard.peak >= 0 ? std::to_string(heard.peak) : std::string()) + "," +
         std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + "," +
         CsvField(heard.channel) + "," + CsvField(platform::Latin1ToUtf8(heard.tag, ' ')) + "\r\n";
}

std::string IsoDate(std::string_view dayMonthYear) {
  if (dayMonthYear.size() != 10 || dayMonthYear[2] != '-' || dayMonthYear[5] != '-')
    return std::string(dayMonthYear);
  return std::string(dayMonthYear.substr(6, 4)) + "-" + std::string(dayMonthYear.substr(3, 2)) +
         "-" + std::string(dayMonthYear.substr(0, 2));
}

}  // namespace voskel
