#pragma once
// The banks of a working directory, one line each.
#include <filesystem>
#include <string>
#include <vector>

namespace voskelbank {

// "07: bank07, FM, 12.5 kHz, 3 channels" for bank01.dat to bank99.dat, in their order.
// bank00.dat is the panel's stored state and search list, no bank of channels: left out,
// and so are the banks D put aside in deleted/. A damaged bank is listed with the line the
// panel refuses it for. False when the directory cannot be read.
bool ListBanks(const std::filesystem::path& dir, std::vector<std::string>& lines);

}  // namespace voskelbank
