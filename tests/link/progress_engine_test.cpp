// The link engine's progress reports against the simulated regulator:
// posted for every op, never running back, ending at exactly 100 % before
// the transfer's end is reported; saying when the regulator falls silent.
#include <gtest/gtest.h>

#include <thread>

#include "core/link/transfer_progress.h"
#include "engine_harness.h"

namespace vrx4::testing {
namespace {

using transfer_progress::Progress;
using transfer_progress::Stage;

class ProgressEngineTest : public EngineTest {
 protected:
  // The progress posted since the last clearPosted(), in order, and where
  // the last one stands against the transfer's end (0x466).
  struct Reports {
    std::vector<Progress> progress;
    bool endBeforeDone = false;
  };
  Reports reports(std::uintptr_t doneWParam) {
    Reports r;
    bool done = false;
    for (const Posted& p : recorder.snapshot()) {
      done = done || p.is(msg::kTransferDone, doneWParam);
      if (p.message == msg::kTransferProgress) r.progress.push_back(transfer_progress::fromMessage(p.wParam, p.lParam));
      if (p.message == msg::kTransferProgress && r.progress.back().ended()) r.endBeforeDone = !done;
    }
    return r;
  }
  // Waits until a progress report that satisfies pred has been posted.
  bool waitForProgress(bool (*pred)(const Progress&)) {
    return recorder.waitUntil([&](auto& v) {
      return std::ranges::any_of(v, [&](const Posted& p) {
        return p.message == msg::kTransferProgress && pred(transfer_progress::fromMessage(p.wParam, p.lParam));
      });
    }, 5);
  }
  // Shown steps never go back, never reach the total before the end, and
  // the one end is the last report: Finished at 100 %.
  void expectWholeRun(const Reports& r, bool writing, const char* what) {
    SCOPED_TRACE(what);
    ASSERT_GE(r.progress.size(), 2u);
    int done = 0;
    for (std::size_t i = 0; i + 1 < r.progress.size(); ++i) {
      const Progress& p = r.progress[i];
      EXPECT_TRUE(!p.ended() && p.done >= done && p.done < p.total && p.writing == writing) << i << ": " << p.done;
      done = p.done;
    }
    const Progress& end = r.progress.back();
    EXPECT_TRUE(end.stage == Stage::Finished && end.done == end.total && end.percent() == 100);
    EXPECT_TRUE(r.endBeforeDone);
  }
};

TEST_F(ProgressEngineTest, EveryOpReportsItsStepsAndEndsAtOneHundredThroughRepeatsSilenceButNotACancel) {
  engine->start();
  ASSERT_TRUE(readAll());
  expectWholeRun(reports(1), false, "full read");

  state.withImages([](Images& im) {
    im.g_optionEdit = im.g_optionDevice, im.g_baseEdit = im.g_baseDevice;
    im.g_optionEdit[0x05] ^= 0x01, im.g_baseEdit[0x2C] ^= 0x01;
  });
  struct Case {
    TransferRequest r;
    std::uintptr_t end;
  };
  const Case cases[] = {
      {request(op::kWriteOptionThenBase), 2},  {request(op::kWriteBase), 2},
      {request(op::kWriteOption), 3},          {request(op::kWriteOptionRange, 0x20, 3, {1, 2, 3}), 1},
      {request(op::kWriteOptionBytes, 0x20, 3, {4, 5, 6}), 1},
      {request(op::kWriteBaseRange, 0x2B, 2, {9, 8, 7, 6}), 1},
      {request(op::kWriteFlagThenOptionRange, 0x21, 2, {7, 7}), 1},
      {request(op::kWriteSetpointThenBaseRange, 0x2B, 2, {1, 2, 3, 4}), 1},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(transfer(c.r, c.end)) << c.r.op;
    const Reports r = reports(c.end);
    expectWholeRun(r, true, ("op " + std::to_string(c.r.op)).c_str());
    // A write that finds the last frame of the transfer before complete
    // reads its first block back before it writes it: when that differs,
    // the write of block 0 is one step more.
    const int planned = transfer_progress::wholeRequest(c.r.op, c.r.count, true).total;
    EXPECT_TRUE(r.progress.back().total == planned || r.progress.back().total == planned + 1) << c.r.op;
  }

  Image changed = state.device(Area::Option);
  for (std::size_t i = 0; i < 0x30; ++i) changed[i] ^= 0x10;
  state.setEdit(Area::Option, changed), state.setEdit(Area::Base, state.device(Area::Base));

  // Two read-backs that differ, and the regulator silent for more than a
  // second half way: the steps shown never go back, the bar says that it
  // waits, and the write still ends at 100 %.
  server->withDevice([](sim::SimDevice& d) { d.faults().staleReads = 2; });
  recorder.clearPosted();
  ASSERT_EQ(state.publishRequest(request(op::kWriteOptionThenBase)), DeviceState::Publish::Accepted);
  ASSERT_TRUE(recorder.waitUntil([&](auto&) { return state.g_xferOp.load() == op::kWriteBase; }, 20));
  server->withDevice([](sim::SimDevice& d) { d.faults().silent = true; });
  ASSERT_TRUE(waitForProgress([](const Progress& p) { return p.stage == Stage::Waiting; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(1200));
  server->withDevice([](sim::SimDevice& d) { d.faults().silent = false; });
  ASSERT_TRUE(recorder.waitFor(msg::kTransferDone, 2, 20));
  const Reports r = reports(2);
  expectWholeRun(r, true, "op 4 with repeats and silence");
  EXPECT_GT(r.progress.back().total, transfer_progress::wholeRequest(op::kWriteOptionThenBase, 0, true).total);

  // A read cancelled half way ends its bar without reaching 100 %.
  recorder.clearPosted();
  ASSERT_EQ(state.publishRequest(request(op::kReadOption)), DeviceState::Publish::Accepted);
  ASSERT_TRUE(recorder.waitUntil([&](auto&) { return state.g_xferBlock.load() >= 3; }, 20));
  EXPECT_TRUE(engine->cancelRead());
  ASSERT_TRUE(waitForProgress([](const Progress& p) { return p.ended(); }));
  const Progress dropped = reports(1).progress.back();
  EXPECT_TRUE(dropped.stage == Stage::Dropped && dropped.done < dropped.total);
  EXPECT_EQ(recorder.count(msg::kTransferDone, 1), 0);
}

}  // namespace
}  // namespace vrx4::testing
