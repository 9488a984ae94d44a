#include "support/recording_window.h"

namespace voskel::testing {
namespace {

std::string TrimRight(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

}  // namespace

bool RecordingWindow::Open(const std::string& t) {
  open = true;
  title = t;
  return true;
}

void RecordingWindow::StartTimer(int periodMs) {
  timerRunning = true;
  timerPeriod = periodMs;
}

int RecordingWindow::CellWidth(const platform::Font& font) {
  return font.points > 0 ? (font.points * 96 / 72) / 2 : 8;
}

int RecordingWindow::DrawText(int x, int y, std::string_view text, const platform::Font& font,
                              platform::Colour colour) {
  if (!open) return 0;
  prints.push_back(Print{x, y, font, colour, std::string(text)});
  const int cell = CellWidth(font);
  const int width = static_cast<int>(text.size()) * cell;
  auto& line = screen_[y];
  // Opaque cells: whatever lay under the new text is gone, and text that ran into it is cut.
  for (auto it = line.begin(); it != line.end();) {
    const int start = it->first;
    auto& [oldText, oldWidth] = it->second;
    const int end = start + oldWidth;
    if (start >= x && start < x + width) {
      it = line.erase(it);
      continue;
    }
    if (start < x && end > x) {
      const int oldCell = oldText.empty() ? 1 : oldWidth / static_cast<int>(oldText.size());
      const std::size_t keep = static_cast<std::size_t>((x - start) / (oldCell > 0 ? oldCell : 1));
      oldText.resize(std::min(keep, oldText.size()));
      oldWidth = x - start;
    }
    ++it;
  }
  line[x] = {std::string(text), width};
  return width;
}

std::vector<platform::Event> RecordingWindow::WaitEvents() {
  if (onWait) onWait();
  if (batches.empty()) return {platform::Event{platform::Event::Kind::Close, 0}};
  auto batch = batches.front();
  batches.erase(batches.begin());
  return batch;
}

std::string RecordingWindow::TextAt(int x, int y) const {
  auto line = screen_.find(y);
  if (line == screen_.end()) return {};
  auto cell = line->second.find(x);
  return cell == line->second.end() ? std::string() : TrimRight(cell->second.first);
}

std::string RecordingWindow::LineAt(int y) const {
  auto line = screen_.find(y);
  if (line == screen_.end()) return {};
  std::string joined;
  for (const auto& [x, entry] : line->second) joined += entry.first;
  const auto first = joined.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : TrimRight(joined.substr(first));
}

const Print* RecordingWindow::LastPrintContaining(const std::string& fragment) const {
  for (auto it = prints.rbegin(); it != prints.rend(); ++it)
    if (it->text.find(fragment) != std::string::npos) return &*it;
  return nullptr;
}

}  // namespace voskel::testing
