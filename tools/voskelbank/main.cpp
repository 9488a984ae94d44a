// voskelbank: the panel's memory banks in and out as CSV in CHIRP's layout, the channel
// lists other radio programs and spreadsheets read and write.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bank_export.h"
#include "bank_import.h"
#include "bank_list.h"
#include "banks/bank_lines.h"
#include "chirp_layout.h"
#include "options.h"
#include "platform/atomic_file.h"

namespace voskelbank {
namespace {

namespace fs = std::filesystem;

std::filesystem::path BankPath(const Options& options) {
  return fs::path(options.dir) / voskel::BankFileName(options.bank);
}

void Tell(const std::string& where, const std::vector<std::string>& messages) {
  for (const std::string& message : messages)
    std::fprintf(stderr, "%s: %s\n", where.c_str(), message.c_str());
}

int CannotWrite(const fs::path& path) {
  std::fprintf(stderr, "voskelbank: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
  return kFailed;
}

int List(const Options& options) {
  std::vector<std::string> lines;
  if (!ListBanks(options.dir, lines)) {
    std::fprintf(stderr, "voskelbank: cannot read the directory %s\n", options.dir.c_str());
    return kFailed;
  }
  for (const std::string& line : lines) std::printf("%s\n", line.c_str());
  if (lines.empty()) std::printf("No banks in %s.\n", options.dir.c_str());
  return lines.empty() ? kFailed : kDone;
}

int ExportBank(const Options& options) {
  const fs::path path = BankPath(options);
  voskel::BankImage lines{};
  std::ifstream in;
  if (!voskel::OpenBankFile(path, in)) {
    std::fprintf(stderr, "voskelbank: there is no bank %s\n", path.c_str());
    return kFailed;
  }
  voskel::ReadBankLines(in, lines);
  const Export out = BankToCsv(lines);
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
  std::ifstream in(options.file, std::ios::binary);
  std::ostringstream csv;
  if (in) csv << in.rdbuf();
  if (!in || fs::is_directory(options.file)) {
    std::fprintf(stderr, "voskelbank: cannot read %s\n", options.file.c_str());
    return kFailed;
  }
  const std::string name =
      options.nameGiven ? options.name : fs::path(options.file).stem().string();
  Import made = CsvToBank(csv.str(), name);
  const fs::path path = BankPath(options);
  std::error_code ignored;
  if (fs::exists(path, ignored) && !options.replace)
    made.problems.push_back(path.string() + " exists; --replace replaces it");
  Tell(options.file, made.problems);
  Tell(options.file, made.notes);
  if (!made.problems.empty()) {
    std::fprintf(stderr, "voskelbank: nothing written\n");
    return kFailed;
  }
  if (!voskel::WriteBankFile(path, made.lines)) return CannotWrite(path);
  std::fprintf(stderr, "wrote %s: %d %s, %s, %s kHz\n", path.c_str(), made.channels,
               made.channels == 1 ? "channel" : "channels",
               std::string(ChirpMode(made.lines[1]).value_or("")).c_str(), made.lines[2].c_str());
  return kDone;
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
      break;
  }
  return ImportBank(options);
}
