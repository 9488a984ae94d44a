#include "link/exchange.h"

#include <array>
#include <string_view>

#include "core/text.h"
#include "link/reply_fields.h"
#include "voice/voice.h"

namespace voskel {
namespace {

// Enough reads to empty any backlog a receiver leaves, few enough to end while one babbles.
constexpr int kMaxDiscardReads = 16;

}  // namespace

void SendCommand(Panel& panel, std::string_view command) {
  auto& s = panel.state;
  // The reply to a memory listing is logged whole, whenever it is read.
  s.ListingAsked = command.substr(0, 2) == "MA";
  if (command.empty()) return;
  if (IsReceiverLost(s)) throw ReceiverLost{};
  WriteLogLine(panel, Cap("TX= " + std::string(command)));
  const std::string line = std::string(command) + '\r';
  const int size = static_cast<int>(line.size());
  if (panel.ports.WriteBytes(s.PortNumber, line.data(), size) < size &&
      s.ConnectState == ConnectState::kConnected) {
    // The receiver answered before and now takes nothing: it was unplugged.
    s.ConnectState = ConnectState::kLost;
    throw ReceiverLost{};
  }
}

Reply ReadRaw(Panel& panel) {
  std::array<char, kMaxText> buffer{};
  const int count = panel.ports.ReadBytes(panel.state.PortNumber, buffer.data(),
                                          static_cast<int>(buffer.size()));
  if (count <= 0) return {};
  return {std::string(buffer.data(), static_cast<std::size_t>(count)), count};
}

Reply ReadReply(Panel& panel) {
  const int waiting = panel.ports.BytesWaiting(panel.state.PortNumber);
  if (waiting <= 0) return {{}, waiting};
  const Reply bytes = ReadRaw(panel);
  const KeptReply kept = KeepReply(bytes.text);
  // A memory listing is logged whole as well, so the log shows every channel it held.
  if (!kept.outranking && panel.state.ListingAsked) NoteReply(panel, bytes.text);
  if (!kept.text.empty()) NoteReply(panel, kept.text);
  return {std::string(kept.text), bytes.byteCount};
}

void NoteReply(Panel& panel, std::string_view reply) {
  auto& s = panel.state;
  WriteLogLine(panel, Cap("RX= " + std::string(reply)));
  if (s.MeterLine == "Connecting") {
    s.ConnectState = ConnectState::kConnected;
    Speak(panel, "connected");
    s.MeterLine = ">";
  }
}

Answer AwaitAnswer(Panel& panel, std::int64_t waitMs) {
  return AwaitAnswered(panel, waitMs).answer;
}

Answered AwaitAnswered(Panel& panel, std::int64_t waitMs) {
  auto& s = panel.state;
  constexpr std::int64_t kPollMs = 10;
  std::string taken;
  for (std::int64_t waited = 0;; waited += kPollMs) {
    if (panel.ports.BytesWaiting(s.PortNumber) > 0) {
      taken += ReadRaw(panel).text;
      if (taken.find_first_of("\r\n") != std::string::npos) break;
    }
    if (waited >= waitMs) break;
    panel.clock.SleepMs(kPollMs);
  }
  const Answer answer = AnswerIn(taken);
  if (answer == Answer::kRefused) {
    s.RefusedCount += 1;
    WriteLogLine(panel, "RX= ?");
  }
  return {answer, std::move(taken)};
}

std::vector<std::string> AwaitLines(Panel& panel, std::size_t count, std::int64_t waitMs) {
  auto& s = panel.state;
  constexpr std::int64_t kPollMs = 10;
  std::string taken;
  std::vector<std::string> lines;
  for (std::int64_t waited = 0; lines.size() < count && waited <= waitMs; waited += kPollMs) {
    if (panel.ports.BytesWaiting(s.PortNumber) > 0) {
      taken += ReadRaw(panel).text;
      for (std::size_t end; (end = taken.find_first_of("\r\n")) != std::string::npos;) {
        if (end > 0) lines.push_back(Cap(taken.substr(0, end)));
        taken.erase(0, end + 1);
      }
      continue;
    }
    panel.clock.SleepMs(kPollMs);
  }
  return lines;
}

Answer AnswerIn(std::string_view taken) {
  if (taken.find_first_of("\r\n") == std::string_view::npos) return Answer::kSilent;
  for (std::size_t at = 0; at < taken.size();) {
    const std::size_t end = taken.find_first_of("\r\n", at);
    if (taken.substr(at, end - at) == "?") return Answer::kRefused;
    if (end == std::string_view::npos) break;
    at = end + 1;
  }
  return Answer::kTaken;
}

void DiscardWaiting(Panel& panel) {
  auto& s = panel.state;
  for (int reads = 0; reads < kMaxDiscardReads && panel.ports.BytesWaiting(s.PortNumber) > 0;
       ++reads)
    ReadRaw(panel);
}

Answer SendForAnswer(Panel& panel, std::string_view command) {
  DiscardWaiting(panel);
  SendCommand(panel, command);
  return AwaitAnswer(panel);
}

Answer SendSettingForAnswer(Panel& panel, std::string_view command) {
  const Answer answer = SendForAnswer(panel, command);
  if (answer == Answer::kSilent && panel.state.ConnectState != ConnectState::kUnknown)
    panel.state.ReceiverStateUnsure = true;
  return answer;
}

bool SendSetting(Panel& panel, std::string_view command) {
  const Answer answer = SendSettingForAnswer(panel, command);
  if (answer == Answer::kTaken) return true;
  // Before the receiver has ever answered, silence is no refusal of this setting: nobody
  // is there yet, and the settings go to the receiver when it first answers.
  if (answer == Answer::kSilent && panel.state.ConnectState == ConnectState::kUnknown)
    panel.state.SettingsUnsent = true;
  else
    Speak(panel, "inv");
  return false;
}

void SendResumeByte(Panel& panel) {
  if (IsReceiverLost(panel.state)) return;
  const char byte = kResumeByte;
  panel.ports.WriteBytes(panel.state.PortNumber, &byte, 1);
}

}  // namespace voskel
