#pragma once
// What a user can do about a serial device that stays out of reach.
#include <filesystem>
#include <string>

namespace voskelcfg {

// Refused devices: the group to join and the need to log in again.
std::string PermissionAdvice();

// True when the dpkg status under root says the brltty package is installed.
bool BrlttyInstalled(const std::filesystem::path& root);

// brltty takes some USB serial adapters for braille displays; how to keep it off them.
std::string BrlttyAdvice();

}  // namespace voskelcfg
