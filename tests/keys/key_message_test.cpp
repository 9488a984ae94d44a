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
  Keys("145.5\r");
  EXPECT_EQ(h.braille.shown, (Texts{"1", "14", "145", "145.", "145.5", "145.5 ok"}));
  EXPECT_EQ(Lines(), (Texts{"145.5 ok"}));

  // Backspace reads what is left, and the message goes back with it.
  Forget();
  Keys("146");
  Press(keys::kBack);
  Keys("7\r");
  EXPECT_EQ(h.braille.shown, (Texts{"1", "14", "146", "14", "147", "147 ok"}));
  EXPECT_EQ(Lines(), (Texts{"147 ok"}));

  Forget();
  Keys("14");
  Press(keys::kEscape);
  EXPECT_EQ(Lines(), (Texts{"14 cancel"}));

  // A command key gives typed digits up: they end as they stood, and the key says its own.
  Forget();
  Keys("14f");
  EXPECT_EQ(Lines(), (Texts{"14", "147.0 FM"}));

  // A refused number ends the entry with "inv"; the limit entry keeps its prompt.
  Forget();
  Keys("5000\rs144\r");
  EXPECT_EQ(Lines(), (Texts{"5000 inv", "start 144 ok"}));

  // A key that works beside a pending bank entry says its own message, and the entry's
  // goes on after it.
  Forget();
  Keys("b0a");
  EXPECT_EQ(h.braille.shown.back(), "attenuator on");
  Keys("3\r");
  EXPECT_EQ(Lines(), (Texts{"attenuator on", "bank 03 bank not found"}));
}

TEST_F(KeyMessages, JSaysTheLastMessageAgainClipByClipAndSendsNothing) {
  Keys("145.5\r");
  const Texts first = Worded();
  h.sound.Clear();
  h.ClearWire();
  Forget();
  h.Type("jj");
  h.Settle();
  Texts twice = first;
  twice.insert(twice.end(), first.begin(), first.end());
  EXPECT_EQ(Worded(), twice);
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(h.braille.shown, (Texts{"145.5 ok", "145.5 ok"}));
  EXPECT_TRUE(h.transcript.lines.empty());

  // Between typed digits J gives nothing up: the number goes on.
  Forget();
  Keys("14j6\r");
  EXPECT_EQ(Lines(), (Texts{"146 ok"}));
  EXPECT_EQ(h.state().Frequency, "146.0");

  // With the receiver gone, J still says the last message, and only that.
  h.Unplug();
  Keys("m");
  Forget();
  EXPECT_EQ(Press('J'), (Texts{"rnc"}));
  EXPECT_TRUE(h.transcript.lines.empty());
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
