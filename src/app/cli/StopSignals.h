#pragma once
// SIGINT, SIGTERM and SIGHUP stop a running command cleanly: the handler
// only sets a flag that the command looks at (RunCancelled), it unwinds with
// nothing half-written, and the process exits with 128 + the signal's number
// (130, 143, 129).

#include <atomic>

namespace tavorix::cli {

// Installs the handlers (once) and returns the flag they set.
const std::atomic<bool>* InstallStopSignals();

// The signal that stopped the run (0 when none came).
int StopSignalNumber();

// Exit status of a run stopped by a signal.
inline int StoppedExitStatus() { return 128 + (StopSignalNumber() ? StopSignalNumber() : 2); }

}  // namespace tavorix::cli
