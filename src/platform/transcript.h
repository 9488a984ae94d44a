#pragma once
// The panel's transcript: each finished message as one line of text, so that a terminal
// screen reader, a script or a log can follow the panel.
#include <string>
#include <string_view>

namespace voskel::platform {

class Transcript {
 public:
  virtual ~Transcript() = default;
  // One line, without its line end. Returns at once.
  virtual void WriteLine(std::string_view line) = 0;
};

// For a panel whose messages go nowhere.
class NoTranscript : public Transcript {
 public:
  void WriteLine(std::string_view) override {}
  static NoTranscript& Instance() {
    static NoTranscript none;
    return none;
  }
};

// Standard output, written as each line comes. A reader that stops reading (a pager left
// alone, a pipe into a stopped program) never holds the panel up: what it has not taken
// waits, up to kMaxWaiting bytes, and the oldest lines beyond that are dropped.
class StandardOutputTranscript : public Transcript {
 public:
  explicit StandardOutputTranscript(int fd = 1);
  ~StandardOutputTranscript() override;
  StandardOutputTranscript(const StandardOutputTranscript&) = delete;
  StandardOutputTranscript& operator=(const StandardOutputTranscript&) = delete;
  void WriteLine(std::string_view line) override;

  static constexpr std::size_t kMaxWaiting = 64 * 1024;

 private:
  int fd_;
  int ownFd_ = -1;  // a private non-blocking description of a terminal, when one opened
  std::string waiting_;
};

}  // namespace voskel::platform
