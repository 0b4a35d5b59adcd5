// The tool's own conversions: the nearest name to a mistyped one, and the
// core's errors as exit statuses.
#include <gtest/gtest.h>

#include "tools/cli/exit_codes.h"
#include "tools/cli/parse_errors.h"

namespace velkor::tool {
namespace {

struct NearCase {
  const char *typed;
  std::vector<std::string> known;
  const char *nearest;
};

class NearestName : public ::testing::TestWithParam<NearCase> {};

TEST_P(NearestName, SuggestsOnlyASlipOfTheKeyboard) {
  EXPECT_EQ(nearest(GetParam().typed, GetParam().known), GetParam().nearest);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NearestName,
    ::testing::Values(NearCase{"invntory", {"info", "inventory", "read"}, "inventory"},
                      NearCase{"--wach", {"--watch", "--json"}, "--watch"},
                      NearCase{"--jsn", {"--json", "--csv"}, "--json"},
                      NearCase{"raed", {"read", "region"}, "read"},
                      NearCase{"frobnicate", {"info", "inventory"}, ""},
                      NearCase{"x", {"gpio", "epc"}, ""},
                      NearCase{"", {"info"}, ""}));

struct ExitCase {
  app::ErrorKind kind;
  int exit_code;
};

class ExitStatus : public ::testing::TestWithParam<ExitCase> {};

TEST_P(ExitStatus, EachKindOfErrorHasItsStatus) {
  EXPECT_EQ(exit_code(app::Error::because(GetParam().kind, "x", "y")), GetParam().exit_code)
      << app::kind_name(GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ExitStatus,
    ::testing::Values(ExitCase{app::ErrorKind::kReader, kExitFailed},
                      ExitCase{app::ErrorKind::kLink, kExitFailed},
                      ExitCase{app::ErrorKind::kFile, kExitFailed},
                      ExitCase{app::ErrorKind::kConflict, kExitFailed},
                      ExitCase{app::ErrorKind::kNoTag, kExitNothing},
                      ExitCase{app::ErrorKind::kSeveralTags, kExitUsage},
                      ExitCase{app::ErrorKind::kBadInput, kExitUsage},
                      ExitCase{app::ErrorKind::kBusy, kExitUsage},
                      ExitCase{app::ErrorKind::kNotFound, kExitUsage},
                      ExitCase{app::ErrorKind::kStopped, kExitInterrupted}));

}  // namespace
}  // namespace velkor::tool
