#pragma once
// The Hamlib-compatible network port: clients connect, read the receiver from the panel's
// state and tune it through the key queue. Served a little on each tick and never waited
// on, so no client can slow the panel: a silent one costs nothing, one that floods or
// stops reading is dropped.
#include <vector>

#include "core/panel.h"
#include "platform/network.h"
#include "remote/rigctl_protocol.h"

namespace voskel {

class RigctlServer : public RemoteControl {
 public:
  static constexpr std::size_t kMaxClients = 8;
  // What one client is given in one tick.
  static constexpr int kReadPerTick = 4096;
  static constexpr int kAnswersPerTick = 64;
  // Input is no longer read while this much waits unanswered (behind a set, say); output
  // the client leaves unread beyond this bound means it has stopped reading.
  static constexpr std::size_t kMaxUnanswered = 8 * 1024;
  static constexpr std::size_t kMaxUnread = 64 * 1024;

  // The network must be listening already.
  explicit RigctlServer(platform::Network& network) : network_(network) {}
  RigctlServer(const RigctlServer&) = delete;
  RigctlServer& operator=(const RigctlServer&) = delete;
  ~RigctlServer() override;

  void Serve(Panel& panel) override;
  void RunSet(Panel& panel, int ticket) override;

  std::size_t ClientCount() const { return clients_.size(); }

 private:
  struct Client {
    int connection = -1;
    rigctl::Session session;
    int ticket = 0;      // of its set in the key queue; 0 when none stands there
    bool ended = false;  // it will send nothing more
  };

  void AcceptClients();
  // False when the client is to go.
  bool ServeClient(Client& client, const rigctl::ReceiverView& view);
  void QueueWaitingSet(Panel& panel);
  bool Flush(Client& client);

  platform::Network& network_;
  std::vector<Client> clients_;
  int nextTicket_ = 1;
  int queuedTicket_ = 0;         // one client's set at a time stands in the key queue
  std::size_t nextToQueue_ = 0;  // where the turns of the clients' sets go on
};

}  // namespace voskel
