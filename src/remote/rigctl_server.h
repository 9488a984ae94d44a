#pragma once
// The Hamlib-compatible network port. Reads are answered the moment a client's line
// arrives, from what the panel last learned of the receiver, wherever the panel is
// waiting (a clip, a reply, W, Z); sets wait their turn and are answered as the receiver
// answers them. No client can slow the panel: a silent one costs nothing, an idle one
// gives up its slot to a newcomer, one that floods or stops reading is dropped.
#include <cstdint>
#include <vector>

#include "core/panel.h"
#include "platform/network.h"
#include "remote/remote_set.h"
#include "remote/rigctl_protocol.h"

namespace voskel {

class RigctlServer : public RemoteControl {
 public:
  static constexpr std::size_t kMaxClients = 8;
  // What one client is given in one turn.
  static constexpr int kReadPerTurn = 4096;
  static constexpr int kAnswersPerTurn = 64;
  // Input is no longer read while this much waits unanswered (behind a set, say).
  static constexpr std::size_t kMaxUnanswered = 8 * 1024;
  // No more commands are answered while this much of the answers waits to be sent: a
  // client asking for dump after dump gets them as fast as it reads them.
  static constexpr std::size_t kAnswerBacklog = 16 * 1024;
  // A client that takes none of its waiting answers for this long has stopped reading.
  static constexpr std::int64_t kStalledMs = 10'000;
  // With every slot taken, a client that has sent nothing for this long is dropped for a
  // new one.
  static constexpr std::int64_t kIdleMs = 30'000;
  // The sets of one turn stop after this long, so that the meter keeps its pace.
  static constexpr std::int64_t kSetTurnMs = 150;

  // The network must be listening already.
  explicit RigctlServer(platform::Network& network) : network_(network) {}
  RigctlServer(const RigctlServer&) = delete;
  RigctlServer& operator=(const RigctlServer&) = delete;
  ~RigctlServer() override;

  void Wait(Panel& panel, std::int64_t ms) override;
  void Serve(Panel& panel) override;
  bool HasSets() const override;
  void RunSets(Panel& panel) override;

  std::size_t ClientCount() const { return clients_.size(); }

 private:
  struct Client {
    int connection = -1;
    rigctl::Session session;
    bool ended = false;                // it will send nothing more
    std::int64_t heardMs = 0;          // when it last sent something
    std::int64_t stalledSinceMs = -1;  // answers wait and the connection takes none
  };

  // Takes new clients, reads and answers: never waits, never speaks.
  void ServeNow(Panel& panel);
  void AcceptClients(std::int64_t now);
  // False when the client is to go.
  bool ServeClient(Client& client, const rigctl::ReceiverView& view, std::int64_t now);
  bool Flush(Client& client, std::int64_t now);
  // Every client waiting for this set gets the receiver's answer to it.
  void FinishAll(const rigctl::SetRequest& set, int code);

  platform::Network& network_;
  std::vector<Client> clients_;
  std::size_t nextSet_ = 0;  // where the turns of the clients' sets go on
  SetAnnouncer announcer_;
  bool serving_ = false;  // a wait inside a wait serves nothing twice
};

}  // namespace voskel
