// The braille display through the real BRLTTY, and a panel that runs on unchanged when
// BRLTTY is missing, killed or hung.
#include "platform/brlapi_braille.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>

#include "support/brltty_peer.h"
#include "support/panel_harness.h"
#include "support/sim_peer.h"

namespace voskel {
namespace {

using namespace std::chrono_literals;

constexpr const char* kNoBrltty = "brltty is not installed (scripts/deps test installs it)";

class BrailleThroughBrltty : public ::testing::Test {
 protected:
  void SetUp() override {
    apiOffset_ = testing::BrlttyPeer::FreeApiOffset();
    setenv("BRLAPI_HOST", ("127.0.0.1:" + std::to_string(apiOffset_)).c_str(), 1);
    setenv("BRLAPI_AUTH", "none", 1);
    ::testing::internal::CaptureStderr();
  }
  void TearDown() override { EXPECT_EQ(::testing::internal::GetCapturedStderr(), ""); }
  // Tries again every 50 ms rather than every minute; the window id is any X window's.
  std::unique_ptr<platform::BrlapiBraille> MakeBraille() {
    return std::make_unique<platform::BrlapiBraille>([] { return 7u; }, 50ms);
  }

  int apiOffset_ = 0;
};

TEST_F(BrailleThroughBrltty, ShowsTheLatestMessagePansItAndOutlivesBrltty) {
  if (!testing::BrlttyPeer::Installed()) GTEST_SKIP() << kNoBrltty;
  auto braille = MakeBraille();
  braille->Show("14");
  braille->Show("145.5 ok");  // BRLTTY starts after the panel: its next try finds it
  auto brltty = std::make_unique<testing::BrlttyPeer>(apiOffset_);
  ASSERT_TRUE(brltty->Shows("145.5 ok"));

  const std::string first(40, 'a');
  braille->Show(first + "second window");
  ASSERT_TRUE(brltty->Shows(first));
  brltty->PressNextWindow();
  EXPECT_TRUE(brltty->Shows("second window"));

  brltty->Kill();
  braille->Show("146 ok");
  brltty = std::make_unique<testing::BrlttyPeer>(apiOffset_);
  EXPECT_TRUE(brltty->Shows("146 ok"));

  // A BRLTTY that hangs (it takes the connection and never answers) holds up neither the
  // panel nor the end of the run.
  brltty->Kill();
  const int hung = testing::BrlttyPeer::BindApiPort(apiOffset_);
  ::listen(hung, 4);
  braille->Show("147 ok");
  pollfd wait{hung, POLLIN, 0};
  ASSERT_EQ(::poll(&wait, 1, 10000), 1) << "no connection to hang";
  const int taken = ::accept(hung, nullptr, nullptr);
  braille.reset();
  ::close(taken);
  ::close(hung);
}

// The same keys on a panel with a real display behind BrlAPI: what is heard, sent and
// written is the same without BRLTTY, with one, and with one killed mid-run.
TEST_F(BrailleThroughBrltty, ThePanelRunsOnWithoutIt) {
  auto braille = MakeBraille();
  testing::SimPeer sim(sim::BuiltInBand());
  testing::HarnessOptions options;
  options.braille = braille.get();
  testing::PanelHarness h(options);
  h.peer = sim.AsPeer();
  ASSERT_TRUE(h.Begin());
  h.Tick(3);
  auto tune = [&h](const std::string& number) {
    h.sound.Clear();
    h.ClearWire();
    h.Type(number + "\r");
    h.Settle();
    EXPECT_EQ(h.sound.Spoken().back(), "ok");
    EXPECT_EQ(h.CommandsWithoutPolls().front().substr(0, 2), "VA");
    EXPECT_EQ(h.transcript.lines.back(), "19:27:34 " + number + " ok");
  };
  tune("145.5");
  if (!testing::BrlttyPeer::Installed()) GTEST_SKIP() << kNoBrltty;
  testing::BrlttyPeer brltty(apiOffset_);
  ASSERT_TRUE(brltty.Shows("145.5 ok"));
  tune("146.2");
  EXPECT_TRUE(brltty.Shows("146.2 ok"));
  brltty.Kill();
  tune("147.1");
  h.Close();
}

}  // namespace
}  // namespace voskel
