#include "cli/ProgressBar.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>

#include "cli/CancelSignals.h"

namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
constexpr int kMaxBarWidth = 30;
constexpr int kMinBarWidth = 10;

int TerminalColumns(std::FILE* out) {
  struct winsize size {};
  if (ioctl(fileno(out), TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
    return size.ws_col;
  }
  return 80;
}

// Characters on screen, counting each UTF-8 sequence once.
int DisplayWidth(const std::string& text) {
  int width = 0;
  for (char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
      ++width;
    }
  }
  return width;
}

// The text cut to at most `width` characters, never inside a UTF-8 sequence.
std::string Clip(const std::string& text, int width) {
  int seen = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && seen++ == width) {
      return text.substr(0, i);
    }
  }
  return text;
}

}  // namespace

ProgressBar::ProgressBar(std::FILE* out, std::string message, std::string startStatus,
                         StepStatus stepStatus, std::string endedStatus)
    : mOut(out),
      mMessage(std::move(message)),
      mStartStatus(std::move(startStatus)),
      mStepStatus(std::move(stepStatus)),
      mEndedStatus(std::move(endedStatus)) {}

void ProgressBar::ProgressStarted() {
  mCountingSince = Clock::now();
  if (mOut != nullptr && !mMessage.empty()) {
    std::fprintf(mOut, "%s\n", mMessage.c_str());
  }
  Draw();
}

void ProgressBar::ProgressLength(std::int64_t count) {
  mTotal = count;
  mCountingSince = Clock::now();
}

bool ProgressBar::ProgressStep(const ABRecord&) {
  ++mDone;
  if (mOut != nullptr && Clock::now() >= mNextDraw) {
    Draw();
  }
  mStopped = CancelSignals::Requested();
  return mStopped;
}

void ProgressBar::ProgressEnded() {
  mEnded = true;
  mEndedAt = Clock::now();
  // The total may have been an estimate (a CSV file's line count); the count is now known.
  mTotal = mDone;
  Draw();
}

void ProgressBar::Finish() {
  if (mOut == nullptr || !mDrawn) {
    return;
  }
  Draw();
  std::fputc('\n', mOut);
  std::fflush(mOut);
  mDrawn = false;
}

std::string ProgressBar::Line(int columns) const {
  std::string status = mStartStatus;
  if (mEnded && !mEndedStatus.empty()) {
    status = mEndedStatus;
  } else if (mTotal >= 0 && (mDone > 0 || mEnded)) {
    status = mStepStatus(mDone, mTotal);
  }
  if (mTotal <= 0) {
    return Clip(status, columns - 1);
  }
  const double fraction = std::clamp(static_cast<double>(mDone) / mTotal, 0.0, 1.0);
  std::string figures = " " + std::to_string(static_cast<int>(fraction * 100)) + "%";
  const double seconds =
      std::chrono::duration<double>((mEnded ? mEndedAt : Clock::now()) - mCountingSince).count();
  if (mDone > 0 && seconds > 0) {
    figures += "  " + std::to_string(std::llround(mDone / seconds)) + " records/s";
  }
  // The bar gives way to the status text on a narrow terminal, down to a minimum.
  const int room = columns - 1 - DisplayWidth(status) - DisplayWidth(figures) - 3;
  const int width = std::clamp(room, kMinBarWidth, kMaxBarWidth);
  const int filled = static_cast<int>(fraction * width);
  const std::string bar =
      " [" + std::string(filled, '#') + std::string(width - filled, '.') + "]" + figures;
  const int statusRoom = columns - 1 - DisplayWidth(bar);
  if (statusRoom < kMinBarWidth) {
    return Clip(status, columns - 1);
  }
  return Clip(status, statusRoom) + bar;
}

void ProgressBar::Draw() {
  if (mOut == nullptr) {
    return;
  }
  const std::string line = "\r" + Line(TerminalColumns(mOut)) + "\x1b[K";
  std::fwrite(line.data(), 1, line.size(), mOut);
  std::fflush(mOut);
  mDrawn = true;
  mNextDraw = Clock::now() + kRedrawInterval;
}
