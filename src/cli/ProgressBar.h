#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "import/ABProgressObserver.h"

// The progress of a load or an import on a terminal: the operation, then one line of status
// text, bar and rate, redrawn at most ten times a second. It also carries the cancel request to the
// work: a step answers true once SIGINT or SIGTERM has arrived.
class ProgressBar final : public ABProgressObserver {
 public:
  // The status of a step from the records done and the total.
  using StepStatus = std::function<std::string(std::int64_t done, std::int64_t total)>;

  // `out` is where the bar is drawn, or null to draw nothing. `message` (the operation) gets a
  // line of its own above the bar; `endedStatus`, when not empty, replaces the status once the
  // units are done (the import then saves).
  ProgressBar(std::FILE* out, std::string message, std::string startStatus, StepStatus stepStatus,
              std::string endedStatus = {});
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  bool ProgressStep(const ABRecord& item) override;
  void ProgressLength(std::int64_t count) override;
  void ProgressEnded() override;
  void ProgressStarted() override;

  // Ends the line, whatever became of the work; call once the operation has returned.
  void Finish();
  // True when a step asked the work to stop.
  bool Stopped() const { return mStopped; }
  std::int64_t Done() const { return mDone; }

 private:
  using Clock = std::chrono::steady_clock;

  void Draw();
  std::string Line(int columns) const;

  std::FILE* mOut;
  std::string mMessage;
  std::string mStartStatus;
  StepStatus mStepStatus;
  std::string mEndedStatus;
  std::int64_t mTotal = -1;
  std::int64_t mDone = 0;
  bool mEnded = false;
  bool mStopped = false;
  bool mDrawn = false;
  Clock::time_point mCountingSince;
  Clock::time_point mEndedAt;
  Clock::time_point mNextDraw;
};
