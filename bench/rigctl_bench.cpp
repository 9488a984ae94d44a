// How long a network client waits for the panel: reads while keys speak long messages and
// while Z reads the receiver's banks, and a set while the panel idles. The panel runs on
// the simulated receiver with every wait spent in real time serving the port, as a run
// spends it; a client thread asks over TCP and times each answer.
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "keys/poll_cycle.h"
#include "platform/network.h"
#include "remote/rigctl_server.h"
#include "support/panel_harness.h"
#include "support/sim_peer.h"

namespace voskel {
namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// A panel whose waits are spent in real time serving its port.
class ServedPanel {
 public:
  ServedPanel() : sim_(sim::BuiltInBand(), {}) {
    h_.peer = sim_.AsPeer();
    ok_ = h_.Begin() && network_.Listen("127.0.0.1", 0) == 0;
    h_.panel->remote = &server_;
    h_.clock.onSleep = [this, pump = h_.clock.onSleep](std::int64_t ms) {
      pump(ms);
      server_.Wait(*h_.panel, ms);
    };
    h_.Tick(3);
  }
  bool ok() const { return ok_; }
  int port() const { return network_.ListeningPort(); }
  // One timer tick, and the event loop's real wait before the next.
  void Tick() {
    h_.Tick();
    for (int slice = 0; slice < 10; ++slice) {
      server_.Wait(*h_.panel, 10);
      TakeRemoteSets(*h_.panel);
    }
  }
  void Type(const std::string& keys) {
    h_.Type(keys);
    while (h_.state().KeyCount != 0 || h_.state().PollState != PollState::kIdle) Tick();
  }

 private:
  testing::SimPeer sim_;
  testing::PanelHarness h_;
  platform::PosixNetwork network_;
  RigctlServer server_{network_};
  bool ok_ = false;
};

int ConnectTo(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(static_cast<std::uint16_t>(port));
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// The time to one whole answer of `lines` answer lines; negative when none came in 10 s.
double AskTimed(int fd, const std::string& line, int lines) {
  const auto start = Clock::now();
  ::send(fd, line.data(), line.size(), MSG_NOSIGNAL);
  int seen = 0;
  char buffer[4096];
  while (seen < lines) {
    pollfd ready{fd, POLLIN, 0};
    if (::poll(&ready, 1, 10'000) <= 0) return -1;
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) return -1;
    seen += static_cast<int>(std::count(buffer, buffer + n, '\n'));
  }
  return Ms(Clock::now() - start);
}

// A client reading the frequency every 20 ms while `work` runs the panel.
template <typename Work>
std::vector<double> ReadsDuring(ServedPanel& panel, Work work) {
  std::atomic<bool> done{false};
  std::vector<double> latencies;
  std::thread client([&] {
    const int fd = ConnectTo(panel.port());
    while (fd >= 0 && !done) {
      latencies.push_back(AskTimed(fd, "f\n", 1));
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (fd >= 0) ::close(fd);
  });
  work();
  done = true;
  client.join();
  return latencies;
}

void Report(benchmark::State& state, std::vector<double> ms) {
  if (ms.empty() || *std::min_element(ms.begin(), ms.end()) < 0) {
    state.SkipWithError("a read went unanswered");
    return;
  }
  std::sort(ms.begin(), ms.end());
  state.counters["reads"] = static_cast<double>(ms.size());
  state.counters["median_ms"] = ms[ms.size() / 2];
  state.counters["max_ms"] = ms.back();
}

// F and M say the frequency and the level, clip after clip.
void BM_ReadWhileKeysSpeak(benchmark::State& state) {
  ServedPanel panel;
  if (!panel.ok()) return state.SkipWithError("no panel");
  std::vector<double> all;
  for (auto _ : state) {
    const auto ms = ReadsDuring(panel, [&] { panel.Type("FMFM"); });
    all.insert(all.end(), ms.begin(), ms.end());
  }
  Report(state, all);
}
BENCHMARK(BM_ReadWhileKeysSpeak)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ReadDuringZ(benchmark::State& state) {
  ServedPanel panel;
  if (!panel.ok()) return state.SkipWithError("no panel");
  std::vector<double> all;
  for (auto _ : state) {
    const auto ms = ReadsDuring(panel, [&] { panel.Type("Z"); });
    all.insert(all.end(), ms.begin(), ms.end());
  }
  Report(state, all);
}
BENCHMARK(BM_ReadDuringZ)->Unit(benchmark::kMillisecond)->Iterations(1);

// A set while the panel idles: answered as the receiver answers, at the poll cycle's next
// free step.
void BM_SetWhileIdle(benchmark::State& state) {
  ServedPanel panel;
  if (!panel.ok()) return state.SkipWithError("no panel");
  std::vector<double> ms;
  std::atomic<bool> done{false};
  std::thread client([&] {
    const int fd = ConnectTo(panel.port());
    for (int i = 0; fd >= 0 && i < 10; ++i) {
      ms.push_back(AskTimed(fd, "F " + std::to_string(145'600'000 + 50 * i) + "\n", 1));
      std::this_thread::sleep_for(std::chrono::milliseconds(130));
    }
    if (fd >= 0) ::close(fd);
    done = true;
  });
  for (auto _ : state)
    while (!done) panel.Tick();
  client.join();
  Report(state, ms);
}
BENCHMARK(BM_SetWhileIdle)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace voskel
