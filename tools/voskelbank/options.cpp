#include "options.h"

#include <cstdio>
#include <vector>

#include "banks/bank_lines.h"
#include "quoted_text.h"

namespace voskelbank {
namespace {

constexpr const char* kUsage =
    "usage: voskelbank [--dir DIR] list\n"
    "       voskelbank [--dir DIR] export NN [FILE]\n"
    "       voskelbank [--dir DIR] import FILE NN [--name TEXT] [--replace]\n"
    "list shows the banks in DIR (default: .); export writes bank NN as CSV in CHIRP's\n"
    "layout to FILE or standard output; import makes bank NN from a CSV file, named TEXT or\n"
    "after the file, and replaces an existing bank only with --replace. NN is 01 to 99.\n"
    "Exit codes: 0 done, 1 nothing written (the problems are told), 2 bad usage.\n";

int BadUsage(const std::string& message) {
  std::fprintf(stderr, "voskelbank: %s\n%s", message.c_str(), kUsage);
  return kBadUsage;
}

int TakeWords(const std::vector<std::string>& words, Options& options) {
  if (words.empty()) return BadUsage("list, export or import?");
  const std::string& command = words[0];
  std::size_t bankAt = 1;
  if (command == "list") {
    options.command = Command::kList;
    if (words.size() != 1) return BadUsage("list takes no more words");
  } else if (command == "export") {
    options.command = Command::kExport;
    if (words.size() < 2 || words.size() > 3) return BadUsage("export NN [FILE]");
    if (words.size() == 3) options.file = words[2];
  } else if (command == "import") {
    options.command = Command::kImport;
    if (words.size() != 3) return BadUsage("import FILE NN");
    options.file = words[1];
    bankAt = 2;
  } else {
    return BadUsage("unknown command " + Shortened(command));
  }
  if (options.command != Command::kList) {
    options.bank = words[bankAt];
    // bank00.dat is the panel's stored state and search list, which it rewrites itself.
    if (!voskel::IsBankNumber(options.bank) || options.bank == "00")
      return BadUsage("the bank number is two digits, 01 to 99");
  }
  if (options.command != Command::kImport && (options.nameGiven || options.replace))
    return BadUsage("--name and --replace belong to import");
  return kDone;
}

}  // namespace

int ParseOptions(int argc, char** argv, Options& options) {
  std::vector<std::string> words;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return -1;
    }
    if (arg == "--replace") {
      options.replace = true;
      continue;
    }
    if (arg.rfind("-", 0) != 0 || arg == "-") {
      words.push_back(arg);
      continue;
    }
    std::string value;
    const std::size_t eq = arg.find('=');
    if (eq != std::string::npos) {
      value = arg.substr(eq + 1);
      arg.resize(eq);
    } else if (i + 1 < argc && (arg == "--dir" || arg == "--name")) {
      value = argv[++i];
    } else if (arg == "--dir" || arg == "--name") {
      return BadUsage(Shortened(arg) + " needs a value");
    }
    if (arg == "--dir") {
      options.dir = value;
    } else if (arg == "--name") {
      options.name = value;
      options.nameGiven = true;
    } else {
      return BadUsage("unknown option " + Shortened(arg));
    }
  }
  return TakeWords(words, options);
}

}  // namespace voskelbank
