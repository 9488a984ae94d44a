#pragma once
#include <cstddef>
#include <string>

namespace voskel::sim {

// Cuts the receiver's input into command lines. A CR ends a line; a LF right after a CR
// is dropped and a LF on its own ends a line too. NUL bytes are dropped (a line that is
// opened or unplugged tends to produce them). The keypad bytes 0x1C..0x1F act at once,
// wherever they stand; a CR that follows them on an otherwise empty line asks for an
// acknowledgement. A line longer than kMaxLine is thrown away and reported when it ends.
class LineFramer {
 public:
  static constexpr std::size_t kMaxLine = 255;

  enum class Event { kNone, kLine, kTooLong, kKeypad, kKeypadAck };

  Event Push(char byte);
  // The finished line after kLine.
  const std::string& Line() const { return line_; }
  // The keypad byte after kKeypad.
  char Keypad() const { return keypad_; }

 private:
  std::string line_;
  bool lineDone_ = false;
  bool tooLong_ = false;
  bool afterCr_ = false;
  bool keypadSinceLine_ = false;
  char keypad_ = 0;
};

}  // namespace voskel::sim
