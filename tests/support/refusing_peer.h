#pragma once
// The simulated receiver, except that it answers "?" to every command that begins with one
// of the refused words, as a receiver does to a command it will not carry out.
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
        out += Refused(command) ? std::string("?\r\n") : inner(command, now);
      }
      return out;
    };
  }

  std::vector<std::string> refused;

 private:
  bool Refused(const std::string& command) const {
    for (const std::string& word : refused)
      if (command.rfind(word, 0) == 0) return true;
    return false;
  }

  SimPeer& sim_;
  std::string pending_;
};

}  // namespace voskel::testing
