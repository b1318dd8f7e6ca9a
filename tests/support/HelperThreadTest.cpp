#include "support/HelperThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace lexaport {
namespace {

// Pieces of work run one after another on the one thread, each finished when Wait returns; now
// and then the helper has waited long enough to have fallen asleep, or the caller waits long
// enough to sleep.
TEST(HelperThread, RunsPiecesOfWorkOneAfterAnother) {
  CHelperThread helper(true);
  ASSERT_TRUE(helper.Available());
  helper.Wait();  // nothing handed over yet
  const std::thread::id caller = std::this_thread::get_id();
  int total = 0;
  for (int piece = 1; piece <= 50; ++piece) {
    if (piece % 20 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(30));
    std::thread::id ranOn;
    helper.Run([&, piece] {
      if (piece % 20 == 10) std::this_thread::sleep_for(std::chrono::milliseconds(30));
      total += piece;
      ranOn = std::this_thread::get_id();
    });
    helper.Wait();
    ASSERT_EQ(total, piece * (piece + 1) / 2);
    ASSERT_NE(ranOn, caller);
  }
}

TEST(HelperThread, EndsAfterTheWorkItIsRunning) {
  std::atomic<bool> done{false};
  {
    CHelperThread helper(true);
    helper.Run([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(30));
      done = true;
    });
  }
  EXPECT_TRUE(done);
  CHelperThread unwanted(false);
  EXPECT_FALSE(unwanted.Available());
}

}  // namespace
}  // namespace lexaport
