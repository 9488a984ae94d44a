#pragma once
// A speech server that says whole texts in the listener's own voice, rate and language
// (speech-dispatcher), beside the clips: the panel hands it words and never waits for them.
#include <memory>
#include <string>
#include <string_view>

namespace voskel::platform {

class SpeechServer {
 public:
  virtual ~SpeechServer() = default;
  // Queues the text behind what is being said. False when the server is gone: nothing
  // said through it will be heard any more.
  virtual bool Say(std::string_view text) = 0;
  // Cuts short what is being said and drops what waits.
  virtual void Cancel() = 0;
  // Whether it is speaking now, as far as its last notice tells.
  virtual bool Speaking() const = 0;
};

// speech-dispatcher at the address its clients are given (SPEECHD_ADDRESS, else its
// own default, started when it is not running). Null when it cannot be reached or the
// panel was built without libspeechd; why then says so in a few words.
std::unique_ptr<SpeechServer> OpenSpeechDispatcher(std::string& why);

}  // namespace voskel::platform
