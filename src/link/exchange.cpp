#include "link/exchange.h"

#include <array>
#include <string_view>

#include "core/text.h"
#include "voice/voice.h"

namespace voskel {
namespace {

struct ReplyKey {
  std::string_view key;
  std::size_t kept;
};

// Keeps `kept` characters from the first occurrence of the key; false when absent.
bool CutAtKey(std::string& reply, const ReplyKey& rule) {
  const std::size_t at = reply.find(rule.key);
  if (at == std::string::npos) return false;
  reply = reply.substr(at, rule.kept);
  return true;
}

}  // namespace

void SendCommand(Panel& panel) {
  auto& s = panel.state;
  if (s.CommandText.empty()) return;
  if (IsReceiverLost(s)) throw ReceiverLost{};
  s.LogLine = Cap("TX= " + s.CommandText);
  WriteLogLine(panel);
  s.CommandText += '\r';
  const int size = static_cast<int>(s.CommandText.size());
  if (panel.ports.WriteBytes(s.PortNumber, s.CommandText.data(), size) < size &&
      s.ConnectState == 1) {
    // The receiver answered before and now takes nothing: it was unplugged or switched
    // off. Said once here; the keys say it again instead of pretending to work.
    s.ConnectState = 0;
    Speak(panel, "rnc");
    throw ReceiverLost{};
  }
}

void ReadRaw(Panel& panel) {
  auto& s = panel.state;
  std::array<char, kMaxText> buffer{};
  s.ByteCount = panel.ports.ReadBytes(s.PortNumber, buffer.data(), static_cast<int>(buffer.size()));
  if (s.ByteCount < 0) s.ByteCount = 0;
  s.ReplyText.assign(buffer.data(), static_cast<std::size_t>(s.ByteCount));
}

void ReadReply(Panel& panel) {
  auto& s = panel.state;
  s.ReplyText.clear();
  s.ByteCount = panel.ports.BytesWaiting(s.PortNumber);
  if (s.ByteCount <= 0) return;
  ReadRaw(panel);

  static constexpr ReplyKey kFirstKeys[] = {{"LC", 30}, {"MW", 13}};
  static constexpr ReplyKey kLaterKeys[] = {{"MX", 60}, {"VS", 18}, {"LM", 6}};
  for (const ReplyKey& rule : kFirstKeys) {
    if (CutAtKey(s.ReplyText, rule)) {
      NoteReply(panel);
      return;
    }
  }
  // A memory listing is logged whole as well, so the log shows every channel it held.
  if (s.CommandText.rfind("MA", 0) == 0) NoteReply(panel);
  for (const ReplyKey& rule : kLaterKeys) {
    if (CutAtKey(s.ReplyText, rule)) {
      NoteReply(panel);
      return;
    }
  }
  s.ReplyText.clear();
}

void NoteReply(Panel& panel) {
  auto& s = panel.state;
  s.LogLine = Cap("RX= " + s.ReplyText);
  WriteLogLine(panel);
  if (s.MeterLine == "Connecting") {
    s.ConnectState = 1;
    Speak(panel, "connected");
    s.MeterLine = ">";
  }
}

std::size_t FindLevelReply(std::string_view bytes) {
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  for (std::size_t at = bytes.find("LM"); at != std::string_view::npos;
       at = bytes.find("LM", at + 1)) {
    if (bytes.size() - at < kLevelReplyLength) break;
    if ((bytes[at + 2] == ' ' || bytes[at + 2] == '%') && digit(bytes[at + 3]) &&
        digit(bytes[at + 4]) && digit(bytes[at + 5]))
      return at;
  }
  return std::string_view::npos;
}

void SendResumeByte(Panel& panel) {
  if (IsReceiverLost(panel.state)) return;
  const char byte = kResumeByte;
  panel.ports.WriteBytes(panel.state.PortNumber, &byte, 1);
}

}  // namespace voskel
