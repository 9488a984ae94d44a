#pragma once
// A fuzz target's check: a broken invariant ends the run like a crash, so libFuzzer keeps
// the input and the replay fails on it.
#include <cstdio>
#include <cstdlib>

namespace voskel::fuzz {

inline void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "broken invariant: %s\n", what);
  std::abort();
}

}  // namespace voskel::fuzz
