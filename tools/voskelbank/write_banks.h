#pragma once
// The end of import and log bank: a channel list made into banks and written, or, when the
// list or a bank it would write is in the way, every problem told and nothing written.
#include <string>
#include <string_view>

#include "channel_list.h"
#include "options.h"

namespace voskelbank {

// where names the source in the messages ("list.csv:"). Returns the exit code.
int WriteBanks(const Options& options, const ChannelList& list, std::string_view bankName,
               const std::string& where);

}  // namespace voskelbank
