// The simulated receiver fed anything, with time passing in between: each piece of the
// input (split at 0xFF) is its first byte times 16 ms of time, then the rest as bytes on
// the line. What it sends is always whole CR LF lines, and bounded.
#include <cstdint>
#include <string>
#include <string_view>

#include "engine.h"
#include "fuzz/invariant.h"

namespace {

void CheckWholeLines(const std::string& out) {
  using voskel::fuzz::Require;
  Require(out.size() <= voskel::sim::Engine::kMaxOutput, "the output is bounded");
  Require(out.empty() || out.ends_with("\r\n"), "the output ends at a line end");
  for (std::size_t at = out.find_first_of("\r\n"); at != std::string::npos;
       at = out.find_first_of("\r\n", at + 2))
    Require(out.compare(at, 2, "\r\n") == 0, "every line ends in CR LF and nothing else");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  voskel::sim::Engine engine;
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  while (!rest.empty()) {
    const std::size_t end = rest.find('\xff');
    std::string_view piece = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (piece.empty()) continue;
    engine.Advance(static_cast<unsigned char>(piece.front()) * 16);
    piece.remove_prefix(1);
    engine.Input(piece);
    CheckWholeLines(engine.TakeOutput());
  }
  engine.Advance(5000);
  CheckWholeLines(engine.TakeOutput());
  return 0;
}
