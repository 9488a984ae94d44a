#include "link/reply_fields.h"

#include "core/receiver_range.h"
#include "core/text.h"

namespace voskel {
namespace {

constexpr std::size_t kFrequencyDigits = 10;
constexpr std::size_t kMhzDigits = 4;
constexpr std::size_t kLevelDigits = 3;

bool IsDigitChar(char c) {
  return c >= '0' && c <= '9';
}

std::size_t DigitsFrom(std::string_view text, std::size_t at) {
  std::size_t n = 0;
  while (at + n < text.size() && IsDigitChar(text[at + n])) ++n;
  return n;
}

struct ReplyKey {
  std::string_view key;
  std::size_t kept;
};

// The reply from the first occurrence of the key, `kept` characters at most; empty when
// the key is absent.
std::string_view CutAtKey(std::string_view bytes, const ReplyKey& rule) {
  const std::size_t at = bytes.find(rule.key);
  if (at == std::string_view::npos) return {};
  return bytes.substr(at, rule.kept);
}

}  // namespace

bool IsReceiverBankLetter(int c) {
  return c >= 'A' && c <= 'J';
}

KeptReply KeepReply(std::string_view bytes) {
  static constexpr ReplyKey kOutrankingKeys[] = {{"LC", 30}, {"MW", 13}};
  static constexpr ReplyKey kLaterKeys[] = {{"MX", 60}, {"VS", 18}, {"LM", 6}};
  for (const ReplyKey& rule : kOutrankingKeys)
    if (const std::string_view reply = CutAtKey(bytes, rule); !reply.empty()) return {reply, true};
  for (const ReplyKey& rule : kLaterKeys)
    if (const std::string_view reply = CutAtKey(bytes, rule); !reply.empty()) return {reply, false};
  return {};
}

std::optional<LevelReport> ReadLevelReport(std::string_view reply) {
  constexpr std::size_t kFlag = 2;
  constexpr std::size_t kFirstDigit = 3;
  if (reply.size() <= kFirstDigit) return std::nullopt;
  const std::string_view key = reply.substr(0, 2);
  if (key != "LM" && key != "LC") return std::nullopt;
  // Only the receiver's own form counts, a blank or "%" and all three digits: a byte
  // garbled on the line ("LM$013") would be read as an open squelch, a signal where none is.
  if (reply[kFlag] != ' ' && reply[kFlag] != '%') return std::nullopt;
  const std::size_t digits = DigitsFrom(reply, kFirstDigit);
  if (digits != kLevelDigits) return std::nullopt;
  LevelReport report;
  report.squelchClosed = reply[kFlag] == '%';
  for (std::size_t i = 0; i < digits; ++i)
    report.raw = report.raw * 10 + (reply[kFirstDigit + i] - '0');
  if (key == "LC") report.raw += 10;
  return report;
}

std::size_t FindLevelReply(std::string_view bytes) {
  for (std::size_t at = bytes.find("LM"); at != std::string_view::npos;
       at = bytes.find("LM", at + 1)) {
    const std::string_view reply = bytes.substr(at, kLevelReplyLength);
    if (reply.size() < kLevelReplyLength) break;
    if (reply.substr(0, 2) == "LM" && ReadLevelReport(reply)) return at;
  }
  return std::string_view::npos;
}

bool IsChannelReport(std::string_view reply) {
  return reply.size() >= 8 && reply.substr(0, 2) == "MX" && IsReceiverBankLetter(reply[2]) &&
         IsDigitChar(reply[3]) && IsDigitChar(reply[4]) && reply.substr(5, 3) != " --";
}

bool IsEmptyChannelReport(std::string_view reply) {
  const std::size_t at = reply.find("MX");
  if (at == std::string_view::npos) return false;
  const std::string_view report = reply.substr(at);
  return report.size() >= 9 && IsReceiverBankLetter(report[2]) && IsDigitChar(report[3]) &&
         IsDigitChar(report[4]) && report.substr(5, 4) == " ---";
}

std::optional<std::string> ReportedChannel(std::string_view reply) {
  const std::size_t at = reply.find("MX");
  if (at == std::string_view::npos) return std::nullopt;
  const std::string_view channel = SubFrom(reply, at + 2, 3);
  if (channel.size() != 3 || !IsReceiverBankLetter(channel[0]) || !IsDigitChar(channel[1]) ||
      !IsDigitChar(channel[2]))
    return std::nullopt;
  return std::string(channel);
}

std::string ReportedTag(std::string_view reply) {
  const std::size_t report = reply.find("MX");
  const std::size_t at = report == std::string_view::npos ? report : reply.find(" TM", report);
  if (at == std::string_view::npos) return {};
  std::string tag(SubFrom(reply, at + 3, 12));
  tag = tag.substr(0, tag.find_first_of("\r\n"));
  while (!tag.empty() && tag.back() == ' ') tag.pop_back();
  return tag;
}

std::optional<char> ReportedModeDigit(std::string_view reply) {
  const std::size_t at = reply.find("MD");
  if (at == std::string_view::npos || at + 2 >= reply.size()) return std::nullopt;
  return reply[at + 2];
}

std::optional<std::string> ReportedBankSize(std::string_view reply) {
  const std::size_t at = reply.find("MW");
  if (at == std::string_view::npos) return std::nullopt;
  return std::string(SubFrom(reply, at + 5, 2));
}

std::optional<std::string> ReportedFrequency(std::string_view reply) {
  const std::size_t at = reply.find("RF");
  if (at == std::string_view::npos) return std::nullopt;
  const std::size_t first = at + 2;
  if (DigitsFrom(reply, first) != kFrequencyDigits) return std::nullopt;
  const std::string_view digits = reply.substr(first, kFrequencyDigits);
  // The receiver never stands at 0 Hz nor above 3000 MHz: ten zeros or a garbled first
  // digit are line noise, which would be shown, stored and sent back (as text ten zeros
  // are a point without a digit, which no later reading of a frequency takes).
  std::int64_t hz = 0;
  for (const char digit : digits) hz = hz * 10 + (digit - '0');
  if (hz < kLowestHz || hz > kHighestHz) return std::nullopt;
  std::string whole(digits.substr(0, kMhzDigits));
  std::string fraction(digits.substr(kMhzDigits));
  whole.erase(0, whole.find_first_not_of('0') == std::string::npos ? whole.size()
                                                                   : whole.find_first_not_of('0'));
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  return whole + "." + fraction;
}

}  // namespace voskel
