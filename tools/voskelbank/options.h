#pragma once
// The command line of voskelbank.
#include <string>

namespace voskelbank {

enum class Command { kList, kExport, kImport };

struct Options {
  Command command = Command::kList;
  std::string dir = ".";
  std::string bank;  // two digits, 01 to 99
  std::string file;  // export: empty for standard output
  std::string name;  // import: the bank's name; empty for the file's base name
  bool nameGiven = false;
  bool replace = false;
};

// Exit codes scripts can rely on, as voskelcfg's.
inline constexpr int kDone = 0;
inline constexpr int kFailed = 1;  // nothing written: a problem in the files, or none found
inline constexpr int kBadUsage = 2;

// kDone to go on, kBadUsage after saying what is wrong, -1 after printing the help.
int ParseOptions(int argc, char** argv, Options& options);

}  // namespace voskelbank
