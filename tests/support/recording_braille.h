#pragma once
// A braille display and a standard output that keep what the panel gave them.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/braille.h"
#include "platform/transcript.h"

namespace voskel::testing {

class RecordingBraille : public platform::Braille {
 public:
  void Show(std::string_view text) override { shown.emplace_back(text); }
  std::vector<std::string> shown;
};

class RecordingTranscript : public platform::Transcript {
 public:
  void WriteLine(std::string_view line) override {
    lines.emplace_back(line);
    if (onLine) onLine(lines.back());
  }
  std::vector<std::string> lines;
  std::function<void(const std::string&)> onLine;
};

}  // namespace voskel::testing
