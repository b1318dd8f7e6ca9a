#include "support/HelperThread.h"

#include <system_error>

namespace lexaport {

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
  state_.store(kEnding, std::memory_order_release);
  thread_.join();
}

void CHelperThread::Main() {
  for (;;) {
    const int state = state_.load(std::memory_order_acquire);
    if (state == kEnding) return;
    if (state != kWorking) {
      std::this_thread::yield();
      continue;
    }
    work_();
    work_ = nullptr;
    state_.store(kIdle, std::memory_order_release);
  }
}

void CHelperThread::Run(std::function<void()> work) {
  work_ = std::move(work);
  state_.store(kWorking, std::memory_order_release);
}

void CHelperThread::Wait() {
  while (state_.load(std::memory_order_acquire) == kWorking) std::this_thread::yield();
}

}  // namespace lexaport
