// voskel_trust: the panel's promise, checked by random listeners against a receiver that
// fails. Explores for a time from a seed, shrinks what breaks the promise to its shortest
// script and keeps it as a case file; or replays the kept cases.
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "trust/trust_run.h"

namespace fs = std::filesystem;
using voskel::trust::Script;
using voskel::trust::Violation;

namespace {

struct Options {
  double seconds = 0;
  std::uint64_t seed = static_cast<std::uint64_t>(std::time(nullptr));
  std::string replay;  // folder of cases to replay
  std::string cases = VOSKEL_SOURCE_DIR "/tests/trust/cases";
  long runs = 0;       // with --runs: exactly so many runs, whatever the machine's speed
  bool strict = false;
};

int Usage() {
  std::fprintf(stderr,
               "usage: voskel_trust SECONDS [SEED] [--cases DIR]\n"
               "       voskel_trust --runs N [SEED] [--cases DIR]\n"
               "       voskel_trust --replay [DIR] [--strict]\n");
  return 2;
}

bool ReadOptions(int argc, char** argv, Options& options) {
  int plain = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--strict") {
      options.strict = true;
    } else if (arg == "--replay") {
      options.replay = i + 1 < argc && argv[i + 1][0] != '-' ? argv[++i] : options.cases;
    } else if (arg == "--runs" && i + 1 < argc && std::atol(argv[i + 1]) > 0) {
      options.runs = std::atol(argv[++i]);
      plain = std::max(plain, 1);
    } else if (arg == "--cases" && i + 1 < argc) {
      options.cases = argv[++i];
    } else if (plain == 0 && std::atof(argv[i]) > 0) {
      options.seconds = std::atof(argv[i]);
      ++plain;
    } else if (plain == 1 && std::isdigit(static_cast<unsigned char>(argv[i][0]))) {
      options.seed = std::strtoull(argv[i], nullptr, 10);
      ++plain;
    } else {
      return false;
    }
  }
  return options.seconds > 0 || options.runs > 0 || !options.replay.empty();
}

std::string Describe(const Violation& v) {
  return v.invariant + ": " + v.detail;
}

// Two violations of one kind differ only in what was said and in their numbers.
std::string Kind(const Violation& v) {
  std::istringstream words(Describe(v));
  std::string kind;
  bool quoted = false;
  for (std::string word; words >> word;) {
    const bool quote = word.find('"') != std::string::npos;
    const bool number = word.find_first_of("0123456789") != std::string::npos || word == ".";
    if (!quoted && !quote && !number) kind += word + " ";
    if (quote && std::count(word.begin(), word.end(), '"') == 1) quoted = !quoted;
  }
  return kind;
}

void Keep(const Options& options, Script& script, const Violation& v) {
  const Script failing = script;
  script.actions.resize(std::min(script.actions.size(), v.action + 1));
  script = voskel::trust::Shrink(script, [&](const Script& candidate) {
    const auto again = voskel::trust::Play(candidate);
    return again && again->invariant == v.invariant;
  });
  const auto shrunk = voskel::trust::Play(script);
  script.note = Describe(shrunk ? *shrunk : v);
  std::error_code ignored;
  fs::create_directories(options.cases, ignored);
  const fs::path file = fs::path(options.cases) / ("seed-" + std::to_string(script.faults.seed) + ".case");
  std::ofstream(file) << voskel::trust::FormatScript(script);
  std::printf("BROKEN  %s\n  seed %llu, faults %s\n  keys: %s\n  kept as %s\n",
              script.note.c_str(), static_cast<unsigned long long>(script.faults.seed),
              voskel::sim::DescribeFaults(script.faults).c_str(),
              voskel::trust::KeySequence(script).c_str(), file.c_str());
  std::fflush(stdout);
}

int Explore(const Options& options) {
  const auto end = std::chrono::steady_clock::now() +
                   std::chrono::milliseconds(static_cast<long long>(options.seconds * 1000));
  std::set<std::string> found;
  long runs = 0;
  const auto more = [&] {
    return options.runs > 0 ? runs < options.runs : std::chrono::steady_clock::now() < end;
  };
  if (options.runs > 0)
    std::printf("exploring %ld runs from seed %llu\n", options.runs,
                static_cast<unsigned long long>(options.seed));
  else
    std::printf("exploring for %g s from seed %llu\n", options.seconds,
                static_cast<unsigned long long>(options.seed));
  for (std::uint64_t seed = options.seed; more(); ++seed, ++runs) {
    Script script = voskel::trust::RandomScript(seed);
    const auto broken = voskel::trust::Play(script);
    if (broken && found.insert(Kind(*broken)).second) Keep(options, script, *broken);
  }
  std::printf("%zu broken promises; runs %ld, keys %zu\n", found.size(), runs,
              voskel::trust::KeysPlayed());
  return found.empty() ? 0 : 1;
}

int Replay(const Options& options) {
  int failed = 0;
  int known = 0;
  long runs = 0;
  std::error_code error;
  std::vector<fs::path> files;
  if (fs::is_regular_file(options.replay)) files.push_back(options.replay);
  for (const auto& entry : fs::directory_iterator(options.replay, error))
    if (entry.path().extension() == ".case") files.push_back(entry.path());
  if (fs::is_regular_file(options.replay)) error.clear();
  std::sort(files.begin(), files.end());
  for (const fs::path& path : files) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    Script script;
    std::string bad;
    if (!voskel::trust::ParseScript(text.str(), script, bad)) {
      std::printf("UNREADABLE %s: %s\n", path.c_str(), bad.c_str());
      ++failed;
      continue;
    }
    ++runs;
    const auto broken = voskel::trust::Play(script);
    if (!broken) continue;
    const bool counts = !script.known || options.strict;
    std::printf("%s %s\n  %s\n", counts ? "BROKEN" : "known ", path.filename().c_str(),
                Describe(*broken).c_str());
    (counts ? failed : known) += 1;
  }
  if (error) std::printf("cannot read %s: %s\n", options.replay.c_str(), error.message().c_str());
  std::printf("%d kept cases broken, %d known; runs %ld, keys %zu\n", failed, known, runs,
              voskel::trust::KeysPlayed());
  return failed == 0 && !error ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ReadOptions(argc, argv, options)) return Usage();
  // What the panel reports to whoever started it (a port that is gone, again and again)
  // is not the checker's report; a crash still ends the run with its status.
  if (std::getenv("VOSKEL_TRUST_VERBOSE") == nullptr && !std::freopen("/dev/null", "w", stderr))
    return 2;
  return options.replay.empty() ? Explore(options) : Replay(options);
}
