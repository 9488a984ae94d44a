#include "remote/rigctl_server.h"

#include <algorithm>
#include <array>
#include <chrono>

#include "link/exchange.h"
#include "remote/panel_view.h"

namespace voskel {
namespace {

// Connections taken in one turn; more wait in the system's backlog for the next.
constexpr int kAcceptsPerTurn = 16;

std::int64_t RealMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

RigctlServer::~RigctlServer() {
  for (const Client& client : clients_) network_.Close(client.connection);
}

void RigctlServer::Wait(Panel& panel, std::int64_t ms) {
  if (serving_) return;
  ServeNow(panel);
  // The wait is measured on real time: it is the time a client's line may wait.
  const std::int64_t end = RealMs() + std::max<std::int64_t>(ms, 0);
  for (std::int64_t left = ms; left > 0; left = end - RealMs()) {
    std::vector<int> readable;
    std::vector<int> writable;
    for (const Client& client : clients_) {
      if (!client.ended && !client.session.Quit() && client.session.Unanswered() < kMaxUnanswered)
        readable.push_back(client.connection);
      if (!client.session.Output().empty()) writable.push_back(client.connection);
    }
    if (!network_.Wait(readable, writable, static_cast<int>(left))) break;
    ServeNow(panel);
  }
}

void RigctlServer::Serve(Panel& panel) {
  ServeNow(panel);
  announcer_.SpeakDue(panel);
}

bool RigctlServer::HasSets() const {
  return std::any_of(clients_.begin(), clients_.end(),
                     [](const Client& c) { return c.session.PendingSet().has_value(); });
}

void RigctlServer::RunSets(Panel& panel) {
  const std::int64_t start = panel.clock.NowMs();
  for (std::size_t turn = 0; turn < clients_.size() && HasSets(); ++turn) {
    Client& client = clients_[nextSet_ % clients_.size()];
    nextSet_ = (nextSet_ + 1) % clients_.size();
    if (!client.session.PendingSet()) continue;
    const rigctl::SetRequest set = *client.session.PendingSet();
    try {
      FinishAll(set, ApplyRemoteSet(panel, set, announcer_));
    } catch (const ReceiverLost&) {
      FinishAll(set, rigctl::kIoError);
      ServeNow(panel);
      throw;
    }
    if (panel.clock.NowMs() - start >= kSetTurnMs) break;
  }
  // What followed a set on its client's line is answered with it.
  ServeNow(panel);
}

void RigctlServer::FinishAll(const rigctl::SetRequest& set, int code) {
  for (Client& client : clients_)
    if (client.session.PendingSet() == set) client.session.Finish(code);
}

void RigctlServer::ServeNow(Panel& panel) {
  serving_ = true;
  const std::int64_t now = panel.clock.NowMs();
  AcceptClients(now);
  const rigctl::ReceiverView view = ViewOf(panel.state);
  for (auto it = clients_.begin(); it != clients_.end();) {
    if (ServeClient(*it, view, now)) {
      ++it;
      continue;
    }
    network_.Close(it->connection);
    it = clients_.erase(it);
  }
  serving_ = false;
}

void RigctlServer::AcceptClients(std::int64_t now) {
  for (int i = 0; i < kAcceptsPerTurn; ++i) {
    const int connection = network_.Accept();
    if (connection < 0) return;
    if (clients_.size() >= kMaxClients) {
      // The slot of the client silent longest, when it has been silent long enough and
      // nothing of its own is under way.
      auto idlest = clients_.end();
      for (auto it = clients_.begin(); it != clients_.end(); ++it) {
        const bool busy = it->session.PendingSet() || !it->session.Output().empty();
        if (!busy && now - it->heardMs >= kIdleMs &&
            (idlest == clients_.end() || it->heardMs < idlest->heardMs))
          idlest = it;
      }
      // One more than the panel serves is turned away at once rather than left hanging.
      if (idlest == clients_.end()) {
        network_.Close(connection);
        continue;
      }
      network_.Close(idlest->connection);
      clients_.erase(idlest);
    }
    clients_.push_back(Client{connection, {}, false, now, -1});
  }
}

bool RigctlServer::ServeClient(Client& client, const rigctl::ReceiverView& view, std::int64_t now) {
  rigctl::Session& session = client.session;
  if (!client.ended && !session.Quit() && session.Unanswered() < kMaxUnanswered) {
    std::array<char, kReadPerTurn> buffer{};
    const int n = network_.Receive(client.connection, buffer.data(), kReadPerTurn);
    if (n == platform::Network::kEnded) {
      client.ended = true;
      session.TakeEnd();
    } else if (n > 0) {
      client.heardMs = now;
      if (!session.Take({buffer.data(), static_cast<std::size_t>(n)}))
        return false;  // a line longer than any command
    }
  }
  for (int i = 0; i < kAnswersPerTurn && session.Output().size() < kAnswerBacklog; ++i) {
    session.Answer(view, 1);
    if (!Flush(client, now)) return false;
  }
  if (!Flush(client, now)) return false;
  const bool finished = session.Quit() || (client.ended && session.Idle());
  return !finished || !session.Output().empty();
}

bool RigctlServer::Flush(Client& client, std::int64_t now) {
  std::string& output = client.session.Output();
  if (output.empty()) {
    client.stalledSinceMs = -1;
    return true;
  }
  const int sent = network_.Send(client.connection, output.data(), static_cast<int>(output.size()));
  if (sent == platform::Network::kEnded) return false;
  if (sent > 0) {
    output.erase(0, static_cast<std::size_t>(sent));
    client.stalledSinceMs = -1;
    return true;
  }
  if (client.stalledSinceMs < 0) client.stalledSinceMs = now;
  return now - client.stalledSinceMs < kStalledMs;
}

}  // namespace voskel
