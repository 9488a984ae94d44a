#include "channel_list.h"

#include <algorithm>

#include "banks/bank_lines.h"
#include "chirp_layout.h"
#include "decimal_text.h"
#include "platform/latin1_text.h"
#include "receiver/frequency_text.h"

namespace voskelbank {
namespace {

namespace platform = voskel::platform;

constexpr std::size_t kShownCharacters = 32;
constexpr std::size_t kShownLines = 10;

bool IsContinuation(char c) {
  return (static_cast<unsigned char>(c) & 0xc0) == 0x80;
}

bool HasControlCode(std::string_view latin1) {
  return std::any_of(latin1.begin(), latin1.end(),
                     [](char c) { return platform::IsControlCode(static_cast<unsigned char>(c)); });
}

// The first characters of a Latin-1 text, as many as a tag holds.
std::string CutToTag(const std::string& latin1) {
  return latin1.substr(0, voskel::kTagWidth);
}

}  // namespace

std::string At(int line) {
  return "line " + std::to_string(line) + ": ";
}

std::string LinesText(const std::vector<int>& lines) {
  std::string text = lines.size() == 1 ? "line " : "lines ";
  const std::size_t shown = std::min(lines.size(), kShownLines);
  for (std::size_t i = 0; i < shown; ++i) {
    if (i > 0) text += (i + 1 == shown && shown == lines.size()) ? " and " : ", ";
    text += std::to_string(lines[i]);
  }
  if (shown < lines.size()) text += " and " + std::to_string(lines.size() - shown) + " more";
  return text;
}

std::string Shown(std::string_view utf8) {
  std::string shown;
  std::size_t characters = 0;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if (!IsContinuation(utf8[i]) && ++characters > kShownCharacters) return shown + "...";
    const auto code = static_cast<unsigned char>(utf8[i]);
    shown += code < 0x20 || code == 0x7f ? '?' : utf8[i];
  }
  return shown;
}

std::string Quoted(std::string_view utf8) {
  return "\"" + Shown(utf8) + "\"";
}

std::vector<std::string> InLineOrder(std::vector<Message> messages) {
  std::stable_sort(messages.begin(), messages.end(),
                   [](const Message& a, const Message& b) { return a.line < b.line; });
  std::vector<std::string> texts;
  for (Message& message : messages) texts.push_back(std::move(message.text));
  return texts;
}

std::optional<std::int64_t> CheckFrequency(std::string_view text, bool inHz, int line,
                                           std::vector<Message>& problems) {
  const std::string unit = inHz ? " Hz" : " MHz";
  const bool whole = text.find('.') == std::string_view::npos;
  const std::optional<std::int64_t> value =
      inHz && !whole ? std::nullopt : ParseDecimal(text, inHz ? 0 : 6);
  if (text.empty())
    problems.push_back({line, At(line) + "the frequency is missing"});
  else if (!value)
    problems.push_back(
        {line, At(line) + "the frequency " + Quoted(text) + " is not a number of" + unit});
  else if (!voskel::TunableHz(*value))
    problems.push_back(
        {line, At(line) + Shown(text) + unit + " is outside the receiver's range 0.1-3000 MHz"});
  else
    return value;
  return std::nullopt;
}

std::optional<std::string> CheckName(std::string_view utf8, int line, const ListOptions& options,
                                     ChannelList& list) {
  const auto fail = [&](const std::string& why) {
    list.problems.push_back({line, At(line) + "the name " + Quoted(utf8) + " " + why});
    return std::nullopt;
  };
  if (utf8.empty()) return " ";  // as the panel writes a channel without a tag
  const std::optional<std::string> latin1 = platform::Utf8ToLatin1(utf8);
  if (!latin1) return fail("has characters outside Latin-1, the panel's character set");
  if (HasControlCode(*latin1)) return fail("holds control characters");
  if (latin1->size() <= voskel::kTagWidth) return latin1;
  if (!options.cutNames)
    return fail("is longer than the 12 characters of a tag (--cut-names cuts it)");
  const std::string cut = CutToTag(*latin1);
  list.notes.push_back({line, At(line) + "the name " + Quoted(utf8) + " is cut to " +
                                  Quoted(platform::Latin1ToUtf8(cut, '?'))});
  return cut;
}

void TellModeProblem(std::string_view word, std::string_view what, std::string_view storable,
                     int line, std::vector<Message>& problems) {
  if (word.empty())
    problems.push_back({line, At(line) + "the " + std::string(what) + " is missing; " +
                                  std::string(storable) + " can be stored"});
  else
    problems.push_back({line, At(line) + std::string(what) + " " + Shown(word) +
                                  " cannot be stored; " + std::string(storable) + " can"});
}

void NoteLeftOut(int leftOut, std::string_view onlyMode, ChannelList& list) {
  if (leftOut == 0) return;
  list.notes.push_back({0, "left out " + std::to_string(leftOut) +
                               (leftOut == 1 ? " row" : " rows") + " of other modes than " +
                               std::string(ChirpMode(onlyMode).value_or(onlyMode))});
}

}  // namespace voskelbank
