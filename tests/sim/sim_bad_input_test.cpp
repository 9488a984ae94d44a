#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "sim_conversation.h"

namespace voskel::sim {
namespace {

using testing::Conversation;

const Signal kRepeater{145.5, 8, 120, 0, 0};

TEST(SimFraming, LineEndsSplitsAndNuls) {
  Conversation rx({kRepeater});
  EXPECT_EQ(rx.Bytes("LM\r\nLM\r\n"), "LM 120\r\nLM 120\r\n");  // LF after CR ignored
  EXPECT_EQ(rx.Bytes("LM\n"), "LM 120\r\n");                    // a lone LF ends a line
  EXPECT_EQ(rx.Bytes("L"), "");
  EXPECT_EQ(rx.Bytes("M"), "");
  EXPECT_EQ(rx.Bytes("\r"), "LM 120\r\n");
  EXPECT_EQ(rx.Bytes("\n"), "");
  EXPECT_EQ(rx.Bytes(std::string("L\0M\0\r", 5)), "LM 120\r\n");
  EXPECT_EQ(rx.Bytes("\r\r\n"), "");  // empty lines are not commands
  EXPECT_EQ(rx.Bytes("lm\r"), "?\r\n");
  EXPECT_EQ(rx.Bytes("L\r"), "?\r\n");
  EXPECT_EQ(rx.Bytes("\xff\x80\x07\r"), "?\r\n");
  EXPECT_EQ(rx.Bytes("LM5\r"), "?\r\n");
}

TEST(SimFraming, OverlongLinesAreCutAndAnsweredOnce) {
  Conversation rx({kRepeater});
  EXPECT_EQ(rx.Bytes(std::string(255, 'A') + "\r"), "?\r\n");
  EXPECT_EQ(rx.Bytes("LM" + std::string(300, ' ') + "\r"), "?\r\n");
  std::string huge(100'000, 'X');
  EXPECT_EQ(rx.Bytes(huge), "");
  EXPECT_EQ(rx.Bytes(huge), "");
  EXPECT_EQ(rx.Bytes("\rLM\r"), "?\r\nLM 120\r\n");
}

TEST(SimFraming, BurstOfCommandsGetsOneReplyEach) {
  Conversation rx({kRepeater});
  std::string burst;
  for (int i = 0; i < 1000; ++i) burst += (i % 3 == 0) ? "LM\r" : (i % 3 == 1) ? "RX\r" : "QQ\r";
  const std::string out = rx.Bytes(burst);
  std::size_t lines = 0;
  for (std::size_t at = 0; (at = out.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
  EXPECT_EQ(lines, 1000u);
}

TEST(SimFraming, UnreadOutputStaysBoundedAndWhole) {
  Conversation rx({kRepeater});
  for (int i = 0; i < 20'000; ++i) rx.engine.Input("RX\r");
  const std::string out = rx.engine.TakeOutput();
  EXPECT_LE(out.size(), Engine::kMaxOutput);
  EXPECT_GT(out.size(), Engine::kMaxOutput / 2);
  EXPECT_EQ(out.substr(0, 5), "VA RF");  // the oldest lines went whole
  EXPECT_EQ(out.substr(out.size() - 2), "\r\n");
  EXPECT_EQ(rx.Say("LM"), "LM 120\r\n");
}

TEST(SimFraming, InputHeldDuringABankResizeIsBounded) {
  Conversation rx({kRepeater});
  EXPECT_EQ(rx.Say("MWB90"), "");
  for (int i = 0; i < 10'000; ++i) rx.engine.Input("LM\r");
  const std::string out = rx.Wait(3000);
  EXPECT_EQ(out.substr(0, 9), "MWB 090\r\n");
  EXPECT_LE(out.size(), 9 + (Engine::kMaxHeldInput / 3) * 8);
  EXPECT_EQ(rx.Say("LM"), "LM 120\r\n");
}

TEST(SimFraming, RandomBytesNeverBreakTheReceiver) {
  Conversation rx({kRepeater});
  std::mt19937 random(8600);
  const std::string alphabet = "LMRXVASTBDUNCEWQPMX0123456789.% \r\n\x1e\x1f\x1c\x1d";
  for (int round = 0; round < 200; ++round) {
    std::string bytes;
    for (int i = 0; i < 500; ++i) {
      // Half plausible command characters, half anything at all.
      bytes +=
          (random() % 2) ? alphabet[random() % alphabet.size()] : static_cast<char>(random() % 256);
    }
    rx.engine.Input(bytes);
    rx.engine.Advance(static_cast<std::int64_t>(random() % 5000));
    EXPECT_LE(rx.engine.TakeOutput().size(), Engine::kMaxOutput);
  }
  // Finish whatever was pending (a bank resize, a half line) and talk normally again.
  rx.Wait(3000);
  rx.Bytes("\r");
  rx.Say("VA0145.50000");
  EXPECT_EQ(rx.Say("LM").substr(0, 3), "LM ");
  EXPECT_EQ(rx.Say("RX").substr(0, 15), "VA RF0145500000");
}

}  // namespace
}  // namespace voskel::sim
