#include "line_framer.h"

namespace voskel::sim {

LineFramer::Event LineFramer::Push(char byte) {
  if (lineDone_) {
    line_.clear();
    lineDone_ = false;
  }
  const bool afterCr = afterCr_;
  afterCr_ = byte == '\r';
  if (byte == '\n' && afterCr) return Event::kNone;
  if (byte == '\0') return Event::kNone;
  if (byte >= 0x1C && byte <= 0x1F) {
    keypad_ = byte;
    keypadSinceLine_ = true;
    return Event::kKeypad;
  }
  if (byte == '\r' || byte == '\n') {
    const bool keypad = keypadSinceLine_;
    keypadSinceLine_ = false;
    if (tooLong_) {
      tooLong_ = false;
      line_.clear();
      return Event::kTooLong;
    }
    if (line_.empty()) return keypad ? Event::kKeypadAck : Event::kNone;
    lineDone_ = true;
    return Event::kLine;
  }
  keypadSinceLine_ = false;
  if (tooLong_) return Event::kNone;
  if (line_.size() >= kMaxLine) {
    tooLong_ = true;
    line_.clear();
    return Event::kNone;
  }
  line_ += byte;
  return Event::kNone;
}

}  // namespace voskel::sim
