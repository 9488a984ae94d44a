// Hamlib's own client, rigctl, against the panel's network port: the panel runs tick by
// tick on the simulated receiver while rigctl runs as a child process.
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "platform/network.h"
#include "remote/rigctl_server.h"
#include "support/connected_panel.h"
#include "support/refusing_peer.h"

namespace voskel {
namespace {

constexpr const char* kRigctl = "/usr/bin/rigctl";

class RigctlClient : public testing::ConnectedPanel {
 protected:
  void SetUp() override {
    if (::access(kRigctl, X_OK) != 0) GTEST_SKIP() << "rigctl (libhamlib-utils) is not installed";
    ConnectedPanel::SetUp();
    ASSERT_EQ(network.Listen("127.0.0.1", 0), 0);
    h.panel->remote = &server;
  }

  // rigctl -m 2 with these commands, the panel ticking until it ends: what it printed.
  std::string Rigctl(const std::string& commands) {
    // timeout bounds a broken run (status 124 or 137); it times nothing.
    const std::string line = "timeout -k 1 30 " + std::string(kRigctl) +
                             " -m 2 -r 127.0.0.1:" + std::to_string(network.ListeningPort()) + " " +
                             commands + " 2>&1";
    FILE* child = ::popen(line.c_str(), "r");
    if (child == nullptr) return "no pipe";
    ::fcntl(::fileno(child), F_SETFL, O_NONBLOCK);
    std::string printed;
    for (;;) {
      h.Tick();
      char buffer[4096];
      const ssize_t n = ::read(::fileno(child), buffer, sizeof buffer);
      if (n == 0) break;
      if (n > 0) printed.append(buffer, n);
      ::poll(nullptr, 0, 1);  // the child's turn
    }
    EXPECT_LT(WEXITSTATUS(::pclose(child)), 124) << "rigctl did not end: " << printed;
    return printed;
  }

  int Connect(int receiveBuffer = 0) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (receiveBuffer > 0)
      ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(network.ListeningPort()));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to), 0);
    ::fcntl(fd, F_SETFL, O_NONBLOCK);
    return fd;
  }

  platform::PosixNetwork network;
  RigctlServer server{network};
};

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST_F(RigctlClient, ReadsWhatThePanelShowsAlsoWhileTheListenerTypes) {
  Keys("145.6\r");  // a steady signal of level 80: six meter units
  h.Tick(3);
  ASSERT_EQ(h.state().SignalLevel, 6);
  Keys("43");
  EXPECT_EQ(Rigctl("f m l STRENGTH l ATT v"), "145600000\nFM\n15000\n-18\n0\nVFOA\n");
  EXPECT_EQ(h.state().FrequencyEntry, "43") << "what the listener types stays";
  EXPECT_EQ(h.state().KeyCount, 0);
}

TEST_F(RigctlClient, SetsTuneAsTheListenersKeysDoAndAreHeard) {
  EXPECT_EQ(Rigctl("F 145600000 M AM 0"), "");
  EXPECT_EQ(sim.engine.VfoAHz(), 145'600'000);
  EXPECT_EQ(sim.engine.Mode(), 2);
  EXPECT_EQ(h.sound.Spoken(), (Clips{"1", "4", "5", "point", "6", "ok", "AM"}));
  EXPECT_EQ(Sent(), (std::vector<std::string>{"VA0145.60000", "ST012.50", "MD2"}));
  EXPECT_EQ(h.window.LineAt(150), "145.6000");
  EXPECT_EQ(h.window.TextAt(380, 80), "AM");
}

TEST_F(RigctlClient, ASetTheListenerOrTheReceiverDoesNotTakeIsAnsweredSo) {
  testing::RefusingPeer refusing{sim};
  h.peer = refusing.AsPeer();
  Keys("14");
  EXPECT_TRUE(Has(Rigctl("F 145600000"), "Command rejected"));
  EXPECT_EQ(h.state().FrequencyEntry, "14") << "the person at the keyboard comes first";
  EXPECT_EQ(Keys("5.5\r").back(), "ok");
  EXPECT_EQ(sim.engine.VfoAHz(), 145'500'000);

  refusing.refused = {"MD"};
  h.sound.Clear();
  EXPECT_TRUE(Has(Rigctl("M WFM 0"), "Command rejected"));
  EXPECT_EQ(h.sound.Spoken(), Clips{"inv"});

  h.Unplug();
  h.Tick(3);
  ASSERT_EQ(h.state().ConnectState, ConnectState::kLost);
  // rigctl names an I/O error only among its error messages, and ends there.
  const std::string lost = Rigctl("-vv f F 145600000");
  EXPECT_TRUE(Has(lost, "\n145500000\n")) << "the last known frequency: " << lost;
  EXPECT_TRUE(Has(lost, "i/o error")) << lost;
}

TEST_F(RigctlClient, FloodsNonReadersAndCrowdsLeaveTheMeterPollingAtItsRate) {
  const auto pollsIn = [&](int ticks, const std::function<void()>& meanwhile) {
    h.ClearWire();
    for (int i = 0; i < ticks; ++i) {
      meanwhile();
      h.Tick();
    }
    const std::vector<std::string> sent = h.Commands();
    return std::count(sent.begin(), sent.end(), "LM");
  };
  const auto alone = pollsIn(60, [] {});
  const int junk = Connect();
  const int deaf = Connect(4096);  // asks for much and reads nothing
  const int longLine = Connect();
  std::vector<int> silent;
  for (int i = 0; i < 6; ++i) silent.push_back(Connect());  // the last is the ninth client
  std::string junkLines, dumps;
  for (int i = 0; i < 100; ++i) junkLines += "junk\n";
  for (int i = 0; i < 100; ++i) dumps += "\\dump_state\n";
  const std::string tooLong(2000, 'f');
  ::send(longLine, tooLong.data(), tooLong.size(), MSG_NOSIGNAL);
  std::string junkAnswers;
  const auto readJunkAnswers = [&] {
    char buffer[4096];
    for (ssize_t n; (n = ::recv(junk, buffer, sizeof buffer, 0)) > 0;)
      junkAnswers.append(buffer, n);
  };
  const auto crowded = pollsIn(60, [&] {
    ::send(junk, junkLines.data(), junkLines.size(), MSG_NOSIGNAL);
    ::send(deaf, dumps.data(), dumps.size(), MSG_NOSIGNAL);
    readJunkAnswers();
  });
  EXPECT_EQ(crowded, alone);
  EXPECT_EQ(junkAnswers.substr(0, 18), "RPRT -11\nRPRT -11\n");
  EXPECT_EQ(server.ClientCount(), 6u) << "the ninth, the long line and the deaf one are gone";
  // One that hangs up with answers still to come costs the panel nothing either, no
  // SIGPIPE included.
  readJunkAnswers();
  ::close(junk);
  h.Tick(5);
  EXPECT_EQ(server.ClientCount(), 5u);
  EXPECT_EQ(Rigctl("f"), "145000000\n");
  for (int fd : silent) ::close(fd);
  ::close(deaf);
  ::close(longLine);
}

}  // namespace
}  // namespace voskel
