#pragma once
// The fields the panel reads out of the receiver's replies, each read only when it is
// whole: a reply cut short on the line, or garbage, says nothing.
#include <optional>
#include <string>
#include <string_view>

namespace voskel {

// What ReadReply keeps of the bytes one read brought: the first reply it recognises by
// its key, cut to that reply's length. The level with channel ("LC") and a bank size
// ("MW") outrank the rest, whatever stands before them; then a channel report ("MX"), a
// search's state ("VS") and the level ("LM").
struct KeptReply {
  std::string_view text;    // within the bytes; empty when they hold no reply
  bool outranking = false;  // kept by "LC" or "MW"
};
KeptReply KeepReply(std::string_view bytes);

struct LevelReport {
  bool squelchClosed = false;
  int raw = 0;  // the reading, 10 added for a level-with-channel reply ("LC")
};

// "LM" or "LC", the squelch flag (a blank, or "%" when closed), then three level digits.
// "LM", "LM?", "LM$013" and every other reply are no level report.
std::optional<LevelReport> ReadLevelReport(std::string_view reply);

// A level reply as the receiver sends it unasked for nothing else: "LM", a blank or "%",
// and the level in three digits.
inline constexpr std::size_t kLevelReplyLength = 6;
// Where the first such reply in raw bytes begins; npos when they hold none.
std::size_t FindLevelReply(std::string_view bytes);

// The receiver's banks are the letters A to J.
bool IsReceiverBankLetter(int c);

// A memory channel report of a stored channel: "MX", the bank letter, two digits and the
// channel's fields (an empty channel reads "MXA05 ---").
bool IsChannelReport(std::string_view reply);
// "MXA01 ---": the receiver's answer for a channel that holds nothing.
bool IsEmptyChannelReport(std::string_view reply);

// The bank letter and two-digit channel after the first "MX", as "MR" takes them back.
std::optional<std::string> ReportedChannel(std::string_view reply);

// The character after the first "MD": the mode digit of a channel report.
// The tag of a channel report ("TM" and up to 12 characters to the end of the line),
// blanks at its end left off; empty when the report has none.
std::string ReportedTag(std::string_view reply);
std::optional<char> ReportedModeDigit(std::string_view reply);

// The last two digits of a bank's size, which stand 5 and 6 places after the "MW" of the
// answer to "MW" and a bank letter ("MWA 050" is "50"); fewer when the reply ends sooner.
std::optional<std::string> ReportedBankSize(std::string_view reply);

// The frequency after the first "RF": exactly ten digits of Hz, as MHz text without the
// zeros that say nothing ("0145500000" is "145.5", "0145000000" is "145."). Nothing when
// there is no "RF", its digits are cut short or are not digits, or they are no frequency
// the receiver tunes.
std::optional<std::string> ReportedFrequency(std::string_view reply);

}  // namespace voskel
