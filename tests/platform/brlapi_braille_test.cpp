// The braille display through the real BRLTTY, and a panel that runs on unchanged when
// BRLTTY is missing, killed or hung.
#include "platform/brlapi_braille.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "support/brltty_peer.h"
#include "support/panel_harness.h"
#include "support/sim_peer.h"

namespace voskel {
namespace {

using namespace std::chrono_literals;

constexpr const char* kNoBrltty = "brltty is not installed (scripts/deps test installs it)";

// A BRLTTY that hangs: the connection is taken, and nothing ever answers it.
class HungServer {
 public:
  explicit HungServer(int apiOffset) : listener_(::socket(AF_INET, SOCK_STREAM, 0)) {
    const int yes = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(4101 + apiOffset));
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener_, 4);
  }
  ~HungServer() {
    if (client_ >= 0) ::close(client_);
    ::close(listener_);
  }
  bool TakesConnection() {
    pollfd wait{listener_, POLLIN, 0};
    if (::poll(&wait, 1, 10000) <= 0) return false;
    client_ = ::accept(listener_, nullptr, nullptr);
    return client_ >= 0;
  }

 private:
  int listener_;
  int client_ = -1;
};

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
  HungServer hung(apiOffset_);
  braille->Show("147 ok");
  ASSERT_TRUE(hung.TakesConnection());
  braille.reset();
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
