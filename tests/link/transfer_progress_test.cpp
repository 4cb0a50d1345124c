#include "core/link/transfer_progress.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "core/link/device_state.h"

namespace vrx4::transfer_progress {
namespace {

Position at(std::uint32_t requested, std::uint32_t op, int block, bool verify = false, std::int8_t count = 0,
            bool identityDone = true) {
  return position({requested, op, block, verify, count, requested != op::kReadOption, identityDone});
}

TEST(TransferProgress, StepsOfEveryOpAndWhereTheEngineIs) {
  // A full read: 16 OPTION blocks, then 29 BASE blocks, one step each.
  EXPECT_EQ(wholeRequest(op::kReadOption, 0, false).total, 45);
  EXPECT_EQ(at(op::kReadOption, op::kReadBase, 3).done, 19);
  // Writes: the identity read, then every block written and read back;
  // ops 16 and 18 first write and verify byte 0.
  for (auto [o, count, total] : {std::tuple<std::uint32_t, std::int8_t, int>{op::kWriteOptionThenBase, 0, 1 + 2 * 12 + 2 * 29},
                                 {op::kWriteBase, 0, 1 + 2 * 29}, {op::kWriteOption, 0, 1 + 2 * 12},
                                 {op::kWriteOptionRange, 5, 1 + 2}, {op::kWriteOptionBytes, 3, 1 + 2 * 3},
                                 {op::kWriteBaseRange, 4, 1 + 2 * 2}, {op::kWriteFlagThenOptionRange, 5, 1 + 2 + 2},
                                 {op::kWriteSetpointThenBaseRange, 4, 1 + 2 + 4}})
    EXPECT_EQ(wholeRequest(o, count, true).total, total) << o;

  // Op 4 through its steps: the identity read, a block written (the
  // read-back op, or the write op with the verify flag), the BASE area.
  // Op 18: byte 0, then the two blocks of op 14.
  for (auto [p, done] : {std::pair{at(4, 4, 0, false, 0, false), 0}, {at(4, 4, 0), 1}, {at(4, 4, 3, true), 1 + 6 + 1},
                         {at(4, 20, 3), 1 + 6 + 1}, {at(4, 5, 0), 1 + 24}, {at(4, 8, 28), 1 + 24 + 56 + 1},
                         {at(18, 19, 0, false, 4), 2}, {at(18, 15, 1, false, 4), 1 + 2 + 2 + 1}})
    EXPECT_EQ(p.done, done) << p.total;
  // An op met without its request (published before the engine kept it)
  // counts as its own request.
  EXPECT_EQ(position({0, 15, 1, false, 4, true, true}).total, 5);

  // The wire time at 38400 baud matches what the regulator's line takes:
  // a full read about 1.4 s, a whole configuration about 3.5 s; what is
  // left shrinks as the steps go by and is 0 after the last one.
  EXPECT_NEAR(wholeRequest(op::kReadOption, 0, false).wireSecondsLeft, 1.41, 0.03);
  EXPECT_NEAR(wholeRequest(op::kWriteOptionThenBase, 0, true).wireSecondsLeft, 3.57, 0.05);
  double before = 1e9;
  for (int k = 0; k < 29; ++k)
    for (auto o : {5u, 8u}) EXPECT_LT(at(4, o, k).wireSecondsLeft, std::exchange(before, at(4, o, k).wireSecondsLeft)) << k;
  EXPECT_NEAR(at(4, 5, 29).wireSecondsLeft, 0.0, 1e-9);
}

TEST(TransferProgress, ShownStepsNeverRunBackAndReachTheEndOnlyWhenItEnds) {
  Tracker t;
  t.begin(true, 1000);
  auto p = t.update(at(4, 4, 0, false, 0, false), false, 1000);
  EXPECT_TRUE(p.done == 0 && p.total == 83 && p.writing);
  EXPECT_EQ(t.update(at(4, 20, 5), false, 1100).done, 12);

  // A read-back that differs: the block is written again. The steps done
  // stay; the repeat is added to the total.
  p = t.update(at(4, 4, 5), false, 1110);
  EXPECT_TRUE(p.done == 12 && p.total == 84);
  EXPECT_EQ(t.update(at(4, 20, 5), false, 1120).done, 13);

  // Silence: the stage says so; the time waited does not stretch the
  // estimate of what is left.
  EXPECT_EQ(t.update(at(4, 20, 5), true, 1200).stage, Stage::Waiting);
  t.update(at(4, 20, 5), true, 60000);
  p = t.update(at(4, 20, 5), false, 60001);
  EXPECT_TRUE(p.stage == Stage::Running && p.msLeft < 10000u) << p.msLeft;

  // Every step gone by: not yet 100 % until the transfer has ended.
  p = t.update(at(4, 5, 29), false, 60100);
  EXPECT_TRUE(p.done < p.total && p.percent() <= 99);
  const Progress end = t.finish(true);
  EXPECT_TRUE(end.done == end.total && end.percent() == 100 && end.msLeft == 0u);
  EXPECT_EQ(t.finish(false).stage, Stage::Dropped);
}

TEST(TransferProgress, SecondsLeftFollowTheLinesPaceAndArePostedAFewTimesASecondAndAtEveryChange) {
  // A line that takes three times the wire time (an adapter's latency):
  // once enough has gone by, what is left is stretched by as much.
  Tracker t;
  t.begin(false, 0);
  const Position start = wholeRequest(op::kReadOption, 0, false);
  auto p = t.update(start, false, 0);
  EXPECT_EQ(p.msLeft, static_cast<std::uint32_t>(std::ceil(start.wireSecondsLeft * 1000)));
  const Position half = at(op::kReadOption, op::kReadBase, 6);
  const double wireDone = start.wireSecondsLeft - half.wireSecondsLeft;
  p = t.update(half, false, static_cast<std::uint32_t>(3000 * wireDone));
  EXPECT_NEAR(p.msLeft, 3000 * half.wireSecondsLeft, 20);
  EXPECT_EQ(p.secondsLeft(), static_cast<int>(std::ceil(3 * half.wireSecondsLeft)));
  // A faster line never shortens it below the wire time.
  Tracker fast;
  fast.begin(false, 0);
  fast.update(start, false, 0);
  EXPECT_NEAR(fast.update(half, false, 1).msLeft, 1000 * half.wireSecondsLeft, 1);

  // Posted a few times a second and at every change: a full read at the
  // wire's pace, one step every 31 ms.
  t = Tracker();
  t.begin(false, 0);
  int posted = 0;
  for (int k = 0; k <= 44; ++k) {
    const std::uint32_t now = static_cast<std::uint32_t>(31 * k);
    const Progress q = t.update(at(op::kReadOption, k < 16 ? op::kReadOption : op::kReadBase, k < 16 ? k : k - 16), false, now);
    posted += t.due(q, now);
  }
  EXPECT_TRUE(posted >= 5 && posted <= 7) << posted;  // the first, then one every 250 ms
  // A change of stage and the end are posted at once.
  p = t.update(at(op::kReadOption, op::kReadBase, 28), true, 1400);
  EXPECT_TRUE(t.due(p, 1400));
  EXPECT_FALSE(t.due(p, 1401));
  EXPECT_TRUE(t.due(t.finish(true), 1402));

  // The message carries it whole.
  Progress m{34, 83, 2345, Stage::Waiting, true};
  const Progress back = fromMessage(wParamOf(m), lParamOf(m));
  EXPECT_TRUE(back.done == 34 && back.total == 83 && back.msLeft == 2345u && back.stage == Stage::Waiting && back.writing);
  EXPECT_EQ(describe(back, "R %d/%d %d s", "W %d/%d %d s", "wait %d/%d"), "wait 35/83");
  m.stage = Stage::Running;
  EXPECT_EQ(describe(m, "R %d/%d %d s", "W %d/%d %d s", "wait %d/%d"), "W 35/83 3 s");
}

}  // namespace
}  // namespace vrx4::transfer_progress
