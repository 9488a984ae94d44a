#pragma once
// The fields the panel reads out of the receiver's replies, each read only when it is
// whole: a reply cut short on the line, or garbage, says nothing.
#include <optional>
#include <string>
#include <string_view>

namespace voskel {

struct LevelReport {
  bool squelchClosed = false;
  int raw = 0;  // the reading, 10 added for a level-with-channel reply ("LC")
};

// "LM" or "LC", the squelch flag ("%" when closed), then one to three level digits.
// "LM", "LM?" and every other reply are no level report.
std::optional<LevelReport> ReadLevelReport(std::string_view reply);

// A level reply as the receiver sends it unasked for nothing else: "LM", a blank or "%",
// and the level in three digits.
inline constexpr std::size_t kLevelReplyLength = 6;
// Where the first such reply in raw bytes begins; npos when they hold none.
std::size_t FindLevelReply(std::string_view bytes);

// A memory channel report of a stored channel: "MX", the bank letter, two digits and the
// channel's fields (an empty channel reads "MXA05 ---").
bool IsChannelReport(std::string_view reply);

// The frequency after the first "RF": exactly ten digits of Hz, as MHz text without the
// zeros that say nothing ("0145500000" is "145.5", "0145000000" is "145."). Nothing when
// there is no "RF" or its digits are cut short or are not digits.
std::optional<std::string> ReportedFrequency(std::string_view reply);

}  // namespace voskel
