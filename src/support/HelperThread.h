#pragma once
// A second thread for work that is split between two cores, started ahead of that work: a new
// thread can take milliseconds to get the other core, so it is started early and waits until it
// is handed a piece of work or told to end (spinning for a while, then asleep). It runs the
// pieces one at a time; the conversion hands it its share of the read, of the parse and of
// the sort, then the first writer build.

#include <atomic>
#include <cstddef>
#include <functional>
#include <thread>

namespace lexaport {

class CHelperThread {
 public:
  // Starts the thread when `wanted`; without one (or when none can be had), Available() is false.
  explicit CHelperThread(bool wanted);
  ~CHelperThread();  // ends the thread, after the work it is running
  CHelperThread(const CHelperThread&) = delete;
  CHelperThread& operator=(const CHelperThread&) = delete;

  bool Available() const { return thread_.joinable(); }
  // Runs `work` on the thread. Only while it is available and has no work (Wait has returned
  // since the last Run).
  void Run(std::function<void()> work);
  // Returns when the work last handed over is done (at once when there is none).
  void Wait();

 private:
  enum State : int { kIdle, kWorking, kEnding };
  void Main();
  void SetState(State state);  // and wakes whoever sleeps waiting for it to change

  std::atomic<int> state_{kIdle};
  std::function<void()> work_;
  std::thread thread_;
};

// Runs work(i, onHelper) once for every i below `count`, on this thread and on `helper`
// (without work) at once: each takes the next i not yet taken whenever it is free, so that a
// thread the machine holds up does fewer, and the two end at most one item apart. `onHelper`
// tells which thread runs the item. Returns when every item is done; without the helper, this
// thread does them all. `work` must not throw.
template <class Work>
void TakeTurns(CHelperThread& helper, std::size_t count, const Work& work) {
  std::atomic<std::size_t> next{0};
  const auto takeItems = [&](bool onHelper) {
    for (std::size_t i = next.fetch_add(1); i < count; i = next.fetch_add(1)) work(i, onHelper);
  };
  if (!helper.Available()) {
    takeItems(false);
    return;
  }
  helper.Run([&] { takeItems(true); });
  takeItems(false);
  helper.Wait();
}

}  // namespace lexaport
