#include "StopSignals.h"

#include <signal.h>

namespace tavorix::cli {

namespace {

// The process-wide state a signal handler may touch: lock-free atomics only.
std::atomic<bool> gStopRequested{false};
std::atomic<int> gStopSignal{0};

extern "C" void OnStopSignal(int sig) {
  gStopSignal.store(sig, std::memory_order_relaxed);
  gStopRequested.store(true, std::memory_order_relaxed);
}

}  // namespace

const std::atomic<bool>* InstallStopSignals() {
  static const bool installed = [] {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A closed terminal stops a command as SIGTERM does, cleanly.
    sigaction(SIGHUP, &action, nullptr);
    return true;
  }();
  (void)installed;
  return &gStopRequested;
}

int StopSignalNumber() { return gStopSignal.load(std::memory_order_relaxed); }

}  // namespace tavorix::cli
