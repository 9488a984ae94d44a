#pragma once
// The command line of voskelcfg.
#include <string>

namespace voskelcfg {

enum class Action { kWrite, kList, kFind };

struct Options {
  Action action = Action::kWrite;
  std::string dir = ".";
  std::string port = "9";
  std::string speed = "9600";
  std::string voice = "1";
  std::string debug = "0";
  bool portGiven = false;
};

// Exit codes scripts can rely on.
inline constexpr int kDone = 0;
inline constexpr int kFailed = 1;  // nothing found, or nothing could be written
inline constexpr int kBadUsage = 2;

// kDone to go on, kBadUsage after saying what is wrong, -1 after printing the help.
int ParseOptions(int argc, char** argv, Options& options);

}  // namespace voskelcfg
