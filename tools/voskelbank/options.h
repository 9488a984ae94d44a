#pragma once
// The command line of voskelbank.
#include <cstdint>
#include <string>

namespace voskelbank {

enum class Command { kList, kExport, kImport, kLogSummary, kLogBank };

// Which program's channel list a file is: for import, found from the file's first line
// unless given; for export, gqrx's for a file named bookmarks.csv.
enum class Format { kFromFile, kChirp, kGqrx };

struct Options {
  Command command = Command::kList;
  std::string dir = ".";
  std::string bank;  // two digits, 01 to 99; the first bank when a list fills several
  std::string file;  // export: empty for standard output
  std::string name;  // the bank's name; empty for the file's base name
  bool nameGiven = false;
  bool replace = false;
  Format format = Format::kFromFile;
  std::string mode;         // import: only the rows of this mode, as a bank's mode line
  std::int64_t stepHz = 0;  // the step of channels whose list gives none; 0: 5 kHz
  bool cutNames = false;
  std::string from;  // log: "2026-12-05 19:00:00"; empty for the log's start
  std::string to;    // log: its end
  int top = 10;
  bool byTime = false;  // log bank: the busiest by time on the air, not by count
};

// Exit codes scripts can rely on, as voskelcfg's.
inline constexpr int kDone = 0;
inline constexpr int kFailed = 1;  // nothing written: a problem in the files, or none found
inline constexpr int kBadUsage = 2;

// kDone to go on, kBadUsage after saying what is wrong, -1 after printing the help.
int ParseOptions(int argc, char** argv, Options& options);

}  // namespace voskelbank
