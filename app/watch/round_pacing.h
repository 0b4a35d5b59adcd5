// How many inventory rounds run, for how long, and the pause between them
// (--rounds, --duration, --interval), apart from any clock so that tests
// can drive it with made-up times.
#ifndef VELKOR_APP_WATCH_ROUND_PACING_H
#define VELKOR_APP_WATCH_ROUND_PACING_H

#include <chrono>

namespace velkor::app {

struct RoundPacing {
  using Duration = std::chrono::steady_clock::duration;

  unsigned rounds = 0;   ///< stop after this many rounds; 0: no limit
  Duration duration{};   ///< stop once this much time has passed; 0: no limit
  Duration interval{};   ///< pause after each round

  /// A limit was given: without one a plain inventory runs one round.
  bool limited() const { return rounds > 0 || duration > Duration::zero(); }
  /// Whether another round runs after `done` rounds, `elapsed` after the
  /// first began.
  bool another(unsigned done, Duration elapsed) const;
  /// The pause before the next round: the interval, cut to the time left.
  Duration pause(Duration elapsed) const;
};

}  // namespace velkor::app

#endif  // VELKOR_APP_WATCH_ROUND_PACING_H
