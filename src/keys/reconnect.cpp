#include "keys/reconnect.h"

#include "core/text.h"
#include "link/exchange.h"
#include "link/receiver_port.h"
#include "link/reply_fields.h"
#include "receiver/receiver_settings.h"
#include "voice/voice.h"

namespace voskel {
namespace {

// The receiver may have been switched off and on: it gets the panel's settings again, as
// after start-up.
void ReceiverBack(Panel& panel) {
  auto& s = panel.state;
  s.LogLine = Cap("RX= " + s.ReplyText);
  WriteLogLine(panel);
  s.ConnectState = ConnectState::kConnected;
  s.ReconnectDueMs = 0;
  Speak(panel, "connected");
  s.TuneText = s.Frequency;
  SetFrequency(panel);
  SpeakFixed(panel, "shdel");
  ApplyMode(panel);
  SpeakFixed(panel, "shdel");
  SetStep(panel);
  s.CommandText = s.AttenuatorOn ? "AT1" : "AT0";
  SendCommand(panel);
}

}  // namespace

void SeekLostReceiver(Panel& panel) {
  auto& s = panel.state;
  if (panel.ports.BytesWaiting(s.PortNumber) > 0) {
    ReadRaw(panel);
    // Only the receiver answers the level query so. Whatever else a device behind the
    // port says (another program, a modem, noise) does not make it the receiver.
    if (const std::size_t at = FindLevelReply(s.ReplyText); at != std::string::npos) {
      s.ReplyText = s.ReplyText.substr(at, kLevelReplyLength);
      ReceiverBack(panel);
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
