#pragma once
// A braille display, in the panel's terms: it shows one text, the panel's latest message,
// in place of the one before. The logic above this interface never sees BrlAPI.
#include <string_view>

namespace voskel::platform {

class Braille {
 public:
  virtual ~Braille() = default;
  // The text is UTF-8. Returns at once, whether or not a display is there to show it.
  virtual void Show(std::string_view text) = 0;
};

// For a panel that has no braille display at all.
class NoBraille : public Braille {
 public:
  void Show(std::string_view) override {}
  static NoBraille& Instance() {
    static NoBraille none;
    return none;
  }
};

}  // namespace voskel::platform
