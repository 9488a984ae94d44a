#pragma once
// Asking a device whether the receiver is behind it. The only thing ever sent is the
// level query "LM" and its CR: it changes nothing on the receiver, and a device that is
// something else entirely takes three bytes of nonsense at worst.
#include <filesystem>
#include <string_view>

#include "platform/serial_device.h"

namespace voskelcfg {

// The speeds the receiver can be set to, fastest first.
inline constexpr int kReceiverSpeeds[] = {19200, 9600, 4800};

// True when the bytes hold a level reply as the panel finds one (voskel::FindLevelReply):
// "LM", a space or "%", three digits.
bool HoldsLevelReply(std::string_view heard);

// The first speed at which the device answered the level query, 0 when none did. The
// device is held exclusively while it is asked; error says why it could not be opened.
int FindAnsweringSpeed(const std::filesystem::path& device, voskel::platform::OpenError& error);

}  // namespace voskelcfg
