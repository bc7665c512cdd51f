#pragma once
// One run per series at a time. A series is its input file and the results
// files of the same base name; a run holds an advisory lock (flock) on a lock
// file beside them (".NAME.tavorix-lock") from reading its input until its
// results are in place, so that two runs never mix or undo each other's
// files. The lock file is removed when the lock is released; the kernel
// releases the lock of a process that dies.

#include <functional>
#include <optional>
#include <string>

#include "core/RunCancel.h"

namespace tavorix {

class SeriesLock {
 public:
  // Locks the series of path (any file of it). With wait, waits until the
  // lock is free, calling onWait once when another run holds it and checking
  // cancel meanwhile (RunCancelled); without, returns nothing when another
  // run holds it. Throws TavorixError when the lock file cannot be created
  // (a folder that cannot be written to, naming the results file).
  static std::optional<SeriesLock> Acquire(const std::string& path, bool wait,
                                           const std::function<void()>& onWait = {}, CancelFlag cancel = nullptr);

  SeriesLock(SeriesLock&& other) noexcept;
  SeriesLock& operator=(SeriesLock&& other) noexcept;
  SeriesLock(const SeriesLock&) = delete;
  SeriesLock& operator=(const SeriesLock&) = delete;
  ~SeriesLock();

  // The lock file of the series of path.
  static std::string LockFileName(const std::string& path);

 private:
  SeriesLock(int fd, std::string file) : fd_(fd), file_(std::move(file)) {}
  void Release();

  int fd_ = -1;
  std::string file_;
};

// "Another run of SERIES is in progress": what a run that does not wait says.
std::string SeriesBusyText(const std::string& path);

}  // namespace tavorix
