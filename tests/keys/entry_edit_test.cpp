// What a listener types and puts right: digits abandoned by a command key, Escape,
// Backspace, and numbers that are no numbers, against the simulated receiver.
#include "keys/entry_edit.h"

#include <gtest/gtest.h>

#include "platform/virtual_keys.h"
#include "support/connected_panel.h"

namespace voskel {
namespace {

using Strings = std::vector<std::string>;

class EntryEdit : public testing::ConnectedPanel {};

TEST_F(EntryEdit, ACommandKeyAbandonsHalfTypedDigitsAndActsFromTheReceiversFrequency) {
  h.Type("14");
  Press(keys::kDown);
  EXPECT_EQ(Sent(), Strings{"VA0144.99900"}) << "stepped from 145, not from the typed 14";
  EXPECT_EQ(sim.engine.VfoAHz(), 144'999'000);
  Keys("145.6\r");
  EXPECT_EQ(Sent(), (Strings{"VA0145.60000", "ST012.50"})) << "nothing left over";
  EXPECT_EQ(h.sound.Spoken().back(), "ok");
}

TEST_F(EntryEdit, EscapeCancelsEveryEntryAndBackspaceTakesBackOneCharacter) {
  const struct {
    std::string keys;
    Strings spoken;  // from the key that edits on
  } cases[] = {
      {"14\x1b", {"cancel"}},  {"145\b", {"1", "4"}},  {"1\b", {}},
      {"S14\x1b", {"cancel"}}, {"S\b", {"start"}},      {"I6.2\b", {"6", "point"}},
      {"B07\b", {"0"}},        {"T0\b", {"transfer"}},  {"GC\b", {"radbank"}},
      {"W0\x1b", {"cancel"}},  {"\x1b", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keys);
    const std::size_t edit = c.keys.find_first_of("\x1b\b");
    Keys(c.keys.substr(0, edit));
    const Clips spoken = Press(c.keys[edit] == '\b' ? keys::kBack : keys::kEscape);
    EXPECT_EQ(spoken, c.spoken);
    EXPECT_TRUE(Sent().empty());
    // Only Escape ends an entry; Backspace on its last character says its prompt again.
    EXPECT_EQ(EntryInProgress(h.state()), c.keys[edit] == '\b');
    Press(keys::kEscape);
  }
  EXPECT_EQ(h.state().SearchLow, "145") << "a cancelled limit keeps the old one";
  EXPECT_EQ(h.state().StepText, "12.5");
  EXPECT_EQ(h.state().Frequency, "145.0");
  Keys("145\b6\r");
  EXPECT_EQ(sim.engine.VfoAHz(), 146'000'000) << "what is left goes on being typed";
}

TEST_F(EntryEdit, NumbersThatAreNoNumbersAreRefusedAndLeadingZerosKeepTheirValue) {
  for (const char* typed : {"145.5.5\r", ".\r", "S1.4.5\r", "E.\r", "I.\r", "I0\r"}) {
    SCOPED_TRACE(typed);
    EXPECT_EQ(Keys(typed).back(), "inv");
    EXPECT_TRUE(Sent().empty());
  }
  EXPECT_EQ(h.state().SearchLow, "145");
  EXPECT_EQ(h.state().SearchHigh, "146");
  EXPECT_EQ(h.state().StepText, "12.5");
  Keys("S0145\rE0146\rI05\rR");
  const Strings sent = Sent();
  EXPECT_EQ(sent.at(0), "ST005000") << "5 kHz, not 0.5";
  EXPECT_EQ(sent.at(1), "VA0145000000") << "145 MHz, not 14.5";
  EXPECT_EQ(sent.at(2), "VB0146000000");
  Keys("\r0145.5\r");
  EXPECT_EQ(sim.engine.VfoAHz(), 145'500'000);
}

}  // namespace
}  // namespace voskel
