#include "remote/rigctl_server.h"

#include <array>
#include <climits>

#include "keys/poll_cycle.h"
#include "link/exchange.h"
#include "remote/panel_view.h"
#include "remote/remote_set.h"

namespace voskel {
namespace {

// Connections taken in one tick; more wait in the system's backlog for the next.
constexpr int kAcceptsPerTick = 16;

}  // namespace

RigctlServer::~RigctlServer() {
  for (const Client& client : clients_) network_.Close(client.connection);
}

void RigctlServer::Serve(Panel& panel) {
  AcceptClients();
  const rigctl::ReceiverView view = ViewOf(panel.state);
  for (auto it = clients_.begin(); it != clients_.end();) {
    if (ServeClient(*it, view)) {
      ++it;
      continue;
    }
    network_.Close(it->connection);
    it = clients_.erase(it);
  }
  QueueWaitingSet(panel);
}

void RigctlServer::RunSet(Panel& panel, int ticket) {
  if (ticket == queuedTicket_) queuedTicket_ = 0;
  for (Client& client : clients_) {
    if (client.ticket != ticket || !client.session.PendingSet()) continue;
    client.ticket = 0;
    const rigctl::SetRequest set = *client.session.PendingSet();
    try {
      client.session.Finish(RunRemoteSet(panel, set));
    } catch (const ReceiverLost&) {
      client.session.Finish(rigctl::kIoError);
      throw;
    }
    return;
  }
  // The client left before its turn came: nobody waits for the setting, so it is not made.
}

void RigctlServer::AcceptClients() {
  for (int i = 0; i < kAcceptsPerTick; ++i) {
    const int connection = network_.Accept();
    if (connection < 0) return;
    // One more than the panel serves is turned away at once rather than left hanging.
    if (clients_.size() >= kMaxClients) {
      network_.Close(connection);
      continue;
    }
    clients_.push_back(Client{connection, {}, 0, false});
  }
}

bool RigctlServer::ServeClient(Client& client, const rigctl::ReceiverView& view) {
  rigctl::Session& session = client.session;
  if (!client.ended && !session.Quit() && session.Unanswered() < kMaxUnanswered) {
    std::array<char, kReadPerTick> buffer{};
    const int n = network_.Receive(client.connection, buffer.data(), kReadPerTick);
    if (n == platform::Network::kEnded) {
      client.ended = true;
      session.TakeEnd();
    } else if (n > 0 && !session.Take({buffer.data(), static_cast<std::size_t>(n)})) {
      return false;  // a line longer than any command
    }
  }
  session.Answer(view, kAnswersPerTick);
  if (!Flush(client) || session.Output().size() > kMaxUnread) return false;
  const bool finished = session.Quit() || (client.ended && session.Idle());
  return !finished || !session.Output().empty() || client.ticket != 0;
}

void RigctlServer::QueueWaitingSet(Panel& panel) {
  // A setting waits until the listener's keys are done and the one before it has run,
  // so that the meter is polled between the settings of busy clients.
  if (queuedTicket_ != 0 || panel.state.KeyCount != 0) return;
  for (std::size_t i = 0; i < clients_.size(); ++i) {
    Client& client = clients_[(nextToQueue_ + i) % clients_.size()];
    if (!client.session.PendingSet() || client.ticket != 0) continue;
    nextToQueue_ = (nextToQueue_ + i + 1) % clients_.size();
    const int ticket = nextTicket_;
    nextTicket_ = nextTicket_ == INT_MAX ? 1 : nextTicket_ + 1;
    if (!QueueRemoteSet(panel.state, ticket)) {
      client.session.Finish(rigctl::kRejected);
      return;
    }
    client.ticket = ticket;
    queuedTicket_ = ticket;
    return;
  }
}

bool RigctlServer::Flush(Client& client) {
  std::string& output = client.session.Output();
  if (output.empty()) return true;
  const int sent = network_.Send(client.connection, output.data(), static_cast<int>(output.size()));
  if (sent == platform::Network::kEnded) return false;
  output.erase(0, static_cast<std::size_t>(sent));
  return true;
}

}  // namespace voskel
