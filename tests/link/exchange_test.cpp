// The command exchange over a real pseudo-terminal, through the panel's own serial link.
#include "link/exchange.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "link/pty_pair.h"
#include "link/serial_link.h"
#include "support/fake_clock.h"
#include "support/fake_speech.h"
#include "support/recording_sound.h"
#include "support/recording_window.h"

namespace voskel {
namespace {

using testing::FakeClock;
using testing::FakeSpeech;
using testing::PtyPair;
using testing::RecordingSound;
using testing::RecordingWindow;
using testing::TempDir;

class LinkExchangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.Ok());
    ASSERT_FALSE(dir.Path().empty());
    std::filesystem::create_symlink(pty.SlavePath(), dir.Path() / "com1");
    ASSERT_EQ(link.OpenPort(1, 9600), 1);
    ASSERT_EQ(link.SetPortFormat(1, 8, 0, 2), 0);
    auto& s = panel.state;
    s.PortNumber = 1;
    s.MeterLine = "Connecting";
    s.VoiceDir = "wave\\";
    s.DebugSwitch = 1;
    ASSERT_TRUE(panel.log.Open(dir.Path() / "debug1.dat"));
  }

  // The log's lines, each without its CR LF.
  std::vector<std::string> LogLines() const {
    std::ifstream in(dir.Path() / "debug1.dat", std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t end; (end = all.find("\r\n", from)) != std::string::npos; from = end + 2)
      lines.push_back(all.substr(from, end - from));
    EXPECT_EQ(from, all.size()) << "a log line without CR LF";
    return lines;
  }

  std::string Reply(std::string_view bytes) {
    EXPECT_TRUE(pty.Send(bytes));
    last = ReadReply(panel);
    return last.text;
  }

  voskel::Reply last;  // what the last read returned

  PtyPair pty;
  TempDir dir;
  SerialLink link{dir.Path()};
  RecordingWindow window;
  FakeClock clock;
  RecordingSound sound{&clock};
  FakeSpeech speech;
  Panel panel{window, sound, speech, link, clock, dir.Path()};
};

TEST_F(LinkExchangeTest, KeepsTheKeyAndItsLengthAndLogsIt) {
  EXPECT_EQ(Reply("LM%123\r"), "LM%123");
  EXPECT_EQ(last.byteCount, 7);
  // A shorter level reply brings its CR into the kept characters, and into the log.
  EXPECT_EQ(Reply("LM 12\r"), "LM 12\r");
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"RX= LM%123", "RX= LM 12\r"}));
}

TEST_F(LinkExchangeTest, OneReplyOfABatchSurvivesByKeyOrder) {
  const std::string memory = "MXA05 RF0145500000 ST012500 MD1 TMREPEATER";
  EXPECT_EQ(Reply("LM%000\r" + memory + "\rLM 200\r"), memory + "\rLM 200\r");
  EXPECT_EQ(Reply("VS RF0145500000 ST012500 AU0\rLC1\r"),
            "LC1\r");  // "LC" is looked for first, wherever it lies
  EXPECT_EQ(Reply(std::string(70, 'x') + "MX" + std::string(70, 'y')), "MX" + std::string(58, 'y'));
}

TEST_F(LinkExchangeTest, BytesWithoutAKeyAreDroppedUnlogged) {
  EXPECT_EQ(Reply("RF0145500000\r"), "");
  EXPECT_EQ(last.byteCount, 13);
  EXPECT_EQ(Reply("L"), "");  // half a key
  EXPECT_EQ(Reply("M\r"), "");
  EXPECT_TRUE(LogLines().empty());
  EXPECT_EQ(panel.state.MeterLine, "Connecting");
  EXPECT_TRUE(sound.played.empty());
}

TEST_F(LinkExchangeTest, AMemoryListingIsLoggedWholeThenCut) {
  SendCommand(panel, "MAA");
  EXPECT_EQ(pty.Receive(4), "MAA\r");
  const std::string batch =
      "MXA00 RF0145500000 ST012500 MD1 TMREPEATER ONE    \r"
      "MXA01 RF0433500000 ST012500 MD2 TMREPEATER TWO    \r";
  const std::string kept = Reply(batch);
  EXPECT_EQ(kept, batch.substr(0, 60));
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"TX= MAA", "RX= " + batch, "RX= " + kept}));

  // Without the "MA" command in front, the same batch is logged once.
  panel.state.ListingAsked = false;
  Reply(batch);
  EXPECT_EQ(LogLines().size(), 4u);
}

TEST_F(LinkExchangeTest, AShorterReplyHoldsNothingOfTheLongerOne) {
  EXPECT_EQ(Reply("VS RF0145500000 ST012500 AU0 MD1\r"), "VS RF0145500000 ST");
  EXPECT_EQ(Reply("LM"), "LM");
  last = ReadReply(panel);  // nothing waiting
  EXPECT_EQ(last.text, "");
  EXPECT_EQ(last.byteCount, 0);
}

TEST_F(LinkExchangeTest, ReadsAtMost255BytesAndLeavesTheRestForNextTime) {
  std::string first = "LM%123\r" + std::string(255 - 7, '.');
  std::string rest = "VS RF0145500000 ST012500\r" + std::string(145 - 25, '.');
  ASSERT_TRUE(pty.Send(first + rest));
  EXPECT_EQ(link.BytesWaiting(1), 400);
  last = ReadReply(panel);
  EXPECT_EQ(last.byteCount, 255);
  EXPECT_EQ(last.text, "LM%123");
  last = ReadReply(panel);
  EXPECT_EQ(last.byteCount, 145);
  EXPECT_EQ(last.text, "VS RF0145500000 ST");
  EXPECT_EQ(link.BytesWaiting(1), 0);
}

TEST_F(LinkExchangeTest, ANulIsPartOfTheReply) {
  EXPECT_EQ(Reply(std::string("\0LM\0"
                              "12\r",
                              7)),
            std::string("LM\0"
                        "12\r",
                        6));
  EXPECT_EQ(LogLines().at(0), std::string("RX= LM\0"
                                          "12\r",
                                          10));
}

TEST_F(LinkExchangeTest, TheFirstReplyConnectsOnce) {
  last = ReadReply(panel);
  EXPECT_EQ(panel.state.ConnectState, ConnectState::kUnknown);
  Reply("LM%000\r");
  EXPECT_EQ(panel.state.ConnectState, ConnectState::kConnected);
  EXPECT_EQ(panel.state.MeterLine, ">");
  Reply("LM%000\r");
  Reply("VS RF0145500000\r");
  EXPECT_EQ(sound.Spoken(), std::vector<std::string>{"connected"});
  EXPECT_EQ(sound.played.at(0).name, "wave\\connected");
  EXPECT_TRUE(sound.played.at(0).wait);
}

TEST_F(LinkExchangeTest, SendCommandWritesTheTextAndOneCarriageReturn) {
  SendCommand(panel, "VA014550000000");
  EXPECT_EQ(pty.Receive(15), "VA014550000000\r");
  SendResumeByte(panel);
  EXPECT_EQ(pty.Receive(1), "\x1e");

  SendCommand(panel, "");
  EXPECT_EQ(pty.ReadAll(), "");
  EXPECT_EQ(LogLines(), std::vector<std::string>{"TX= VA014550000000"});
}

TEST_F(LinkExchangeTest, AReceiverThatGoesAwayLeavesTheExchangeHarmless) {
  ASSERT_TRUE(pty.Send("LM%0"));
  pty.CloseMaster();
  last = ReadReply(panel);
  EXPECT_EQ(last.text, "");
  EXPECT_FALSE(link.IsOpen(1));
  SendCommand(panel, "LM");
  last = ReadReply(panel);
  EXPECT_EQ(last.text, "");
  EXPECT_EQ(last.byteCount, 0);
  // The command is logged even though nothing could carry it.
  EXPECT_EQ(LogLines(), std::vector<std::string>{"TX= LM"});
}

TEST_F(LinkExchangeTest, AWriteToAReceiverThatWentAwayClosesThePort) {
  pty.CloseMaster();
  SendCommand(panel, "EX");
  EXPECT_FALSE(link.IsOpen(1));
  SendResumeByte(panel);
  EXPECT_EQ(ReadRaw(panel).byteCount, 0);
}

}  // namespace
}  // namespace voskel
