#pragma once
// The outer loop of one grid search split over threads. Rows are handed out
// one at a time in rising order; each row writes only its own result, and
// the search then takes the results over in row order, so its choices and
// tie-breaks are those of the loop done on one thread.

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "fitting/TavorixRun.h"

namespace tavorix {

// Threads a single fit may use: the run's setting (0 = one per processor).
// The fit-all engine sets 1 on the copies its steps fit on, since it keeps
// the processors busy with several fits at once.
inline int FitThreadsOf(const TavorixRun& run) {
  const int threads = run.FitThreads > 0 ? run.FitThreads : static_cast<int>(std::thread::hardware_concurrency());
  return std::clamp(threads, 1, 16);
}

// Calls body(row, worker) for every row first..last, worker being 0 ..
// threads - 1 (for scratch arrays of one thread). The calling thread is
// worker 0. The first exception (a stopped run) ends the handing out of
// rows and is rethrown once every thread has finished.
template <class Body>
void ParallelRows(int threads, int first, int last, Body&& body) {
  threads = std::max(1, std::min(threads, last - first + 1));
  std::atomic<int> next{first};
  std::mutex mutex;
  std::exception_ptr error;
  auto work = [&](int worker) {
    try {
      for (int row = next++; row <= last; row = next++) body(row, worker);
    } catch (...) {
      next = last + 1;
      std::lock_guard<std::mutex> lock(mutex);
      if (!error) error = std::current_exception();
    }
  };
  // Threads the system refuses to start (a process limit) leave their rows
  // to the others.
  std::vector<std::thread> pool;
  try {
    for (int t = 1; t < threads; ++t) pool.emplace_back(work, t);
  } catch (const std::system_error&) {
  }
  work(0);
  for (auto& t : pool) t.join();
  if (error) std::rethrow_exception(error);
}

}  // namespace tavorix
