#pragma once
// Stopping a run from outside: the front end owns an atomic flag and hands
// the run a pointer to it; the fits look at it between steps and inside
// their long loops and leave with RunCancelled, so a run stops within a
// fraction of a second and writes nothing.

#include <atomic>
#include <exception>

namespace tavorix {

class RunCancelled : public std::exception {
 public:
  const char* what() const noexcept override { return "The run was cancelled."; }
};

using CancelFlag = const std::atomic<bool>*;

inline bool IsCancelled(CancelFlag flag) { return flag && flag->load(std::memory_order_relaxed); }

inline void ThrowIfCancelled(CancelFlag flag) {
  if (IsCancelled(flag)) throw RunCancelled();
}

}  // namespace tavorix
