#pragma once
// One command out, one recognised reply in. Neither operation waits: the callers pace the
// exchange with pauses and timer ticks.
#include <string>
#include <string_view>
#include <vector>

#include "core/panel.h"

namespace voskel {

inline constexpr char kResumeByte = 30;

// Thrown by SendCommand when the receiver is lost, or found lost as it takes no more
// commands: the operation that sent it stops there, so nothing after it can claim
// success. Caught where a key or a poll step begins, which says "receiver not connected".
struct ReceiverLost {};

// True once a receiver that had answered was found gone.
inline bool IsReceiverLost(const PanelState& s) {
  return s.ConnectState == ConnectState::kLost;
}

// What one read took off the line: the text kept of it, and how many bytes came (what was
// waiting, when that was nothing).
struct Reply {
  std::string text;
  int byteCount = 0;
};

// The command + CR, logged "TX= "; an empty one sends nothing. Throws ReceiverLost when the
// receiver was lost before or is found lost now.
void SendCommand(Panel& panel, std::string_view command);
Reply ReadReply(Panel& panel);  // the first recognised reply waiting, or empty text
void NoteReply(Panel& panel, std::string_view reply);  // logs "RX= ", notices the first answer
void SendResumeByte(Panel& panel);
// Up to 255 bytes straight from the port, no reply cutting.
Reply ReadRaw(Panel& panel);

// The receiver answers every command with one line: an empty one when it took a setting,
// "?" when it refused the command.
enum class Answer { kTaken, kRefused, kSilent };
// How long a setting's answer is waited for: far more than a receiver needs at 4800 baud.
inline constexpr std::int64_t kAnswerWaitMs = 300;
// Waits, at most waitMs, for the answer to the command just sent and takes in what is
// waiting up to its line end. A "?" line is a refusal (logged "RX= ?"); any other line is
// taken; no line end within the wait is silence.
Answer AwaitAnswer(Panel& panel, std::int64_t waitMs = kAnswerWaitMs);
struct Answered {
  Answer answer;
  std::string text;  // what was taken in, up to and with the line end
};
// The same, with the answer's text, for a command whose answer says more than yes or no.
Answered AwaitAnswered(Panel& panel, std::int64_t waitMs = kAnswerWaitMs);
// The lines the receiver sends after a command that is answered with several (a memory
// listing): at most count of them, waiting at most waitMs; empty lines are left out.
std::vector<std::string> AwaitLines(Panel& panel, std::size_t count, std::int64_t waitMs);
// What the bytes taken in after a command say: a "?" line is a refusal, any other line
// the command taken, and no line end at all silence.
Answer AnswerIn(std::string_view taken);
// Reads and drops what is waiting: nothing that came before a question answers it. Bounded,
// so a receiver that babbles cannot hold the panel here.
void DiscardWaiting(Panel& panel);
// DiscardWaiting, SendCommand, then AwaitAnswer, so that an answer left over from an
// earlier command is never taken for this one's.
Answer SendForAnswer(Panel& panel, std::string_view command);
// SendForAnswer for a setting. One the receiver did not answer may have been made all the
// same: once it has ever answered, ReceiverStateUnsure is set, and it is asked what it
// holds when it answers again.
Answer SendSettingForAnswer(Panel& panel, std::string_view command);
// SendSettingForAnswer, true only when the receiver took the setting. Otherwise "inv" has
// been said, except for silence before the receiver has ever answered: then SettingsUnsent
// is set, and the settings go again when it first answers.
bool SendSetting(Panel& panel, std::string_view command);

}  // namespace voskel
