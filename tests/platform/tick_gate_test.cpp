#include "platform/tick_gate.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/event_batch.h"

namespace voskel::platform {
namespace {

using Kind = Event::Kind;

Event Key(Kind kind, int code) {
  return Event{kind, code};
}
Event Tick() {
  return Event{Kind::Timer, 0};
}
Event CloseRequest() {
  return Event{Kind::Close, 0};
}

void ExpectEvents(const std::vector<Event>& got, const std::vector<Event>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(got[i].kind, want[i].kind) << "event " << i;
    EXPECT_EQ(got[i].key, want[i].key) << "event " << i;
  }
}

TEST(PlatformTickGate, TimerFiringDuringALongStepLeavesOneTick) {
  TickGate gate;
  EXPECT_TRUE(gate.TryPost());
  // A 550 ms step: five more timer periods pass before the tick is taken.
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(gate.TryPost());
  gate.Taken();
  EXPECT_TRUE(gate.TryPost());
  EXPECT_FALSE(gate.TryPost());
}

TEST(PlatformTickGate, RacingPostersGetOneTickBetweenTakes) {
  TickGate gate;
  for (int round = 0; round < 50; ++round) {
    std::atomic<int> posted{0};
    std::vector<std::thread> posters;
    for (int t = 0; t < 4; ++t) {
      posters.emplace_back([&] {
        for (int i = 0; i < 200; ++i) {
          if (gate.TryPost()) posted.fetch_add(1);
        }
      });
    }
    for (auto& poster : posters) poster.join();
    EXPECT_EQ(posted.load(), 1) << "round " << round;
    gate.Taken();
  }
}

TEST(PlatformTickGate, BatchPutsKeysAndCloseFirstAndOneTickLast) {
  ExpectEvents(OrderBatch({Tick(), Key(Kind::KeyDown, 65), Tick(), Key(Kind::KeyUp, 65), Tick(),
                           Key(Kind::KeyDown, 13), Key(Kind::KeyUp, 13)}),
               {Key(Kind::KeyDown, 65), Key(Kind::KeyUp, 65), Key(Kind::KeyDown, 13),
                Key(Kind::KeyUp, 13), Tick()});
  ExpectEvents(OrderBatch({Tick(), CloseRequest(), Key(Kind::KeyDown, 49), CloseRequest()}),
               {CloseRequest(), Key(Kind::KeyDown, 49), Tick()});
  ExpectEvents(OrderBatch({Tick(), Tick(), Tick()}), {Tick()});
  ExpectEvents(OrderBatch({Key(Kind::KeyDown, 32), Key(Kind::KeyDown, 32)}),
               {Key(Kind::KeyDown, 32), Key(Kind::KeyDown, 32)});
  EXPECT_TRUE(OrderBatch({}).empty());
}

}  // namespace
}  // namespace voskel::platform
