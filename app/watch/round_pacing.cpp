#include "app/watch/round_pacing.h"

#include <algorithm>

namespace velkor::app {

bool RoundPacing::another(unsigned done, Duration elapsed) const {
  if (rounds > 0 && done >= rounds) return false;
  return duration == Duration::zero() || elapsed < duration;
}

RoundPacing::Duration RoundPacing::pause(Duration elapsed) const {
  if (duration == Duration::zero()) return interval;
  return std::clamp(duration - elapsed, Duration::zero(), interval);
}

}  // namespace velkor::app
