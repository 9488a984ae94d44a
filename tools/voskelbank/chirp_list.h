#pragma once
// A channel list in CHIRP's generic CSV layout (or any CSV with a Frequency column): the
// columns found by their header names, the rows ordered by Location.
#include <string_view>

#include "channel_list.h"

namespace voskelbank {

ChannelList ReadChirpList(std::string_view csv, const ListOptions& options);

}  // namespace voskelbank
