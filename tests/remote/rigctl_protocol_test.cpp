// The rigctld protocol on its own: lines in, answers out, in the plain and the extended
// forms, against a fixed view of the receiver.
#include "remote/rigctl_protocol.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>

namespace voskel::rigctl {
namespace {

const ReceiverView kView{145'600'000, "FM", -18, 20};

// The answers to the bytes. A set among them waits, with nothing after it answered, until
// it is finished with the code.
std::string Answers(std::string_view bytes, const std::optional<SetRequest>& set = {},
                    int code = kOk, const ReceiverView& view = kView) {
  Session session;
  EXPECT_TRUE(session.Take(bytes));
  session.Answer(view, 100);
  EXPECT_EQ(session.PendingSet(), set) << bytes;
  if (set) {
    EXPECT_EQ(session.Output(), "") << bytes;
    session.Finish(code);
    session.Answer(view, 100);
  }
  EXPECT_TRUE(session.Idle()) << bytes;
  return session.Output();
}

TEST(RigctlProtocol, ReadsAndSetsAnswerInHamlibsPlainAndExtendedForms) {
  using enum SetRequest::Kind;
  const struct {
    std::string_view line;
    std::string_view answer;
    std::optional<SetRequest> set = {};
    int code = kOk;
  } cases[] = {
      {"f m l STRENGTH\n", "145600000\nFM\n15000\n-18\n"},
      {"ff\r\n", "145600000\n145600000\n"},
      {"\\get_freq\n", "145600000\n"},
      {";\\get_mode\n", "get_mode:;Mode: FM;Passband: 15000;RPRT 0\n"},
      {"+f m\n", "get_freq:\nFrequency: 145600000\nRPRT 0\nFM\n15000\n"},
      {"+l STRENGTH\n", "get_level: STRENGTH\n-18\nRPRT 0\n"},
      {"l ATT\n", "20\n"},
      {"s\nt\n", "0\nVFOA\n0\n"},
      {"+\\get_vfo_info VFOA\n",
       "get_vfo_info: VFOA\nFreq: 145600000\nMode: FM\nWidth: 15000\nSplit: 0\nSatMode: 0\nRPRT "
       "0\n"},
      {"\\chk_vfo\n\\get_powerstat\n\\get_lock_mode\n", "0\n1\n0\n"},
      {"+\\get_powerstat\n", "get_powerstat:\nPower Status: 1\nRPRT 0\n"},
      // Everything not served is answered, once, never left in silence.
      {"l AF\nl\n", "RPRT -11\nRPRT -1\n"},
      {"U NB 1\nL ATT 10\nx\n\\set_vfo VFOB\n", "RPRT -11\nRPRT -11\nRPRT -11\nRPRT -11\n"},
      {"+\\bogus 1\n", "bogus: 1\nRPRT -11\n"},
      {"F abc\nF 4000000000\nF 99999\nM PKTUSB 0\nM FM wide\n",
       "RPRT -1\nRPRT -1\nRPRT -1\nRPRT -1\nRPRT -1\n"},
      {"+F\n", "set_freq:\nRPRT -1\n"},
      {"q\nf\n", "RPRT 0\n"},
      // A set waits for its result, and what follows it on the line waits too.
      {"F 145600000 f\n", "RPRT -9\n145600000\n", SetRequest{kFrequency, 145'600'000, ""},
       kRejected},
      {"+F 1.456e8\n", "set_freq: 1.456e8\nRPRT 0\n", SetRequest{kFrequency, 145'600'000, ""}},
      {"|M WFM 0\n", "set_mode: WFM 0|RPRT 0\n", SetRequest{kMode, 0, "WFM"}},
      {"\\set_mode CW\n", "RPRT -6\n", SetRequest{kMode, 0, "CW"}, kIoError},
  };
  for (const auto& c : cases) EXPECT_EQ(Answers(c.line, c.set, c.code), c.answer) << c.line;
  // The automatic mode: the receiver picks the mode, and the panel does not learn which.
  EXPECT_EQ(Answers("m\n", {}, kOk, {145'600'000, "", 0, 0}), "\n0\n");
}

TEST(RigctlProtocol, DumpStateEndsWithDoneAndALineOverOneKibibyteIsRefused) {
  const std::string state = Answers("\\dump_state\n");
  EXPECT_EQ(state.rfind("1\n", 0), 0u) << "protocol 1";
  EXPECT_NE(state.find("100000.000000 2040000000.000000 0x6f"), std::string::npos);
  EXPECT_EQ(state.substr(state.size() - 5), "done\n");
  Session session;
  EXPECT_TRUE(session.Take(std::string(kMaxLine, 'f')));
  EXPECT_FALSE(session.Take("f"));
}

TEST(RigctlProtocol, RandomBytesAreAllAnsweredAndNothingIsLeftHanging) {
  static constexpr std::string_view kPieces[] = {
      "F",    "f",          "M",  "m",        "l",   "\\", "+", ";",
      " ",    "\n",         "\r", "STRENGTH", "1e9", "-",  "q", std::string_view("\0", 1),
      "\xff", "dump_state", "FM", "145600000"};
  std::mt19937 random(23);
  for (int run = 0; run < 300; ++run) {
    std::string bytes;
    for (int i = 0; i < 40; ++i) bytes += kPieces[random() % std::size(kPieces)];
    Session session;
    if (!session.Take(bytes)) continue;
    session.TakeEnd();
    for (int round = 0; round < 100 && !session.Idle() && !session.Quit(); ++round) {
      session.Answer(kView, 10);
      session.Finish(kOk);
    }
    EXPECT_TRUE(session.Idle() || session.Quit()) << bytes;
    EXPECT_EQ(session.Unanswered(), 0u) << bytes;
  }
}

}  // namespace
}  // namespace voskel::rigctl
