#include "cli/CancelSignals.h"

#include <atomic>

namespace {

// Written from the signal handler, so it must be lock-free.
std::atomic<bool> gRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void OnCancelSignal(int) {
  gRequested.store(true, std::memory_order_relaxed);
}

}  // namespace

CancelSignals::CancelSignals() {
  struct sigaction action {};
  action.sa_handler = OnCancelSignal;
  sigemptyset(&action.sa_mask);
  // Restart interrupted reads and writes: the work notices the flag at its next step.
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, &mOldInterrupt);
  sigaction(SIGTERM, &action, &mOldTerminate);
}

CancelSignals::~CancelSignals() {
  sigaction(SIGINT, &mOldInterrupt, nullptr);
  sigaction(SIGTERM, &mOldTerminate, nullptr);
}

bool CancelSignals::Requested() {
  return gRequested.load(std::memory_order_relaxed);
}
