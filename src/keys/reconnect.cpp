#include "keys/reconnect.h"

#include "banks/stored_state.h"
#include "core/text.h"
#include "link/exchange.h"
#include "link/receiver_port.h"
#include "link/reply_fields.h"
#include "panel/layout.h"
#include "panel/pen.h"
#include "receiver/receiver_settings.h"
#include "scan/scan_exit.h"
#include "voice/voice.h"

namespace voskel {
namespace {

void PrintOnMeterLine(Panel& panel, const std::string& text) {
  StartLine(panel, ScreenLine::kMeter);
  PrintAt(panel, text);
  SetColour(panel, platform::kBlack);
}

// The receiver may have been switched off and on: it gets the panel's settings again, as
// after start-up, and the channels a scan passed before it went are released.
void ReceiverBack(Panel& panel, const std::string& reply) {
  auto& s = panel.state;
  WriteLogLine(panel, Cap("RX= " + reply));
  s.ConnectState = ConnectState::kConnected;
  s.ReconnectDueMs = 0;
  s.UnansweredPolls = 0;
  PrintOnMeterLine(panel, std::string(27, ' '));
  Speak(panel, "connected");
  if (s.PassCount > 1) ReleasePassedChannels(panel);
  GiveSettings(panel);
}

}  // namespace

void GiveSettings(Panel& panel) {
  auto& s = panel.state;
  s.SettingsUnsent = false;
  const int refusedBefore = s.RefusedCount;
  SetFrequency(panel, s.Frequency);
  SpeakFixed(panel, "shdel");
  // What the receiver did while away is not known, auto mode included.
  s.AutoModeOn = true;
  ApplyMode(panel);
  SpeakFixed(panel, "shdel");
  // Not a step half typed while the receiver was away: the one in force.
  SetStep(panel, SettingsInForce(s).step);
  SendSetting(panel, s.AttenuatorOn ? "AT1" : "AT0");
  if (s.RefusedCount != refusedBefore) LearnReceiverState(panel);
}

void ShowReceiverLost(Panel& panel) {
  PrintOnMeterLine(panel, "receiver not connected");
}

void SeekLostReceiver(Panel& panel) {
  auto& s = panel.state;
  if (panel.ports.BytesWaiting(s.PortNumber) > 0) {
    const std::string bytes = ReadRaw(panel).text;
    // Only the receiver answers the level query so. Whatever else a device behind the
    // port says (another program, a modem, noise) does not make it the receiver.
    if (const std::size_t at = FindLevelReply(bytes); at != std::string::npos) {
      ReceiverBack(panel, bytes.substr(at, kLevelReplyLength));
      return;
    }
  }
  const std::int64_t now = panel.clock.NowMs();
  if (now < s.ReconnectDueMs) return;
  s.ReconnectDueMs = now + kReconnectEveryMs;
  // A port still open here gave no level reply for a whole round. It is closed and opened
  // again, the way start-up opened it: comN may lead somewhere else by now.
  OpenReceiverPort(panel);
  // Written past the exchange, which refuses a lost receiver; a line that stalled takes
  // only what fits at once, so this never holds the panel up.
  static constexpr char kLevelQuery[] = "LM\r";
  panel.ports.WriteBytes(s.PortNumber, kLevelQuery, 3);
}

}  // namespace voskel
