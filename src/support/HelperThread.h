#pragma once
// A second thread for work that is split between two cores, started ahead of that work: a new
// thread can take milliseconds to get the other core, so it is started early and waits until it
// is handed a piece of work or told to end (spinning for a while, then asleep). It runs the
// pieces one at a time; the conversion hands it its share of the read, of the parse and of
// the sort, then the first writer build.

#include <atomic>
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

}  // namespace lexaport
