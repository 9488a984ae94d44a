// voskelbank: the panel's memory banks in and out as channel lists other radio programs
// read and write (CHIRP's CSV, gqrx's bookmarks), and the panel's activity log made into
// a summary and into banks.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "activity_report.h"
#include "bank_export.h"
#include "bank_list.h"
#include "banks/bank_lines.h"
#include "chirp_list.h"
#include "core/activity_record.h"
#include "gqrx_bookmarks.h"
#include "options.h"
#include "platform/atomic_file.h"
#include "write_banks.h"

namespace voskelbank {
namespace {

namespace fs = std::filesystem;

void Tell(const std::string& where, const std::vector<std::string>& messages) {
  for (const std::string& message : messages)
    std::fprintf(stderr, "%s: %s\n", where.c_str(), message.c_str());
}

int CannotWrite(const fs::path& path) {
  std::fprintf(stderr, "voskelbank: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
  return kFailed;
}

// False when the file cannot be read (or is a folder).
bool ReadWhole(const fs::path& path, std::string& text) {
  std::error_code ignored;
  std::ifstream in(path, std::ios::binary);
  std::ostringstream whole;
  if (in) whole << in.rdbuf();
  text = whole.str();
  return in && !fs::is_directory(path, ignored);
}

// The folder at the start of a sentence, never at its end, where a name ending in a point
// would double the full stop.
std::string Folder(const Options& options) {
  return options.dir == "." ? "This folder" : "The folder " + options.dir;
}

int List(const Options& options) {
  std::vector<std::string> lines;
  if (!ListBanks(options.dir, lines)) {
    std::fprintf(stderr, "voskelbank: cannot read the folder %s\n", options.dir.c_str());
    return kFailed;
  }
  for (const std::string& line : lines) std::printf("%s\n", line.c_str());
  if (lines.empty())
    std::printf("%s holds no banks (bank01.dat to bank99.dat).\n", Folder(options).c_str());
  return lines.empty() ? kFailed : kDone;
}

bool AsGqrx(const Options& options) {
  return options.format == Format::kGqrx || (options.format == Format::kFromFile &&
                                             fs::path(options.file).filename() == "bookmarks.csv");
}

int ExportBank(const Options& options) {
  const fs::path path = fs::path(options.dir) / voskel::BankFileName(options.bank);
  voskel::BankImage lines{};
  std::ifstream in;
  if (!voskel::OpenBankFile(path, in)) {
    std::fprintf(stderr, "voskelbank: there is no bank %s\n", path.c_str());
    return kFailed;
  }
  voskel::ReadBankLines(in, lines);
  Export out;
  if (AsGqrx(options)) {
    const Bookmarks bookmarks = BankToGqrx(lines);
    out = {bookmarks.text, bookmarks.problems, bookmarks.notes};
  } else {
    out = BankToCsv(lines);
  }
  Tell(path.string(), out.problems);
  Tell(path.string(), out.notes);
  if (!out.problems.empty()) {
    std::fprintf(stderr, "voskelbank: nothing written\n");
    return kFailed;
  }
  if (options.file.empty()) {
    std::fwrite(out.csv.data(), 1, out.csv.size(), stdout);
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? kDone : CannotWrite("the output");
  }
  return voskel::platform::WriteFileAtomically(options.file, out.csv) ? kDone
                                                                      : CannotWrite(options.file);
}

int ImportBank(const Options& options) {
  std::string text;
  if (!ReadWhole(options.file, text)) {
    std::fprintf(stderr, "voskelbank: cannot read %s\n", options.file.c_str());
    return kFailed;
  }
  const ListOptions read{options.mode, options.cutNames};
  const bool gqrx = options.format == Format::kGqrx ||
                    (options.format == Format::kFromFile && LooksLikeGqrx(text));
  const ChannelList list = gqrx ? ReadGqrxBookmarks(text, read) : ReadChirpList(text, read);
  const std::string name =
      options.nameGiven ? options.name : fs::path(options.file).stem().string();
  return WriteBanks(options, list, name, options.file);
}

// The older log first, so that the lines stand in the order they were heard.
bool ReadLog(const Options& options, ActivityLog& log) {
  bool found = false;
  for (const char* file : {voskel::kActivityOldFile, voskel::kActivityFile}) {
    std::string text;
    if (!ReadWhole(fs::path(options.dir) / file, text)) continue;
    found = true;
    ReadActivity(text, file, log);
  }
  if (!found)
    std::fprintf(stderr,
                 "voskelbank: %s holds no activity log (%s) yet; the panel writes it while it "
                 "runs\n",
                 Folder(options).c_str(), voskel::kActivityFile);
  for (const std::string& note : log.notes) std::fprintf(stderr, "%s\n", note.c_str());
  return found;
}

int LogSummary(const Options& options) {
  ActivityLog log;
  if (!ReadLog(options, log)) return kFailed;
  const std::string text = SummaryText(log, {options.from, options.to}, options.top);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return kDone;
}

int LogBank(const Options& options) {
  ActivityLog log;
  if (!ReadLog(options, log)) return kFailed;
  int signals = 0;
  const std::vector<Frequency> busiest =
      TopFrequencies(Tally(log, {options.from, options.to}, signals),
                     options.byTime ? Ranking::kByTime : Ranking::kByCount, options.top);
  return WriteBanks(options, AsChannelList(busiest), options.nameGiven ? options.name : "heard",
                    voskel::kActivityFile);
}

}  // namespace
}  // namespace voskelbank

int main(int argc, char** argv) {
  using namespace voskelbank;
  Options options;
  if (const int parsed = ParseOptions(argc, argv, options); parsed != kDone)
    return parsed < 0 ? kDone : parsed;
  switch (options.command) {
    case Command::kList:
      return List(options);
    case Command::kExport:
      return ExportBank(options);
    case Command::kImport:
      return ImportBank(options);
    case Command::kLogSummary:
      return LogSummary(options);
    case Command::kLogBank:
      break;
  }
  return LogBank(options);
}
