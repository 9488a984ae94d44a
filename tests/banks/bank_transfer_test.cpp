// W, two digits, a bank letter and Enter write a bank file into a receiver bank; Z gives
// every receiver bank 90 channels. Pressed on a whole panel against the simulated receiver.
#include "banks/bank_transfer.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/virtual_keys.h"
#include "support/connected_panel.h"
#include "support/sim_program.h"

namespace voskel {
namespace {

using testing::PanelHarness;
using Strings = std::vector<std::string>;

std::string Bank(const std::string& mode,
                 const std::vector<std::pair<std::string, std::string>>& channels) {
  std::string text = "bank07\r\n" + mode + "\r\n12.5\r\n \r\n";
  for (const auto& [frequency, tag] : channels) text += frequency + "\r\n" + tag + "\r\n";
  return text + "9999\r\n";
}

std::vector<std::pair<std::string, std::string>> Numbered(int count) {
  std::vector<std::pair<std::string, std::string>> channels;
  for (int i = 0; i < count; ++i) channels.push_back({std::to_string(100 + i) + ".5", "t"});
  return channels;
}

int Count(const Strings& items, const std::string& item) {
  return static_cast<int>(std::count(items.begin(), items.end(), item));
}

// The receiver's banks hold 90 channels, as after Z, except bank A.
sim::MemoryBanks BanksWithA(int sizeOfA) {
  sim::MemoryBanks memory;
  for (auto& bank : memory.banks) bank.size = 90;
  memory.banks[0].size = sizeOfA;
  return memory;
}

class BankTransfer : public testing::ConnectedPanel {
 protected:
  explicit BankTransfer(sim::MemoryBanks memory = BanksWithA(90),
                        testing::HarnessOptions options = {})
      : ConnectedPanel(options, std::move(memory)) {}
};

TEST_F(BankTransfer, WritesEachChannelAsOneMemoryWriteCommand) {
  h.WriteFile("bank07.dat", Bank("FM", {{"145.5", "REPEATER"},
                                        {"7.05", "A TAG LONGER THAN TWELVE"},
                                        {"430", ""},
                                        {"1296.25", " "},
                                        {"0.531", "MW"}}));
  h.WriteFile("bank03.dat", Bank("AM", {{"118.1", "x"}, {"119.1", "y"}}));
  Keys("b03\r");
  EXPECT_EQ(Keys("w07a\r"), (Strings{"write", "fromb", "0", "7", "torb", "A", "wait", "ok"}));
  EXPECT_EQ(Sent(), (Strings{"MQA%%", "MXA00 RF0145500000 ST012500 MD1 TMREPEATER    ",
                             "MXA01 RF0007050000 ST012500 MD1 TMA TAG LONGER",
                             "MXA02 RF0430000000 ST012500 MD1 TM            ",
                             "MXA03 RF1296250000 ST012500 MD1 TM            ",
                             "MXA04 RF0000531000 ST012500 MD1 TMMW          ", "MAA"}))
      << "emptied only with Enter, then read back";
  EXPECT_EQ(Count(h.sound.Names(), "shdel"), 10 + 7 + 5 + 3 + 1 + 1 + 1);

  // The bank selected before is still the one the arrows step through.
  Keys("");
  h.Press(keys::kUp);
  h.Settle();
  EXPECT_EQ(Sent(), Strings{"VA0119.10000"});
}

TEST_F(BankTransfer, WritesAtMostNinetyOneChannels) {
  h.WriteFile("bank07.dat", Bank("FM", Numbered(120)));
  EXPECT_EQ(Count(Keys("w07b\r"), "beep"), 8);
  EXPECT_EQ(Sent().size(), 1u + 91u);
  EXPECT_EQ(Sent().back().substr(0, 18), "MXB90 RF0190500000");
}

TEST_F(BankTransfer, TrailingBlanksOfTheModeDoNotCount) {
  h.WriteFile("bank07.dat", Bank("CW ", {{"7.03", "CW"}}));
  Keys("w07d\r");
  EXPECT_EQ(Sent()[1], "MXD00 RF0007030000 ST012500 MD5 TMCW          ");
}

// A bank that cannot be written whole is refused at the letter: nothing is sent, the
// receiver's bank is left as it was, and the Enter only ends the entry.
TEST_F(BankTransfer, ABankThatCannotBeWrittenWholeIsRefusedAtTheLetterAndNothingIsSent) {
  std::vector<std::pair<std::string, std::string>> cases = {
      {"", "bnf"}, {Bank("AUT", {{"145.5", "a"}}), "inv"}, {"bank07\r\nFM\r\n12.5\r\n \r\n145.5", "inv"}};
  for (const char* frequency : {"5000", ".06", "0", "0.09", " ", "1.2.3", "12345", "145,5", "-1"})
    cases.push_back({Bank("FM", {{"145.5", "a"}, {frequency, "b"}}), "inv"});
  for (const auto& [file, said] : cases) {
    std::filesystem::remove(h.dir() / "bank07.dat");
    if (!file.empty()) h.WriteFile("bank07.dat", file);
    EXPECT_EQ(Keys("w07d\r"), (Strings{"write", "fromb", "0", "7", "torb", "D", said})) << file;
    EXPECT_EQ(Sent(), Strings{}) << file;
  }

  // A receiver that refuses to empty its bank gets no channel either.
  h.WriteFile("bank07.dat", Bank("FM", {{"145.5", "a"}}));
  const auto answered = sim.AsPeer();
  h.peer = [answered](std::string_view in, std::int64_t now) {
    return in.starts_with("MQ") ? std::string("?\r\n") : answered(in, now);
  };
  EXPECT_EQ(Keys("w07d\r").back(), "inv");
  EXPECT_EQ(Sent(), Strings{"MQD%%"});
}

// Nothing reaches the receiver before Enter; a bank without channels empties it then.
TEST_F(BankTransfer, OnlyEnterEmptiesTheReceiverBank) {
  h.WriteFile("bank07.dat", Bank("FM", {{"145.5", "a"}}));
  ASSERT_EQ(Keys("w07a\r").back(), "ok");
  h.WriteFile("bank07.dat", Bank("FM", {}));
  for (const char* keys : {"w07a\x1b", "w07a\bb\x1b", "w07as"}) {
    Keys(keys);
    EXPECT_EQ(Sent(), Strings{}) << keys;
  }
  EXPECT_TRUE(sim.engine.Memory().banks[0].channels[0].stored);
  EXPECT_EQ(Keys("w07a\r"), (Strings{"write", "fromb", "0", "7", "torb", "A", "wait", "ok"}));
  EXPECT_EQ(Sent(), Strings{"MQA%%"});
  EXPECT_FALSE(sim.engine.Memory().banks[0].channels[0].stored);
}


// What the receiver stored: frequencies on its 50 Hz grid, rounded (halves up) and never
// cut, tags as it keeps them; a control byte (0x1C would step the receiver's frequency)
// makes the bank damaged, and nothing of it is sent.
TEST_F(BankTransfer, TheReceiverStoresFrequenciesOnItsGridAndNoControlByteGoesOut) {
  h.WriteFile("bank07.dat", Bank("FM", {{"145.12347", "A\xdc" "B"},
                                        {"145.123475", "A TAG LONGER THAN TWELVE"},
                                        {"0029.99999999999", ""},
                                        {"0.1", ""},
                                        {"3000", ""}}));
  EXPECT_EQ(Keys("w07a\r").back(), "ok");
  const std::int64_t stored[] = {145'123'450, 145'123'500, 30'000'000, 100'000, 3'000'000'000};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(sim.engine.Memory().banks[0].channels[i].hz, stored[i]);
  EXPECT_EQ(sim.engine.Memory().banks[0].channels[0].tag, "A B         ");
  EXPECT_EQ(Sent()[2], "MXA01 RF0145123500 ST012500 MD1 TMA TAG LONGER");
  EXPECT_EQ(Sent()[3], "MXA02 RF0030000000 ST012500 MD1 TM            ");
  for (const char* tag : {"A\034B", "\x7f", "\x85"}) {
    h.WriteFile("bank07.dat", Bank("FM", {{"145.5", tag}}));
    EXPECT_EQ(Keys("w07a\r").back(), "inv");
    EXPECT_EQ(Sent(), Strings{});
  }
}

TEST_F(BankTransfer, WrongEntriesSayInvAndSendNoCommand) {
  EXPECT_EQ(Keys("w07\r"), (Strings{"write", "fromb", "0", "7", "torb", "inv"}));
  EXPECT_EQ(Keys("w012"), (Strings{"write", "fromb", "0", "1", "torb", "2", "inv"}));
  Keys("w01");
  h.Press(keys::kRight);
  h.Press('A');
  h.Settle();
  EXPECT_EQ(h.sound.Spoken(), (Strings{"write", "fromb", "0", "1", "torb", "inv", "atton"}));
  EXPECT_EQ(Sent(), Strings{"AT1"});
}

TEST_F(BankTransfer, AWriteIntoAReceiverLostMidRunStops) {
  h.WriteFile("bank07.dat", Bank("FM", Numbered(30)));
  h.sound.onPlay = [this](const std::string& clip) {
    if (clip == "wave\\beep") h.Unplug();
  };
  const Strings spoken = Keys("w07a\r");
  EXPECT_EQ(spoken.back(), "rnc");
  EXPECT_EQ(Count(spoken, "rnc") + Count(spoken, "ok"), 1);
  EXPECT_EQ(Sent().back().substr(0, 5), "MXA09") << "nothing after the receiver went";
}

class BankSizes : public BankTransfer {
 protected:
  static sim::MemoryBanks NinetyButAAndB() {
    sim::MemoryBanks memory;
    for (auto& bank : memory.banks) bank.size = 90;
    memory.banks[0].size = memory.banks[1].size = 50;
    return memory;
  }
  BankSizes() : BankTransfer(NinetyButAAndB()) {}
};

TEST_F(BankSizes, ZSetsOnlyTheBanksNotAtNinetyAndLeavesAStartedScan) {
  h.sound.Clear();
  h.ClearWire();
  h.state().ScanState = ScanState::kStarted;
  const std::int64_t start = h.clock.now;
  h.Press('Z');
  h.Tick();
  EXPECT_EQ(h.state().ScanState, ScanState::kStarted);
  h.state().ScanState = ScanState::kOff;
  h.Settle();
  // The receiver answers each size 3 s after it was sent, before the first beep is due;
  // both banks are set in less than the 20 s one bank used to be given.
  EXPECT_EQ(h.sound.Spoken(), (Strings{"ckconfig", "A", "B", "ok"}));
  EXPECT_LT(h.clock.now - start, 20'000);
  Strings asked = {"MWA", "MWA90", "MWB", "MWB90", "MWC", "MWD", "MWE", "MWF", "MWG", "MWH",
                   "MWI", "MWJ"};
  for (char letter = 'A'; letter <= 'J'; ++letter) asked.push_back("MW" + std::string(1, letter));
  EXPECT_EQ(Sent(), asked) << "every size asked again before ok";
  for (const auto& bank : sim.engine.Memory().banks) EXPECT_EQ(bank.size, 90);
}

TEST_F(BankSizes, ASilentReceiverEndsTheCheckWithInvAndPollingGoesOn) {
  const auto answered = sim.AsPeer();
  h.peer = [](std::string_view, std::int64_t) { return std::string(); };
  EXPECT_EQ(Keys("z"), (Strings{"ckconfig", "inv"}));
  EXPECT_EQ(Sent(), Strings(20, "MWA"));

  // Asked, it answers; set, it never speaks again.
  h.peer = [answered](std::string_view in, std::int64_t now) {
    std::string out = answered(in, now);
    if (out.starts_with("MWA 090")) out.clear();
    return out;
  };
  const Strings spoken = Keys("z");
  EXPECT_EQ(spoken.back(), "inv");
  EXPECT_EQ(Count(spoken, "beep"), 3) << "fifteen seconds of silence, a beep every five";
  EXPECT_EQ(Sent(), (Strings{"MWA", "MWA90"}));

  // A size it refuses is not "ok" either.
  h.peer = [answered](std::string_view in, std::int64_t now) {
    return in.starts_with("MWB90") ? std::string("?\r\n") : answered(in, now);
  };
  EXPECT_EQ(Keys("z"), (Strings{"ckconfig", "B", "inv"}));

  h.peer = answered;
  h.ClearWire();
  h.Tick(6);
  EXPECT_EQ(Count(h.Commands(), "LM"), 2) << "the poll cycle runs again";
}

class LoggedBankTransfer : public BankTransfer {
 protected:
  LoggedBankTransfer() : BankTransfer(BanksWithA(50), {.debugSwitch = 1}) {}
};

// A channel the receiver does not take ends the write: "inv", never "ok", and the debug
// log names the channel. Receiver bank A holds 50 channels, so the receiver itself refuses
// channel 50; a receiver that stays silent on a channel is not taken at its word either.
TEST_F(LoggedBankTransfer, AChannelTheReceiverDoesNotTakeEndsTheWriteWithInv) {
  const auto answered = sim.AsPeer();
  const struct {
    int channels;
    std::string silentOn;
    std::string last;
    std::string logged;
  } cases[] = {
      {60, "", "MXA50", "W: channel 50 of bank A not written (refused)"},
      {20, "MXA07", "MXA07", "W: channel 07 of bank A not written (no answer)"},
  };
  for (const auto& c : cases) {
    h.WriteFile("bank07.dat", Bank("FM", Numbered(c.channels)));
    h.peer = [answered, silentOn = c.silentOn](std::string_view in, std::int64_t now) {
      const std::string out = answered(in, now);
      return !silentOn.empty() && in.find(silentOn) != std::string_view::npos ? "" : out;
    };
    const Strings spoken = Keys("w07a\r");
    EXPECT_EQ(spoken.back(), "inv");
    EXPECT_EQ(Count(spoken, "ok"), 0);
    EXPECT_EQ(Sent().back().substr(0, 5), c.last);
    EXPECT_NE(h.ReadFile("debug1.dat").find(c.logged), std::string::npos) << c.logged;
  }
}

// The panel against the real simulator program: what was written is in its memory file.
TEST(BankTransferEndToEnd, TheSimulatorKeepsTheWrittenBankInItsMemoryFile) {
  PanelHarness h;
  h.Unplug();
  std::filesystem::remove(h.dir() / "com1");
  testing::SimProgram program(h.dir().string());
  ASSERT_TRUE(program.WaitForLink());
  ASSERT_TRUE(h.Begin());
  const auto deadline = std::chrono::steady_clock::now() + testing::SimProgram::kStartLimit;
  while (h.state().ConnectState != ConnectState::kConnected &&
         std::chrono::steady_clock::now() < deadline) {
    h.Tick();
    ::poll(nullptr, 0, 10);  // the program answers on its own clock
  }
  ASSERT_EQ(h.state().ConnectState, ConnectState::kConnected);
  // The panel waits for each channel's answer; every wait of its virtual clock lets the
  // program run for real, at most 10 ms, so an answer's wait lasts as long as it says.
  h.clock.onSleep = [pump = h.clock.onSleep](std::int64_t ms) {
    pump(ms);
    ::poll(nullptr, 0, static_cast<int>(std::min<std::int64_t>(ms, 10)));
  };
  h.WriteFile("bank07.dat", Bank("AM", {{"118.1", "TOWER"}, {"0.531", "MEDIUM WAVE BCST"}}));
  h.Type("w07c\r");
  h.Settle();
  EXPECT_EQ(h.sound.Spoken().back(), "ok") << ::testing::PrintToString(h.sound.Spoken());
  const std::string tower =
      "C00 118.100000 MHz step 12.500 kHz mode AM att off pass no tag \"TOWER       \"";
  const std::string medium =
      "C01 0.531000 MHz step 12.500 kHz mode AM att off pass no tag \"MEDIUM WAVE \"";
  // The program saves its memory after each change, on its own clock.
  std::string memory;
  while (memory.find(medium) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
    ::poll(nullptr, 0, 10);
    memory = h.ReadFile("ar8600-sim-memory.txt");
  }
  EXPECT_NE(memory.find(tower), std::string::npos) << memory;
  EXPECT_NE(memory.find(medium), std::string::npos) << memory;
  EXPECT_EQ(h.Close(), 0);
  EXPECT_EQ(program.Stop(), 0);
}

// What the receiver stored is read back: a write changed on the line is no "ok", and a
// bank larger than the receiver bank Z set is refused before anything is sent.
TEST_F(LoggedBankTransfer, AWriteIsOkOnlyForWhatTheReceiverStoredAndFits) {
  h.WriteFile("bank07.dat", Bank("FM", {{"144.525", "a"}, {"145.5", "b"}}));
  const auto answered = sim.AsPeer();
  h.peer = [answered](std::string_view in, std::int64_t now) {
    std::string arrived(in);
    if (const auto at = arrived.find("RF0144525000"); at != std::string::npos)
      arrived.replace(at, 12, "RF0144425000");  // one bit changed on the line
    return answered(arrived, now);
  };
  EXPECT_EQ(Keys("w07a\r").back(), "inv");
  EXPECT_NE(h.ReadFile("debug1.dat").find("W: channel 00 of bank A reads back as MXA00"),
            std::string::npos);
  h.peer = answered;
  Keys("z");
  h.WriteFile("bank07.dat", Bank("FM", Numbered(91)));
  EXPECT_EQ(Keys("w07b").back(), "inv");
  EXPECT_EQ(Keys("\r"), Strings{});
  EXPECT_EQ(Sent(), Strings{});
}

}  // namespace
}  // namespace voskel
