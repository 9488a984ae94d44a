// Whatever comes back on the line, as ReadReply keeps it and as each reader reads it.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/invariant.h"
#include "link/exchange.h"
#include "link/reply_fields.h"
#include "receiver/frequency_text.h"

namespace {

using voskel::fuzz::Require;

void ReadEveryField(std::string_view reply) {
  if (const auto level = voskel::ReadLevelReport(reply))
    Require(level->raw >= 0 && level->raw <= 999 + 10, "a level of three digits at most");
  const auto channel = voskel::ReportedChannel(reply);
  Require(!channel || (channel->size() == 3 && voskel::IsChannelReport("MX" + *channel + " MP0")),
          "a channel is a bank letter and two digits");
  Require(!voskel::IsChannelReport(reply) || channel == std::string(reply.substr(2, 3)),
          "a channel report names its channel");
  voskel::ReportedModeDigit(reply);
  if (const auto size = voskel::ReportedBankSize(reply)) Require(size->size() <= 2, "two digits");
  if (const auto mhz = voskel::ReportedFrequency(reply)) {
    const std::size_t at = reply.find("RF") + 2;
    Require(voskel::IsNumberText(*mhz) && mhz->find('.') != std::string::npos,
            "a frequency is digits and one point");
    Require(voskel::TunableFrequency(*mhz), "one the receiver tunes");
    Require(voskel::MhzTextToHz(*mhz) == std::stoll(std::string(reply.substr(at, 10))),
            "and the Hz reported");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const voskel::KeptReply kept = voskel::KeepReply(bytes);
  const std::string_view key = kept.text.substr(0, 2);
  Require(kept.text.empty() || (kept.outranking ? key == "LC" || key == "MW"
                                                : key == "MX" || key == "VS" || key == "LM"),
          "the reply kept begins with its key");
  Require((voskel::AnswerIn(bytes) == voskel::Answer::kSilent) ==
              (bytes.find_first_of("\r\n") == std::string_view::npos),
          "silence is no line end");
  const std::size_t level = voskel::FindLevelReply(bytes);
  Require(level == std::string_view::npos ||
              voskel::ReadLevelReport(bytes.substr(level, voskel::kLevelReplyLength)),
          "a level reply found reads as one");
  ReadEveryField(bytes);
  ReadEveryField(kept.text);
  return 0;
}
