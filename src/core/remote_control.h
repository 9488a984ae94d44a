#pragma once
// How the network port takes part in the event path without the keys knowing it: keys/
// and app/ call this, remote/ provides it.
#include <cstdint>

namespace voskel {

struct Panel;

class RemoteControl {
 public:
  virtual ~RemoteControl() = default;
  // Spends ms serving the clients: whatever they read is answered as it comes, from what
  // the panel last learned; their sets wait their turn. Called wherever the panel waits,
  // also inside a key or a clip, so it never speaks and never talks to the receiver.
  virtual void Wait(Panel& panel, std::int64_t ms) = 0;
  // Once on every timer tick, after the poll cycle's step: Wait without waiting, and the
  // announcement of the clients' sets that has come due.
  virtual void Serve(Panel& panel) = 0;
  // A client's set waits for the receiver.
  virtual bool HasSets() const = 0;
  // The sets waiting, taken in turn, each answered as the receiver answers it. Only where
  // the line to the receiver is free: between the poll cycle's exchanges, with no key of
  // the listener's waiting. Throws ReceiverLost as a key would.
  virtual void RunSets(Panel& panel) = 0;
};

}  // namespace voskel
