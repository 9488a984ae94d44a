// Shrinking keeps a failing script failing, and leaves only what makes it fail.
#include <gtest/gtest.h>

#include "trust/script.h"

namespace voskel::trust {
namespace {

// Fails whenever a W is pressed and an A some time after it.
bool WThenA(const Script& script) {
  bool w = false;
  for (const Action& action : script.actions) {
    if (action.kind != Action::Kind::kKey) continue;
    if (action.value == 'W') w = true;
    if (action.value == 'A' && w) return true;
  }
  return false;
}

TEST(TrustShrink, LeavesTheShortestScriptThatStillFails) {
  for (std::uint64_t seed = 1; seed < 400; ++seed) {
    Script script = RandomScript(seed);
    if (!WThenA(script)) continue;
    const Script shrunk = Shrink(script, WThenA);
    EXPECT_EQ(KeySequence(shrunk), "W A") << "seed " << seed;
    EXPECT_FALSE(shrunk.faults.Any() && shrunk.faults.refuse.empty()) << "chances kept";
  }
}

TEST(TrustShrink, ACaseFileReadsBackAsTheSameScript) {
  Script script = RandomScript(11);
  script.note = "what it broke";
  script.known = true;
  Script read;
  std::string error;
  ASSERT_TRUE(ParseScript(FormatScript(script), read, error)) << error;
  EXPECT_EQ(FormatScript(read), FormatScript(script));
  EXPECT_FALSE(ParseScript("key NoSuchKey\n", read, error));
  EXPECT_EQ(error, "key NoSuchKey");
}

}  // namespace
}  // namespace voskel::trust
