#pragma once
// The simulated receiver, except that it answers "?" to every command that begins with one
// of the refused words, as a receiver does to a command it will not carry out, and that the
// answer to a command beginning with an unanswered word is lost on the line: the command
// is carried out all the same.
#include <string>
#include <string_view>
#include <vector>

#include "support/sim_peer.h"

namespace voskel::testing {

class RefusingPeer {
 public:
  explicit RefusingPeer(SimPeer& sim) : sim_(sim) {}

  Peer AsPeer() {
    return [this, inner = sim_.AsPeer()](std::string_view bytes, std::int64_t now) {
      std::string out = inner("", now);  // the receiver's time moves on all the same
      pending_.append(bytes);
      for (std::size_t end; (end = pending_.find('\r')) != std::string::npos;) {
        const std::string command = pending_.substr(0, end + 1);
        pending_.erase(0, end + 1);
        if (BeginsWithOneOf(command, refused)) {
          out += "?\r\n";
        } else if (const std::string answer = inner(command, now);
                   !BeginsWithOneOf(command, unanswered)) {
          out += answer;
        }
      }
      return out;
    };
  }

  std::vector<std::string> refused;
  std::vector<std::string> unanswered;

 private:
  static bool BeginsWithOneOf(const std::string& command, const std::vector<std::string>& words) {
    for (const std::string& word : words)
      if (command.rfind(word, 0) == 0) return true;
    return false;
  }

  SimPeer& sim_;
  std::string pending_;
};

}  // namespace voskel::testing
