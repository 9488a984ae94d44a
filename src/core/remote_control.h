#pragma once
// How the network port takes part in the event path without the keys knowing it: keys/
// calls this, remote/ provides it.

namespace voskel {

struct Panel;

class RemoteControl {
 public:
  virtual ~RemoteControl() = default;
  // Once on every timer tick, after the poll cycle's step: the clients are served a
  // little, never waited on.
  virtual void Serve(Panel& panel) = 0;
  // A client's setting has reached its turn in the key queue, where it stood as -ticket.
  virtual void RunSet(Panel& panel, int ticket) = 0;
};

}  // namespace voskel
