#include "core/text.h"

namespace voskel {

double ReadNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && text[i] == '-') {
    negative = true;
    ++i;
  }
  double value = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9')
    value = value * 10 + (text[i++] - '0');
  if (i < text.size() && text[i] == '.') {
    ++i;
    double place = 0.1;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
      value += (text[i++] - '0') * place;
      place /= 10;
    }
  }
  return negative ? -value : value;
}

std::string Cap(std::string_view text) {
  return std::string(text.substr(0, kMaxText));
}

void AppendCapped(std::string& text, std::string_view more) {
  if (text.size() >= kMaxText) return;
  text.append(more.substr(0, kMaxText - text.size()));
}

std::string_view SubFrom(std::string_view text, std::size_t pos, std::size_t count) {
  if (pos >= text.size()) return {};
  return text.substr(pos, count);
}

bool ReadTextLine(std::istream& in, std::string& line) {
  line.clear();
  char c;
  if (!in.get(c)) return false;
  while (c != '\r' && c != '\n') {
    if (line.size() < kMaxText) line += c;
    if (!in.get(c)) return true;
  }
  if (c == '\r' && in.peek() == '\n') in.get(c);
  return true;
}

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

}  // namespace voskel
