#pragma once
// One command out, one recognised reply in. Neither operation waits: the callers pace the
// exchange with pauses and timer ticks.
#include "core/panel.h"

namespace voskel {

inline constexpr char kResumeByte = 30;

void SendCommand(Panel& panel);  // CommandText + CR, logged "TX= "
void ReadReply(Panel& panel);    // ReplyText = the first recognised reply waiting, or empty
void NoteReply(Panel& panel);    // logs "RX= ", notices the receiver's first answer
void SendResumeByte(Panel& panel);
// Up to 255 bytes straight from the port into ReplyText and ByteCount, no reply cutting.
void ReadRaw(Panel& panel);

}  // namespace voskel
