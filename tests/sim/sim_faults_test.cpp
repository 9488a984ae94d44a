// The simulated receiver's bad days: each fault does what it says, and one seed plays the
// same faults again.
#include <gtest/gtest.h>

#include "sim_conversation.h"

namespace voskel::sim {
namespace {

using testing::Conversation;

FaultPlan Plan(const char* name, const char* value) {
  FaultPlan plan;
  EXPECT_TRUE(SetFaultOption(plan, name, value)) << name << "=" << value;
  return plan;
}

TEST(SimFaults, RefusedCommandsAreAnsweredWithAQuestionMarkAndNotCarriedOut) {
  Conversation rx;
  rx.engine.SetFaults(Plan("refuse", "AT"));
  EXPECT_EQ(rx.Say("AT1"), "?\r\n");
  EXPECT_FALSE(rx.engine.Attenuator());
  EXPECT_EQ(rx.Say("NL1"), "\r\n");  // other commands are taken

  rx.engine.SetFaults(Plan("refuse-chance", "1"));
  EXPECT_EQ(rx.Say("VA0146000000"), "?\r\n");
  EXPECT_EQ(rx.engine.VfoAHz(), 145'500'000);
}

TEST(SimFaults, RepliesAreLostLateOrGarbled) {
  Conversation rx;
  rx.engine.SetFaults(Plan("drop-chance", "1"));
  EXPECT_EQ(rx.Say("AT1"), "");
  EXPECT_TRUE(rx.engine.Attenuator()) << "a lost reply is no refusal";

  FaultPlan late = Plan("delay-chance", "1");
  late.delayMs = 500;
  rx.engine.SetFaults(late);
  EXPECT_EQ(rx.Say("LM"), "");
  EXPECT_EQ(rx.Say("MD"), "") << "a later reply waits behind the late one";
  EXPECT_EQ(rx.Wait(499), "");
  const std::string both = rx.Wait(1);
  EXPECT_EQ(both.substr(0, 3), "LM%");
  EXPECT_EQ(both.substr(8), "MD1\r\n");

  rx.engine.SetFaults({});
  const std::string level = rx.Say("LM");
  rx.engine.SetFaults(Plan("garble-chance", "1"));
  const std::string garbled = rx.Say("LM");
  ASSERT_EQ(garbled.size(), 8u);
  EXPECT_NE(garbled, level);
  EXPECT_EQ(garbled.substr(6), "\r\n");
}

TEST(SimFaults, AGarbledCommandIsCarriedOutAsItArrived) {
  Conversation rx;
  rx.engine.SetFaults(Plan("garble-command-chance", "1"));
  rx.Say("VA0145600000");
  EXPECT_NE(rx.engine.VfoAHz(), 145'600'000);
}

TEST(SimFaults, ASwitchedOffReceiverHearsNothingAndStandsStillUntilSwitchedOn) {
  Conversation rx({{145.6, 8, 90, 0, 0}});
  rx.Say("VA0145000000");
  rx.Say("VB0146000000");
  rx.Say("VS");
  rx.engine.SetSilent(true);
  EXPECT_EQ(rx.Say("AT1"), "");
  EXPECT_FALSE(rx.engine.Attenuator());
  rx.Wait(60'000);
  EXPECT_FALSE(rx.engine.Halted()) << "the search stood still";
  rx.engine.SetSilent(false);
  EXPECT_EQ(rx.Say("AT1"), "\r\n");
  rx.Wait(10'000);
  EXPECT_TRUE(rx.engine.Halted());
}

TEST(SimFaults, OneSeedPlaysTheSameFaultsAgain) {
  const auto play = [](std::uint64_t seed) {
    Conversation rx;
    FaultPlan plan = Plan("refuse-chance", "0.3");
    plan.seed = seed;
    plan.garbleChance = plan.dropChance = 0.3;
    rx.engine.SetFaults(plan);
    std::string heard;
    for (int i = 0; i < 40; ++i) heard += rx.Say(i % 2 ? "LM" : "AT1");
    return heard;
  };
  EXPECT_EQ(play(7), play(7));
  EXPECT_NE(play(7), play(8));
}

TEST(SimFaults, OptionsAreReadAndWrittenBack) {
  FaultPlan plan;
  for (const auto& [name, value] :
       std::vector<std::pair<const char*, const char*>>{{"seed", "42"}, {"refuse", "MQ"},
                                                        {"drop-chance", "0.25"}})
    ASSERT_TRUE(SetFaultOption(plan, name, value));
  EXPECT_EQ(DescribeFaults(plan), "seed=42 refuse=MQ drop-chance=0.25");
  for (const auto& [name, value] :
       std::vector<std::pair<const char*, const char*>>{{"drop-chance", "2"},
                                                        {"delay-ms", "-1"},
                                                        {"refuse", ""},
                                                        {"silence", "1"}})
    EXPECT_FALSE(SetFaultOption(plan, name, value)) << name;
}

}  // namespace
}  // namespace voskel::sim
