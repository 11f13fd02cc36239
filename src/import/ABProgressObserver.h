#pragma once

#include <cstdint>

class ABRecord;

// How long operations report. Calling order: ProgressStarted once, ProgressLength at most once,
// ProgressStep per unit (true asks the operation to stop at once), ProgressEnded once when the
// units are done (never after a stop). Every operation that takes an observer also runs without
// one.
class ABProgressObserver {
 public:
  virtual ~ABProgressObserver() = default;

  virtual bool ProgressStep(const ABRecord& item) = 0;
  virtual void ProgressLength(std::int64_t count) = 0;
  virtual void ProgressEnded() = 0;
  virtual void ProgressStarted() = 0;
};
