// Whole runs through start-up, the event loop and shutdown, on a pseudo-terminal whose
// other end is the simulated receiver.
#include "app/startup.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include "support/panel_harness.h"
#include "support/sim_peer.h"

namespace voskel {
namespace {

using platform::Event;
using testing::HarnessOptions;
using testing::PanelHarness;
using testing::SimPeer;

TEST(StartUp, MissingConfigurationSaysSoAndKeepsTheStoredState) {
  PanelHarness h(HarnessOptions{.writeConfig = false});
  const std::string stored =
      "*** Voskel V 4.1a ***  01-12-2026  10:00:00\r\nAM\r\n118.1\r\n"
      "118\r\n137\r\n25\r\n9999\r\n";
  h.WriteFile("bank00.dat", stored);
  EXPECT_EQ(StartUp(*h.panel), 0);
  EXPECT_EQ(h.window.TextAt(0, 30), "--- VOSKEL.CFG file not found ---");
  EXPECT_EQ(h.window.TextAt(0, 60), "please run the 'VOSKELCFG' program");
  EXPECT_EQ(h.window.prints[0].font.points, 0) << "drawn in the window's initial font";
  EXPECT_EQ(h.sound.Names(), std::vector<std::string>{"cfnf"});
  EXPECT_EQ(h.ReadFile("bank00.dat"), stored);
  EXPECT_FALSE(h.window.open);
  EXPECT_TRUE(h.Wire().empty());
}

TEST(StartUp, FirstRunTunesTheDefaultsAndStoresTheStateAtExit) {
  PanelHarness h;
  SimPeer sim;
  h.peer = sim.AsPeer();
  ASSERT_TRUE(h.Begin());
  EXPECT_EQ(h.window.title, "*** AR8600 Voskel Front Panel v4.1a***");
  EXPECT_EQ(h.window.TextAt(270, 0).rfind("*** Voskel V 4.1a ***", 0), 0u);
  EXPECT_EQ(h.Commands(), (std::vector<std::string>{"VA0145000000", "AU0", "MD1", "ST012.50", "AT0"}));
  const auto names = h.sound.Names();
  const std::vector<std::string> greeting{"vsk", "4", "point", "1", "shdel", "bnf"};
  ASSERT_GE(names.size(), greeting.size());
  EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 6), greeting);
  EXPECT_EQ(h.sound.Spoken(), (std::vector<std::string>{"vsk", "4", "point", "1", "bnf", "1", "4",
                                                        "5", "point", "0", "FM", "attoff"}));
  EXPECT_EQ(h.window.TextAt(300, 150), "145.0");
  EXPECT_EQ(h.window.TextAt(380, 80), "FM");
  EXPECT_EQ(h.window.TextAt(80, 250), "145");
  EXPECT_EQ(h.window.TextAt(750, 250), "146");
  EXPECT_TRUE(h.window.timerRunning);
  EXPECT_EQ(h.window.timerPeriod, 100);

  h.Tick(3);
  EXPECT_EQ(h.state().ConnectState, ConnectState::kConnected);
  EXPECT_EQ(h.Close(), 0);
  EXPECT_EQ(h.Commands().back(), "EX");
  EXPECT_EQ(h.ReadFile("bank00.dat"),
            "*** Voskel V 4.1a ***  05-12-2026  19:27:34\r\nFM\r\n145.0\r\n145\r\n146\r\n"
            "12.5\r\n9999\r\n");
}

TEST(StartUp, OpensTheConfiguredPortExclusivelyAs8N2AndEndsWithEx) {
  PanelHarness h;
  ASSERT_TRUE(h.Begin());
  const int other = ::open(h.ports->DevicePath(1).c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(other, 0);
  termios line{};
  ASSERT_EQ(::tcgetattr(other, &line), 0);
  EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(line.c_cflag & PARENB, 0u);
  EXPECT_NE(line.c_cflag & CSTOPB, 0u) << "two stop bits";
  EXPECT_EQ(::cfgetospeed(&line), static_cast<speed_t>(B9600));
  EXPECT_NE(::flock(other, LOCK_EX | LOCK_NB), 0) << "another program is kept out";
  ::close(other);
  h.Tick(3);
  h.Close();
  const std::string wire = h.Wire();
  ASSERT_GE(wire.size(), 3u);
  EXPECT_EQ(wire.substr(wire.size() - 3), "EX\r");
}

TEST(StartUp, SecondRunRestoresTheStoredStateOnce) {
  PanelHarness h;
  SimPeer sim;
  h.peer = sim.AsPeer();
  h.WriteFile("bank00.dat",
              "*** Voskel V 4.1a ***  01-12-2026  10:00:00\r\nAM\r\n118.1\r\n118\r\n137\r\n25\r\n"
              "9999\r\n");
  ASSERT_TRUE(h.Begin());
  EXPECT_EQ(h.Commands(), (std::vector<std::string>{"VA0118.10000", "AU0", "MD2", "ST025000", "AT0"}));
  EXPECT_EQ(h.ReadFile("bank00.dat"), "Srchbank\r\nAM\r\n9999\r\n");
  const auto spoken = h.sound.Spoken();
  EXPECT_EQ(std::count(spoken.begin(), spoken.end(), "bnf"), 0);
  EXPECT_EQ(h.state().SearchLow, "118");
  EXPECT_EQ(h.state().SearchHigh, "137");
  EXPECT_EQ(h.state().StepText, "25");
  EXPECT_EQ(sim.engine.VfoAHz(), 118100000);
}

TEST(StartUp, SearchBankLeftOverGivesTheDefaults) {
  PanelHarness h;
  h.WriteFile("bank00.dat", "Srchbank\r\nAM\r\n12.5\r\n \r\n118.5\r\n \r\n9999\r\n");
  ASSERT_TRUE(h.Begin());
  EXPECT_EQ(h.state().Frequency, "145.0");
  EXPECT_EQ(h.state().ModeName, "FM");
  EXPECT_EQ(h.Commands().front(), "VA0145000000");
}

TEST(StartUp, VoiceOffSilencesAllButThePauses) {
  PanelHarness h(HarnessOptions{.voiceSwitch = 0});
  ASSERT_TRUE(h.Begin());
  for (const auto& played : h.sound.played) {
    const bool fixed = played.name == "wave\\shdel";
    EXPECT_TRUE(fixed || played.name.find('\\') == std::string::npos) << played.name;
  }
  EXPECT_EQ(std::count_if(h.sound.played.begin(), h.sound.played.end(),
                          [](const auto& p) { return p.name == "wave\\shdel"; }),
            3);
}

TEST(StartUp, DebugLogHoldsBannerKeysAndTrafficButNeverEx) {
  PanelHarness h(HarnessOptions{.debugSwitch = 1});
  SimPeer sim;
  h.peer = sim.AsPeer();
  ASSERT_TRUE(h.Begin());
  h.Tick(3);
  h.Type("145.5\r");
  h.Settle();
  h.Close();
  const std::string log = h.ReadFile("debug1.dat");
  EXPECT_EQ(log.rfind("VOSKEL 4.1a  05-12-2026   19:27:34\r\n", 0), 0u);
  const auto keys = log.find("**1\r\n**4\r\n**5\r\n**.\r\n**5\r\n**C/R\r\n");
  ASSERT_NE(keys, std::string::npos) << log;
  EXPECT_NE(log.find("TX= VA0145.50000\r\n", keys), std::string::npos);
  EXPECT_NE(log.find("RX= LM"), std::string::npos);
  EXPECT_EQ(log.find("TX= EX"), std::string::npos);
  EXPECT_EQ(h.Commands().back(), "EX");
}

TEST(StartUp, LogThatCannotBeCreatedLeavesThePanelRunning) {
  PanelHarness h(HarnessOptions{.debugSwitch = 1});
  SimPeer sim;
  h.peer = sim.AsPeer();
  std::filesystem::create_directory(h.dir() / "debug1.dat");
  ASSERT_TRUE(h.Begin());
  EXPECT_FALSE(h.panel->log.IsOpen());
  h.Tick(6);
  EXPECT_EQ(h.state().ConnectState, ConnectState::kConnected) << "polled and answered";
  h.sound.Clear();
  h.ClearWire();
  h.Press('A');
  h.Settle();
  EXPECT_EQ(h.sound.Spoken(), std::vector<std::string>{"atton"});
  EXPECT_EQ(h.CommandsWithoutPolls(), std::vector<std::string>{"AT1"});
  EXPECT_EQ(h.Close(), 0);
}

TEST(StartUp, KeyBeforeTheFirstLevelReplyWaitsForTheReceiver) {
  PanelHarness h;
  SimPeer sim;
  h.peer = sim.AsPeer();
  ASSERT_TRUE(h.Begin());
  h.sound.Clear();
  h.Press('F');  // taken by the very first tick, before any level poll
  h.Settle();
  EXPECT_TRUE(h.state().RunFlag);
  EXPECT_EQ(h.sound.Spoken(), (std::vector<std::string>{"connected", "1", "4", "5", "point", "0",
                                                        "fm.wav"}));
  EXPECT_EQ(h.Close(), 0);
}

TEST(StartUp, NoReceiverFirstKeySaysRncEndsAndStillStoresTheState) {
  PanelHarness h(HarnessOptions{.connectPort = false});
  ASSERT_TRUE(h.Begin());
  h.Tick(10);
  EXPECT_EQ(h.window.TextAt(320, 30), "") << "the meter stays blank";
  h.Press('F');
  h.Settle();
  EXPECT_EQ(h.sound.Spoken().back(), "rnc");
  EXPECT_FALSE(h.state().RunFlag);
  EXPECT_EQ(h.Finish(), 0);
  EXPECT_EQ(h.ReadFile("bank00.dat").find("FM\r\n145.0\r\n145\r\n146\r\n12.5\r\n9999\r\n"), 45u);
}

TEST(StartUp, StateThatCannotBeStoredIsHeardNotPassedOver) {
  PanelHarness h;
  std::filesystem::create_directory(h.dir() / "bank00.dat");
  ASSERT_TRUE(h.Begin());
  h.sound.Clear();
  EXPECT_EQ(h.Close(), 0);
  EXPECT_EQ(h.sound.Spoken(), std::vector<std::string>{"inv"});
  EXPECT_TRUE(std::filesystem::is_directory(h.dir() / "bank00.dat"));
}

TEST(StartUp, ReceiverUnpluggedDuringTheRunIsHeardAndNoKeySaysOk) {
  PanelHarness h;
  SimPeer sim;
  h.peer = sim.AsPeer();
  ASSERT_TRUE(h.Begin());
  h.Tick(3);
  ASSERT_EQ(h.state().ConnectState, ConnectState::kConnected);
  h.Unplug();
  h.sound.Clear();
  h.Tick(9);
  EXPECT_EQ(h.sound.Spoken(), std::vector<std::string>{"rnc"}) << "told once, not at every poll";
  h.Type("145.5\r");
  h.Settle();
  EXPECT_EQ(h.sound.Spoken(),
            (std::vector<std::string>{"rnc", "1", "4", "5", "point", "5", "rnc"}))
      << "typing needs no receiver; Enter, which does, says so once";
  EXPECT_EQ(h.state().Frequency, "145.0");
  h.Press('Q');
  h.Settle();
  EXPECT_FALSE(h.state().RunFlag);
  EXPECT_EQ(h.sound.Spoken().back(), "quit");
  EXPECT_EQ(h.Finish(), 0);
  EXPECT_NE(h.ReadFile("bank00.dat").find("\r\n145.0\r\n"), std::string::npos);
}

TEST(StartUp, RemovesWhatCutOffSavesLeftAndNothingElse) {
  PanelHarness h;
  struct Case {
    const char* name;
    bool old;
    bool removed;
  };
  const Case cases[] = {{"bank07.dat.a1B2c3", true, true},   {"bank00.dat.ZZZZ99", true, true},
                        {"bank08.dat.Zz9Zz9", false, false},  // a save may be writing it now
                        {"bank07.dat.a1B2c", true, false},   {"bank07.dat.a1B2c3d", true, false},
                        {"bank07.dat.a-B2c3", true, false},  {"bank7.dat.a1B2c3", true, false},
                        {"VOSKEL.CFG.a1B2c3", true, false},  {"bank07.dat", true, false}};
  const auto anHourAgo = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
  for (const Case& c : cases) {
    h.WriteFile(c.name, "145.5\r\n");
    if (c.old) std::filesystem::last_write_time(h.dir() / c.name, anHourAgo);
  }
  ASSERT_TRUE(h.Begin());
  for (const Case& c : cases) EXPECT_EQ(h.FileExists(c.name), !c.removed) << c.name;
}

TEST(StartUp, EventLoopFinishesTheBatchThenShutsDown) {
  PanelHarness h;
  SimPeer sim;
  h.peer = sim.AsPeer();
  // A close request arrives while keys wait; the whole batch is handled, then the run ends.
  h.window.batches = {
      {Event{Event::Kind::Timer}, Event{Event::Kind::Timer}},
      {Event{Event::Kind::Timer}},
      {Event{Event::Kind::KeyDown, 'A'}, Event{Event::Kind::KeyUp, 'A'}, Event{Event::Kind::Close},
       Event{Event::Kind::Timer}},
  };
  EXPECT_EQ(StartUp(*h.panel), 0);
  const auto commands = h.CommandsWithoutPolls();
  EXPECT_EQ(commands,
            (std::vector<std::string>{"VA0145000000", "AU0", "MD1", "ST012.50", "AT0", "AT1", "EX"}));
  EXPECT_FALSE(h.window.open);
  EXPECT_FALSE(h.window.timerRunning);
}

// A close request (the close box, SIGTERM) while the panel speaks ends the run at the next
// clip, however much is left to say: the receiver is signed off and the state stored.
TEST(StartUp, CloseRequestWhileAKeySpeaksEndsTheRunAtTheNextClip) {
  PanelHarness h;
  SimPeer sim;
  h.peer = sim.AsPeer();
  const Event tick{Event::Kind::Timer};
  h.window.batches = {
      {tick}, {tick}, {tick}, {{Event::Kind::KeyDown, 'F'}, {Event::Kind::KeyUp, 'F'}},
      {tick}, {tick}, {tick}};
  int saidForF = 0;
  h.sound.onPlay = [&](const std::string&) {
    if (h.state().KeyCount != 1) return;  // F is being handled, its marker behind it
    ++saidForF;
    h.window.stopRequested = true;
  };
  EXPECT_EQ(StartUp(*h.panel), 0);
  EXPECT_EQ(saidForF, 1) << "F would say 1, 4, 5, point, 0, FM";
  EXPECT_EQ(h.Commands().back(), "EX");
  EXPECT_EQ(h.ReadFile("bank00.dat").rfind("*** Voskel", 0), 0u);
  EXPECT_FALSE(h.window.open);
}

TEST(StartUp, CloseRequestDuringTheStartKeepsTheStoredState) {
  PanelHarness h;
  SimPeer sim;
  h.peer = sim.AsPeer();
  const std::string settings = "AM\r\n118.1\r\n118\r\n137\r\n25\r\n9999\r\n";
  h.WriteFile("bank00.dat", "*** Voskel V 4.1a ***  01-12-2026  10:00:00\r\n" + settings);
  // Asked to end at the greeting, before the state was taken over.
  h.sound.onPlay = [&](const std::string& clip) {
    if (clip.ends_with("vsk")) h.window.stopRequested = true;
  };
  EXPECT_EQ(StartUp(*h.panel), 0);
  const auto spoken = h.sound.Spoken();
  EXPECT_EQ(std::count(spoken.begin(), spoken.end(), "AM"), 0) << "the rest of the start is unsaid";
  EXPECT_EQ(h.Commands().back(), "EX");
  EXPECT_TRUE(h.ReadFile("bank00.dat").ends_with(settings));
}

}  // namespace
}  // namespace voskel
