#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <set>
#include <string>

#include "velkor.h"

namespace {

struct Case {
  const char *(*text)(int);
  const char *generic;  // printf format of the text for an unnamed byte value
  const char *outside;  // the text outside 0..255
  std::set<int> named;
};

const Case kCases[] = {
    {GetReturnCodeText, "reader status 0x%02X", "not a status code",
     {STATUS_OK, STATUS_COMM_ERROR, STATUS_CRC_ERROR, STATUS_INVALID_HANDLE,
      STATUS_COMMAND_MISMATCH, STATUS_PARAMETER_ERROR, VELKOR_STATUS_INVENTORY_COMPLETE,
      VELKOR_STATUS_INVENTORY_STOPPED, VELKOR_STATUS_MORE_FRAMES, VELKOR_STATUS_MEMORY_FULL,
      VELKOR_STATUS_INVENTORY_FAILED, VELKOR_STATUS_INVENTORY_ABORTED,
      VELKOR_STATUS_TAG_UNREADABLE, VELKOR_STATUS_NO_TAG, VELKOR_STATUS_TAG_ERROR,
      VELKOR_STATUS_LENGTH_ERROR, VELKOR_STATUS_UNKNOWN_COMMAND}},
    {GetTagErrorText, "code 0x%02X", "not a tag error code",
     {VELKOR_TAG_ERROR_NONE, VELKOR_TAG_ERROR_OTHER, VELKOR_TAG_ERROR_MEMORY_OVERRUN,
      VELKOR_TAG_ERROR_MEMORY_LOCKED, VELKOR_TAG_ERROR_INSUFFICIENT_POWER,
      VELKOR_TAG_ERROR_NON_SPECIFIC}},
};

class CodeText : public ::testing::TestWithParam<Case> {};

// Every named code has a text of its own; every other byte value its generic
// text with the value in it; anything else one fixed text.  Never null.
TEST_P(CodeText, NamedCodesHaveTheirOwnTextAndTheRestAGenericOne) {
  const Case &c = GetParam();
  std::set<std::string> seen;
  for (int code = -300; code <= 300; ++code) {
    const char *text = c.text(code);
    ASSERT_NE(text, nullptr) << code;
    EXPECT_EQ(text, c.text(code)) << "the same constant on every call";
    char generic[32];
    std::snprintf(generic, sizeof generic, c.generic, code);
    if (c.named.count(code)) {
      EXPECT_NE(std::string(text), generic) << code;
      EXPECT_NE(std::string(text), c.outside) << code;
      EXPECT_TRUE(seen.insert(text).second) << code << " shares its text: " << text;
    } else if (code >= 0 && code <= 0xFF) {
      EXPECT_STREQ(text, generic);
    } else {
      EXPECT_STREQ(text, c.outside) << code;
    }
  }
  EXPECT_EQ(seen.size(), c.named.size());
  EXPECT_STREQ(c.text(INT_MIN), c.outside);
  EXPECT_STREQ(c.text(INT_MAX), c.outside);
}

INSTANTIATE_TEST_SUITE_P(StatusesAndTagErrors, CodeText, ::testing::ValuesIn(kCases));

TEST(CodeText, WordsOfTheCommonCases) {
  EXPECT_STREQ(GetReturnCodeText(VELKOR_STATUS_NO_TAG), "no tag in the field");
  EXPECT_STREQ(GetReturnCodeText(STATUS_COMM_ERROR), "no complete reply in time");
  EXPECT_STREQ(GetTagErrorText(VELKOR_TAG_ERROR_MEMORY_LOCKED), "memory locked");
}

}  // namespace
