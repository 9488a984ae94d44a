#pragma once
// One command out, one recognised reply in. Neither operation waits: the callers pace the
// exchange with pauses and timer ticks.
#include <string_view>

#include "core/panel.h"

namespace voskel {

inline constexpr char kResumeByte = 30;

// Thrown by SendCommand when a receiver that had answered takes no more commands: the
// operation that sent it stops there, so nothing after it can claim success. Caught where
// a key or a poll step begins.
struct ReceiverLost {};

// True once a receiver that had answered was found gone.
inline bool IsReceiverLost(const PanelState& s) { return s.ConnectState == 0; }

// CommandText + CR, logged "TX= ". Throws ReceiverLost when the receiver was lost before
// or is found lost now ("rnc" is spoken once, when it is found).
void SendCommand(Panel& panel);
void ReadReply(Panel& panel);    // ReplyText = the first recognised reply waiting, or empty
void NoteReply(Panel& panel);    // logs "RX= ", notices the receiver's first answer
void SendResumeByte(Panel& panel);
// Up to 255 bytes straight from the port into ReplyText and ByteCount, no reply cutting.
void ReadRaw(Panel& panel);

// A level reply is "LM", a blank or "%" (squelch closed), and the level in three digits.
inline constexpr std::size_t kLevelReplyLength = 6;
// Where the first level reply in the bytes begins; npos when they hold none.
std::size_t FindLevelReply(std::string_view bytes);

}  // namespace voskel
