// Clients of Hamlib's network protocol against the panel's port: Hamlib's own rigctl and
// Python bindings as child processes, and clients of the tests' own that behave as fldigi
// and gpredict do. The panel runs tick by tick on the simulated receiver; every wait it
// makes serves the port, as in a run.
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <sstream>

#include "platform/network.h"
#include "platform/virtual_keys.h"
#include "remote/rigctl_server.h"
#include "support/connected_panel.h"
#include "support/refusing_peer.h"
#include "support/sim_program.h"
#include "support/temp_dir.h"

namespace voskel {
namespace {

constexpr const char* kRigctl = "/usr/bin/rigctl";
constexpr const char* kRigctld = "/usr/bin/rigctld";
// Debian's own, where python3-hamlib puts its module.
constexpr const char* kPython = "/usr/bin/python3";

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

template <typename T>
int CountOf(const std::vector<std::string>& all, const T& wanted) {
  return static_cast<int>(std::count_if(all.begin(), all.end(), wanted));
}

class RigctlClient : public testing::ConnectedPanel {
 protected:
  void SetUp() override {
    ConnectedPanel::SetUp();
    ASSERT_EQ(network.Listen("127.0.0.1", 0), 0);
    h.panel->remote = &server;
    h.clock.onSleep = [this, pump = h.clock.onSleep](std::int64_t ms) {
      pump(ms);
      server.Wait(*h.panel, realWaits ? ms : 0);
      if (duringWait) duringWait();
    };
  }

  // A child whose standard output is read as the panel ticks.
  FILE* Spawn(const std::string& command) {
    // timeout bounds a broken run (status 124 or 137); it times nothing.
    FILE* child = ::popen(("timeout -k 1 30 " + command + " 2>&1").c_str(), "r");
    if (child != nullptr) ::fcntl(::fileno(child), F_SETFL, O_NONBLOCK);
    return child;
  }
  std::string RigctlCommand(const std::string& commands) const {
    return std::string(kRigctl) + " -m 2 -r 127.0.0.1:" + std::to_string(network.ListeningPort()) +
           " " + commands;
  }
  // Reads what the child printed while the panel ticks, until it ends.
  std::string Collect(FILE* child) {
    std::string printed;
    for (;;) {
      h.Tick();
      char buffer[4096];
      const ssize_t n = ::read(::fileno(child), buffer, sizeof buffer);
      if (n == 0) break;
      if (n > 0) printed.append(buffer, static_cast<std::size_t>(n));
      ::poll(nullptr, 0, 1);  // the child's turn
    }
    EXPECT_LT(WEXITSTATUS(::pclose(child)), 124) << "the client did not end: " << printed;
    return printed;
  }
  std::string Rigctl(const std::string& commands) {
    return Collect(Spawn(RigctlCommand(commands)));
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
  static void Send(int fd, const std::string& text) {
    ::send(fd, text.data(), text.size(), MSG_NOSIGNAL);
  }
  // What has come back so far, without waiting; "closed" once the panel hung up.
  static std::string Received(int fd) {
    std::string answers;
    char buffer[4096];
    for (;;) {
      const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
      if (n == 0) return answers + "closed";
      if (n < 0) return answers;
      answers.append(buffer, static_cast<std::size_t>(n));
    }
  }
  // The lines asked for, answered by a turn of the port with no tick of the panel.
  std::string AskAtOnce(int fd, const std::string& lines) {
    Send(fd, lines);
    server.Wait(*h.panel, 0);
    return Received(fd);
  }
  std::vector<std::string> Told() {
    std::vector<std::string> lines;
    for (const std::string& line : h.transcript.lines)
      if (Has(line, " network ")) lines.push_back(line.substr(line.find("network")));
    return lines;
  }
  int SpokenValues() {
    return CountOf(h.sound.Spoken(), [](const std::string& c) { return c.rfind("tag:", 0) == 0; });
  }

  platform::PosixNetwork network;
  RigctlServer server{network};
  bool realWaits = false;
  std::function<void()> duringWait;
};

class RigctlProgram : public RigctlClient {
 protected:
  void SetUp() override {
    if (::access(kRigctl, X_OK) != 0) GTEST_SKIP() << "rigctl (libhamlib-utils) is not installed";
    RigctlClient::SetUp();
  }
};

TEST_F(RigctlProgram, ReadsWhatThePanelShowsAlsoWhileTheListenerTypes) {
  Keys("145.6\r");  // a steady signal of level 80: six meter units
  h.Tick(3);
  ASSERT_EQ(h.state().SignalLevel, 6);
  Keys("43");
  EXPECT_EQ(Rigctl("f m l STRENGTH l ATT v \\get_dcd"), "145600000\nFM\n12000\n-18\n0\nVFOA\n1\n");
  EXPECT_EQ(h.state().FrequencyEntry, "43") << "what the listener types stays";
}

TEST_F(RigctlProgram, ReadsAreAnsweredWhileAKeySpeaksAndTheirClientEndsBeforeIt) {
  realWaits = true;
  FILE* child = Spawn(RigctlCommand("f m \\get_dcd l STRENGTH"));
  std::string printed;
  bool ended = false;
  std::size_t clipsWhenEnded = 0;
  duringWait = [&] {
    char buffer[4096];
    for (ssize_t n; !ended && (n = ::read(::fileno(child), buffer, sizeof buffer)) >= 0;) {
      if (n == 0) {
        ended = true;
        clipsWhenEnded = h.sound.played.size();
      }
      printed.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
    }
  };
  // The frequency said digit by digit, again and again, for as long as rigctl takes to
  // start (bounded): the panel does nothing but speak meanwhile.
  for (int key = 0; key < 30 && !ended; ++key) {
    h.Press('F');
    h.Settle();
  }
  duringWait = nullptr;
  if (!ended)
    printed += Collect(child);
  else
    ::pclose(child);
  EXPECT_TRUE(ended) << "rigctl waited for the clips to end";
  EXPECT_LT(clipsWhenEnded, h.sound.played.size()) << "answered while the key spoke";
  EXPECT_EQ(printed, "145000000\nFM\n12000\n0\n-54\n");
}

TEST_F(RigctlProgram, SetsAreMadeAtOnceToldBrieflyAndNeverTouchWhatIsTyped) {
  Keys("14");
  h.sound.Clear();
  EXPECT_EQ(Rigctl("F 145600000 M AM 0"), "");
  EXPECT_EQ(sim.engine.VfoAHz(), 145'600'000);
  EXPECT_EQ(sim.engine.Mode(), 2);
  EXPECT_EQ(Sent(), (std::vector<std::string>{"VA0145.60000", "MD2"}));
  EXPECT_EQ(h.state().FrequencyEntry, "14") << "the person at the keyboard comes first";
  EXPECT_EQ(h.window.LineAt(150), "145.6000");
  EXPECT_EQ(h.window.TextAt(380, 80), "AM");
  EXPECT_EQ(Told(), (std::vector<std::string>{"network 145.6 MHz", "network AM"}));
  EXPECT_EQ(h.sound.Spoken(), (Clips{"beep", "beep"})) << "a tone, no words over the typing";
  // Once the listener is done the latest value still true is said, and only that one.
  h.sound.Clear();
  h.Type("5.5\r");
  h.Tick(60);
  EXPECT_EQ(sim.engine.VfoAHz(), 145'500'000);
  EXPECT_EQ(h.sound.Spoken(), (Clips{"5", "point", "5", "ok", "tag:AM"}));
}

TEST_F(RigctlProgram, ASetTheReceiverRefusesOrCannotHearIsAnsweredSoAndReadsSayItIsGone) {
  testing::RefusingPeer refusing{sim};
  h.peer = refusing.AsPeer();
  refusing.refused = {"MD"};
  EXPECT_TRUE(Has(Rigctl("M WFM 0"), "Command rejected"));
  EXPECT_EQ(h.sound.Spoken(), Clips{}) << "the listener did nothing that failed";
  EXPECT_EQ(Told(), std::vector<std::string>{});

  h.Unplug();
  h.Tick(3);
  ASSERT_EQ(h.state().ConnectState, ConnectState::kLost);
  const std::string lost = Rigctl("-vv f F 145600000");
  EXPECT_FALSE(Has(lost, "\n145000000\n")) << "no frequency made up: " << lost;
  EXPECT_TRUE(Has(lost, "I/O error") || Has(lost, "i/o error")) << lost;
}

TEST_F(RigctlProgram, ThreeClientsSettingAtOnceAreEachAnsweredAndEachSetMadeOnce) {
  FILE* children[] = {Spawn(RigctlCommand("F 146000000")), Spawn(RigctlCommand("F 146050000")),
                      Spawn(RigctlCommand("F 146100000"))};
  for (FILE* child : children) EXPECT_EQ(Collect(child), "");
  const std::vector<std::string> sent = Sent();
  for (const char* set : {"VA0146.00000", "VA0146.05000", "VA0146.10000"})
    EXPECT_EQ(std::count(sent.begin(), sent.end(), set), 1) << set;
}

TEST_F(RigctlClient, HamlibsPythonBindingsGetAndSetAsALoggingProgramDoes) {
  if (std::system((std::string(kPython) + " -c 'import Hamlib' 2>/dev/null").c_str()) != 0)
    GTEST_SKIP() << "Hamlib's Python bindings (python3-hamlib) are not installed";
  const std::string script =
      "import Hamlib\n"
      "Hamlib.rig_set_debug(Hamlib.RIG_DEBUG_NONE)\n"
      "rig = Hamlib.Rig(Hamlib.RIG_MODEL_NETRIGCTL)\n"
      "rig.set_conf('rig_pathname', '127.0.0.1:" +
      std::to_string(network.ListeningPort()) +
      "')\n"
      "rig.open()\n"
      "print(int(rig.get_freq()))\n"
      "rig.set_vfo(Hamlib.RIG_VFO_A); print(rig.error_status)\n"
      "rig.set_freq(Hamlib.RIG_VFO_CURR, 145612345); print(rig.error_status)\n"
      "print(int(rig.get_freq()))\n"
      "rig.set_mode(Hamlib.RIG_MODE_AM); print(rig.error_status)\n"
      "mode, width = rig.get_mode(); print(Hamlib.rig_strrmode(mode))\n"
      "rig.close()\n";
  h.WriteFile("client.py", script);
  EXPECT_EQ(Collect(Spawn(std::string(kPython) + " " + (h.dir() / "client.py").string())),
            "145000000\n0\n0\n145612350\n0\nAM\n");
  EXPECT_EQ(sim.engine.VfoAHz(), 145'612'350) << "the receiver's own grid";
}

// fldigi gives up on an answer after 200 ms and sends the set again: each line is
// answered, in order, and the listener is told once, whenever in the poll cycle the set
// comes.
TEST_F(RigctlClient, ASetSentAgainByAnImpatientClientIsToldOnceAndAnsweredInStep) {
  const int fldigi = Connect();
  for (int phase = 0; phase < 3; ++phase) {
    h.Tick(phase);
    const std::string hz = std::to_string(14'070'000 + 1000 * phase);
    std::string answers;
    int sent = 0;
    while (answers.empty() && sent < 10) {
      Send(fldigi, "F " + hz + ".000000\n");
      ++sent;
      h.Tick(2);
      answers = Received(fldigi);
    }
    Send(fldigi, "m\nf\n");
    h.Tick(6);
    answers += Received(fldigi);
    std::string expected;
    for (int i = 0; i < sent; ++i) expected += "RPRT 0\n";
    EXPECT_EQ(answers, expected + "FM\n12000\n" + hz + "\n") << "phase " << phase;
    EXPECT_EQ(Told().size(), static_cast<std::size_t>(phase + 1)) << "phase " << phase;
  }
  // Sent behind one another before the first is made, the repeats are answered with it.
  h.ClearWire();
  Send(fldigi, "F 14070000\nF 14070000\nF 14070000\n");
  h.Tick(6);
  EXPECT_EQ(Received(fldigi), "RPRT 0\nRPRT 0\nRPRT 0\n");
  EXPECT_EQ(Sent(), std::vector<std::string>{"VA0014.07000"});
  ::close(fldigi);
}

// gpredict follows a satellite's Doppler shift with a set every second.
TEST_F(RigctlClient, ADopplerTrackerNeitherFloodsTheVoiceNorSlowsTheMeterOrTheKeys) {
  const auto polls = [&] {
    return CountOf(h.Commands(), [](const std::string& c) { return c == "LM"; });
  };
  h.ClearWire();
  h.Tick(600);
  const int alone = polls();
  const int gpredict = Connect();
  std::string answers;
  h.ClearWire();
  int keyTicks = -1;
  for (int second = 0; second < 60; ++second) {
    Send(gpredict, "F " + std::to_string(437'800'000 - second * 150) + "\n");
    if (second == 30) h.Press(keys::kUp);
    for (int tick = 0; tick < 10; ++tick) {
      h.Tick();
      if (second == 30 && keyTicks < 0 && h.state().KeyCount == 0) keyTicks = tick + 1;
    }
    answers += Received(gpredict);
  }
  EXPECT_EQ(answers, [] {
    std::string all;
    for (int i = 0; i < 60; ++i) all += "RPRT 0\n";
    return all;
  }());
  EXPECT_GE(polls(), alone - 3) << "the meter keeps its three polls a second";
  EXPECT_LE(keyTicks, 3) << "a key reaches the receiver within 300 ms";
  EXPECT_LE(SpokenValues(), 60 * 1000 / SetAnnouncer::kSpokenEveryMs + 1);
  EXPECT_EQ(Told().size(), 60u);
  ::close(gpredict);
}

TEST_F(RigctlClient, WhatTheListenerHoldsTheReceiverInRefusesASetAtOnce) {
  h.WriteFile("bank01.dat", "bank01\r\nFM\r\n25\r\n \r\n145.5\r\nONE\r\n9999\r\n");
  const struct {
    const char* keys;
    const char* holds;
  } cases[] = {{"R", "a search"}, {"B01\r", "a selected bank"}, {"W", "W's entry"}};
  for (const auto& c : cases) {
    ASSERT_TRUE(h.Restart());
    h.panel->remote = &server;
    h.Tick(3);
    Keys(c.keys);
    const int client = Connect();
    EXPECT_EQ(AskAtOnce(client, "F 146000000\nM AM 0\nf\n"),
              "RPRT -9\nRPRT -9\n" + std::to_string(sim.engine.VfoAHz()) + "\n")
        << c.holds;
    EXPECT_NE(sim.engine.VfoAHz(), 146'000'000) << c.holds;
    ::close(client);
  }
  ASSERT_TRUE(h.Restart());
  h.panel->remote = &server;
  h.Tick(3);
  // Z reads the receiver's banks for seconds: a client is answered meanwhile, a read at
  // once and a set refused.
  const int client = Connect();
  std::string duringZ;
  bool asked = false;
  duringWait = [&] {
    if (!h.state().BankJobRunning) return;
    if (!std::exchange(asked, true)) Send(client, "f\nF 146000000\n");
    duringZ += Received(client);
  };
  Keys("Z");
  EXPECT_EQ(duringZ, std::to_string(sim.engine.VfoAHz()) + "\nRPRT -9\n");
  ::close(client);
}

TEST_F(RigctlClient, IdleClientsGiveUpTheirSlotsAndFloodsAndNonReadersAreDropped) {
  std::vector<int> silent;
  for (std::size_t i = 0; i < RigctlServer::kMaxClients; ++i) silent.push_back(Connect());
  h.Tick();
  const int early = Connect();
  h.Tick();
  EXPECT_EQ(Received(early), "closed") << "no slot is idle long enough yet";
  h.Tick(RigctlServer::kIdleMs / 100);
  const int late = Connect();
  EXPECT_EQ(AskAtOnce(late, "f\n"), "145000000\n");
  int closed = 0;
  for (int fd : silent) closed += Received(fd) == "closed" ? 1 : 0;
  EXPECT_EQ(closed, 1) << "the one silent longest made room";
  for (int fd : silent) ::close(fd);
  ::close(late);
  ::close(early);

  const int junk = Connect();
  const int deaf = Connect(4096);  // asks for much and reads nothing
  const int longLine = Connect();
  std::string junkLines, dumps;
  for (int i = 0; i < 100; ++i) junkLines += "junk\n";
  for (int i = 0; i < 100; ++i) dumps += "\\dump_caps\n";
  Send(longLine, std::string(2000, 'f'));
  std::string junkAnswers;
  h.ClearWire();
  const auto flood = [&](int ticks) {
    for (int i = 0; i < ticks; ++i) {
      Send(junk, junkLines);
      Send(deaf, dumps);
      junkAnswers += Received(junk);
      h.Tick();
    }
  };
  flood(RigctlServer::kStalledMs / 100 - 10);
  EXPECT_EQ(server.ClientCount(), 2u) << "the long line is gone, the deaf one not yet";
  flood(20);
  EXPECT_EQ(junkAnswers.substr(0, 18), "RPRT -11\nRPRT -11\n");
  EXPECT_EQ(server.ClientCount(), 1u) << "ten seconds without taking an answer";
  EXPECT_GE(CountOf(h.Commands(), [](const std::string& c) { return c == "LM"; }), 36)
      << "the meter kept its pace throughout";
  ::close(junk);
  ::close(deaf);
  ::close(longLine);
  h.Tick(2);
  EXPECT_EQ(server.ClientCount(), 0u) << "one that hangs up costs nothing, no SIGPIPE either";
}

// Hamlib's own rigctld with its AR8600 backend on the simulated receiver program, asked
// what the panel is asked: the answers are the same, but for the VFO the panel does not
// tune (get_rig_info's VFOB), dump_state's version line, and the stray byte rigctld 4.5
// leaves after get_vfo_list's list. Each command waits for rigctld to fall quiet for longer
// than its cache lasts (half a second), so that a read after a set is the receiver's.
TEST_F(RigctlProgram, AnswersAsRigctldWithItsAr8600BackendAnswers) {
  if (::access(kRigctld, X_OK) != 0) GTEST_SKIP() << "rigctld (libhamlib-utils) is not installed";
  testing::TempDir dir{"rigctld-peer"};
  testing::SimProgram receiver(dir.Path().string());
  ASSERT_TRUE(receiver.WaitForLink());
  const int port = [] {  // a port nobody holds
    platform::PosixNetwork probe;
    probe.Listen("127.0.0.1", 0);
    return probe.ListeningPort();
  }();
  const pid_t rigctld = ::fork();
  if (rigctld == 0) {
    ::execl(kRigctld, kRigctld, "-m", "5013", "-r", receiver.Link().c_str(), "-s", "9600", "-t",
            std::to_string(port).c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  const struct Stop {
    pid_t pid;
    ~Stop() {
      ::kill(pid, SIGTERM);
      ::waitpid(pid, nullptr, 0);
    }
  } stop{rigctld};
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(static_cast<std::uint16_t>(port));
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const auto connectRigctld = [&to] {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0) return fd;
    ::close(fd);
    return -1;
  };
  // Bounds a rigctld that does not start; it times nothing.
  bool listening = false;
  for (int tries = 0; tries < 100 && !listening; ++tries) {
    const int fd = connectRigctld();
    listening = fd >= 0;
    if (listening)
      ::close(fd);
    else
      ::poll(nullptr, 0, 50);
  }
  ASSERT_TRUE(listening) << "rigctld did not start";
  const auto askRigctldOnce = [&](const std::string& line) {
    const int fd = connectRigctld();
    Send(fd, line);
    std::string answer;
    pollfd ready{fd, POLLIN, 0};
    // rigctld asks the receiver itself, slowly on a loaded machine: its first byte is given
    // seconds, the end of its answer 700 ms of quiet.
    char buffer[4096];
    for (int wait = 5000; ::poll(&ready, 1, wait) > 0; wait = 700) {
      const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      for (char c : std::string_view(buffer, static_cast<std::size_t>(n)))
        if (c >= ' ' || c == '\n' || c == '\t') answer += c;
    }
    ::close(fd);
    return answer;
  };
  // A rigctld starved of the processor for longer than that says nothing: asked again, it
  // answers.
  const auto askRigctld = [&](const std::string& line) {
    std::string answer = askRigctldOnce(line);
    return answer.empty() ? askRigctldOnce(line) : answer;
  };
  const auto askPanel = [this](const std::string& line) {
    const int fd = Connect();
    Send(fd, line);
    h.Tick(12);
    std::string answer = Received(fd);
    ::close(fd);
    return answer;
  };
  const auto withoutVersion = [](const std::string& dump) {
    std::istringstream lines(dump);
    std::string kept;
    for (std::string line; std::getline(lines, line);)
      if (line.rfind("rigctld_version=", 0) != 0) kept += line + "\n";
    return kept;
  };
  for (const char* line :
       {"F 118712345\n", "f\n", "M AM 0\n", "+m\n", "M FM 5000\n", "M USB 2400\n", "m\n",
        "V VFOA\n", "+V Main\n", "V currVFO\n", "\\get_dcd\n", "+\\get_dcd\n", "\\get_vfo_list\n",
        "+\\get_vfo_list\n", "\\chk_vfo\n", "+\\chk_vfo\n", "+\\dump_caps\n", "\\dump_caps\n"})
    EXPECT_EQ(askPanel(line), askRigctld(line)) << line;
  for (const char* line : {"\\dump_state\n", "+\\dump_state\n"})
    EXPECT_EQ(withoutVersion(askPanel(line)), withoutVersion(askRigctld(line))) << line;
  const std::string info = askPanel("\\get_rig_info\n");
  EXPECT_EQ(info.substr(0, info.find('\n')),
            askRigctld("\\get_rig_info\n").substr(0, info.find('\n')));
}

}  // namespace
}  // namespace voskel
