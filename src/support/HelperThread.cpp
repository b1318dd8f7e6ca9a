#include "support/HelperThread.h"

#include <chrono>
#include <system_error>

namespace lexaport {
namespace {

// How long a waiting side gives up its time slice again and again before it sleeps until it is
// woken. Work and its results follow each other within milliseconds while a conversion runs, and
// a thread that spins sees them at once, where waking a sleeping one can take as long again; a
// longer wait (the helper while the other thread rebuilds a large file on its own) should not
// keep a core busy.
constexpr std::chrono::milliseconds kSpinBeforeSleeping{10};

// Returns once `state` holds something other than `value`.
void WaitWhileEqual(const std::atomic<int>& state, int value) {
  const auto sleepFrom = std::chrono::steady_clock::now() + kSpinBeforeSleeping;
  while (state.load(std::memory_order_acquire) == value) {
    if (std::chrono::steady_clock::now() >= sleepFrom) {
      state.wait(value, std::memory_order_acquire);
    } else {
      std::this_thread::yield();
    }
  }
}

}  // namespace

CHelperThread::CHelperThread(bool wanted) {
  if (!wanted) return;
  try {
    thread_ = std::thread([this] { Main(); });
  } catch (const std::system_error&) {
    // Not available: the callers do the work on their own thread.
  }
}

CHelperThread::~CHelperThread() {
  if (!thread_.joinable()) return;
  Wait();
  SetState(kEnding);
  thread_.join();
}

void CHelperThread::SetState(State state) {
  state_.store(state, std::memory_order_release);
  state_.notify_all();
}

void CHelperThread::Main() {
  for (;;) {
    const int state = state_.load(std::memory_order_acquire);
    if (state == kEnding) return;
    if (state != kWorking) {
      WaitWhileEqual(state_, state);
      continue;
    }
    work_();
    work_ = nullptr;
    SetState(kIdle);
  }
}

void CHelperThread::Run(std::function<void()> work) {
  work_ = std::move(work);
  SetState(kWorking);
}

void CHelperThread::Wait() { WaitWhileEqual(state_, kWorking); }

}  // namespace lexaport
