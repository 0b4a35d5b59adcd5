// The pacing of a watch's rounds, on made-up times.
#include <gtest/gtest.h>

#include "app/watch/round_pacing.h"

namespace velkor::app {
namespace {

struct PacingCase {
  const char *name;
  RoundPacing pacing;
  unsigned done;
  int elapsed_ms;
  bool another;
  int pause_ms;
};

class Pacing : public ::testing::TestWithParam<PacingCase> {};

TEST_P(Pacing, StopsAtTheFirstLimitAndNeverPausesPastTheDuration) {
  using std::chrono::milliseconds;
  const PacingCase &c = GetParam();
  EXPECT_EQ(c.pacing.another(c.done, milliseconds(c.elapsed_ms)), c.another);
  EXPECT_EQ(c.pacing.pause(milliseconds(c.elapsed_ms)), milliseconds(c.pause_ms));
}

constexpr RoundPacing::Duration ms(int n) { return std::chrono::milliseconds(n); }

INSTANTIATE_TEST_SUITE_P(
    Cases, Pacing,
    ::testing::Values(PacingCase{"no_limit_runs_on", {0, ms(0), ms(0)}, 1000, 99999, true, 0},
                      PacingCase{"rounds_reached", {3, ms(0), ms(50)}, 3, 10, false, 50},
                      PacingCase{"rounds_left", {3, ms(0), ms(50)}, 2, 10, true, 50},
                      PacingCase{"duration_left", {0, ms(1000), ms(200)}, 5, 500, true, 200},
                      PacingCase{"pause_cut_to_the_end", {0, ms(1000), ms(200)}, 5, 900, true,
                                 100},
                      PacingCase{"duration_over", {0, ms(1000), ms(200)}, 5, 1000, false, 0},
                      PacingCase{"rounds_end_before_duration", {2, ms(1000), ms(0)}, 2, 10,
                                 false, 0}),
    [](const auto &info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velkor::app
