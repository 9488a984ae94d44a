#include "bank_export.h"

#include <cstdint>
#include <optional>

#include "banks/bank_check.h"
#include "channel_list.h"
#include "chirp_layout.h"
#include "decimal_text.h"
#include "platform/latin1_text.h"
#include "receiver/frequency_text.h"

namespace voskelbank {
namespace {

// The file's own line numbers, from 1.
std::string Line(int index) {
  return "line " + std::to_string(index + 1) + ": ";
}

std::string Field(const std::string& latin1) {
  return Quoted(voskel::platform::Latin1ToUtf8(latin1, '?'));
}

}  // namespace

Export BankToCsv(const voskel::BankImage& lines) {
  Export out;
  const std::optional<std::string_view> mode = ChirpMode(lines[1]);
  if (!mode)
    out.problems.push_back(Line(1) + "the mode " + Field(lines[1]) +
                           " is not one of the receiver's: WFM, FM, AM, USB, LSB, CW or AUT");
  const std::optional<std::int64_t> stepHz = ParseDecimal(lines[2], 3);
  if (!stepHz || *stepHz == 0)
    out.problems.push_back(Line(2) + "the step " + Field(lines[2]) + " is not a number of kHz");

  for (std::size_t c = 0; c < kColumns.size(); ++c)
    out.csv += (c ? "," : "") + std::string(kColumns[c]);
  out.csv += "\r\n";
  const int end = voskel::ChannelEnd(lines);
  for (int i = voskel::kFirstChannel; i < end; i += 2) {
    const std::string& frequency = lines[static_cast<std::size_t>(i)];
    const std::string& tag = lines[static_cast<std::size_t>(i + 1)];
    const std::optional<std::int64_t> hz = ParseDecimal(frequency, 6);
    if (!hz || !voskel::TunableHz(*hz)) {
      out.problems.push_back(Line(i) + Field(frequency) +
                             " is not a frequency the receiver tunes (0.1-3000 MHz)");
      continue;
    }
    if (tag.size() > voskel::kTagWidth)
      out.notes.push_back(Line(i + 1) + "the tag " + Field(tag) +
                          " is longer than the receiver's 12 characters; shorten it "
                          "before the CSV comes back in");
    // A single blank is how the panel writes a channel without a tag.
    const std::string name = tag == " " ? "" : voskel::platform::Latin1ToUtf8(tag, '?');
    if (mode && stepHz) out.csv += ChirpRow(i / 2 - 2, name, *hz, *mode, *stepHz);
  }
  // What the panel would refuse is not passed on either: a file cut short, a control
  // character in a tag.
  if (const auto damage = voskel::BankDamage(lines); damage && out.problems.empty()) {
    const std::string& text = lines[static_cast<std::size_t>(damage->line)];
    out.problems.push_back(Line(damage->line) + (text.empty() ? "the line" : Field(text)) + " " +
                           std::string(damage->why));
  }
  return out;
}

}  // namespace voskelbank
