// The messages of keys on the real path: what the braille display is given as an entry is
// typed, the lines standard output gets, and J saying the last one again.
#include "keys/key_message.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/virtual_keys.h"
#include "support/connected_panel.h"

namespace voskel {
namespace {

using Texts = std::vector<std::string>;

class KeyMessages : public testing::ConnectedPanel {
 protected:
  void SetUp() override {
    ConnectedPanel::SetUp();
    Forget();
  }
  void Forget() {
    h.braille.shown.clear();
    h.transcript.lines.clear();
  }
  // Standard output's lines without their time.
  Texts Lines() const {
    Texts lines;
    for (const std::string& line : h.transcript.lines) {
      EXPECT_EQ(line.substr(0, 9), "19:27:34 ");
      lines.push_back(line.substr(9));
    }
    return lines;
  }
  // The clips played that have words, folder included, in order.
  Texts Worded() const {
    Texts names;
    for (const testing::Played& p : h.sound.played)
      if (!p.name.ends_with("shdel")) names.push_back(p.name);
    return names;
  }
};

TEST_F(KeyMessages, AnEntryGrowsAsTypedAndEndsAsOneLine) {
  const struct {
    const char* keys;
    Texts shown;  // all the braille display was given; not checked when empty
    Texts lines;
  } cases[] = {
      {"145.5\r", {"1", "14", "145", "145.", "145.5", "145.5 ok"}, {"145.5 ok"}},
      // Backspace reads what is left, and the message goes back with it.
      {"146\b7\r", {"1", "14", "146", "14", "147", "147 ok"}, {"147 ok"}},
      {"14\x1b", {}, {"14 cancel"}},
      // A key beside typed digits says its own message and leaves them typed; one that
      // moves the receiver (Down, "\x28") ends them with "cancel" first.
      {"14f\x28", {}, {"147.0 FM", "14 cancel"}},
      // A refused number ends the entry with "inv"; the limit entry keeps its prompt.
      {"5000\rs144\r", {}, {"5000 inv", "start 144 ok"}},
      // A key that works beside a pending bank entry says its own message, and the entry's
      // goes on after it.
      {"b0a3\r",
       {"bank", "bank 0", "attenuator on", "bank 03", "bank 03 bank not found"},
       {"attenuator on", "bank 03 bank not found"}},
      // Between typed digits J gives nothing up: the number goes on, and the last message is
      // written again.
      {"14j6\r", {}, {"bank 03 bank not found", "146 ok"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keys);
    Forget();
    Keys(c.keys);
    if (!c.shown.empty()) {
      EXPECT_EQ(h.braille.shown, c.shown);
    }
    EXPECT_EQ(Lines(), c.lines);
  }
}

TEST_F(KeyMessages, JSaysTheLastMessageAgainClipByClipAndSendsNothing) {
  Keys("145.5\r");
  const Texts first = Worded();
  Forget();
  Keys("jj");
  Texts twice = first;
  twice.insert(twice.end(), first.begin(), first.end());
  EXPECT_EQ(Worded(), twice);
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(h.braille.shown, (Texts{"145.5 ok", "145.5 ok"}));
  EXPECT_EQ(Lines(), (Texts{"145.5 ok", "145.5 ok"})) << "on standard output too";

  // With the receiver gone, J still says the last message, and only that.
  h.Unplug();
  Keys("m");
  Forget();
  EXPECT_EQ(Press('J'), (Texts{"rnc"}));
  EXPECT_EQ(Lines(), Texts{"receiver not connected"});
}

TEST_F(KeyMessages, JIsALetterWhereABankLetterIsTyped) {
  EXPECT_EQ(Keys("gj"), (Clips{"radbank", "J"}));
  EXPECT_EQ(h.state().EntryText, "J");
  Press(keys::kEscape);
  EXPECT_EQ(Keys("w01j"), (Clips{"write", "fromb", "0", "1", "torb", "J", "bnf"}));
  EXPECT_EQ(Keys("\r"), Clips{});
  EXPECT_EQ(Lines().back(), "write from bank 01 to radio bank J bank not found");
}

}  // namespace
}  // namespace voskel
