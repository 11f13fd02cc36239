#pragma once

#include <signal.h>

// Turns SIGINT and SIGTERM into a cancel request, like the progress sheet's Cancel button: while
// an object of this class lives, those signals only set a flag that the work polls.
class CancelSignals final {
 public:
  CancelSignals();
  ~CancelSignals();
  CancelSignals(const CancelSignals&) = delete;
  CancelSignals& operator=(const CancelSignals&) = delete;

  // True once either signal has arrived. Safe to call from any thread.
  static bool Requested();

 private:
  struct sigaction mOldInterrupt {};
  struct sigaction mOldTerminate {};
};
