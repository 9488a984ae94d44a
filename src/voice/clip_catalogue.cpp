#include "voice/clip_catalogue.h"

#include <charconv>

namespace voskel {
namespace {

constexpr int kMaxClipLengthMs = 10000;
constexpr int kMinToneHz = 20;
constexpr int kMaxToneHz = 10000;

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

// Splits at blanks; empty when text is empty.
std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  while (true) {
    text = Trim(text);
    if (text.empty()) return words;
    const auto end = text.find_first_of(" \t");
    words.push_back(text.substr(0, end));
    if (end == std::string_view::npos) return words;
    text.remove_prefix(end);
  }
}

bool ReadInt(std::string_view text, int low, int high, int& value) {
  const char* last = text.data() + text.size();
  auto [ptr, error] = std::from_chars(text.data(), last, value);
  return error == std::errc() && ptr == last && value >= low && value <= high;
}

// "@silence MS" or "@tone MS HZ"; an empty result when the line is well formed.
std::string ReadSpecial(std::string_view words, ClipEntry& entry) {
  const std::vector<std::string_view> parts = Words(words);
  if (parts[0] == "@silence" && parts.size() == 2) {
    entry.kind = ClipEntry::Kind::Silence;
    if (!ReadInt(parts[1], 1, kMaxClipLengthMs, entry.lengthMs)) return "bad silence length";
    return {};
  }
  if (parts[0] == "@tone" && parts.size() == 3) {
    entry.kind = ClipEntry::Kind::Tone;
    if (!ReadInt(parts[1], 1, kMaxClipLengthMs, entry.lengthMs)) return "bad tone length";
    if (!ReadInt(parts[2], kMinToneHz, kMaxToneHz, entry.toneHz)) return "bad tone pitch";
    return {};
  }
  return "unknown special clip \"" + std::string(words) + "\"";
}

}  // namespace

std::string ClipKey(std::string_view clip) {
  std::string key(clip);
  for (char& c : key)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  if (key.size() > 4 && key.ends_with(".wav")) key.resize(key.size() - 4);
  return key;
}

const ClipEntry* ClipTable::Find(std::string_view clip) const {
  const std::string key = ClipKey(clip);
  for (const ClipEntry& entry : clips)
    if (ClipKey(entry.name) == key) return &entry;
  return nullptr;
}

bool ClipTable::Has(std::string_view clip) const {
  return Find(clip) != nullptr;
}

ClipTable ParseClipTable(std::string_view text) {
  ClipTable table;
  int lineNumber = 0;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++lineNumber;

    line = Trim(line);
    if (line.empty() || line.front() == '#') continue;
    auto fail = [&](const std::string& why) {
      table.errors.push_back("line " + std::to_string(lineNumber) + ": " + why);
    };
    const auto tab = line.find('\t');
    if (tab == std::string_view::npos) {
      fail("no tab between the name and the words");
      continue;
    }
    ClipEntry entry;
    entry.name = std::string(Trim(line.substr(0, tab)));
    const std::string_view said = line.substr(tab + 1);
    const auto writtenTab = said.find('\t');
    const std::string_view words = Trim(said.substr(0, writtenTab));
    const std::string_view written =
        writtenTab == std::string_view::npos ? std::string_view() : Trim(said.substr(writtenTab + 1));
    if (entry.name.empty() || entry.name.find_first_of(" /\\.") != std::string::npos) {
      fail("bad clip name \"" + entry.name + "\"");
      continue;
    }
    if (words.empty()) {
      fail("clip \"" + entry.name + "\" says nothing");
      continue;
    }
    if (table.Has(entry.name)) {
      fail("clip \"" + entry.name + "\" listed twice");
      continue;
    }
    if (words.front() == '@') {
      if (std::string why = ReadSpecial(words, entry); !why.empty()) {
        fail(why);
        continue;
      }
      if (!written.empty()) {
        fail("clip \"" + entry.name + "\" says no words to write");
        continue;
      }
    } else {
      entry.words = std::string(words);
      entry.written = std::string(written);
    }
    table.clips.push_back(std::move(entry));
  }
  return table;
}

}  // namespace voskel
