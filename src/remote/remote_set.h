#pragma once
// A client's setting, made for it straight at the receiver: answered as soon as the
// receiver answers, never through what the listener is typing, and never over what the
// listener holds the receiver in.
#include <optional>
#include <string>

#include "core/panel.h"
#include "remote/rigctl_protocol.h"

namespace voskel {

// Tells the listener, briefly, that another program changed the receiver: a short tone
// and a written line (screen, braille, standard output) each time, the value itself
// spoken at most once every kSpokenEveryMs, and only the latest, so that a program
// tracking a satellite's Doppler shift never floods the voice.
class SetAnnouncer {
 public:
  static constexpr std::int64_t kSpokenEveryMs = 5000;

  // The receiver took a client's setting that changed what it holds.
  void Changed(Panel& panel, const rigctl::SetRequest& set);
  // On each tick: the latest value, once its time has come and the listener is neither
  // typing nor waiting for a key to be answered.
  void SpeakDue(Panel& panel);

 private:
  std::optional<rigctl::SetRequest> unspoken_;
  std::int64_t spokenAtMs_ = -kSpokenEveryMs;
};

// Hamlib's code for the client: kOk when the receiver took the setting; kRejected when
// the listener holds the receiver (a bank, a search, a scan, W or Z) or the receiver
// refused it; kIoError while the receiver is not there or the run is ending. Throws
// ReceiverLost when the receiver is found gone.
int ApplyRemoteSet(Panel& panel, const rigctl::SetRequest& set, SetAnnouncer& announcer);

}  // namespace voskel
