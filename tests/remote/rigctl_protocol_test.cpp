// The rigctld protocol on its own: lines in, answers out, in the plain and the extended
// forms, against a fixed view of the receiver.
#include "remote/rigctl_protocol.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>

namespace voskel::rigctl {
namespace {

const ReceiverView kView{145'600'000, "FM", -18, 20};
ReceiverView Lost() {
  ReceiverView view = kView;
  view.present = false;
  return view;
}
ReceiverView HeldByListener() {
  ReceiverView view = kView;
  view.setsRefused = true;
  return view;
}

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
    ReceiverView view = kView;
  } cases[] = {
      {"f m l STRENGTH\n", "145600000\nFM\n12000\n-18\n"},
      {"ff\r\n", "145600000\n145600000\n"},
      {"\\get_freq\n", "145600000\n"},
      {";\\get_mode\n", "get_mode:;Mode: FM;Passband: 12000;RPRT 0\n"},
      {"+f m\n", "get_freq:\nFrequency: 145600000\nRPRT 0\nFM\n12000\n"},
      {"+l STRENGTH\n", "get_level: STRENGTH\n-18\nRPRT 0\n"},
      {"l ATT\n", "20\n"},
      {"s\nt\n", "0\nVFOA\n0\n"},
      {"+\\get_vfo_info VFOA\n",
       "get_vfo_info: VFOA\nFreq: 145600000\nMode: FM\nWidth: 12000\nSplit: 0\nSatMode: 0\nRPRT "
       "0\n"},
      {"\\chk_vfo\n\\get_powerstat\n\\get_lock_mode\n", "0\n1\n0\n"},
      {"+\\get_powerstat\n", "get_powerstat:\nPower Status: 1\nRPRT 0\n"},
      // Everything not served is answered, once, never left in silence.
      {"l AF\nl\n", "RPRT -11\nRPRT -1\n"},
      {"U NB 1\nL ATT 10\nx\n", "RPRT -11\nRPRT -11\nRPRT -11\n"},
      // The receiver's one VFO by each name clients give it; the others are not the panel's.
      {"V VFOA\nV Main\nV currVFO\n\\set_vfo VFOB\nV nonsense\n",
       "RPRT 0\nRPRT 0\nRPRT 0\nRPRT -11\nRPRT -1\n"},
      {"+V VFOA\n", "set_vfo: VFOA\nRPRT 0\n"},
      {"\\get_dcd\n+\\get_dcd\n", "0\nget_dcd:\nDCD: 0\nRPRT 0\n"},
      {"\\get_vfo_list\n+\\get_vfo_list\n",
       "VFOA VFOB MEM \nget_vfo_list:\nVFOs: VFOA VFOB MEM \nRPRT 0\n"},
      {"+\\chk_vfo\n", "ChkVFO: 0\n"},
      {"\\get_rig_info\n",
       "VFO=VFOA Freq=145600000 Mode=FM Width=12000 RX=1 TX=1\n"
       "VFO=VFOB Freq=0 Mode=None Width=0 RX=0 TX=0\nSplit=0 SatMode=0\nRig=AR8600\n"
       "App=Hamlib\nVersion=20210506 1.0.0\nCRC=0x5355fd6e\n\n"},
      {"+\\bogus 1\n", "bogus: 1\nRPRT -11\n"},
      // Hamlib's other FM and AM filters are not the panel's; in the other modes the
      // filter follows the mode, and rigctld takes any width there.
      {"F abc\nF 4000000000\nF 99970\nM PKTUSB 0\nM FM wide\nM FM 9000\nM AM 3000\n",
       "RPRT -1\nRPRT -1\nRPRT -1\nRPRT -1\nRPRT -1\nRPRT -1\nRPRT -1\n"},
      {"M USB 2400\n", "RPRT 0\n", SetRequest{kMode, 0, "USB"}},
      {"M FM 12000\n", "RPRT 0\n", SetRequest{kMode, 0, "FM"}},
      {"M AM -1\n", "RPRT 0\n", SetRequest{kMode, 0, "AM"}},
      // What the receiver tunes: its 50 Hz grid.
      {"F 145612345\n", "RPRT 0\n", SetRequest{kFrequency, 145'612'350, ""}},
      {"F 14070000.000000\n", "RPRT 0\n", SetRequest{kFrequency, 14'070'000, ""}},
      // A client that gave up waiting sends the same set again: one answer to each, the
      // receiver asked once; another value is a set of its own.
      {"F 145600000\nF 145600000\n+F 145600000\nf\n",
       "RPRT 0\nRPRT 0\nset_freq: 145600000\nRPRT 0\n145600000\n",
       SetRequest{kFrequency, 145'600'000, ""}},
      // While the receiver is lost only what needs no receiver is answered.
      {"f\nm\n\\get_dcd\nF 145600000\nv\n\\chk_vfo\n",
       "RPRT -6\nRPRT -6\nRPRT -6\nRPRT -6\nVFOA\n0\n",
       {},
       kOk,
       Lost()},
      // The listener's search, scan or bank holds the receiver: refused at once.
      {"F 145600000\nM AM 0\nf\n", "RPRT -9\nRPRT -9\n145600000\n", {}, kOk, HeldByListener()},
      {"+F\n", "set_freq:\nRPRT -1\n"},
      {"q\nf\n", "RPRT 0\n"},
      // A set waits for its result, and what follows it on the line waits too.
      {"F 145600000 f\n", "RPRT -9\n145600000\n", SetRequest{kFrequency, 145'600'000, ""},
       kRejected},
      {"+F 1.456e8\n", "set_freq: 1.456e8\nRPRT 0\n", SetRequest{kFrequency, 145'600'000, ""}},
      {"|M WFM 0\n", "set_mode: WFM 0|RPRT 0\n", SetRequest{kMode, 0, "WFM"}},
      {"\\set_mode CW\n", "RPRT -6\n", SetRequest{kMode, 0, "CW"}, kIoError},
  };
  for (const auto& c : cases) EXPECT_EQ(Answers(c.line, c.set, c.code, c.view), c.answer) << c.line;
  // The automatic mode: the receiver picks the mode, and the panel does not learn which.
  EXPECT_EQ(Answers("m\n", {}, kOk, {145'600'000, "", 0, 0}), "\n0\n");
}

TEST(RigctlProtocol, ADifferentSetBehindARepeatedOneWaitsForItsOwnTurn) {
  Session session;
  ASSERT_TRUE(session.Take("F 145600000\nF 145600000\nF 145650000\n"));
  session.Answer(kView, 100);
  session.Finish(kOk);
  session.Answer(kView, 100);
  EXPECT_EQ(session.Output(), "RPRT 0\nRPRT 0\n");
  EXPECT_EQ(session.PendingSet(), (SetRequest{SetRequest::Kind::kFrequency, 145'650'000, ""}));
}

TEST(RigctlProtocol, DumpsInBothFormsAndALineOverOneKibibyteIsRefused) {
  const std::string state = Answers("\\dump_state\n");
  EXPECT_EQ(state.rfind("1\n5013\n", 0), 0u) << "protocol 1, the AR8600";
  EXPECT_NE(state.find("\ntimeout=200\nrig_model=5013\n"), std::string::npos);
  EXPECT_EQ(state.substr(state.size() - 5), "done\n");
  EXPECT_EQ(Answers("+\\dump_state\n"), "dump_state:\n" + state + "RPRT 0\n");
  const std::string caps = Answers("\\dump_caps\n");
  EXPECT_EQ(caps.rfind("Caps dump for model: 5013\n", 0), 0u);
  EXPECT_EQ(caps.substr(caps.size() - 7), "RPRT 0\n") << "rigctld ends it so in both forms";
  EXPECT_EQ(Answers("+\\dump_caps\n"), "dump_caps:\n" + caps);
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
