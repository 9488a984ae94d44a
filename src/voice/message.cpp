#include "voice/message.h"

#include <utility>

#include "platform/latin1_text.h"
#include "voice/clip_table_text.h"
#include "voice/voice.h"

namespace voskel {
namespace {

bool IsNumeral(const std::string& key) {
  return key == "point" || (key.size() == 1 && key[0] >= '0' && key[0] <= '9');
}

// Numbers are written as numbers, every other clip as the table writes it.
std::string WrittenWords(const ClipEntry& clip) {
  const std::string key = ClipKey(clip.name);
  if (IsNumeral(key)) return key == "point" ? "." : key;
  if (clip.kind != ClipEntry::Kind::Speech) return {};
  return clip.written.empty() ? clip.words : clip.written;
}

void AddPart(SpokenMessage& message, SpokenPart part, bool numeral) {
  part.joinsNumber =
      numeral && !message.numberEnded && !message.parts.empty() && message.parts.back().numeral;
  part.numeral = numeral;
  message.numberEnded = false;
  message.parts.push_back(std::move(part));
}

void Finish(Panel& panel, SpokenMessage& message) {
  SayWaitingWords(panel);
  const std::string text = MessageText(message.parts);
  if (!text.empty()) {
    panel.braille.Show(text);
    panel.transcript.WriteLine(panel.clock.LocalTime() + " " + text);
    panel.messages.last = std::move(message.parts);
  }
  message = {};
}

}  // namespace

const ClipTable& WrittenClipTable() {
  static const ClipTable table = ParseClipTable(ClipTableText());
  return table;
}

void AddClipToMessage(Panel& panel, const std::string& fullName, std::string_view clip, bool wait) {
  SpokenMessage& message = panel.messages.current;
  const ClipEntry* entry = WrittenClipTable().Find(clip);
  const std::string words = entry != nullptr ? WrittenWords(*entry) : std::string();
  // A pause or a tone is heard between words and numbers, never inside a number.
  if (words.empty()) {
    message.numberEnded = true;
    return;
  }
  SpokenPart part;
  part.clip = fullName;
  part.wait = wait;
  part.words = words;
  AddPart(message, std::move(part), IsNumeral(ClipKey(clip)));
}

void AddTagToMessage(Panel& panel, std::string_view tag) {
  const auto first = tag.find_first_not_of(" \t");
  if (first == std::string_view::npos) return;
  tag = tag.substr(first, tag.find_last_not_of(" \t") + 1 - first);
  SpokenPart part;
  part.tag = std::string(tag);
  part.words = platform::Latin1ToUtf8(tag, ' ');
  AddPart(panel.messages.current, std::move(part), false);
}

std::string MessageText(const std::vector<SpokenPart>& parts) {
  std::string text;
  for (const SpokenPart& part : parts) {
    if (!text.empty() && !part.joinsNumber) text += ' ';
    text += part.words;
  }
  return text;
}

void EndNumber(Panel& panel) {
  panel.messages.current.numberEnded = true;
}

void MarkKeyStart(Panel& panel) {
  SpokenMessage& message = panel.messages.current;
  message.keyStarts.push_back(message.parts.size());
}

void TakeBackKeyFromMessage(Panel& panel, bool characterTaken) {
  SpokenMessage& message = panel.messages.current;
  // The marks of the Backspace itself and of the key before it.
  std::size_t start = 0;
  for (int drop = characterTaken ? 0 : 1; drop < 2 && !message.keyStarts.empty(); ++drop) {
    start = message.keyStarts.back();
    message.keyStarts.pop_back();
  }
  if (start < message.parts.size()) message.parts.resize(start);
  message.numberEnded = false;
}

bool HoldsEntryMessage(const Panel& panel) {
  return !panel.messages.held.parts.empty() || !panel.messages.held.keyStarts.empty();
}

void HoldMessage(Panel& panel) {
  SayWaitingWords(panel);
  Messages& messages = panel.messages;
  const std::string text = MessageText(messages.current.parts);
  if (!text.empty()) panel.braille.Show(text);
  messages.held = std::exchange(messages.current, {});
}

void ResumeHeldMessage(Panel& panel) {
  Messages& messages = panel.messages;
  SpokenMessage said = std::exchange(messages.current, std::exchange(messages.held, {}));
  for (SpokenPart& part : said.parts) messages.current.parts.push_back(std::move(part));
}

void SayApart(Panel& panel, const std::function<void()>& say) {
  SpokenMessage around = std::exchange(panel.messages.current, {});
  say();
  FinishMessage(panel);
  panel.messages.current = std::move(around);
}

void FinishMessage(Panel& panel) {
  Finish(panel, panel.messages.current);
}

void FinishHeldMessage(Panel& panel) {
  Finish(panel, panel.messages.held);
}

void RepeatMessage(Panel& panel) {
  for (const SpokenPart& part : panel.messages.last) {
    if (!part.clip.empty())
      PlayClip(panel, part.clip, part.wait);
    else
      PlayTag(panel, part.tag, part.wait);
  }
  SayWaitingWords(panel);
  const std::string text = MessageText(panel.messages.last);
  if (text.empty()) return;
  panel.braille.Show(text);
  // A listener following on standard output hears it again there too.
  panel.transcript.WriteLine(panel.clock.LocalTime() + " " + text);
}

}  // namespace voskel
